// The O, P and Q recognisers on letters rendered from real fonts, on the
// same letters under other guides, and on drawn q's with and without a
// closed bowl.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

class OPQFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(OPQFontTest, EachLetterLeadsWithTheCaseItsHeightFavours) {
  TGlyphLineFixture upper(GetParam() + "-upper"), lower(GetParam() + "-lower");
  struct TCase {
    TGlyphLineFixture& line;
    TRecogniser recogniser;
    int letter;
    TOffers expected;  // the head, or the whole pair
  };
  // A Q gets 100 when nothing marks it down: its confidence starts there.
  std::vector<TCase> cases = {
      {upper, RecognizeO, 14, {{"O", 100}, {"o", 98}}},
      {upper, RecognizeP, 15, {{"P", 100}, {"p", 98}}},
      {lower, RecognizeP, 15, {{"p", 100}, {"P", 98}}},
      {upper, RecognizeQ, 16, {{"Q", 100}}},
      {lower, RecognizeQ, 16, {{"q", 100}}},
  };
  // At 25 pixels the FreeSerif o's ring does not close at the top: no hole.
  if (GetParam() != "freeserif-25") cases.push_back({lower, RecognizeO, 14, {{"o", 100}, {"O", 98}}});
  for (const TCase& t : cases) {
    const TOffers offers = t.line.OffersForChar(t.recogniser, t.letter);
    ASSERT_GE(offers.size(), t.expected.size()) << t.expected[0].Char;
    EXPECT_EQ(TOffers(offers.begin(), offers.begin() + t.expected.size()), t.expected);
  }
}

TEST_P(OPQFontTest, LookAlikesGetNothing) {
  TGlyphLineFixture upper(GetParam() + "-upper"), lower(GetParam() + "-lower");
  for (const TLookAlikes& t :
       {TLookAlikes{upper, RecognizeO, "O", "CDGQ", 'A'}, TLookAlikes{lower, RecognizeO, "O", "abce", 'a'},
        TLookAlikes{upper, RecognizeP, "P", "BDR", 'A'}, TLookAlikes{lower, RecognizeP, "P", "bdq", 'a'},
        TLookAlikes{upper, RecognizeQ, "Q", "CDGO", 'A'}, TLookAlikes{lower, RecognizeQ, "Q", "adgop", 'a'}})
    ExpectNothingOffered(t);
}

INSTANTIATE_TEST_SUITE_P(Fonts, OPQFontTest, ::testing::ValuesIn(RenderedFontSizes()), ParamName);

TEST(PTest, CaseFollowsTallAndDescendsAndBothWhenTheyAgree) {
  struct TCase {
    const char* what;
    const char* line;
    TLineGuides guides;
    TOffers expected;
  };
  const TCase cases[] = {
      {"tall, not descending", "dejavu-sans-50-upper", {16, 27, 54, 63}, {{"P", 100}, {"p", 98}}},
      {"descending, not tall", "dejavu-sans-50-lower", {16, 27, 54, 63}, {{"p", 100}, {"P", 98}}},
      // A line of capitals only: the mean line sits at the capitals' top.
      {"neither", "dejavu-sans-50-upper", {8, 16, 54, 63}, {{"P", 95}, {"p", 95}}},
      {"both", "dejavu-sans-50-lower", {27, 27, 54, 63}, {{"P", 95}, {"p", 95}}},
  };
  for (const TCase& t : cases) {
    TArtLine art = LoadGlyphLine(t.line);
    art.Guides = t.guides;
    TGlyphLineFixture line(art);
    EXPECT_EQ(line.OffersForChar(RecognizeP, 15), t.expected) << t.what;
  }
}

// A q of 9 x 14 pixels (or twice as wide), its bowl closed or open on the left.
std::vector<std::string> DrawnQ(bool wide, bool broken) {
  std::vector<std::string> q = {
      "..#######", ".########", "##....###", "##....###", "##....###", "##....###", "##....###",
      "##....###", ".########", "..#######", ".......##", ".......##", ".......##", ".......##",
  };
  if (broken) q[5] = q[6] = "......###";
  std::vector<std::string> rows(1, std::string(2 * q[0].size() + 2, '.'));
  for (const std::string& r : q) {
    std::string row = ".";
    for (const char ch : r) row += wide ? std::string(2, ch) : std::string(1, ch);
    rows.push_back(row + ".");
  }
  rows.insert(rows.end(), 4, rows[0]);
  return rows;
}

TEST(LowerQTest, AWideQNeedsAClosedBowlANarrowOneIsOnlyMarkedDown) {
  constexpr TLineGuides kGuides = {0, 1, 11, 15};
  struct TCase {
    const char* what;
    bool wide, broken;
    int conf;
  };
  const TCase cases[] = {
      {"narrow, closed", false, false, 100},
      {"narrow, open", false, true, 96},  // no hole in the box nor above the stem: 100 x 98 x 98
      {"wide, closed", true, false, 100},
      {"wide, open", true, true, 0},
  };
  for (const TCase& t : cases)
    EXPECT_EQ(ConfOf(DrawnGlyphOffers(RecognizeQ, DrawnQ(t.wide, t.broken), kGuides), "q"), t.conf) << t.what;
}

}  // namespace
}  // namespace omniocr::test
