// Turns page images by a given angle for the skew benchmark:
//   rotate_page DEGREES INPUT... OUTDIR
// writes OUTDIR/NAME.png for every input, turned counter-clockwise by
// DEGREES with white brought in, and copies NAME.txt beside it when the input
// has one.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include "imaging/deskew.h"
#include "imaging/image_io.h"

int main(int argc, char** argv) {
  namespace fs = std::filesystem;
  if (argc < 4) {
    std::cerr << "usage: rotate_page DEGREES INPUT... OUTDIR\n";
    return 2;
  }
  const double degrees = std::strtod(argv[1], nullptr);
  const fs::path outDir = argv[argc - 1];
  fs::create_directories(outDir);
  int status = 0;
  for (int i = 2; i < argc - 1; ++i) {
    const fs::path input = argv[i];
    try {
      const omniocr::TDibGraphic page = omniocr::ReadImageFile(input.string());
      omniocr::WritePngFile(omniocr::RotateImage(page, degrees), (outDir / input.stem()).string() + ".png");
      fs::path truth = input;
      truth.replace_extension(".txt");
      if (fs::exists(truth))
        fs::copy_file(truth, outDir / truth.filename(), fs::copy_options::overwrite_existing);
    } catch (const std::exception& e) {
      std::cerr << "rotate_page: " << input.string() << ": " << e.what() << "\n";
      status = 1;
    }
  }
  return status;
}
