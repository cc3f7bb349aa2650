// The omniocr tool run as a process: exit statuses, messages, and every
// output format read back with a real parser (Python's json and xml.etree).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "imaging/image_io.h"
#include "imaging/pdf_writer.h"
#include "tool_runs.h"

namespace omniocr {
namespace {

using test::ReadFile;
using test::RunCaptured;
using test::TRun;
using test::WriteFile;

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
    return RunCaptured(std::string(OMNIOCR_CLI_PATH) + " " + arguments + " <" + stdinPath, out, err);
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
  // Each content's characters are listed.
  for (const char* row :
       {"  numeric       0123456789,./\n", "  upper         0123456789ABCDEFGHIJKLMNOPQRSTUVXYZW,./\n",
        "  lower         0123456789abcdefghijklmnopqrstuvxyzw,./\n",
        "  letters       ABCDEFGHIJKLMNOPQRSTUVXYZWabcdefghijklmnopqrstuvxyzw,.\n"})
    EXPECT_NE(help.Out.find(row), std::string::npos) << row;
  const TRun version = Run("--version");
  EXPECT_EQ(version.Status, 0);
  EXPECT_EQ(version.Out.rfind("omniocr ", 0), 0u);
  for (const char* bad : {"", "--area column x.png", "--zone 1,2,3 x.png", "--zone 1,2,0,4 x.png",
                          "-j 0 x.png", "--content digits x.png", "--format docx x.png", "--bogus x.png",
                          "--max-spot -2 x.png", "--page 0 x.png", "--no-split=1 x.png", "--dpi 5 x.png"}) {
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
    assert 0 <= int(fields["x_confs"]) <= 100
    print(l, t, r - 1, b - 1)
)";

TEST_F(CliTest, HocrIsWellFormedXhtmlWithCharacterBoxes) {
  const TRun run = Run("--format hocr " + Quote(Page()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  std::vector<TBlock> expected = GridBlocks();
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(ParseBoxes(Python(kHocrBoxes, run.Out)), expected);
}

TEST_F(CliTest, TsvCharsHasAHeaderAndOneRowPerRecord) {
  const TRun run = Run("--format tsv-chars " + Quote(Page()) + " " + Quote(Page()));
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
  EXPECT_EQ(run.Out, "\f\f" + good + "\f\f");  // every input keeps its place
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
  const TRun first = Run("--page 1 " + tiff);
  EXPECT_EQ(first.Status, 0);
  EXPECT_EQ(first.Out, "");  // page 1 is blank
  const TRun second = Run("--page 2 --format tsv-chars " + tiff);
  EXPECT_EQ(second.Status, 0) << second.Err;
  EXPECT_NE(second.Out.find("\t4\t3\t6\t10\t"), std::string::npos) << second.Out;
  EXPECT_NE(second.Out.find("\t14\t3\t6\t10\t"), std::string::npos) << second.Out;
  const TRun third = Run("--page 3 " + tiff);
  EXPECT_EQ(third.Status, 1);
  EXPECT_NE(third.Err.find("no image 3 in the file (it holds 2)"), std::string::npos) << third.Err;
}

// A pipe named by its path (a shell's <(...)) can be read only once: its
// pages are counted and read from that one reading, as from standard input.
TEST_F(CliTest, PipeByPathReadsEveryPage) {
  const std::string tiff = std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif";
  const TRun direct = Run(Quote(tiff));
  const std::string pipe = Dir + "/pipe";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  // A reader that opens the pipe again waits for ever: the time limit ends it.
  const TRun piped = RunCaptured("cat " + Quote(tiff) + " >" + Quote(pipe) + " & timeout 20 " +
                                     std::string(OMNIOCR_CLI_PATH) + " " + Quote(pipe),
                                 Dir + "/stdout", Dir + "/stderr");
  std::remove(pipe.c_str());
  EXPECT_EQ(piped.Status, direct.Status) << piped.Err;
  EXPECT_NE(direct.Out, "");
  EXPECT_EQ(piped.Out, direct.Out);
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

// A page of figures from the corpus, read as numbers.
std::string NumbersPage() { return std::string(OMNIOCR_TEST_DATA) + "/dejavu-sans-12pt-numbers.png"; }
const std::string kNumbers = "--content numeric ";

TEST_F(CliTest, TextSeparatesPagesWithFormFeedsAndReadsEveryPage) {
  const std::string tiff = Quote(std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif");
  const TRun whole = Run(tiff);
  EXPECT_EQ(whole.Status, 0);
  // Page 1 is blank: nothing before the form feed, page 2's text after it.
  EXPECT_EQ(whole.Out, "\f" + Run("--page 2 " + tiff).Out);
  EXPECT_NE(whole.Err.find("two-pages.tif, page 1: no characters found"), std::string::npos) << whole.Err;
  const std::string one = Run(Quote(Page())).Out;
  EXPECT_EQ(Run(Quote(Page()) + " " + Quote(Page())).Out, one + "\f" + one);
  // A page that cannot be read keeps its place between the others.
  const TRun gap = Run(Quote(Page()) + " /nonexistent.png " + Quote(Page()));
  EXPECT_EQ(gap.Status, 1);
  EXPECT_EQ(gap.Out, one + "\f\f" + one);
}

const char* kTsvLevels = R"(
import csv, sys
rows = list(csv.DictReader(sys.stdin, delimiter="\t", quoting=csv.QUOTE_NONE))
assert list(rows[0]) == ["level", "page_num", "block_num", "par_num", "line_num", "word_num",
                         "left", "top", "width", "height", "conf", "text"], list(rows[0])
levels = [sum(1 for r in rows if r["level"] == str(n)) for n in range(1, 6)]
for r in rows:
    if r["level"] != "5":
        assert r["conf"] == "-1" and r["text"] == "", r
    else:
        assert 0 <= int(r["conf"]) <= 100 and r["text"], r
page = rows[0]
assert (page["left"], page["top"], page["width"], page["height"]) == ("0", "0", "961", "376"), page
print(*levels)
for r in rows:
    if r["level"] == "5":
        print(r["left"], r["top"], r["width"], r["height"], r["text"])
)";

const char* kJsonWords = R"(
import json, sys
for line in json.load(sys.stdin)["lines"]:
    for w in line["words"]:
        b = w["box"]
        print(b["left"], b["top"], b["width"], b["height"], w["text"])
)";

TEST_F(CliTest, TsvHasTheTwelveColumnsAndARowPerPageBlockParagraphLineAndWord) {
  const TRun run = Run("--format tsv " + kNumbers + Quote(NumbersPage()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string parsed = Python(kTsvLevels, run.Out);
  // One page, one block and paragraph, five lines and 21 words, as in the
  // page's ground truth.
  EXPECT_EQ(parsed.substr(0, parsed.find('\n')), "1 1 1 5 21");
  // Word boxes with widths and heights counted as pixels covered, as in JSON.
  const std::string json = Python(kJsonWords, Run("--format json " + kNumbers + Quote(NumbersPage())).Out);
  EXPECT_EQ(parsed.substr(parsed.find('\n') + 1), json);
}

const char* kHocrNesting = R"(
import sys, xml.etree.ElementTree as ET
ns = "{http://www.w3.org/1999/xhtml}"
root = ET.parse(sys.stdin).getroot()
caps = root.find(f".//{ns}meta[@name='ocr-capabilities']").get("content").split()
for c in ("ocr_page", "ocr_carea", "ocr_par", "ocr_line", "ocrx_word", "ocrx_cinfo", "ocrp_wconf"):
    assert c in caps, caps
parent_of = {"ocr_carea": "ocr_page", "ocr_par": "ocr_carea", "ocr_line": "ocr_par",
             "ocrx_word": "ocr_line", "ocrx_cinfo": "ocrx_word"}
counts = dict.fromkeys(["ocr_page"] + list(parent_of), 0)
def walk(element, parent_class):
    cls = element.get("class")
    if cls in counts:
        counts[cls] += 1
        if cls != "ocr_page":
            assert parent_class == parent_of[cls], (cls, parent_class)
        parent_class = cls
    for child in element:
        walk(child, parent_class)
walk(root, None)
def props(element):
    return dict(f.strip().split(" ", 1) for f in element.get("title").split(";"))
for page in root.iter(f"{ns}div"):
    if page.get("class") == "ocr_page":
        print(props(page).get("ppageno"), props(page).get("scan_res"))
for line in root.iter(f"{ns}span"):
    if line.get("class") == "ocr_line":
        assert int(props(line)["x_size"]) > 0
    if line.get("class") == "ocrx_word":
        assert 0 <= int(props(line)["x_wconf"]) <= 100
choices = 0
for c in root.iter(f"{ns}span"):
    if c.get("class") != "ocrx_cinfo":
        continue
    p = props(c)
    assert len(c.text) == 1 and 0 <= int(p["x_confs"]) <= 100
    if "x_choices" in p:
        values = p["x_choices"].split()
        pairs = [(chr(int(values[i][2:], 16)), int(values[i + 1])) for i in range(0, len(values), 2)]
        assert [conf for _, conf in pairs] == sorted((conf for _, conf in pairs), reverse=True), pairs
        assert pairs[0] == (c.text, int(p["x_confs"])), (pairs, c.text)
        choices += len(pairs) > 1
characters = counts.pop("ocrx_cinfo")
print(*counts.values(), characters > counts["ocrx_word"], choices > 0)
)";

TEST_F(CliTest, HocrNestsAreasParagraphsLinesWordsAndCharactersWithAlternatives) {
  const TRun run = Run("--format hocr " + kNumbers + Quote(NumbersPage()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  // No resolution in the file: no scan_res. Pages, areas, paragraphs, lines,
  // words, characters, and some characters with alternatives.
  EXPECT_EQ(Python(kHocrNesting, run.Out), "0 None\n1 1 1 5 21 True True\n");
  // --page N gives page N's number.
  const TRun second =
      Run("--format hocr --page 2 " + Quote(std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif"));
  const std::string shown = Python(kHocrNesting, second.Out);
  EXPECT_EQ(shown.substr(0, 2), "1 ") << shown;
  // An image that states its resolution gives scan_res.
  TDibGraphic page = ReadImageFile(NumbersPage());
  page.XDpi = 300, page.YDpi = 200;
  WritePngFile(page, Dir + "/numbers-300.png");
  const std::string scanned =
      Python(kHocrNesting, Run("--format hocr " + kNumbers + Quote(Dir + "/numbers-300.png")).Out);
  EXPECT_EQ(scanned.substr(0, scanned.find('\n')), "0 300 200");
}

// The hOCR rendered by OCRmyPDF's renderer into a PDF whose text poppler
// reads back: the words of the text output.
TEST_F(CliTest, HocrRendersToAPdfWithOcrmypdfWhoseTextIsTheRecognisedText) {
  const TRun run = Run("--format hocr " + kNumbers + Quote(NumbersPage()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  WriteFile(Dir + "/page.hocr", run.Out);
  const std::string script =
      "from ocrmypdf.hocrtransform import HocrTransform\n"
      "HocrTransform(hocr_filename='" +
      Dir + "/page.hocr', dpi=300).to_pdf(out_filename='" + Dir + "/hocr.pdf', invisible_text=True)\n";
  WriteFile(Dir + "/render.py", script);
  ASSERT_EQ(std::system(("/usr/bin/python3 " + Dir + "/render.py").c_str()), 0);
  ASSERT_EQ(std::system(("pdftotext " + Dir + "/hocr.pdf " + Dir + "/hocr.txt").c_str()), 0);
  std::istringstream expected(Run(kNumbers + Quote(NumbersPage())).Out), found(ReadFile(Dir + "/hocr.txt"));
  std::vector<std::string> expectedWords, foundWords;
  for (std::string w; expected >> w;) expectedWords.push_back(w);
  for (std::string w; found >> w;) foundWords.push_back(w);
  EXPECT_EQ(foundWords, expectedWords);
  EXPECT_EQ(expectedWords.size(), 21u);
}

const char* kJsonSchema = R"(
import json, sys
pages = [json.loads(line) for line in sys.stdin]
for page in pages:
    assert set(page) == {"file", "page", "width", "height", "zone", "threshold", "note", "text",
                         "inverted", "skew", "records", "lines"}, set(page)
    assert isinstance(page["inverted"], bool), page["inverted"]
    assert page["skew"] is None or set(page["skew"]) == {"angle", "corrected"}, page["skew"]
    records = page["records"]
    fields = {"kind", "text", "code", "confidence", "box", "candidates", "line", "guides", "id", "ink", "accent"}
    for r in records:
        assert set(r) == fields, set(r)
        if r["kind"] in ("character", "space", "line break"):
            assert r["text"] == chr(r["code"]), r
            assert r["candidates"][0]["text"] == r["text"] and r["candidates"][0]["code"] == r["code"], r
    covered = []
    for line in page["lines"]:
        assert set(line) == {"box", "guides", "first_record", "end_record", "words"}, set(line)
        own = range(line["first_record"], line["end_record"])
        covered += own
        for w in line["words"]:
            assert set(w) == {"box", "text", "confidence", "records"}, set(w)
            assert all(i in own for i in w["records"]), w
            assert w["text"] == "".join(records[i]["text"] for i in w["records"]), w
            assert w["confidence"] == min(records[i]["confidence"] for i in w["records"]), w
            assert all(records[i]["kind"] not in ("space", "line break") for i in w["records"])
        # A line break ends the line it belongs to, and says so.
        breaks = [i for i in own if records[i]["kind"] == "line break"]
        assert breaks in ([], [line["end_record"] - 1]), (breaks, line)
        for i in breaks:
            assert records[i]["line"] == records[w["records"][0]]["line"], records[i]
            assert records[i]["guides"] == line["guides"], records[i]
    assert covered == list(range(len(records))), covered
    print(page["page"], len(page["lines"]), sum(len(l["words"]) for l in page["lines"]))
)";

TEST_F(CliTest, JsonAddsLinesAndWordsThatPointAtTheRecords) {
  const TRun run = Run("--format json " + kNumbers + Quote(NumbersPage()) + " " +
                       Quote(std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif"));
  ASSERT_EQ(run.Status, 0) << run.Err;
  // Page 2 holds two bars 4 pixels apart on a line 10 pixels high: two words
  // by the gaps between the boxes.
  EXPECT_EQ(Python(kJsonSchema, run.Out), "1 5 21\n1 0 0\n2 1 2\n");
}

// A bilevel copy of an image: what the PDF writer stores losslessly.
TDibGraphic Bilevel(const TDibGraphic& grey) {
  TDibGraphic page;
  page.SetSize(grey.Width(), grey.Height(), 1);
  for (int y = 0; y < grey.Height(); ++y)
    for (int x = 0; x < grey.Width(); ++x)
      if (grey.ScanLine(y)[x] >= 128) page.ScanLine(y)[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  return page;
}

// A two-page PDF made here with the PDF writer (libharu): the grid page and
// the numbers page, both bilevel at 300 dpi, without a text layer.
TEST_F(CliTest, PdfInputIsReadPageByPage) {
  const TDibGraphic grid = Bilevel(ReadImageFile(Page()));
  const TDibGraphic numbers = Bilevel(ReadImageFile(NumbersPage()));
  WritePngFile(grid, Dir + "/grid-bw.png");
  WritePngFile(numbers, Dir + "/numbers-bw.png");
  TPdfDocument document;
  document.AddPage(grid, 300, 300, {});
  document.AddPage(numbers, 300, 300, {});
  const std::vector<std::uint8_t> pdf = document.Save();
  WriteFile(Dir + "/two.pdf", std::string(pdf.begin(), pdf.end()));

  const std::string first = Run(kNumbers + Quote(Dir + "/grid-bw.png")).Out;
  const std::string second = Run(kNumbers + Quote(Dir + "/numbers-bw.png")).Out;
  ASSERT_NE(second, "");
  EXPECT_EQ(Run(kNumbers + Quote(Dir + "/two.pdf")).Out, first + "\f" + second);
  EXPECT_EQ(Run(kNumbers + "--page 2 " + Quote(Dir + "/two.pdf")).Out, second);
  EXPECT_EQ(Run(kNumbers + "-j 2 " + Quote(Dir + "/two.pdf") + " " + Quote(Dir + "/two.pdf")).Out,
            first + "\f" + second + "\f" + first + "\f" + second);
  // Rendered at 150 dpi, a page has half the pixels each way.
  const std::string sizes = Python(
      "import json,sys\nfor l in sys.stdin: p=json.loads(l); print(p['page'], p['width'], p['height'])",
      Run("--format json --dpi 150 " + Quote(Dir + "/two.pdf")).Out);
  EXPECT_EQ(sizes, "1 40 35\n2 481 188\n");
  const TRun missing = Run("--page 3 " + Quote(Dir + "/two.pdf"));
  EXPECT_EQ(missing.Status, 1);
  EXPECT_NE(missing.Err.find("two.pdf, page 3: no page 3 in the file (it holds 2)"), std::string::npos)
      << missing.Err;
}

const char* kPdfBoxes = R"(
import re, sys, xml.etree.ElementTree as ET
json_words, bbox = sys.stdin.read().split("\n====\n")
expected = [line.split() for line in json_words.strip().split("\n")]
root = ET.fromstring(re.sub(r"<!DOCTYPE[^>]*>", "", bbox))
found = [w for w in root.iter() if w.tag.endswith("word")]
assert len(found) == len(expected), (len(found), len(expected))
worst = 0
for w, (left, top, width, height, text) in zip(found, expected):
    assert w.text == text, (w.text, text)
    px = lambda v: float(w.get(v)) * 300 / 72  # points to pixels at 300 dpi
    right, bottom = int(left) + int(width), int(top) + int(height)
    # Horizontally on the word's box; vertically covering it, within its line.
    worst = max(worst, abs(px("xMin") - int(left)), abs(px("xMax") - right),
                max(px("yMin") - int(top), 0), max(bottom - px("yMax"), 0))
print(len(found), worst < 2, worst)
)";

TEST_F(CliTest, PdfOutputHoldsThePageImageAndTheWordsOnTheirBoxes) {
  const std::string pdf = Dir + "/out.pdf";
  const TRun run = Run("--format pdf -o " + Quote(pdf) + " " + kNumbers + Quote(NumbersPage()));
  ASSERT_EQ(run.Status, 0) << run.Err;
  ASSERT_EQ(std::system(("pdftotext " + Quote(pdf) + " " + Quote(Dir + "/out.txt")).c_str()), 0);
  std::istringstream expected(Run(kNumbers + Quote(NumbersPage())).Out), found(ReadFile(Dir + "/out.txt"));
  std::vector<std::string> expectedWords, foundWords;
  for (std::string w; expected >> w;) expectedWords.push_back(w);
  for (std::string w; found >> w;) foundWords.push_back(w);
  EXPECT_EQ(foundWords, expectedWords);

  ASSERT_EQ(std::system(("pdftotext -bbox " + Quote(pdf) + " " + Quote(Dir + "/bbox.html")).c_str()), 0);
  const std::string json = Python(kJsonWords, Run("--format json " + kNumbers + Quote(NumbersPage())).Out);
  const std::string checked = Python(kPdfBoxes, json + "\n====\n" + ReadFile(Dir + "/bbox.html"));
  EXPECT_EQ(checked.substr(0, checked.rfind(' ')), "21 True") << checked;

  // The page image comes back as it was: the same text from the PDF.
  EXPECT_EQ(Run(kNumbers + Quote(pdf)).Out, Run(kNumbers + Quote(NumbersPage())).Out);
  // A two-page input gives a two-page PDF.
  Run("--format pdf -o " + Quote(Dir + "/two-out.pdf") + " " +
      Quote(std::string(OMNIOCR_TEST_DATA) + "/two-pages.tif"));
  const std::vector<std::uint8_t> two = ReadFileBytes(Dir + "/two-out.pdf");
  EXPECT_EQ(CountImages(two.data(), two.size()), 2);
}

// The PDF libraries are loaded for PDF files alone: reading an image or
// writing text does not pay for them. The dynamic loader names every library
// it loads on standard error.
TEST_F(CliTest, PdfLibrariesAreLoadedOnlyForPdfFiles) {
  const auto loaded = [](const std::string& arguments) {
    return RunCaptured("LD_DEBUG=files " + std::string(OMNIOCR_CLI_PATH) + " " + arguments, Dir + "/ld-out",
                       Dir + "/ld-err")
        .Err;
  };
  const std::string png = loaded(Quote(Page()));
  // The image libraries may be linked in; the C library is always loaded.
  ASSERT_NE(png.find("libc.so"), std::string::npos) << png;
  EXPECT_EQ(png.find("poppler"), std::string::npos);
  EXPECT_EQ(png.find("hpdf"), std::string::npos);
  const std::string written = loaded("--format pdf -o " + Quote(Dir + "/ld.pdf") + " " + Quote(Page()));
  EXPECT_EQ(written.find("poppler"), std::string::npos);
  EXPECT_NE(written.find("hpdf"), std::string::npos);
  EXPECT_NE(loaded(Quote(Dir + "/ld.pdf")).find("poppler"), std::string::npos);
}

TEST_F(CliTest, FilesOfOtherFormatsAreNamed) {
  WriteFile(Dir + "/scan.jp2", std::string("\0\0\0\x0CjP  \r\n\x87\n", 12) + "more");
  const TRun run = Run(Quote(Dir + "/scan.jp2"));
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "omniocr: " + Dir + "/scan.jp2: a JPEG 2000 file: convert it to PNG or TIFF first\n");
}

// The corpus page at half size: its decimal points are about 3 pixels wide.
// The default spot size keeps the twelve of them; a fixed size of 8 pixels,
// the desktop program's, deletes some.
TEST_F(CliTest, DefaultSpotSizeKeepsThePointsOfSmallPrint) {
  const std::string half = Quote(std::string(OMNIOCR_TEST_DATA) + "/dejavu-sans-12pt-numbers-half.png");
  const std::string byDefault = Run(kNumbers + half).Out, fixed = Run(kNumbers + "--max-spot 8 " + half).Out;
  EXPECT_GE(std::count(byDefault.begin(), byDefault.end(), '.'), 12) << byDefault;
  EXPECT_LT(std::count(fixed.begin(), fixed.end(), '.'), 12) << fixed;
}

}  // namespace
}  // namespace omniocr
