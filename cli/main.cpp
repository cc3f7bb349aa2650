// omniocr: reads the printed text of image files from the command line.

#include <unistd.h>

#include <iostream>

#include "cli/batch.h"
#include "cli/options.h"
#include "cli/safe_output.h"

#ifndef OMNIOCR_VERSION
#define OMNIOCR_VERSION "0"
#endif

int main(int argc, char** argv) {
  using namespace omniocr::cli;
  std::ios::sync_with_stdio(false);
  TOptions options;
  try {
    options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const EUsageError& e) {
    std::cerr << "omniocr: " << e.what() << "\nTry 'omniocr --help' for more information.\n";
    return 2;
  }
  if (options.ShowHelp) {
    std::cout << HelpText();
    return 0;
  }
  if (options.ShowVersion) {
    std::cout << "omniocr " OMNIOCR_VERSION "\n";
    return 0;
  }
  const bool progress = isatty(STDERR_FILENO) != 0;
  if (options.OutputPath.empty() && options.Format == TOutputFormat::Pdf && isatty(STDOUT_FILENO)) {
    std::cerr << "omniocr: a PDF is no text for a terminal: write it with -o FILE or redirect the output\n";
    return 2;
  }
  if (options.OutputPath.empty()) return RunBatch(options, std::cout, std::cerr, progress);
  return RunBatchToFile(options, std::cerr, progress);
}
