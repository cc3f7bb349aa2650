// The tool as a user runs it, on inputs that must not cost a file or be
// taken for something they are not: an output that is also an input, a run
// that fails half-way, a BMP whose pixels lie past its end, and a page whose
// characters all go as spots.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "imaging/image_io.h"
#include "tool_runs.h"

namespace omniocr {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::RunCaptured;
using test::TRun;
using test::WriteFile;

// A 24-bit BMP of a white page with three black blocks; `offset` replaces
// the pixel-data offset when given.
std::string BlocksBmp(std::uint32_t offset = 0) {
  const int width = 48, height = 20, stride = (width * 3 + 3) / 4 * 4;
  std::string pixels(static_cast<std::size_t>(stride * height), '\xFF');
  for (int block = 0; block < 3; ++block)
    for (int y = 5; y < 15; ++y)
      for (int x = 6 + 14 * block; x < 12 + 14 * block; ++x)
        for (int c = 0; c < 3; ++c) pixels[static_cast<std::size_t>(y * stride + 3 * x + c)] = 0;
  auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
  };
  auto u16 = [](unsigned v) { return std::string{static_cast<char>(v), static_cast<char>(v >> 8)}; };
  const std::uint32_t size = 54 + static_cast<std::uint32_t>(pixels.size());
  return "BM" + u32(size) + u32(0) + u32(offset ? offset : 54) + u32(40) + u32(width) + u32(height) + u16(1) +
         u16(24) + u32(0) + u32(static_cast<std::uint32_t>(pixels.size())) + u32(2835) + u32(2835) + u32(0) +
         u32(0) + pixels;
}

class CliSafetyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/omniocr-safety-XXXXXX";
    Dir = mkdtemp(pattern);
    WriteFile(Dir + "/page.bmp", BlocksBmp());
  }
  void TearDown() override { fs::remove_all(Dir); }

  TRun Run(const std::string& arguments, const std::string& stdinPath = "/dev/null") const {
    const std::string out = Dir + "/.stdout", err = Dir + "/.stderr";
    const TRun run = RunCaptured(
        "cd '" + Dir + "' && " + std::string(OMNIOCR_CLI_PATH) + " " + arguments + " <'" + stdinPath + "'",
        out, err);
    fs::remove(out);
    fs::remove(err);
    return run;
  }

  // The names in the directory: a run must leave no temporary file behind.
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Dir)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }

  std::string Dir;
};

TEST_F(CliSafetyTest, AnOutputThatIsAlsoAnInputIsRefusedAndKept) {
  const std::string page = ReadFile(Dir + "/page.bmp");
  fs::create_hard_link(Dir + "/page.bmp", Dir + "/hard.bmp");
  fs::create_symlink("page.bmp", Dir + "/soft.bmp");
  fs::create_directory(Dir + "/sub");
  const struct {
    const char* Arguments;
    const char* Stdin;
  } cases[] = {
      {"-o page.bmp page.bmp", "/dev/null"},
      {"--output=page.bmp page.bmp", "/dev/null"},
      {"-o hard.bmp page.bmp", "/dev/null"},
      {"-o soft.bmp page.bmp", "/dev/null"},
      {"-o sub/../page.bmp page.bmp", "/dev/null"},
      {"-o page.bmp soft.bmp", "/dev/null"},
      {"-o page.bmp -", "page.bmp"},
  };
  for (const auto& c : cases) {
    const TRun run = Run(c.Arguments, c.Stdin[0] == '/' ? c.Stdin : Dir + "/" + c.Stdin);
    EXPECT_EQ(run.Status, 2) << c.Arguments;
    EXPECT_NE(run.Err.find("the output file is also an input"), std::string::npos) << c.Arguments << run.Err;
    EXPECT_EQ(ReadFile(Dir + "/page.bmp"), page) << c.Arguments;
  }
  EXPECT_EQ(Names(), (std::vector<std::string>{"hard.bmp", "page.bmp", "soft.bmp", "sub"}));
  // Another file of the same content is no input.
  WriteFile(Dir + "/copy.bmp", page);
  EXPECT_EQ(Run("-o copy.bmp page.bmp").Status, 0);
  EXPECT_EQ(ReadFile(Dir + "/copy.bmp"), Run("page.bmp").Out);
}

TEST_F(CliSafetyTest, AFailedRunLeavesTheTargetAsItWas) {
  WriteFile(Dir + "/result.txt", "the previous result\n");
  WriteFile(Dir + "/broken.bmp", BlocksBmp().substr(0, 70));
  for (const char* inputs :
       {"missing.bmp", "broken.bmp", "page.bmp broken.bmp", "-j 2 broken.bmp page.bmp"}) {
    const TRun run = Run(std::string("-o result.txt ") + inputs);
    EXPECT_EQ(run.Status, 1) << inputs;
    EXPECT_NE(run.Err.find("result.txt: left unchanged"), std::string::npos) << inputs << run.Err;
    EXPECT_EQ(ReadFile(Dir + "/result.txt"), "the previous result\n") << inputs;
  }
  // A failed run creates no output file at all.
  EXPECT_EQ(Run("-o fresh.txt missing.bmp").Status, 1);
  EXPECT_FALSE(fs::exists(Dir + "/fresh.txt"));
  EXPECT_EQ(Names(), (std::vector<std::string>{"broken.bmp", "page.bmp", "result.txt"}));
  // A device is written in place, also when a link names it: nothing was kept.
  fs::create_symlink("/dev/null", Dir + "/sink");
  const TRun direct = Run("-o sink missing.bmp");
  EXPECT_EQ(direct.Status, 1);
  EXPECT_EQ(direct.Err.find("left unchanged"), std::string::npos) << direct.Err;
}

TEST_F(CliSafetyTest, ASuccessfulRunReplacesTheTargetKeepingItsPermissions) {
  WriteFile(Dir + "/result.txt", "the previous result, much longer than the new one will be\n");
  chmod((Dir + "/result.txt").c_str(), 0640);
  fs::create_symlink("result.txt", Dir + "/link.txt");
  const TRun run = Run("-o link.txt page.bmp");
  ASSERT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(ReadFile(Dir + "/result.txt"), Run("page.bmp").Out);
  EXPECT_TRUE(fs::is_symlink(Dir + "/link.txt"));
  struct stat info;
  ASSERT_EQ(stat((Dir + "/result.txt").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(), (std::vector<std::string>{"link.txt", "page.bmp", "result.txt"}));
  // A device is written in place, never replaced.
  EXPECT_EQ(Run("-o /dev/null page.bmp").Status, 0);
  EXPECT_TRUE(fs::is_character_file("/dev/null"));
}

TEST_F(CliSafetyTest, ABmpWhosePixelsLiePastItsEndIsRefused) {
  const TRun good = Run("page.bmp");
  ASSERT_EQ(good.Status, 0) << good.Err;
  ASSERT_EQ(std::count_if(good.Out.begin(), good.Out.end(), [](char c) { return c != ' ' && c != '\n'; }), 3);
  WriteFile(Dir + "/past-end.bmp", BlocksBmp(100000));
  const TRun run = Run("past-end.bmp");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find("omniocr: past-end.bmp: truncated BMP data"), std::string::npos) << run.Err;
}

TEST_F(CliSafetyTest, APageWhoseCharactersAllWentAsSpotsSaysSo) {
  const TRun spots = Run("--max-spot 1000 page.bmp");
  EXPECT_EQ(spots.Status, 0);
  EXPECT_EQ(spots.Out, "");
  EXPECT_NE(spots.Err.find("omniocr: page.bmp: all characters were removed as spots; lower --max-spot"),
            std::string::npos)
      << spots.Err;
  const TRun normal = Run("page.bmp");
  EXPECT_EQ(normal.Err, "");
  EXPECT_EQ(Run("--spots none --max-spot 1000 page.bmp").Out, normal.Out);
}

}  // namespace
}  // namespace omniocr
