// The omniocr tool run as a process: exit statuses, messages, and every
// output format read back with a real parser (Python's json and xml.etree).

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "imaging/image_io.h"

namespace omniocr {
namespace {

struct TRun {
  int Status = -1;
  std::string Out, Err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// A page of black blocks in a 3 x 5 grid, each 6 wide and 10 high: the
// engine finds each as one character record, whether it reads it or not.
struct TBlock {
  int Left, Top, Right, Bottom;
  bool operator<(const TBlock& o) const {
    return std::tie(Top, Left, Right, Bottom) < std::tie(o.Top, o.Left, o.Right, o.Bottom);
  }
  bool operator==(const TBlock& o) const = default;
};

std::vector<TBlock> GridBlocks() {
  std::vector<TBlock> blocks;
  for (int row = 0; row < 3; ++row)
    for (int col = 0; col < 5; ++col) {
      const int x = 10 + col * 12, y = 8 + row * 20;
      blocks.push_back({x, y, x + 5, y + 9});
    }
  return blocks;
}

void WriteGridPage(const std::string& path) {
  TDibGraphic page;
  page.SetSize(80, 70, 8);
  for (int y = 0; y < 70; ++y) std::fill(page.ScanLine(y), page.ScanLine(y) + 80, 255);
  for (const TBlock& b : GridBlocks())
    for (int y = b.Top; y <= b.Bottom; ++y)
      for (int x = b.Left; x <= b.Right; ++x) page.ScanLine(y)[x] = 0;
  WritePngFile(page, path);
}

class CliTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/omniocr-cli-XXXXXX";
    Dir = mkdtemp(pattern);
    WriteGridPage(Dir + "/page.png");
    TDibGraphic blank;
    blank.SetSize(40, 30, 1);
    for (int y = 0; y < 30; ++y) std::fill(blank.ScanLine(y), blank.ScanLine(y) + blank.Stride(), 0xFF);
    WritePngFile(blank, Dir + "/blank.png");
    const std::string png = ReadFile(Dir + "/page.png");
    WriteFile(Dir + "/truncated.png", png.substr(0, png.size() / 2));
    WriteFile(Dir + "/notes.txt", "just some text\n");
  }
  static void TearDownTestSuite() { std::system(("rm -rf " + Quote(Dir)).c_str()); }

  static TRun Run(const std::string& arguments, const std::string& stdinPath = "/dev/null") {
    const std::string out = Dir + "/stdout", err = Dir + "/stderr";
    const std::string command =
        std::string(OMNIOCR_CLI_PATH) + " " + arguments + " <" + stdinPath + " >" + out + " 2>" + err;
    const int raw = std::system(command.c_str());
    TRun run;
    run.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    run.Out = ReadFile(out);
    run.Err = ReadFile(err);
    return run;
  }

  // Runs a Python script on the given text as its standard input.
  static std::string Python(const std::string& script, const std::string& input) {
    WriteFile(Dir + "/py-in", input);
    WriteFile(Dir + "/script.py", script);
    const std::string out = Dir + "/py-out";
    const int raw =
        std::system(("python3 " + Dir + "/script.py <" + Dir + "/py-in >" + out + " 2>&1").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << ReadFile(out);
    return ReadFile(out);
  }

  static std::vector<TBlock> ParseBoxes(const std::string& lines) {
    std::vector<TBlock> boxes;
    std::istringstream in(lines);
    TBlock b;
    while (in >> b.Left >> b.Top >> b.Right >> b.Bottom) boxes.push_back(b);
    std::sort(boxes.begin(), boxes.end());
    return boxes;
  }

  static std::string Page() { return Dir + "/page.png"; }
  static std::string Dir;
};

std::string CliTest::Dir;

TEST_F(CliTest, HelpVersionAndUsageErrors) {
  const TRun help = Run("--help");
  EXPECT_EQ(help.Status, 0);
  EXPECT_NE(help.Out.find("Usage: omniocr"), std::string::npos);
  const TRun version = Run("--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out.rfind("omniocr ", 0), 0u);
  for (const char* bad : {"", "--area column x.png", "--zone 1,2,3 x.png", "--zone 1,2,0,4 x.png",
                          "-j 0 x.png", "--content digits x.png", "--format pdf x.png", "--bogus x.png",
                          "--max-spot -2 x.png", "--page 0 x.png", "--no-split=1 x.png"}) {
    const TRun run = Run(bad);
    EXPECT_EQ(run.Status, 2) << bad;
    EXPECT_EQ(run.Err.rfind("omniocr: ", 0), 0u) << bad;
    EXPECT_EQ(run.Out, "") << bad;
  }
}

TEST_F(CliTest, TextHasOneReadingPerCharacterRecord) {
  const TRun run = Run(Quote(Page()));
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(run.Err, "");
  // One character per block (whatever the recognisers make of a solid
  // block); spaces and line breaks may come between them.
  EXPECT_EQ(std::count_if(run.Out.begin(), run.Out.end(), [](char c) { return c != ' ' && c != '\n'; }), 15)
      << run.Out;
  EXPECT_EQ(run.Out.back(), '\n');
  // Standard input reads the same.
  EXPECT_EQ(Run("-", Page()).Out, run.Out);
}

const char* kJsonBoxes = R"(
import json, sys
page = json.load(sys.stdin)
assert page["width"] == 80 and page["height"] == 70, page
assert page["threshold"] > 0
assert len(page["text"].replace(" ", "").replace("\n", "")) == 15
for r in page["records"]:
    assert r["kind"] in ("character", "space", "line break", "rejected", "unread"), r
    assert isinstance(r["candidates"], list)
    if r["kind"] in ("space", "line break"):
        continue
    assert r["box"]["width"] == r["box"]["right"] - r["box"]["left"] + 1
    assert r["guides"] is None or set(r["guides"]) == {"ascender", "mean", "base", "descender"}
    print(r["box"]["left"], r["box"]["top"], r["box"]["right"], r["box"]["bottom"])
)";

TEST_F(CliTest, JsonParsesAndHoldsEveryRecordWithItsBox) {
  const TRun run = Run("--format json " + Quote(Page()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<TBlock> expected = GridBlocks();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ParseBoxes(Python(kJsonBoxes, run.Out)), expected);
}

TEST_F(CliTest, JsonEscapesFileNamesIntoValidUtf8) {
  const std::string name = "we\"ird\\ na\tme \xC3\xA9 \xFF.png";
  std::system(("cp " + Quote(Page()) + " " + Quote(Dir + "/" + name)).c_str());
  const TRun run = Run("--format json " + Quote(Dir + "/" + name));
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string shown = Python(R"(
import json, sys
print(json.load(sys.stdin)["file"].rsplit("/", 1)[1].encode("unicode_escape").decode())
)",
                                   run.Out);
  EXPECT_EQ(shown, "we\"ird\\\\ na\\tme \\xe9 \\ufffd.png\n");
}

const char* kHocrBoxes = R"(
import sys, xml.etree.ElementTree as ET
ns = {"h": "http://www.w3.org/1999/xhtml"}
root = ET.parse(sys.stdin).getroot()
pages = root.findall(".//h:div[@class='ocr_page']", ns)
assert len(pages) == 1 and "bbox 0 0 80 70" in pages[0].get("title"), pages
words = root.findall(".//h:span[@class='ocrx_word']", ns)
assert words and all("x_wconf" in w.get("title") for w in words)
assert root.findall(".//h:span[@class='ocr_line']", ns)
for c in root.findall(".//h:span[@class='ocrx_cinfo']", ns):
    fields = dict(f.strip().split(" ", 1) for f in c.get("title").split(";"))
    l, t, r, b = map(int, fields["x_bboxes"].split())
    assert 0 <= int(fields["x_conf"]) <= 100
    print(l, t, r - 1, b - 1)
)";

TEST_F(CliTest, HocrIsWellFormedXhtmlWithCharacterBoxes) {
  const TRun run = Run("--format hocr " + Quote(Page()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<TBlock> expected = GridBlocks();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ParseBoxes(Python(kHocrBoxes, run.Out)), expected);
}

TEST_F(CliTest, TsvHasAHeaderAndOneRowPerRecord) {
  const TRun run = Run("--format tsv " + Quote(Page()) + " " + Quote(Page()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::istringstream in(run.Out);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "file\tpage\trecord\tlevel\tline\tleft\ttop\twidth\theight\tconf\ttext");
  int rows = 0, boxed = 0;
  while (std::getline(in, line)) {
    ++rows;
    EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 10) << line;
    if (line.find("\tunread\t") != std::string::npos || line.find("\tcharacter\t") != std::string::npos) {
      ++boxed;
      EXPECT_NE(line.find("\t6\t10\t"), std::string::npos) << line;
    }
  }
  EXPECT_GE(rows, 30);
  EXPECT_EQ(boxed, 30);  // the header appears once for both images
}

TEST_F(CliTest, ZoneReadsOnlyItsRectangleAndReportsImageCoordinates) {
  const TRun run = Run("--format json --zone 5,25,80,20 " + Quote(Page()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::vector<TBlock> all = GridBlocks();
  std::vector<TBlock> expected(all.begin() + 5, all.begin() + 10);
  std::sort(expected.begin(), expected.end());
  const std::string boxes = Python(R"(
import json, sys
page = json.load(sys.stdin)
assert page["zone"] == {"left": 5, "top": 25, "width": 75, "height": 20}, page["zone"]
for r in page["records"]:
    if r["box"] and r["kind"] not in ("space", "line break"):
        print(r["box"]["left"], r["box"]["top"], r["box"]["right"], r["box"]["bottom"])
)",
                                   run.Out);
  EXPECT_EQ(ParseBoxes(boxes), expected);
  const TRun outside = Run("--zone 500,500,10,10 " + Quote(Page()));
  EXPECT_EQ(outside.Status, 1);
  EXPECT_NE(outside.Err.find("Invalid crop parameters"), std::string::npos) << outside.Err;
}

TEST_F(CliTest, BadFilesAreReportedAndTheOthersStillRead) {
  const std::string good = Run(Quote(Page())).Out;
  const TRun run = Run(Quote(Dir + "/missing.png") + " " + Quote(Dir + "/truncated.png") + " " +
                       Quote(Page()) + " " + Quote(Dir + "/notes.txt") + " " + Quote(Dir));
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Out, good);
  const std::string expected[] = {Dir + "/missing.png: No such file or directory",
                                  Dir + "/truncated.png: truncated PNG data",
                                  Dir + "/notes.txt: unknown image format", Dir + ": Is a directory"};
  for (const std::string& message : expected)
    EXPECT_NE(run.Err.find("omniocr: " + message + "\n"), std::string::npos) << run.Err;
}

TEST_F(CliTest, BlankPageGivesNoTextANoteAndSuccess) {
  const TRun run = Run(Quote(Dir + "/blank.png"));
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  EXPECT_NE(run.Err.find("no characters found"), std::string::npos) << run.Err;
  const TRun json = Run("--format json " + Quote(Dir + "/blank.png"));
  EXPECT_EQ(
      Python("import json,sys\np=json.load(sys.stdin)\nprint(len(p['records']), p['text'] == '')", json.Out),
      "0 True\n");
}

TEST_F(CliTest, PagesOfMultiPageFiles) {
  const std::string tiff = Quote(std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif");
  const TRun first = Run(tiff);
  EXPECT_EQ(first.Status, 0);
  EXPECT_EQ(first.Out, "");  // page 1 is blank
  const TRun second = Run("--page 2 --format tsv " + tiff);
  EXPECT_EQ(second.Status, 0) << second.Err;
  EXPECT_NE(second.Out.find("\t4\t3\t6\t10\t"), std::string::npos) << second.Out;
  EXPECT_NE(second.Out.find("\t14\t3\t6\t10\t"), std::string::npos) << second.Out;
  const TRun third = Run("--page 3 " + tiff);
  EXPECT_EQ(third.Status, 1);
  EXPECT_NE(third.Err.find("no image 3 in the file (it holds 2)"), std::string::npos) << third.Err;
}

TEST_F(CliTest, ParallelJobsKeepTheInputOrder) {
  std::string inputs;
  for (int i = 0; i < 8; ++i)
    inputs += " " + Quote(i % 3 == 1 ? Dir + "/blank.png" : i == 5 ? Dir + "/truncated.png" : Page());
  for (const char* format : {"json", "hocr"}) {
    const TRun serial = Run(std::string("--format ") + format + inputs);
    const TRun parallel = Run(std::string("-j 3 --format ") + format + inputs);
    EXPECT_EQ(serial.Status, 1);
    EXPECT_EQ(parallel.Status, 1);
    EXPECT_EQ(parallel.Out, serial.Out) << format;
    EXPECT_EQ(parallel.Err, serial.Err) << format;
  }
}

TEST_F(CliTest, OutputFileReceivesTheText) {
  const std::string target = Dir + "/result.txt";
  const TRun run = Run("-o " + Quote(target) + " " + Quote(Page()));
  EXPECT_EQ(run.Status, 0);
  EXPECT_EQ(run.Out, "");
  EXPECT_EQ(ReadFile(target), Run(Quote(Page())).Out);
  EXPECT_EQ(Run("-o /nonexistent/dir/x.txt " + Quote(Page())).Status, 1);
}

}  // namespace
}  // namespace omniocr
