// RecognizeK and RecognizeL on letters rendered from real fonts, and on drawn
// glyphs for the shapes the rendered lines do not reach: a k whose arm closes
// into a loop, a capital K too narrow to trace its arm, an L cut short above
// its descender next to another character, and the small l's rejections.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// ---------------------------------------------------------------------------
// Rendered letters.

constexpr int kK = 10;  // K and k in the lines, counted from A or a
constexpr int kL = 11;

class UpperLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(UpperLineTest, CapitalKComesFirstWithTheSmallOneAt98) {
  TGlyphLineFixture line(GetParam());
  const TOffers offers = line.OffersForChar(RecognizeK, kK);
  ASSERT_FALSE(offers.empty());
  EXPECT_EQ(offers[0].Char, "K");
  EXPECT_EQ(ConfOf(offers, "k"), offers[0].Conf * 98 / 100);
  EXPECT_EQ(line.ReadChar(kK), "K");
}

TEST_P(UpperLineTest, CapitalLIsAnLAndNotAnl) {
  TGlyphLineFixture line(GetParam());
  const TOffers offers = line.OffersForChar(RecognizeL, kL);
  EXPECT_EQ(offers, (TOffers{{"L", 100}}));
  EXPECT_EQ(line.ReadChar(kL), "L");
}

INSTANTIATE_TEST_SUITE_P(Fonts, UpperLineTest, ::testing::ValuesIn(RenderedLines({"upper"})), ParamName);

class LowerLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LowerLineTest, SmallKComesFirstWithTheCapitalAt98) {
  TGlyphLineFixture line(GetParam());
  const TOffers offers = line.OffersForChar(RecognizeK, kK);
  ASSERT_FALSE(offers.empty());
  EXPECT_EQ(offers[0].Char, "k");
  EXPECT_GE(offers[0].Conf, 98);
  EXPECT_EQ(ConfOf(offers, "K"), offers[0].Conf * 98 / 100);
  EXPECT_EQ(line.ReadChar(kK), "k");
}

INSTANTIATE_TEST_SUITE_P(Fonts, LowerLineTest, ::testing::ValuesIn(RenderedLines({"lower"})), ParamName);

// A plain stem is an l at 99, never 100; a stem with a flag at the top and a
// foot serif wider than the stem at the bottom is left to the other readers.
struct TSmallLCase {
  const char* Line;
  int Conf;  // 0: no l
};

class SmallLTest : public ::testing::TestWithParam<TSmallLCase> {};

TEST_P(SmallLTest, PlainStemsOnlyAndNever100) {
  TGlyphLineFixture line(GetParam().Line);
  const TOffers offers = line.OffersForChar(RecognizeL, kL);
  EXPECT_EQ(ConfOf(offers, "l"), GetParam().Conf);
  EXPECT_EQ(ConfOf(offers, "L"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, SmallLTest,
    ::testing::Values(TSmallLCase{"dejavu-sans-25-lower", 99}, TSmallLCase{"dejavu-sans-50-lower", 99},
                      TSmallLCase{"freeserif-50-lower", 99}, TSmallLCase{"liberation-sans-50-lower", 99},
                      TSmallLCase{"liberation-serif-25-lower", 99}, TSmallLCase{"dejavu-serif-50-lower", 0},
                      TSmallLCase{"liberation-mono-50-lower", 0},
                      TSmallLCase{"liberation-serif-50-lower", 0}),
    [](const auto& info) { return TestNameOf(info.param.Line); });

// Every other letter at the larger size gets nothing from either recogniser;
// only the sans-serif I, a plain stem, is also an l.
class OtherLettersTest : public ::testing::TestWithParam<std::string> {};

TEST_P(OtherLettersTest, GetNothing) {
  TGlyphLineFixture line(GetParam());
  const bool upper = GetParam().ends_with("upper");
  for (int k = 0; k < 26; ++k) {
    if (k == kK || k == kL || (upper && k == 8)) continue;
    const char letter = static_cast<char>((upper ? 'A' : 'a') + k);
    EXPECT_EQ(line.OffersForChar(RecognizeK, k), TOffers{}) << letter;
    EXPECT_EQ(line.OffersForChar(RecognizeL, k), TOffers{}) << letter;
  }
}

std::vector<std::string> LargeLines() {
  std::vector<std::string> names;
  for (const std::string& line : RenderedLines({"upper", "lower"}))
    if (line.find("-50-") != std::string::npos) names.push_back(line);
  return names;
}

INSTANTIATE_TEST_SUITE_P(Fonts, OtherLettersTest, ::testing::ValuesIn(LargeLines()), ParamName);

// ---------------------------------------------------------------------------
// Drawn glyphs: the character of a page of art, its box as extracted (or as
// the test sets it), run once on a context built as the dispatcher builds it.

// Rows 1..20 of the page; the top reaches the ascender line.
const TLineGuides kAscenderGuides = {1, 7, 20, 25};

// A k whose arm closes against the stem: the loop lies below the top
// quarter, inside the arm, so it does not make the k an R or a b.
const std::vector<std::string> kLoopedK = {
    "..............",  //
    ".###..........",  //
    ".###..........",  //
    ".###..........",  //
    ".###..........",  //
    ".###..........",  //
    ".###......###.",  //
    ".###....#####.",  //
    ".###..#######.",  //
    ".###.###..##..",  //
    ".#####...##...",  //
    ".###....##....",  //
    ".###...##.....",  //
    ".########.....",  //
    ".###..###.....",  //
    ".###...###....",  //
    ".###....###...",  //
    ".###.....###..",  //
    ".###......###.",  //
    ".###......###.",  //
    ".###.......##.",  //
    "..............",  //
};

TEST(SmallKTest, ALoopBelowTheTopQuarterIsStillAk) {
  const TOffers offers = DrawnGlyphOffers(RecognizeK, kLoopedK, kAscenderGuides);
  ASSERT_FALSE(offers.empty());
  EXPECT_EQ(offers[0], (TOffer{"k", 98}));  // the leg's notch is less than half the width deep
  EXPECT_EQ(ConfOf(offers, "K"), 96);
}

// A capital K of 7 x 11: too narrow to trace arm and leg, it needs to be
// Tall (it is shorter than 16 rows) and a long stem in its first columns.
// With the leg reaching the right edge low down it is offered at 99, unless
// a hole in its upper part makes it an R.
const std::vector<std::string> kNarrowK = {
    ".........",  //
    ".#....##.",  //
    ".#...##..",  //
    ".#..##...",  //
    ".#.##....",  //
    ".###.....",  //
    ".##......",  //
    ".###.....",  //
    ".#.##....",  //
    ".#..##...",  //
    ".#...##..",  //
    ".#....##.",  //
    ".........",  //
};
const std::vector<std::string> kNarrowKLegAtEdge =
    WithRows(kNarrowK, {{8, ".#.###..."}, {9, ".#..####."}, {10, ".#...###."}});
const std::vector<std::string> kNarrowKLegAtEdgeWithLoop =
    WithRows(kNarrowKLegAtEdge, {{4, ".#.###..."}, {5, ".##..#..."}, {6, ".####...."}, {7, ".##......"}});

struct TNarrowKCase {
  const char* Name;
  const std::vector<std::string>* Art;
  TLineGuides Guides;
  int K;  // 0: nothing offered
};

class NarrowKTest : public ::testing::TestWithParam<TNarrowKCase> {};

TEST_P(NarrowKTest, Offers) {
  const TNarrowKCase& c = GetParam();
  const TOffers offers = DrawnGlyphOffers(RecognizeK, *c.Art, c.Guides);
  EXPECT_EQ(ConfOf(offers, "K"), c.K);
  EXPECT_EQ(ConfOf(offers, "k"), c.K * 98 / 100);
}

const TLineGuides kCapGuides = {1, 4, 11, 14};     // Tall
const TLineGuides kSmallGuides = {-4, 1, 11, 14};  // the top at the mean line

INSTANTIATE_TEST_SUITE_P(Shapes, NarrowKTest,
                         ::testing::Values(TNarrowKCase{"Tall", &kNarrowK, kCapGuides, 100},
                                           TNarrowKCase{"NotTall", &kNarrowK, kSmallGuides, 0},
                                           TNarrowKCase{"LegAtTheEdge", &kNarrowKLegAtEdge, kCapGuides, 99},
                                           TNarrowKCase{"LegAtTheEdgeLoopAbove", &kNarrowKLegAtEdgeWithLoop,
                                                        kCapGuides, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

// An L whose box the dispatcher has cut at the paper row above a descender
// (the bottom row of the box holds none of its ink) while the next
// character's bar starts right after the box on that row. The bar is not the
// L's foot.
std::vector<std::string> CutLArt(bool brokenFoot, bool neighbour) {
  std::vector<std::string> art(22, std::string(20, '.'));
  for (int y = 1; y <= 16; ++y) art[y].replace(1, 2, "##");
  art[15].replace(3, 6, brokenFoot ? ".#####" : "######");
  art[16].replace(3, 5, brokenFoot ? ".####" : "#####");
  if (neighbour) art[17].replace(9, 8, "########");
  return art;
}

struct TCutLCase {
  const char* Name;
  bool BrokenFoot;
  bool Neighbour;
  int L;  // 0: no L
};

class CutLTest : public ::testing::TestWithParam<TCutLCase> {};

TEST_P(CutLTest, FootFromTheBoxOnly) {
  const TCutLCase& c = GetParam();
  TPageFixture page(CutLArt(c.BrokenFoot, c.Neighbour), {1, 6, 16, 21});
  // The bitmap holds the whole character, down to its descender; the box
  // is then cut as the dispatcher cuts it.
  page.Record(0).Right = 8;
  page.Record(0).Bottom = 20;
  TRecordContext record(page, 0, TRecordContext::AsItStands);
  record.Glyph.Bottom = 17;
  record.TakeFlagsFromBox();
  // A whole foot above an empty bottom row: 96 for the row below the foot.
  EXPECT_EQ(ConfOf(record.Run(RecognizeL), "L"), c.L);
}

INSTANTIATE_TEST_SUITE_P(Shapes, CutLTest,
                         ::testing::Values(TCutLCase{"WholeFoot", false, false, 96},
                                           TCutLCase{"WholeFootNextToABar", false, true, 96},
                                           TCutLCase{"BrokenFoot", true, false, 0},
                                           TCutLCase{"BrokenFootNextToABar", true, true, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

// A solid stem, 3 x 20: its box holds no paper.
std::vector<std::string> StemArt(bool inkBelow) {
  std::vector<std::string> art(26, std::string(7, '.'));
  for (int y = 1; y <= 20; ++y) art[y].replace(2, 3, "###");
  if (inkBelow) art[23].replace(2, 3, "###");
  return art;
}

struct TStemCase {
  const char* Name;
  bool InkBelow;
  int MarkAbove;
  int l;  // 0: no l
};

class StemTest : public ::testing::TestWithParam<TStemCase> {};

TEST_P(StemTest, SmallL) {
  const TStemCase& c = GetParam();
  const TOffers offers = DrawnGlyphOffers(RecognizeL, StemArt(c.InkBelow), kAscenderGuides, c.MarkAbove);
  EXPECT_EQ(ConfOf(offers, "l"), c.l);
}

INSTANTIATE_TEST_SUITE_P(Shapes, StemTest,
                         ::testing::Values(TStemCase{"SolidBox", false, 0, 99},
                                           TStemCase{"MarkAbove", false, 1, 0},
                                           TStemCase{"InkJustBelow", true, 0, 0}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace omniocr::test
