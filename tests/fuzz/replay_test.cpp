// Every input a fuzz harness ever failed on, kept under fuzz/regressions/NAME,
// runs through that harness's body again: a fault that comes back ends the
// test program the way it ended the fuzzer.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/fuzz_targets.h"

namespace omniocr {
namespace {

namespace fs = std::filesystem;

int ReplayAll(const std::string& harness, void (*body)(const std::uint8_t*, std::size_t)) {
  const fs::path dir = fs::path(OMNIOCR_FUZZ_REGRESSIONS) / harness;
  int count = 0;
  if (!fs::is_directory(dir)) return count;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
    if (!entry.is_regular_file() || entry.path().filename() == "README") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                          std::istreambuf_iterator<char>());
    SCOPED_TRACE(entry.path().string());
    body(bytes.data(), bytes.size());
    ++count;
  }
  return count;
}

TEST(FuzzRegressions, ReaderInputs) { EXPECT_GT(ReplayAll("read_image", fuzz::ReadImageTarget), 0); }
TEST(FuzzRegressions, LoaderInputs) { ReplayAll("load_dib", fuzz::LoadDibTarget); }
TEST(FuzzRegressions, PipelineInputs) { ReplayAll("pipeline", fuzz::PipelineTarget); }

}  // namespace
}  // namespace omniocr
