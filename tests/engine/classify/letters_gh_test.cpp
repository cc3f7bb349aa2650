// The recognisers for G and H on letters rendered from real fonts, single
// tests on chosen glyphs, and drawn glyphs for the h whose stem leans in and
// the H with a hole.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/letters_gh_tests.h"
#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// What one recogniser offers for a letter of a rendered line, and the
// character it must or must not offer.
struct TLetterCase {
  const char* Set;  // "upper" or "lower"
  char Letter;
  TRecogniser Recogniser;
  const char* Offer;
  bool Offered;
};

const TLetterCase kLetterCases[] = {
    {"upper", 'G', RecognizeG, "G", true},  {"upper", 'C', RecognizeG, "G", false},
    {"upper", 'O', RecognizeG, "G", false}, {"upper", 'Q', RecognizeG, "G", false},
    {"lower", 'g', RecognizeG, "g", true},  {"lower", 'q', RecognizeG, "g", false},
    {"lower", 'a', RecognizeG, "g", false}, {"lower", 'o', RecognizeG, "g", false},
    {"upper", 'H', RecognizeH, "H", true},  {"upper", 'N', RecognizeH, "H", false},
    {"upper", 'M', RecognizeH, "H", false}, {"upper", 'A', RecognizeH, "H", false},
    {"lower", 'h', RecognizeH, "h", true},  {"lower", 'n', RecognizeH, "h", false},
    {"lower", 'b', RecognizeH, "h", false}, {"lower", 'k', RecognizeH, "h", false},
};

class LettersGHFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LettersGHFontTest, OffersItsLettersAndNotTheirNeighbours) {
  const std::string font = GetParam();
  for (const TLetterCase& t : kLetterCases) {
    // At 25 pixels FreeSerif's g breaks into two pieces, neither of them a g.
    if (font == "freeserif-25" && t.Letter == 'g') continue;
    TGlyphLineFixture line(font + "-" + t.Set);
    const int k = t.Letter - (t.Set[0] == 'u' ? 'A' : 'a');
    const int conf = ConfOf(line.OffersForChar(t.Recogniser, k), t.Offer);
    if (t.Offered)
      EXPECT_GE(conf, 90) << t.Letter << " offers " << t.Offer;
    else
      EXPECT_EQ(conf, 0) << t.Letter << " offers " << t.Offer;
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, LettersGHFontTest, ::testing::ValuesIn(RenderedFontSizes()), ParamName);

// Runs one g test on the g of a rendered line with the flags given.
int SmallGConf(const std::string& line, bool tall, bool descends, void (TLetterGHTests::*test)() const) {
  TGlyphLineFixture fixture(line);
  TRecordContext record(fixture, fixture.RecordOfChar('g' - 'a'), TRecordContext::ReadByDriver);
  record.Context.Tall = tall;
  record.Context.Descends = descends;
  (TLetterGHTests(record.View()).*test)();
  return ConfOf(record.Offers(), "g");
}

TEST(SmallG, ClosedBowlTestEndsWithItsLastFactor) {
  struct Case {
    bool Tall, Descends;
    int Conf;
  };
  // A two-storey g: 100, x98 at the end; x96 each for a top at the
  // ascenders and for a bottom that does not reach below the line.
  for (const Case& c :
       {Case{false, true, 98}, Case{false, false, 94}, Case{true, true, 94}, Case{true, false, 90}})
    EXPECT_EQ(SmallGConf("liberation-serif-50-lower", c.Tall, c.Descends, &TLetterGHTests::SmallGClosedBowl),
              c.Conf)
        << c.Tall << c.Descends;
}

TEST(SmallG, TailTestTakesTheOpenTailedGAndNotTheClosedBowl) {
  EXPECT_EQ(SmallGConf("dejavu-sans-50-lower", false, true, &TLetterGHTests::SmallGTail), 100);
  EXPECT_EQ(SmallGConf("dejavu-sans-50-lower", false, false, &TLetterGHTests::SmallGTail), 96);
  // The lower bowl of a two-storey g is closed: no gap above a tail.
  EXPECT_EQ(SmallGConf("liberation-serif-50-lower", false, true, &TLetterGHTests::SmallGTail), 0);
  // Neither g is a capital.
  EXPECT_EQ(SmallGConf("dejavu-sans-50-lower", false, true, &TLetterGHTests::CapitalG), 0);
  EXPECT_EQ(SmallGConf("liberation-serif-50-lower", false, true, &TLetterGHTests::CapitalG), 0);
}

// A page of `art` (glyph rows) with two columns and rows of paper round it,
// the glyph's top on the ascender line and its bottom on the baseline.
TPageFixture DrawnGlyph(const std::vector<std::string>& art, int meanRow) {
  const int top = 2, base = top + static_cast<int>(art.size());
  return TPageFixture(OnPaper(art, 2, 2, 3), {top, top + meanRow, base, base + 10});
}

// An h 40 wide and 48 high whose stem moves in by `lean` columns at its
// middle: the upper stem at columns 0..2, the lower one at lean..lean+2.
std::vector<std::string> LeaningH(int lean) {
  const int W = 40, H = 48;
  std::vector<std::string> art(H, std::string(W, '.'));
  auto fill = [&](int x0, int x1, int y0, int y1) {
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) art[y][x] = '#';
  };
  fill(0, 2, 0, 24);             // upper stem
  fill(0, lean + 2, 24, 24);     // the step in
  fill(lean, lean + 2, 24, 47);  // lower stem
  fill(0, 39, 13, 16);           // arch
  fill(37, 39, 13, 47);          // right leg
  return art;
}

TEST(SmallH, AStemLeaningInCostsDoubleForEachColumnAndEndsTheTestAtSeven) {
  struct Case {
    int Lean;
    int Conf;
  };
  // 31 columns would double the cost past the integer range.
  for (const Case& c : {Case{1, 100}, Case{2, 95}, Case{3, 91}, Case{4, 83}, Case{5, 67}, Case{6, 35},
                        Case{7, 0}, Case{31, 0}}) {
    TPageFixture page = DrawnGlyph(LeaningH(c.Lean), 13);
    ASSERT_EQ(page.Count(), 1);
    TRecordContext record(page, 0, TRecordContext::ReadByDriver);
    ASSERT_TRUE(record.Context.Tall);
    ASSERT_FALSE(record.Context.Descends);
    TLetterGHTests(record.View()).SmallH();
    EXPECT_EQ(ConfOf(record.Offers(), "h"), c.Conf) << "lean " << c.Lean;
  }
}

TEST(CapitalH, AHoleInTheBarTakesTheCandidateAway) {
  // Stems of three columns and a bar of four rows across the middle.
  std::vector<std::string> art(20, "###.......###");
  for (int y = 8; y < 12; ++y) art[y] = "#############";
  struct Case {
    bool Slot;
    int Conf;
  };
  for (const Case& c : {Case{false, 100}, Case{true, 0}}) {
    if (c.Slot) art[9].replace(5, 3, "...");
    if (c.Slot) art[10].replace(5, 3, "...");
    TPageFixture page = DrawnGlyph(art, 6);
    ASSERT_EQ(page.Count(), 1);
    TRecordContext record(page, 0, TRecordContext::ReadByDriver);
    ASSERT_EQ(record.View().HoleCount(), c.Slot ? 1 : 0);
    const TLetterGHTests tests(record.View());
    tests.CapitalH();
    tests.SmallH();
    EXPECT_EQ(ConfOf(record.Offers(), "H"), c.Conf) << "slot " << c.Slot;
    EXPECT_EQ(ConfOf(record.Offers(), "h"), 0);
  }
}

}  // namespace
}  // namespace omniocr::test
