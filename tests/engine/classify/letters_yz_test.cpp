// Y and Z on letters rendered from six fonts at two sizes, the case rule of
// the Y tests under guides that make a letter tall, descending, both or
// neither, and drawn letters for the paths the rendered ones do not take.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

constexpr int kY = 'Y' - 'A';
constexpr int kZ = 'Z' - 'A';

class YzFontTest : public ::testing::TestWithParam<std::string> {};

// On these lines an upper-case letter is tall and does not descend, a
// lower-case y descends and is not tall, and a z is neither: every offer is
// the pair with the line's case first and the other at 98% of it.
TEST_P(YzFontTest, OffersEachLetterInTheCaseOfItsLineAndTheOtherCaseBelowIt) {
  TGlyphLineFixture line(GetParam());
  const bool lower = GetParam().ends_with("lower");
  for (const auto& [upper, recogniser] : {std::pair<char, TRecogniser>{'Y', RecognizeY}, {'Z', RecognizeZ}})
    ASSERT_NO_FATAL_FAILURE(ExpectCasePair(line.OffersForChar(recogniser, upper - 'A'), upper, lower));
}

TEST_P(YzFontTest, LeavesTheLettersClosestInShapeAlone) {
  TGlyphLineFixture line(GetParam());
  const bool lower = GetParam().ends_with("lower");
  for (const char n : std::string("VXTKI"))
    EXPECT_TRUE(line.OffersForChar(RecognizeY, n - 'A').empty()) << "Y on " << InCase(n, lower);
  for (const char n : std::string("SNLEX"))
    EXPECT_TRUE(line.OffersForChar(RecognizeZ, n - 'A').empty()) << "Z on " << InCase(n, lower);
}

INSTANTIATE_TEST_SUITE_P(Fonts, YzFontTest, ::testing::ValuesIn(RenderedLines({"upper", "lower"})),
                         ParamName);

// The same rendered Y under four sets of guides: tall only gives "Y" first,
// descending only "y" first, and both or neither give the two cases at 95.
TEST(YCaseTest, TallAndDescendsChooseTheCaseOrLowerBoth) {
  struct TCase {
    const char* What;
    TLineGuides Guides;
    TOffers Expected;
  };
  // The Y of dejavu-sans-50-upper spans rows 18 to 54.
  const TCase cases[] = {
      {"tall", {16, 27, 54, 63}, {{"Y", 100}, {"y", 98}}},
      {"descends", {2, 18, 40, 50}, {{"y", 100}, {"Y", 98}}},
      {"both", {16, 27, 40, 50}, {{"Y", 95}, {"y", 95}}},
      {"neither", {2, 18, 54, 63}, {{"Y", 95}, {"y", 95}}},
  };
  for (const TCase& t : cases) {
    TArtLine art = LoadGlyphLine("dejavu-sans-50-upper");
    art.Guides = t.Guides;
    TGlyphLineFixture line(art);
    EXPECT_EQ(line.OffersForChar(RecognizeY, kY), t.Expected) << t.What;
  }
}

TEST(YzConfidenceTest, OneFontInBothCases) {
  TGlyphLineFixture upper("dejavu-sans-50-upper");
  EXPECT_EQ(upper.OffersForChar(RecognizeY, kY), (TOffers{{"Y", 100}, {"y", 98}}));
  EXPECT_EQ(upper.OffersForChar(RecognizeZ, kZ), (TOffers{{"Z", 100}, {"z", 98}}));
  TGlyphLineFixture lower("dejavu-sans-50-lower");
  EXPECT_EQ(lower.OffersForChar(RecognizeY, kY), (TOffers{{"y", 100}, {"Y", 98}}));
  EXPECT_EQ(lower.OffersForChar(RecognizeZ, kZ), (TOffers{{"z", 100}, {"Z", 98}}));
}

// --- Drawn letters ---------------------------------------------------------

// A Y on a stem whose arms fork from row 6 of 16, and one whose arms meet
// already at a quarter of its height: there the notch is deep enough, but no
// row below it holds the two arms apart, so there is no fork point to
// measure the arms and the stem from.
TEST(DrawnYTest, AForkOnAStemNeedsARowWhereTheArmsStandApart) {
  const std::vector<std::string> forked = {
      "...........",  //
      ".##.....##.",  //
      ".##.....##.",  //
      "..##...##..",  //
      "..##...##..",  //
      "...##.##...",  //
      "...##.##...",  //
      "....###....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      "...........",  //
  };
  EXPECT_EQ(TallLetterOffers(RecognizeY, forked), (TOffers{{"Y", 100}, {"y", 98}}));
  const std::vector<std::string> shortArms = {
      "...........",  //
      ".##.....##.",  //
      ".##.....##.",  //
      "..##...##..",  //
      "...##.##...",  //
      "....###....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      ".....#.....",  //
      "...........",  //
  };
  EXPECT_TRUE(TallLetterOffers(RecognizeY, shortArms).empty());
}

// A Z four pixels wide: its second column must cross exactly two runs (the
// top bar, and the diagonal joined to the bottom bar).
TEST(DrawnZTest, AZFourPixelsWideNeedsTwoRunsInItsSecondColumn) {
  std::vector<std::string> z = {
      "......",  //
      ".####.",  //
      ".####.",  //
      "...##.",  //
      "...#..",  //
      "..#...",  //
      ".##...",  //
      ".####.",  //
      ".####.",  //
      "......",  //
  };
  EXPECT_EQ(TallLetterOffers(RecognizeZ, z), (TOffers{{"Z", 99}, {"z", 97}}));
  z[6] = ".#....";  // the diagonal parts from the bottom bar in column 1
  EXPECT_TRUE(TallLetterOffers(RecognizeZ, z).empty());
}

}  // namespace
}  // namespace omniocr::test
