// Writes the seed corpora of the fuzz harnesses: small files of every format
// and variant the readers take (built with the test fixtures), packed bitmaps
// of every depth, and pipeline inputs cut from the rendered text lines of the
// test data.
//
//   make_seeds OUTPUT_DIR TEST_DATA_DIR

#include <png.h>
#include <tiffio.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_targets.h"
#include "imaging/dib_graphic.h"
#include "imaging/image_fixtures.h"
#include "imaging/more_fixtures.h"

namespace {

using namespace omniocr;
using namespace omniocr::test;
namespace fs = std::filesystem;

void Write(const fs::path& dir, const std::string& name, const TBytes& bytes) {
  fs::create_directories(dir);
  std::ofstream(dir / name, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A small picture of stripes and a block, for the readers' pixel data.
TBytes Pattern(std::size_t bytes, int seed) {
  TBytes b(bytes);
  for (std::size_t i = 0; i < bytes; ++i) b[i] = static_cast<std::uint8_t>((i * 37 + seed * 11) % 251);
  return b;
}

void ReaderSeeds(const fs::path& dir) {
  const std::vector<std::uint8_t> rgbPalette = {0, 0, 0, 255, 255, 255, 200, 30, 40, 10, 200, 90};
  Write(dir, "png-grey1.png", EncodePng({16, 8, PNG_COLOR_TYPE_GRAY, 1, false, {}, {}, Pattern(16, 1)}));
  Write(dir, "png-grey8.png", EncodePng({9, 7, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, Pattern(63, 2)}));
  Write(dir, "png-rgb.png", EncodePng({5, 3, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, Pattern(45, 3)}));
  Write(dir, "png-interlaced.png",
        EncodePng({12, 12, PNG_COLOR_TYPE_GRAY, 8, true, {}, {}, Pattern(144, 4)}));
  Write(dir, "png-palette-trns.png",
        EncodePng({8, 4, PNG_COLOR_TYPE_PALETTE, 2, false, rgbPalette, {255, 0, 128}, Pattern(8, 5)}));
  Write(dir, "png-rgba16.png", EncodePng({3, 2, PNG_COLOR_TYPE_RGBA, 16, false, {}, {}, Pattern(48, 6)}));

  Write(dir, "tiff-grey-lzw.tif",
        EncodeTiff({{5, 3, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, false, {}, Pattern(15, 7)}}));
  Write(
      dir, "tiff-bilevel-g4.tif",
      EncodeTiff({{32, 9, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, false, {}, Pattern(36, 8)}}));
  Write(dir, "tiff-rgb-deflate.tif",
        EncodeTiff({{6, 5, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_ADOBE_DEFLATE, false, {}, Pattern(90, 9)}}));
  Write(
      dir, "tiff-tiled.tif",
      EncodeTiff({{20, 18, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, true, {}, Pattern(360, 10)}}));
  std::vector<std::uint16_t> map(3 * 16);
  for (std::size_t i = 0; i < map.size(); ++i) map[i] = static_cast<std::uint16_t>(i * 4000);
  Write(dir, "tiff-palette4.tif",
        EncodeTiff({{8, 4, 4, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, false, map, Pattern(16, 11)}}));
  Write(dir, "tiff-grey16.tif",
        EncodeTiff({{4, 4, 16, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, false, {}, Pattern(32, 12)}}));
  Write(dir, "tiff-two-pages.tif",
        EncodeTiff({{4, 4, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_NONE, false, {}, Pattern(16, 13)},
                    {8, 2, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_NONE, false, {}, Pattern(2, 14)}}));

  Write(dir, "jpeg-grey.jpg", EncodeJpeg(8, 8, 1, Pattern(64, 15)));
  Write(dir, "jpeg-rgb.jpg", EncodeJpeg(17, 9, 3, Pattern(17 * 9 * 3, 16)));

  Write(dir, "bmp-24.bmp", EncodeBmp({40, 5, 3, 24, 0, {}, {}, Pattern(48, 17)}));
  Write(dir, "bmp-1.bmp", EncodeBmp({40, 9, 3, 1, 0, {0, 0xFFFFFF}, {}, Pattern(12, 18)}));
  Write(dir, "bmp-4.bmp", EncodeBmp({40, 7, 2, 4, 0, {0, 0x808080, 0xFF0000, 0xFFFFFF}, {}, Pattern(8, 19)}));
  Write(dir, "bmp-8-os2.bmp", EncodeBmp({12, 4, 2, 8, 0, {0, 0x404040, 0xFFFFFF}, {}, Pattern(8, 20)}));
  Write(dir, "bmp-16-bitfields.bmp",
        EncodeBmp({40, 3, 2, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, Pattern(16, 21)}));
  Write(dir, "bmp-32-v5.bmp", EncodeBmp({124, 2, 2, 32, 0, {}, {}, Pattern(16, 22)}));
  Write(dir, "bmp-rle8.bmp",
        EncodeBmp({40, 6, 3, 8, 1, {0, 0xFFFFFF}, {}, {6, 1, 0, 0, 0, 3, 1, 0, 1, 0, 2, 1, 1, 0, 0, 0, 1}}));
  Write(dir, "bmp-rle4.bmp",
        EncodeBmp({40, 6, 2, 4, 2, {0, 0xFFFFFF}, {}, {6, 0x10, 0, 0, 0, 4, 0x01, 0x10, 0, 1}}));

  Write(dir, "pcx-8.pcx",
        EncodePcx(5, 3, 8, 1, 6, std::vector<TBytes>(3, Pattern(6, 23)), std::vector<std::uint8_t>(768, 9)));
  Write(dir, "pcx-1.pcx", EncodePcx(12, 3, 1, 1, 2, std::vector<TBytes>(3, Pattern(2, 24))));
  Write(dir, "pcx-rgb.pcx", EncodePcx(4, 2, 8, 3, 4, std::vector<TBytes>(2, Pattern(12, 25))));

  const TBytes iconBmp = EncodeBmp({40, 4, 8, 8, 0, {0, 0xFFFFFF}, {}, Pattern(32, 26)});
  Write(dir, "icon-bmp.ico", EncodeIcon({{4, 4, 8, TBytes(iconBmp.begin() + 14, iconBmp.end())}}));
  Write(dir, "icon-png.ico",
        EncodeIcon({{5, 3, 24, EncodePng({5, 3, PNG_COLOR_TYPE_RGB, 8, false, {}, {}, Pattern(45, 27)})}}));

  Write(dir, "pnm-p1.pbm", FromString("P1\n# plain\n4 2\n1 0 1 0\n0101\n"));
  Write(dir, "pnm-p2.pgm", FromString("P2 3 2 15\n0 7 15\n15 7 0\n"));
  Write(dir, "pnm-p3.ppm", FromString("P3 2 1 255 255 0 0 0 0 255\n"));
  Write(dir, "pnm-p4.pbm", FromString(std::string("P4 8 2\n") + "\x55\xAA"));
  Write(dir, "pnm-p5.pgm", FromString(std::string("P5 2 2 65535\n") + std::string(8, '\x80')));
  Write(dir, "pnm-p6.ppm", FromString(std::string("P6 2 2 255\n") + std::string(12, 'x')));

  auto fourColours = [](TBytes b) {
    for (std::uint8_t& v : b) v %= 4;
    return b;
  };
  Write(dir, "gif-placed.gif",
        EncodeGif({12, 8, 2, 1, 6, 5, rgbPalette, fourColours(Pattern(30, 28)), false, 2}));
  Write(dir, "gif-interlaced.gif",
        EncodeGif({9, 9, 0, 0, 9, 9, rgbPalette, fourColours(Pattern(81, 29)), true, -1}));
  Write(dir, "webp-rgb.webp", EncodeWebp(5, 4, 3, Pattern(60, 30)));
  Write(dir, "webp-rgba.webp", EncodeWebp(3, 3, 4, Pattern(36, 31)));
  const TPdfPageSpec textPage{72, 36, {{4, 4, 20, 10}}, {{30, 10, 12, "Ab1"}}};
  const TPdfPageSpec barPage{36, 72, {{2, 2, 5, 60}}, {}};
  Write(dir, "pdf-two-pages.pdf", EncodePdf({textPage, barPage}));
}

void LoaderSeeds(const fs::path& dir) {
  for (int bits : {1, 4, 8, 24}) {
    TDibGraphic image;
    image.SetSize(13, 5, bits);
    for (int y = 0; y < image.Height(); ++y)
      for (std::int64_t i = 0; i < image.Stride(); ++i)
        image.ScanLine(y)[i] = static_cast<std::uint8_t>(y * 41 + i * 7);
    TGlobalHandle packed = image.GetPackedDib();
    const auto* block = static_cast<const std::uint8_t*>(GlobalLock(packed));
    Write(dir, "packed-" + std::to_string(bits) + ".dib", TBytes(block, block + GlobalSize(packed)));
    GlobalUnlock(packed);
    GlobalFree(packed);
  }
  // 15- and 16-bit blocks are loaded but not converted.
  TBytes sixteen(40 + 4 * 3, 0);
  const std::uint8_t header[] = {40, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 16, 0};
  std::copy(std::begin(header), std::end(header), sixteen.begin());
  Write(dir, "packed-16.dib", sixteen);
}

// The rendered text lines: '.' is paper, '#' full ink, a digit a grey step.
std::vector<std::string> TextRows(const fs::path& file) {
  std::ifstream in(file);
  std::vector<std::string> rows;
  std::string line;
  while (std::getline(in, line))
    if (!line.empty() && (line[0] == '.' || line[0] == '#' || (line[0] >= '0' && line[0] <= '9')))
      rows.push_back(line);
  return rows;
}

std::uint8_t Grey(char c) {
  return c == '.' ? 255 : c == '#' ? 0 : static_cast<std::uint8_t>((c - '0') * 25);
}

// A window of a text file as a pipeline input of the given depth.
TBytes PipelineInput(const std::vector<std::string>& rows, int left, int width, int bits, std::uint8_t area) {
  const int height = std::min<int>(static_cast<int>(rows.size()), 256);
  const std::uint8_t depthIndex = bits == 1 ? 0 : bits == 4 ? 1 : bits == 8 ? 2 : 3;
  TBytes input = {static_cast<std::uint8_t>(width - 1),
                  static_cast<std::uint8_t>(height - 1),
                  depthIndex,
                  area,
                  8,
                  2,
                  0,
                  0};
  const int bytesPerRow = (width * bits + 7) / 8;
  for (int y = 0; y < height; ++y) {
    TBytes row(static_cast<std::size_t>(bytesPerRow), 0);
    for (int x = 0; x < width; ++x) {
      const std::size_t column = static_cast<std::size_t>(left + x);
      const std::uint8_t grey = column < rows[y].size() ? Grey(rows[y][column]) : 255;
      if (bits == 24) {
        row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = grey;
      } else if (bits == 8) {
        row[x] = grey;
      } else {
        const int value = bits == 1 ? grey >= 128 : grey >> 4;
        const int perByte = 8 / bits;
        row[x / perByte] |= static_cast<std::uint8_t>(value << (8 - bits * (x % perByte + 1)));
      }
    }
    input.insert(input.end(), row.begin(), row.end());
  }
  return input;
}

void PipelineSeeds(const fs::path& dir, const fs::path& data) {
  int n = 0;
  for (const char* name : {"glyphs/dejavu-sans-25-lower.txt", "glyphs/liberation-serif-25-upper.txt",
                           "glyphs/freeserif-25-signs.txt", "digits/mono-16.txt", "digits/serif-24.txt"}) {
    const std::vector<std::string> rows = TextRows(data / name);
    if (rows.empty()) continue;
    const int bits[] = {1, 8, 4, 24};
    for (int k = 0; k < 4; ++k) {
      const int width = k == 3 ? 96 : 200;
      const std::uint8_t area = static_cast<std::uint8_t>((n + k) % 5 + 5 * (k % 3));
      Write(dir, "text-" + std::to_string(n) + "-" + std::to_string(k) + ".bin",
            PipelineInput(rows, 40 * k, width, bits[k], area));
    }
    ++n;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: make_seeds OUTPUT_DIR TEST_DATA_DIR\n";
    return 2;
  }
  const fs::path out = argv[1];
  ReaderSeeds(out / "read_image");
  LoaderSeeds(out / "load_dib");
  PipelineSeeds(out / "pipeline", argv[2]);
  return 0;
}
