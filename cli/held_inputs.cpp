#include "cli/held_inputs.h"

#include <sys/stat.h>

#include <cstdio>
#include <exception>

#include "imaging/image_io.h"

namespace omniocr::cli {

namespace {

std::vector<std::uint8_t> ReadStandardInput() {
  std::vector<std::uint8_t> bytes;
  std::uint8_t chunk[65536];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) bytes.insert(bytes.end(), chunk, chunk + got);
  return bytes;
}

// A path that cannot be opened or looked at is left to the page's own
// reading, which says why.
bool ReadableOnce(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return false;
  return S_ISFIFO(info.st_mode) || S_ISCHR(info.st_mode) || S_ISSOCK(info.st_mode);
}

}  // namespace

THeldInputs::THeldInputs(const std::vector<std::string>& inputs) : Held(inputs.size()) {
  bool standardInputRead = false;
  THeldInput standardInput;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    TEntry& entry = Held[i];
    if (inputs[i] == "-") {
      // Named twice, it is the same bytes twice.
      if (!standardInputRead) standardInput.Bytes = ReadStandardInput();
      standardInputRead = true;
      entry = {true, standardInput};
      continue;
    }
    if (!ReadableOnce(inputs[i])) continue;
    entry.Holds = true;
    try {
      entry.Input.Bytes = ReadFileBytes(inputs[i]);
    } catch (const std::exception& e) {
      entry.Input.Error = e.what();
    }
  }
}

}  // namespace omniocr::cli
