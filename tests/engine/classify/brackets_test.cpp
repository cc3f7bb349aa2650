// The bracket and slash recogniser on the rendered sign lines and on drawn
// glyphs: what it offers, with which confidence, and what it must leave alone.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// The characters of a "signs" line; the first ten are this recogniser's.
const char* const kSigns[] = {"(", ")", "[", "]", "{", "}", "<", ">", "/", "\\", "ß",
                              "+", "$", "&", "?", "!", "*", "@", "§", "#", "€",  "%"};
constexpr int kBracketCount = 10;

// The best offer of a list, "" when it is empty.
std::string Best(const TOffers& offers) { return offers.empty() ? "" : offers.front().Char; }

// --- Rendered signs ---------------------------------------------------------

class RenderedBracketTest : public ::testing::TestWithParam<std::string> {};

TEST_P(RenderedBracketTest, OffersEveryBracketAndSlash) {
  TGlyphLineFixture line(GetParam());
  for (int k = 0; k < kBracketCount; ++k) {
    // The small FreeSerif braces bulge into the column beside their far edge,
    // which a brace must leave empty in its middle half.
    if (GetParam() == "freeserif-25-signs" && (k == 4 || k == 5)) continue;
    EXPECT_GT(ConfOf(line.OffersForChar(RecognizeBrackets, k), kSigns[k]), 0) << kSigns[k];
  }
}

TEST_P(RenderedBracketTest, OffersParenthesesSquareBracketsAnglesAndSlashesFirst) {
  TGlyphLineFixture line(GetParam());
  for (const int k : {0, 1, 2, 3, 6, 7, 8, 9})
    EXPECT_EQ(Best(line.OffersForChar(RecognizeBrackets, k)), kSigns[k]) << kSigns[k];
}

INSTANTIATE_TEST_SUITE_P(Fonts, RenderedBracketTest, ::testing::ValuesIn(RenderedLines({"signs"})),
                         ParamName);

struct TOfferCase {
  const char* Line;
  int Char;  // index on the line
  const char* Offer;
  int Conf;
};

// The confidence each path gives.
const TOfferCase kOfferCases[] = {
    {"dejavu-sans-50-signs", 2, "[", 100},     // tall, bar corners full
    {"dejavu-sans-25-signs", 3, "]", 100},     //
    {"dejavu-sans-50-signs", 0, "(", 98},      //
    {"dejavu-sans-25-signs", 4, "{", 99},      // tall, point in the middle
    {"dejavu-sans-50-signs", 4, "{", 97},      // the point a row above the middle: x98 ...
    {"dejavu-sans-50-signs", 4, "(", 98},      // ... and the brace also passes for a parenthesis
    {"dejavu-sans-50-signs", 6, "<", 98},      // narrow beside the line's mean width
    {"liberation-mono-50-signs", 6, "<", 88},  // the same, with arms bowed off the straight line
    {"freeserif-25-signs", 7, ">", 93},        //
    {"freeserif-50-signs", 8, "/", 99},        // the thin slash test keeps its 99 over the 96
    {"freeserif-50-signs", 8, "[", 95},        //
    {"dejavu-sans-50-signs", 9, "\\", 99},     //
};

TEST(BracketConfidence, EachPathGivesItsConfidence) {
  for (const TOfferCase& t : kOfferCases) {
    TGlyphLineFixture line(t.Line);
    EXPECT_EQ(ConfOf(line.OffersForChar(RecognizeBrackets, t.Char), t.Offer), t.Conf)
        << t.Line << " " << kSigns[t.Char] << " as " << t.Offer;
  }
}

// Letters whose shapes come closest to a bracket or slash get nothing.
class LetterLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LetterLineTest, NoBracketForLettersOfSimilarShape) {
  TGlyphLineFixture line(GetParam());
  const bool upper = GetParam().ends_with("upper");
  const std::string letters = upper ? "CJLVXZ" : "cvxz";
  for (const char letter : letters) {
    const int k = letter - (upper ? 'A' : 'a');
    EXPECT_EQ(OffersText(line.OffersForChar(RecognizeBrackets, k)), "") << letter;
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, LetterLineTest, ::testing::ValuesIn(RenderedLines({"upper", "lower"})),
                         ParamName);

// --- Drawn glyphs -------------------------------------------------------------

// A line with a margin of paper around the art; its first record's offers.
TOffers OffersOfDrawing(const std::vector<std::string>& art, const TLineGuides& guides) {
  TGlyphLineFixture page(TArtLine{guides, OnPaper(art, 3, 3, 3), {}});
  EXPECT_EQ(page.Count(), 1);
  return page.Offers(RecognizeBrackets, 0);
}

std::vector<std::string> Mirrored(std::vector<std::string> art) {
  for (std::string& row : art) std::reverse(row.begin(), row.end());
  return art;
}

// A flat "<" whose vertex lies below the middle row: the vertex row is the
// last row that sets a new smallest margin, so it is found only when each row
// is compared with the margins of the rows before it.
const std::vector<std::string> kLowVertexWedge = {
    "............####",  //
    "..........#####.",  //
    ".......#####....",  //
    ".....####.......",  //
    "..#####.........",  //
    ".###............",  //
    "###.............",  //
    ".#####..........",  //
    ".....#####......",  //
    ".........#####..",  //
    "............####",  //
};

// A ")" of eleven rows: too short for the rows its end scans skip, so the
// upward scan starts on its own last row.
const std::vector<std::string> kShortParenthesis = {
    "##..",  //
    ".##.",  //
    ".##.",  //
    "..##",  //
    "..##",  //
    "..##",  //
    "..##",  //
    "..##",  //
    ".##.",  //
    ".##.",  //
    "##..",  //
};

TEST(DrawnBrackets, WedgesAndParenthesesOfFewRows) {
  // Guides that put the glyphs' height above the parenthesis minimum.
  const TLineGuides guides{3, 5, 13, 16};
  struct TCase {
    const char* Name;
    std::vector<std::string> Art;
    std::string Expected;
  };
  const TCase cases[] = {
      {"low vertex <", kLowVertexWedge, "<98"},
      {"low vertex >", Mirrored(kLowVertexWedge), ">98"},
      {"short )", kShortParenthesis, ")98"},
      {"short (", Mirrored(kShortParenthesis), "(98"},
  };
  for (const TCase& t : cases) EXPECT_EQ(OffersText(OffersOfDrawing(t.Art, guides)), t.Expected) << t.Name;
}

TEST(DrawnBrackets, ParenthesisShorterThanTheLineIsNotOffered) {
  TArtLine art = LoadGlyphLine("dejavu-sans-25-signs");
  {
    TGlyphLineFixture line(art);
    ASSERT_EQ(ConfOf(line.OffersForChar(RecognizeBrackets, 0), "("), 98);
  }
  // A descender line far below: halfway to it from the mean line is taller
  // than the parenthesis.
  art.Guides.Desc += 30;
  TGlyphLineFixture line(art);
  EXPECT_EQ(ConfOf(line.OffersForChar(RecognizeBrackets, 0), "("), 0);
}

// --- Braces with a neighbour's ink inside the box ---------------------------

TEST(BraceNeighbour, InkBesideTheArmsOnThePageRejectsTheBrace) {
  struct TCase {
    int Char;
    bool AtRight;  // the neighbour's ink in the box's last column, else its first
  };
  for (const TCase t : {TCase{4, false}, TCase{5, true}}) {
    TArtLine art = LoadGlyphLine("dejavu-sans-25-signs");
    int left = 0, right = 0, top = 0, count = 0;
    {
      TGlyphLineFixture line(art);
      ASSERT_EQ(ConfOf(line.OffersForChar(RecognizeBrackets, t.Char), kSigns[t.Char]), 99);
      const TOCRChar& brace = line.Record(line.RecordOfChar(t.Char));
      left = brace.Left;
      right = brace.Right;
      top = brace.Top;
      count = line.Count();
    }
    // A speck on the edge column in the brace's second and third rows, apart
    // from the brace's own arm.
    const int x = t.AtRight ? right : left;
    art.Rows[top + 1][x] = '#';
    art.Rows[top + 2][x] = '#';
    TGlyphLineFixture line(art);
    ASSERT_EQ(line.Count(), count + 1) << "the speck stays a record of its own";
    EXPECT_EQ(ConfOf(line.OffersForChar(RecognizeBrackets, t.Char), kSigns[t.Char]), 0) << kSigns[t.Char];
  }
}

}  // namespace
}  // namespace omniocr::test
