// U, V, W and X on letters rendered from six fonts at two sizes, and on drawn
// letters for the paths that the rendered ones do not take.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

struct TLetter {
  char Upper;
  TRecogniser Recogniser;
  // Letters of the same case that this recogniser must leave alone.
  const char* Neighbours;
};

const TLetter kLetters[] = {
    {'U', RecognizeU, "VYHNJ"},
    {'V', RecognizeV, "UYWAR"},
    {'W', RecognizeW, "VMNUH"},
    {'X', RecognizeX, "KYVHZ"},
};

class UvwxFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(UvwxFontTest, OffersEachLetterInTheCaseOfItsLineAndTheOtherCaseBelowIt) {
  TGlyphLineFixture line(GetParam());
  const bool lower = GetParam().ends_with("lower");
  for (const TLetter& l : kLetters)
    ASSERT_NO_FATAL_FAILURE(ExpectCasePair(line.OffersForChar(l.Recogniser, l.Upper - 'A'), l.Upper, lower));
}

TEST_P(UvwxFontTest, LeavesTheLettersClosestInShapeAlone) {
  TGlyphLineFixture line(GetParam());
  const bool lower = GetParam().ends_with("lower");
  for (const TLetter& l : kLetters)
    for (const char* n = l.Neighbours; *n; ++n)
      EXPECT_TRUE(line.OffersForChar(l.Recogniser, *n - 'A').empty())
          << l.Upper << " on " << InCase(*n, lower);
}

INSTANTIATE_TEST_SUITE_P(Fonts, UvwxFontTest, ::testing::ValuesIn(RenderedLines({"upper", "lower"})),
                         ParamName);

// The confidences on one font, factors included (V always pays a closing 99).
TEST(UvwxConfidenceTest, OneFontInBothCases) {
  struct TCase {
    const char* Line;
    char Upper;
    TRecogniser Recogniser;
    TOffers Expected;
  };
  const TCase cases[] = {
      {"dejavu-sans-50-upper", 'U', RecognizeU, {{"U", 100}, {"u", 98}}},
      {"dejavu-sans-50-upper", 'V', RecognizeV, {{"V", 99}, {"v", 97}}},
      {"dejavu-sans-50-upper", 'W', RecognizeW, {{"W", 100}, {"w", 98}}},
      {"dejavu-sans-50-upper", 'X', RecognizeX, {{"X", 100}, {"x", 98}}},
      {"dejavu-sans-50-lower", 'U', RecognizeU, {{"u", 100}, {"U", 98}}},
      {"dejavu-sans-50-lower", 'V', RecognizeV, {{"v", 99}, {"V", 97}}},
      {"dejavu-sans-50-lower", 'W', RecognizeW, {{"w", 100}, {"W", 98}}},
      {"dejavu-sans-50-lower", 'X', RecognizeX, {{"x", 100}, {"X", 98}}},
  };
  for (const TCase& t : cases) {
    TGlyphLineFixture line(t.Line);
    EXPECT_EQ(line.OffersForChar(t.Recogniser, t.Upper - 'A'), t.Expected) << t.Line << " " << t.Upper;
  }
}

// The rendered asterisk has the three runs above and below an empty middle
// that the second X test looks for, and none of the shape the first test
// wants: it is offered "x" alone, lowered for standing tall.
TEST(UvwxConfidenceTest, TheSecondXTestOffersLowerCaseXAlone) {
  TGlyphLineFixture line("dejavu-sans-50-signs");
  const int asterisk = 16;
  EXPECT_EQ(line.OffersForChar(RecognizeX, asterisk), (TOffers{{"x", 96}}));
}

// --- Drawn letters ---------------------------------------------------------

// A W whose middle apex reaches the full height: the two-valley test and the
// full-middle test both see it, and the second starts from the confidence
// the first left (98 after counting more rows of three runs than of four).
const std::vector<std::string> kFullMiddleW = {
    "...................",  //
    "..##......#......##",  //
    "..##.....###.....##",  //
    "...##....###....##.",  //
    "...##....###....##.",  //
    "...##...#####...##.",  //
    "....##..#####..##..",  //
    "....##..#####..##..",  //
    "....##..#####..##..",  //
    ".....##.#####.##...",  //
    ".....##.#####.##...",  //
    ".....##.##.##.##...",  //
    ".....####...####...",  //
    "......###...###....",  //
    "......##.....##....",  //
    "......##.....##....",  //
    "......#.......#....",  //
    "...................",  //
};

TEST(DrawnWTest, TheSecondTestStartsFromTheConfidenceTheFirstLeft) {
  // The first test offers W at 98 and leaves 98 x 98 for the second.
  EXPECT_EQ(TallLetterOffers(RecognizeW, kFullMiddleW), (TOffers{{"W", 98}, {"w", 96}}));
  // A spur on the right arm, between 5H/8 and 3H/4, ends the first test at
  // its right-side check, after that row's 98 has lowered the confidence;
  // the second test, which looks only from 3H/4 down, offers W with it.
  std::vector<std::string> spur = kFullMiddleW;
  spur[12] = ".....####...#######";
  EXPECT_EQ(TallLetterOffers(RecognizeW, spur), (TOffers{{"W", 96}, {"w", 94}}));
}

// A V 16 pixels wide closing on a narrow foot, and the same V standing on a
// flat foot wider than half its width.
TEST(DrawnVTest, AWideVOnAFlatFootWiderThanHalfItsWidthIsNotAV) {
  std::vector<std::string> v = {
      "....................",  //
      "..###..........###..",  //
      "..###..........###..",  //
      "...###........###...",  //
      "...###........###...",  //
      "....###......###....",  //
      "....###......###....",  //
      ".....###....###.....",  //
      ".....###....###.....",  //
      "......###..###......",  //
      "......###..###......",  //
      ".......######.......",  //
      ".......######.......",  //
      "........####........",  //
      "........####........",  //
      ".........##.........",  //
      ".........##.........",  //
      "....................",  //
  };
  EXPECT_EQ(TallLetterOffers(RecognizeV, v), (TOffers{{"V", 99}, {"v", 97}}));
  v[15] = v[16] = "......#########.....";
  EXPECT_TRUE(TallLetterOffers(RecognizeV, v).empty());
}

}  // namespace
}  // namespace omniocr::test
