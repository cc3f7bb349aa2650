// The command-line tool on pages as they come from scanners: turned a
// little, cut by a zone, spaced by their boxes, or printed white on black.
// The pages are the rendered fixtures under tests/data/pages, turned and
// inverted here.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "engine/char_codes.h"
#include "engine/omnifont_ocr.h"
#include "imaging/deskew.h"
#include "imaging/image_io.h"
#include "imaging/inversion.h"
#include "imaging/transforms.h"
#include "tool_runs.h"

namespace omniocr {
namespace {

using test::ReadFile;
using test::RunCaptured;
using test::TRun;

// The angle in the summary line of JsonRecords.
double SkewAngle(const std::string& summary) {
  const std::size_t at = summary.find("\"angle\": ");
  return at == std::string::npos ? NAN : std::stod(summary.substr(at + 9));
}

std::string Fixture(const std::string& name) { return std::string(OMNIOCR_TEST_DATA) + "/pages/" + name; }

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  for (std::string word; in >> word;) words.push_back(word);
  return words;
}

int EditDistance(const std::string& a, const std::string& b) {
  std::vector<int> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = static_cast<int>(j);
  for (std::size_t i = 1; i <= a.size(); ++i) {
    int diagonal = row[0];
    row[0] = static_cast<int>(i);
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const int above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// One record of the JSON output, as far as these tests look at it.
struct TJsonRecord {
  std::string Kind;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class RealPagesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/omniocr-pages-XXXXXX";
    Dir = mkdtemp(pattern);
  }
  static void TearDownTestSuite() { std::system(("rm -rf '" + Dir + "'").c_str()); }

  static TRun Run(const std::string& arguments) {
    return RunCaptured(std::string(OMNIOCR_CLI_PATH) + " " + arguments + " </dev/null", Dir + "/stdout",
                       Dir + "/stderr");
  }
  static std::string Text(const std::string& arguments) {
    const TRun run = Run(arguments);
    EXPECT_EQ(run.Status, 0) << arguments << "\n" << run.Err;
    return run.Out;
  }
  static std::string Write(const TDibGraphic& image, const std::string& name) {
    const std::string path = Dir + "/" + name;
    WritePngFile(image, path);
    return path;
  }
  // The records of a JSON page, and its skew and inversion, through Python's
  // own parser.
  static std::vector<TJsonRecord> JsonRecords(const std::string& arguments, std::string* summary = nullptr) {
    const std::string json = Dir + "/page.json", script = Dir + "/records.py", out = Dir + "/records.txt";
    EXPECT_EQ(Run(arguments + " --format json -o " + json).Status, 0) << arguments;
    std::ofstream(script)
        << "import json, sys\n"
           "page = json.load(open(sys.argv[1]))\n"
           "print(json.dumps(page['skew']), json.dumps(page['inverted']), page['zone']['top'],\n"
           "      page['zone']['height'])\n"
           "for r in page['records']:\n"
           "    b = r['box'] or {'left': 0, 'top': 0, 'right': -1, 'bottom': -1}\n"
           "    print(r['kind'].replace(' ', '_'), b['left'], b['top'], b['right'], b['bottom'])\n";
    EXPECT_EQ(std::system(("python3 " + script + " " + json + " >" + out).c_str()), 0);
    std::istringstream in(ReadFile(out));
    std::string first;
    std::getline(in, first);
    if (summary != nullptr) *summary = first;
    std::vector<TJsonRecord> records;
    TJsonRecord r;
    while (in >> r.Kind >> r.Left >> r.Top >> r.Right >> r.Bottom) records.push_back(r);
    return records;
  }
  static std::string Dir;
};

std::string RealPagesTest::Dir;

// Turned pages read as the straight page does: the same lines and words,
// the characters but for the odd one that the resampling changes. Read
// as they are, the same pages come apart.
TEST_F(RealPagesTest, TurnedPagesReadAsTheStraightPage) {
  for (const char* name : {"prose-sans.png", "figures-mono.png"}) {
    const std::string straight = Text(Fixture(name));
    const TDibGraphic page = ReadImageFile(Fixture(name));
    for (const double degrees : {0.5, 1.0, 2.0, 3.0, -2.0}) {
      const std::string turned = Write(RotateImage(page, degrees), "turned.png");
      const std::string read = Text(turned);
      const std::vector<std::string> expected = Lines(straight), got = Lines(read);
      ASSERT_EQ(got.size(), expected.size()) << name << " at " << degrees << ":\n" << read;
      for (std::size_t i = 0; i < got.size(); ++i)
        EXPECT_EQ(Words(got[i]).size(), Words(expected[i]).size())
            << name << " at " << degrees << ": " << got[i];
      EXPECT_LE(EditDistance(read, straight), 2) << name << " at " << degrees << ":\n" << read;
      if (std::abs(degrees) >= 2) {
        EXPECT_GT(EditDistance(Text("--no-deskew " + turned), straight), 10) << name << " at " << degrees;
      }
    }
  }
}

// The angle found is reported, and the boxes of the straightened page are
// put back onto the turned image where its characters are.
TEST_F(RealPagesTest, TheSkewIsReportedAndTheBoxesLieOnTheTurnedImage) {
  const TDibGraphic page = ReadImageFile(Fixture("figures-sans.png"));
  TRotation rotation;
  const std::string turned = Write(RotateImage(page, 2.0, &rotation), "turned.png");
  std::string summary;
  const std::vector<TJsonRecord> straight = JsonRecords(Fixture("figures-sans.png"), &summary);
  EXPECT_NEAR(SkewAngle(summary), 0, 0.1) << summary;
  EXPECT_NE(summary.find("\"corrected\": false"), std::string::npos) << summary;
  const std::vector<TJsonRecord> read = JsonRecords(turned, &summary);
  EXPECT_NEAR(SkewAngle(summary), 2, 0.1) << summary;
  EXPECT_NE(summary.find("\"corrected\": true"), std::string::npos) << summary;
  ASSERT_EQ(read.size(), straight.size());

  const double c = std::cos(2.0 * M_PI / 180), s = std::sin(2.0 * M_PI / 180);
  int characters = 0, inPlace = 0;
  for (std::size_t i = 0; i < read.size(); ++i) {
    if (straight[i].Kind != "character") continue;
    ++characters;
    // Where the straight box's centre went when the page was turned.
    const double x =
        (straight[i].Left + straight[i].Right + 1) / 2.0 + rotation.BorderLeft - rotation.CentreX;
    const double y = (straight[i].Top + straight[i].Bottom + 1) / 2.0 + rotation.BorderTop - rotation.CentreY;
    const double expectedX = rotation.CentreX + x * c + y * s, expectedY = rotation.CentreY - x * s + y * c;
    const double gotX = (read[i].Left + read[i].Right + 1) / 2.0,
                 gotY = (read[i].Top + read[i].Bottom + 1) / 2.0;
    if (std::abs(gotX - expectedX) <= 2.5 && std::abs(gotY - expectedY) <= 2.5) ++inPlace;
  }
  EXPECT_GE(10 * inPlace, 9 * characters) << inPlace << " of " << characters;

  const TRun hocr = Run("--format hocr " + turned);
  const std::size_t skew = hocr.Out.find("; x_skew ");
  ASSERT_NE(skew, std::string::npos) << hocr.Out.substr(0, 1200);
  EXPECT_NEAR(std::stod(hocr.Out.substr(skew + 9)), 2, 0.1);
  const TRun plain = Run("--no-deskew --format hocr " + turned);
  EXPECT_EQ(plain.Out.find("x_skew"), std::string::npos);
  JsonRecords("--no-deskew " + turned, &summary);
  EXPECT_EQ(summary.rfind("null false", 0), 0u) << summary;
}

// A zone whose bottom edge takes the tops of the next line (rows 138..175)
// reads its own line with its spaces, and only that line; one whose top
// edge takes the bottoms of the line above reads the line below. Either
// way the boxes are those of the whole page. So on a turned page.
TEST_F(RealPagesTest, AZoneThatClipsALineReadsTheLinesItHolds) {
  // Figures, read as numbers: the reading of a line's last figure does not
  // depend on what follows it on the page.
  const std::string page = "--content numeric " + Fixture("figures-sans.png");
  const std::vector<std::string> lines = Lines(Text(page));
  ASSERT_EQ(lines.size(), 3u);
  const std::vector<TJsonRecord> whole = JsonRecords(page);
  for (const int height : {145, 150, 155, 160, 165, 170}) {
    const std::string zone = "--zone 0,0,908," + std::to_string(height) + " ";
    EXPECT_EQ(Text(zone + page), lines[0] + "\n") << height;
    const std::vector<TJsonRecord> records = JsonRecords(zone + page);
    ASSERT_LE(records.size(), whole.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
      EXPECT_EQ(records[i].Left, whole[i].Left) << height;
      EXPECT_EQ(records[i].Top, whole[i].Top) << height;
    }
  }
  for (const int top : {80, 88, 100}) {
    const std::string zone = "--zone 0," + std::to_string(top) + ",908,120 ";
    EXPECT_EQ(Text(zone + page), lines[1] + "\n") << top;
  }
  // On a long page turned by 2 degrees a zone cuts the lines above and below
  // aslant, with no level blank band; the edges are mended on the
  // straightened lines.
  const std::string prose = Fixture("prose-sans.png");
  const std::vector<std::string> proseLines = Lines(Text(prose));
  ASSERT_EQ(proseLines.size(), 4u);
  const std::string turned = Write(RotateImage(ReadImageFile(prose), 2.0), "turned.png");
  const std::string read = Text("--zone 0,100,1540,200 " + turned);
  EXPECT_LE(EditDistance(read, proseLines[1] + "\n" + proseLines[2] + "\n"), 2) << read;
  // A zone whose right edge lies beyond the largest coordinate is outside the image.
  const TRun far = Run("--zone 2147483000,5,2147483000,10 " + Fixture("figures-sans.png"));
  EXPECT_EQ(far.Status, 1);
  EXPECT_NE(far.Err.find("Invalid crop parameters"), std::string::npos) << far.Err;
  std::string summary;
  JsonRecords("--zone 0,0,908,160 " + page, &summary);
  const std::vector<std::string> fields = Words(summary.substr(summary.find('}') + 1));
  ASSERT_EQ(fields.size(), 3u) << summary;
  EXPECT_EQ(fields[1], "0");             // the zone still starts at the top
  EXPECT_LT(std::stoi(fields[2]), 138);  // and ends before the clipped line
}

// Serif capitals and monospaced figures keep exactly their word breaks:
// every line has the words of the truth, each as long as there.
TEST_F(RealPagesTest, WordBreaksFollowTheGapsBetweenTheBoxes) {
  for (const char* name : {"caps-serif", "figures-mono", "figures-sans", "prose-sans"}) {
    const std::vector<std::string> truth = Lines(ReadFile(Fixture(std::string(name) + ".txt")));
    // A monospaced zero read with its inner dot gives two records, "0~":
    // one letter.
    std::string text = Text(Fixture(std::string(name) + ".png"));
    for (std::size_t at; name == std::string("figures-mono") && (at = text.find("0~")) != std::string::npos;)
      text.replace(at, 2, "0");
    const std::vector<std::string> read = Lines(text);
    ASSERT_EQ(read.size(), truth.size()) << name;
    for (std::size_t i = 0; i < read.size(); ++i) {
      const std::vector<std::string> got = Words(read[i]), expected = Words(truth[i]);
      ASSERT_EQ(got.size(), expected.size()) << name << ": " << read[i];
      for (std::size_t w = 0; w < got.size(); ++w)
        EXPECT_EQ(got[w].size(), expected[w].size()) << name << ": " << read[i];
    }
  }
}

// With --spacing engine the records are the engine's own.
TEST_F(RealPagesTest, EngineSpacingKeepsTheEnginesRecords) {
  const std::string page = Fixture("figures-mono.png");
  TOmnifontOCR engine;
  engine.NumericOnly = false;
  engine.MaxSpotSize = 8;
  engine.SplitTouching = 2;
  const TGlobalHandle packed = ReadImageFile(page).GetPackedDib();
  engine.RecognizeParagraph(packed);
  GlobalFree(packed);
  std::string expected;
  for (int i = 0; i < engine.Chars.Count(); ++i) expected += RecordText(*engine.Chars[i]);
  EXPECT_EQ(Text("--spacing engine " + page), expected + "\n");
  EXPECT_NE(Text(page), expected + "\n");
  EXPECT_EQ(Run("--spacing words " + page).Status, 2);
  EXPECT_EQ(Run("--no-deskew=yes " + page).Status, 2);
}

// White text on black reads as the plain page, in every pixel format; a
// dark zone on a light page is inverted on its own.
TEST_F(RealPagesTest, NegativePagesAndZonesReadAsThePlainOnes) {
  const std::string plain = Text("--content numeric " + Fixture("figures-sans.png"));
  for (const int bits : {1, 8, 24}) {
    TDibGraphic page = ReadImageFile(Fixture("figures-sans.png"));
    TImageFormatTransform(bits).Apply(page);
    const std::string positive = Text(Write(page, "positive.png"));
    InvertImage(page);
    const std::string negative = Write(page, "negative.png");
    EXPECT_EQ(Text(negative), positive) << bits;
    std::string summary;
    JsonRecords(negative, &summary);
    EXPECT_NE(summary.find(" true "), std::string::npos) << bits << ": " << summary;
  }
  // Line 2 of the page (rows 138..175) printed white on a black band.
  TDibGraphic page = ReadImageFile(Fixture("figures-sans.png"));
  ASSERT_EQ(page.BitCount(), 8);
  for (int y = 120; y < 195; ++y)
    for (int x = 0; x < page.Width(); ++x)
      page.ScanLine(y)[x] = static_cast<std::uint8_t>(255 - page.ScanLine(y)[x]);
  const std::string banded = Write(page, "banded.png");
  EXPECT_EQ(Text("--content numeric --zone 0,120,908,75 " + banded), Lines(plain)[1] + "\n");
  // A character box may be all ink: it is read as it is.
  std::string summary;
  JsonRecords("--area character --zone 0,120,908,75 " + banded, &summary);
  EXPECT_NE(summary.find(" false "), std::string::npos) << summary;
}

}  // namespace
}  // namespace omniocr
