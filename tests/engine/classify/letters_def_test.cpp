// The D, E and F recognisers on letters rendered from the corpus fonts and on
// drawn glyphs that sit on either side of one rule.

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

int IndexOf(char letter) { return letter >= 'a' ? letter - 'a' : letter - 'A'; }
std::string SetOf(char letter) { return letter >= 'a' ? "lower" : "upper"; }

// --- Rendered letters ----------------------------------------------------

struct TLetterCase {
  char Letter;
  TRecogniser Recogniser;
  const char* NearShapes;  // letters of the same case that must not get it
};

const TLetterCase kLetters[] = {
    {'D', RecognizeD, "BCPR"},  {'d', RecognizeD, "abcoq"}, {'e', RecognizeE, "acos"},
    {'E', RecognizeE, "BFLPT"}, {'f', RecognizeF, "ijlrt"}, {'F', RecognizeF, "EPRTI"},
};

class DefFontTest : public ::testing::TestWithParam<std::string> {
 protected:
  TGlyphLineFixture& Line(const std::string& set) {
    std::unique_ptr<TGlyphLineFixture>& line = set == "upper" ? Upper : Lower;
    if (!line) line = std::make_unique<TGlyphLineFixture>(GetParam() + "-" + set);
    return *line;
  }
  std::unique_ptr<TGlyphLineFixture> Upper, Lower;
};

// This d's bowl is broken open at the top at this size: it has no hole, and
// only the driver's retries at other thresholds close it.
bool OpenAtThisSize(const std::string& font, char letter) { return font == "freeserif-25" && letter == 'd'; }

TEST_P(DefFontTest, EachLetterIsTheBestOfferOfItsRecogniser) {
  for (const TLetterCase& lc : kLetters) {
    const std::string own(1, lc.Letter);
    if (OpenAtThisSize(GetParam(), lc.Letter)) continue;
    const TOffers offers = Line(SetOf(lc.Letter)).OffersForChar(lc.Recogniser, IndexOf(lc.Letter));
    ASSERT_FALSE(offers.empty()) << own;
    EXPECT_EQ(offers.front().Char, own);
    EXPECT_GE(ConfOf(offers, own), 95) << own;
  }
}

TEST_P(DefFontTest, LettersOfSimilarShapeAreRejected) {
  for (const TLetterCase& lc : kLetters) {
    const std::string own(1, lc.Letter);
    for (const char* near = lc.NearShapes; *near; ++near) {
      const TOffers offers = Line(SetOf(*near)).OffersForChar(lc.Recogniser, IndexOf(*near));
      EXPECT_EQ(ConfOf(offers, own), 0) << own << " offered for " << *near;
    }
  }
}

// A small O's sides are straight enough for the D's stem; its round lower
// left corner keeps the offer at 96, below a D's.
TEST_P(DefFontTest, AnOIsNeverOfferedAFullD) {
  const TOffers offers = Line("upper").OffersForChar(RecognizeD, IndexOf('O'));
  EXPECT_LE(ConfOf(offers, "D"), 96);
}

INSTANTIATE_TEST_SUITE_P(Fonts, DefFontTest, ::testing::ValuesIn(RenderedFontSizes()), ParamName);

// --- Confidence factors of the context -----------------------------------

struct TFactorCase {
  const char* Line;
  char Letter;
  TRecogniser Recogniser;
  bool Tall, Descends;
  int MarkAbove;
  int Conf;  // 0: not offered
};

void PrintTo(const TFactorCase& fc, std::ostream* os) {
  *os << fc.Line << " " << fc.Letter << (fc.Tall ? " tall" : " short") << (fc.Descends ? " descending" : "")
      << " mark " << fc.MarkAbove;
}

class DefFactorTest : public ::testing::TestWithParam<TFactorCase> {};

TEST_P(DefFactorTest, OfferFollowsTallDescendsAndMarks) {
  const TFactorCase& fc = GetParam();
  TGlyphLineFixture line(fc.Line);
  const int i = line.RecordOfChar(IndexOf(fc.Letter));
  ASSERT_GE(i, 0);
  TRecordContext record(line, i, TRecordContext::ReadByDriver);
  record.Context.Tall = fc.Tall;
  record.Context.Descends = fc.Descends;
  record.Glyph.MarkAbove = fc.MarkAbove;
  EXPECT_EQ(ConfOf(record.Run(fc.Recogniser), std::string(1, fc.Letter)), fc.Conf);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DefFactorTest,
    ::testing::Values(
        // D: a mark above costs 6 %, a descent and a short glyph 1 % each, in turn.
        TFactorCase{"dejavu-sans-50-upper", 'D', RecognizeD, true, false, 0, 100},
        TFactorCase{"dejavu-sans-50-upper", 'D', RecognizeD, true, false, 1, 94},
        TFactorCase{"dejavu-sans-50-upper", 'D', RecognizeD, false, true, 1, 92},
        // f: 8/10 when not tall, then one point up for a descent below 99.
        TFactorCase{"dejavu-sans-50-lower", 'f', RecognizeF, true, false, 0, 98},
        TFactorCase{"dejavu-sans-50-lower", 'f', RecognizeF, true, true, 0, 99},
        TFactorCase{"dejavu-serif-50-lower", 'f', RecognizeF, true, true, 0, 100},
        TFactorCase{"dejavu-serif-50-lower", 'f', RecognizeF, false, false, 0, 80},
        TFactorCase{"dejavu-sans-50-lower", 'f', RecognizeF, false, true, 0, 79},
        TFactorCase{"dejavu-serif-50-lower", 'f', RecognizeF, false, true, 0, 81},
        TFactorCase{"dejavu-serif-50-lower", 'f', RecognizeF, true, false, 1, 0},
        // E and F: 2 % off for a short glyph and for a descent; an open sans F keeps 100.
        TFactorCase{"liberation-sans-50-upper", 'E', RecognizeE, false, true, 0, 96},
        TFactorCase{"liberation-sans-50-upper", 'F', RecognizeF, true, false, 0, 100},
        TFactorCase{"liberation-sans-50-upper", 'F', RecognizeF, true, true, 0, 99}));

// --- The row that must cross the f once ----------------------------------

// The serif f of this line crosses its hook twice on rows 3 to 5 and its stem
// once below; the row checked is the one above the baseline when the baseline
// cuts the upper three quarters of the box.
TEST(LowerF, TheSingleCrossingRowSitsJustAboveAnInnerBaseline) {
  struct {
    int BaseFromTop;  // BaseLine - T; -1 leaves the line's own baseline
    bool Offered;
  } const cases[] = {
      {-1, true},  // below the box: three quarters down
      {4, false},  // row 3, on the hook
      {6, false},  // row 5, the hook's last row
      {7, true},   // row 6, the stem
      {0, true},   // the baseline on the top row: three quarters down
  };
  for (const auto& tc : cases) {
    TGlyphLineFixture line("dejavu-serif-50-lower");
    const int i = line.RecordOfChar(IndexOf('f'));
    ASSERT_GE(i, 0);
    TRecordContext record(line, i, TRecordContext::ReadByDriver);
    if (tc.BaseFromTop >= 0) record.Glyph.BaseLine = record.Glyph.Top + tc.BaseFromTop;
    EXPECT_EQ(ConfOf(record.Run(RecognizeF), "f") > 0, tc.Offered) << "baseline at row " << tc.BaseFromTop;
  }
}

// --- Drawn E: the arms open to the right above and below the middle -------

// An E 11 x 15 whose top bar ends in a serif hanging down to row `upperTo`
// and whose bottom bar ends in one rising to row `lowerTo` (column 10; a
// value outside the box draws none).
std::vector<std::string> DrawnE(int upperTo, int lowerTo) {
  std::vector<std::string> rows(15, "##.........");
  rows[0] = rows[1] = rows[13] = rows[14] = "###########";
  rows[6] = rows[7] = "########...";
  for (int y = 2; y <= upperTo && y < 15; ++y) rows[y][10] = '#';
  for (int y = 12; y >= lowerTo && y >= 0; --y) rows[y][10] = '#';
  return OnPaper(rows, 1, 2, 1);
}

TEST(UpperE, ArmsMustOpenOnTheirOwnHalf) {
  struct {
    int UpperTo, LowerTo;
    bool Offered;
  } const cases[] = {
      {0, 99, true},   // plain E
      {6, 99, true},   // the upper walk leaves at row 7, the middle row
      {7, 99, false},  // ... at row 8, below the middle
      {0, 8, true},    // the lower walk leaves at row 7
      {0, 7, false},   // ... at row 6, above the middle
  };
  for (const auto& tc : cases) {
    TPageFixture page(DrawnE(tc.UpperTo, tc.LowerTo), {1, 6, 16, 20});
    ASSERT_EQ(page.Count(), 1);
    const TOffers offers = TRecordContext(page, 0, TRecordContext::AsItStands).Run(RecognizeE);
    EXPECT_EQ(ConfOf(offers, "E"), tc.Offered ? 100 : 0) << "serifs to " << tc.UpperTo << ", " << tc.LowerTo;
  }
}

// --- Drawn F: the middle bar against the stem below it --------------------

// An F `width` wide and 16 high: a stem `stem` wide, a top bar of three rows
// and a middle bar `bar` wide on rows 7 and 8.
std::vector<std::string> DrawnF(int width, int stem, int bar) {
  std::vector<std::string> rows(16, std::string(width, '.'));
  for (int y = 0; y < 16; ++y) {
    const int ink = y < 3 ? width : (y == 7 || y == 8) ? bar : stem;
    rows[y].replace(0, ink, std::string(ink, '#'));
  }
  return OnPaper(rows, 1, 2, 1);
}

TEST(UpperF, AWideGlyphNeedsAMiddleBarOverTwiceTheStem) {
  struct {
    int Width, Stem, Bar;
    bool Offered;
  } const cases[] = {
      {12, 4, 9, true},   // 9 > 2 x 4
      {12, 4, 7, false},  // 7 > 4 + 1 is not enough when wider than 8
      {8, 2, 4, true},    // narrow: 4 > 2 + 1 will do
      {8, 2, 3, false},
  };
  for (const auto& tc : cases) {
    TPageFixture page(DrawnF(tc.Width, tc.Stem, tc.Bar), {1, 6, 17, 21});
    ASSERT_EQ(page.Count(), 1);
    const TOffers offers = TRecordContext(page, 0, TRecordContext::AsItStands).Run(RecognizeF);
    EXPECT_EQ(ConfOf(offers, "F") > 0, tc.Offered) << tc.Width << " wide, bar " << tc.Bar;
  }
}

}  // namespace
}  // namespace omniocr::test
