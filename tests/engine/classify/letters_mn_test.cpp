// The M and N recognisers on letters rendered from real fonts, and on drawn
// glyphs that single out the arch walk, the bay widths, a high middle vertex
// and a mark above an n.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

class MNFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(MNFontTest, EachLetterGetsItsOwnCaseOnly) {
  TGlyphLineFixture upper(GetParam() + "-upper"), lower(GetParam() + "-lower");
  struct TCase {
    TGlyphLineFixture& line;
    TRecogniser recogniser;
    int letter;
    const char* expected;
  };
  const TCase cases[] = {
      {upper, RecognizeM, 12, "M"},
      {lower, RecognizeM, 12, "m"},
      {upper, RecognizeN, 13, "N"},
      {lower, RecognizeN, 13, "n"},
  };
  for (const TCase& t : cases) {
    const TOffers offers = t.line.OffersForChar(t.recogniser, t.letter);
    ASSERT_EQ(offers.size(), 1u) << t.expected;
    EXPECT_EQ(offers[0].Char, t.expected);
    EXPECT_GE(offers[0].Conf, 95) << t.expected;
  }
}

TEST_P(MNFontTest, LookAlikesGetNothing) {
  TGlyphLineFixture upper(GetParam() + "-upper"), lower(GetParam() + "-lower");
  for (const TLookAlikes& t :
       {TLookAlikes{upper, RecognizeM, "M", "HNW", 'A'}, TLookAlikes{lower, RecognizeM, "M", "hnuw", 'a'},
        TLookAlikes{upper, RecognizeN, "N", "HMU", 'A'}, TLookAlikes{lower, RecognizeN, "N", "hmur", 'a'}})
    ExpectNothingOffered(t);
}

INSTANTIATE_TEST_SUITE_P(Fonts, MNFontTest, ::testing::ValuesIn(RenderedFontSizes()), ParamName);

// Lower-case guides: the glyph's top (row 1) on the mean line, not tall.
constexpr TLineGuides kSmall = {0, 1, 13, 16};

std::vector<std::string> Framed(const std::vector<std::string>& glyph, int blankAbove = 1) {
  return OnPaper(glyph, blankAbove, 1, 4);
}

// An m whose middle stem's right edge starts low (a notch in the top at
// column 7 reaching 5 of 12 rows down), with or without a left foot that
// makes it look hooked at the top left.
std::vector<std::string> NotchedM(bool hooked, bool notched) {
  std::vector<std::string> m = {
      "..######.#####",  //
      "..######.#####",  //
      "..##...#.#..##",  //
      "..##...#.#..##",  //
      "..##...#.#..##",  //
      "..##...####.##",  //
      "..##...##...##",  //
      "..##...##...##",  //
      "..##...##...##",  //
      "..##...##...##",  //
      "..##...##...##",  //
      "..##...##...##",  //
  };
  if (!notched)
    for (int y = 0; y < 5; ++y) m[y][8] = '#';
  if (hooked) m[10] = m[11] = "######.##...##";
  return Framed(m);
}

TEST(LowerMTest, TheHookedCornerIsOfferedEvenWhenTheArchWalkFails) {
  struct TCase {
    const char* what;
    bool hooked, notched;
    int conf;  // of "m", 0 for none
  };
  const TCase cases[] = {
      {"plain arches", false, false, 100},
      {"notch between the arches", false, true, 0},
      {"notch, hooked corner", true, true, 90},
  };
  for (const TCase& t : cases) {
    const TOffers offers = DrawnGlyphOffers(RecognizeM, NotchedM(t.hooked, t.notched), kSmall);
    EXPECT_EQ(ConfOf(offers, "m"), t.conf) << t.what;
  }
}

TEST(LowerMTest, ATopThatThinsOverTheLeftBayRejectsOnlyWhenTheRightBayIsNarrower) {
  const std::vector<std::string> narrowRightBay(10, "##....##...##");
  const std::vector<std::string> equalBays(9, "##....##....##");
  std::vector<std::string> narrowEven = {"#############", "#############"};
  narrowEven.insert(narrowEven.end(), narrowRightBay.begin(), narrowRightBay.end());
  // Over the left bay the top is three rows thick at one column, one row at the next.
  std::vector<std::string> narrowThin = {"#############", "#####.#######", "##..#.##...##"};
  narrowThin.insert(narrowThin.end(), narrowRightBay.begin(), narrowRightBay.end() - 1);
  std::vector<std::string> equalThin = {"##############", "#####.########", "##..#.##....##"};
  equalThin.insert(equalThin.end(), equalBays.begin(), equalBays.end());
  struct TCase {
    const char* what;
    const std::vector<std::string>& glyph;
    int conf;
  };
  const TCase cases[] = {
      {"narrower right bay, even top", narrowEven, 100},
      {"narrower right bay, thin top", narrowThin, 0},
      {"equal bays, thin top", equalThin, 100},
  };
  for (const TCase& t : cases)
    EXPECT_EQ(ConfOf(DrawnGlyphOffers(RecognizeM, Framed(t.glyph), kSmall), "m"), t.conf) << t.what;
}

TEST(UpperMTest, AHighMiddleVertexIsOfferedOnlyWhenTallAndBelowFullConfidence) {
  std::vector<std::string> m = {
      "##.......##",  //
      "###.....###",  //
      "##.#...#.##",  //
      "##..###..##",  // the vertex's top: row 3 of 16, above a quarter
      "##..###..##",  //
      "##...#...##",  //
  };
  m.insert(m.end(), 10, "##.......##");
  const std::vector<std::string> rows = Framed(m);
  EXPECT_EQ(DrawnGlyphOffers(RecognizeM, rows, {1, 5, 17, 20}), (TOffers{{"M", 99}}));
  EXPECT_TRUE(DrawnGlyphOffers(RecognizeM, rows, {0, 1, 17, 20}).empty());
}

// An n whose top row breaks into `topRow`, under a separate mark two rows
// high at `markColumn`; the n's top is row 4.
std::vector<std::string> MarkedN(const std::string& topRow, int markColumn) {
  std::vector<std::string> n = {topRow, "########"};
  n.insert(n.end(), 8, "##....##");
  std::vector<std::string> rows = Framed(n, 4);
  rows[1].replace(markColumn, 2, "##");
  rows[2].replace(markColumn, 2, "##");
  return rows;
}

TEST(LowerNTest, AMarkOverTheRightHalfRejectsAnNWithABrokenTop) {
  constexpr TLineGuides kGuides = {1, 4, 14, 17};
  struct TCase {
    const char* what;
    std::string topRow;
    int markColumn, markAbove;
    TLineGuides guides;
    int conf;
  };
  const TCase cases[] = {
      {"three runs on top, mark over the right half", "##.##.##", 6, 1, kGuides, 0},
      {"three runs on top, no mark recorded", "##.##.##", 6, 0, kGuides, 100},
      {"three runs on top, mark over the left half", "##.##.##", 1, 1, kGuides, 100},
      {"two runs on top, mark over the right half", "###.####", 6, 1, kGuides, 100},
      // The ascender line at the n's top: no rows to look at (and the n is tall).
      {"mark above the ascender line", "##.##.##", 6, 1, {4, 5, 14, 17}, 96},
  };
  for (const TCase& t : cases) {
    const TOffers offers =
        DrawnGlyphOffers(RecognizeN, MarkedN(t.topRow, t.markColumn), t.guides, t.markAbove);
    EXPECT_EQ(ConfOf(offers, "n"), t.conf) << t.what;
  }
}

}  // namespace
}  // namespace omniocr::test
