// Punctuation rules and accent detection on small drawn marks.

#include <gtest/gtest.h>

#include <array>

#include "engine/classify/accent.h"
#include "engine/classify/candidates.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/driver.h"
#include "glyph_fixtures.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {
namespace {

const TLineGuides kLine{2, 10, 20, 26};

// A page of 30 x 28 with the given rectangles inked.
std::vector<std::string> Marks(std::initializer_list<std::array<int, 4>> rects) {
  std::vector<std::string> rows(28, std::string(30, '.'));
  for (const auto& r : rects)
    for (int y = r[1]; y <= r[3]; ++y)
      for (int x = r[0]; x <= r[2]; ++x) rows[y][x] = '#';
  return rows;
}

// Dispatches record 0 with its extraction box and seed, MarkAbove as given.
TCharCode Dispatch(TPageFixture& f, int markAbove = 0) {
  TOCRChar& g = f.Record(0);
  g.MarkAbove = markAbove;
  auto bitmap = CutGlyphBitmap(f.Engine, g, g.StartX, g.StartY, f.Engine.Threshold);
  return DispatchGlyph(f.Engine, g, *bitmap, f.Engine.Threshold);
}

int ConfidenceOf(const TOCRChar& g, TCharCode ch) {
  for (int k = 0; k < g.CandCount; ++k)
    if (g.CandChar[k] == ch) return g.CandConf[k];
  return -1;
}

TEST(Punctuation, BarsBetweenTheGuides) {
  struct TCase {
    const char* what;
    std::array<int, 4> rect;
    int markAbove;
    TCharCode ch;
    int conf;
  } cases[] = {
      {"long dash", {4, 14, 15, 15}, 0, u'-', 100},
      {"short thick dash", {4, 13, 8, 15}, 0, u'-', 97},  // x98 for 2H >= W, x99 for 3H >= W
      {"underscore", {4, 19, 15, 20}, 0, u'_', 100},
      {"bar under a mark", {4, 14, 15, 15}, 1, u'=', 97},
  };
  for (const TCase& c : cases) {
    TPageFixture f(Marks({c.rect}), kLine);
    ASSERT_EQ(f.Count(), 1) << c.what;
    EXPECT_EQ(Dispatch(f, c.markAbove), c.ch) << c.what;
    EXPECT_EQ(ConfidenceOf(f.Record(0), c.ch), c.conf) << c.what;
  }
}

TEST(Punctuation, TwoFullBarsAreAnEqualsSignThatEndsTheDispatch) {
  TPageFixture f(Marks({{4, 12, 15, 13}, {4, 16, 15, 17}}), kLine);
  TOCRChar& g = f.Record(0);
  g.Bottom = f.Record(1).Bottom;  // one record over both bars
  EXPECT_EQ(Dispatch(f), u'=');
  EXPECT_EQ(ConfidenceOf(g, u'='), 100);
  EXPECT_EQ(g.CandCount, 1);
}

TEST(Punctuation, RoundDotOnTheBaselineIsAFullStop) {
  TPageFixture f(Marks({{6, 17, 9, 20}}), kLine);
  Dispatch(f);
  EXPECT_EQ(f.Record(0).BestChar, u'.');
  EXPECT_EQ(ConfidenceOf(f.Record(0), u'.'), 99);

  TPageFixture marked(Marks({{6, 17, 9, 20}}), kLine);
  Dispatch(marked, 1);
  EXPECT_EQ(ConfidenceOf(marked.Record(0), u':'), 99);
  EXPECT_EQ(ConfidenceOf(marked.Record(0), u'.'), 97);
}

// The dot and stem of an "i", one record over both (guides 2, 7, 20, 26).
const TLineGuides kStemLine{2, 7, 20, 26};

std::vector<std::string> DottedStem(int dotRows) {
  std::vector<std::string> rows(28, std::string(12, '.'));
  for (int y = 3; y < 3 + dotRows; ++y) rows[y].replace(5, 2, "##");
  for (int y = 8; y <= 20; ++y) rows[y].replace(5, 2, "##");
  return rows;
}

// Record 0 stretched over the dot and the stem.
TOCRChar& WholeStem(TPageFixture& f) {
  TOCRChar& g = f.Record(0);
  g.Top = 3;
  g.Bottom = 20;
  return g;
}

TEST(Accent, SquareDotAboveAStemIsADotAbove) {
  TPageFixture f(DottedStem(2), kStemLine);
  WholeStem(f);
  TCharCode accent = 32;
  EXPECT_EQ(DetectAccent(f.Engine, f.Record(0), f.Engine.Threshold, 1, accent), 1);
  EXPECT_EQ(f.Record(0).MarkAbove, 1);
  EXPECT_EQ(f.Record(0).Accent, acDotAbove);
  EXPECT_EQ(accent, acDotAbove);
  EXPECT_EQ(f.Record(0).Top, 3);  // mode 1 leaves the box alone
  // Composition: "i" is stored unchanged, "I" becomes U+0130.
  SetAC(f.Engine, f.Record(0), u'i', 90);
  SetAC(f.Engine, f.Record(0), u'I', 80);
  EXPECT_EQ(f.Record(0).CandChar[0], u'i');
  EXPECT_EQ(f.Record(0).CandChar[1], 0x0130);
}

TEST(Accent, OneRowMarkRecordsNoMarkButKeepsTheTopMove) {
  TPageFixture f(DottedStem(1), kStemLine);
  TOCRChar& g = WholeStem(f);
  g.MarkAbove = 5;
  g.Accent = acGrave;
  TCharCode accent = 32;
  EXPECT_EQ(DetectAccent(f.Engine, g, f.Engine.Threshold, 2, accent), 0);
  EXPECT_EQ(g.MarkAbove, 0);
  EXPECT_EQ(g.Accent, 0);
  EXPECT_EQ(accent, 0);
  EXPECT_EQ(g.Top, 8);
}

TEST(Accent, BodyWithoutGapRecordsNoMarkAndLeavesTheAccentArgument) {
  TPageFixture f(DottedStem(5), kStemLine);  // the dot touches the stem
  TOCRChar& g = WholeStem(f);
  g.MarkAbove = 1;
  g.Accent = acAcute;
  TCharCode accent = 32;
  EXPECT_EQ(DetectAccent(f.Engine, g, f.Engine.Threshold, 1, accent), 0);
  EXPECT_EQ(g.MarkAbove, 0);
  EXPECT_EQ(g.Accent, 0);
  EXPECT_EQ(accent, 32);
}

TEST(Accent, ShortBoxGetsNoAccentAndNothingRecorded) {
  TPageFixture f(Marks({{4, 16, 8, 16}, {4, 18, 8, 19}}), kLine);
  TOCRChar& g = f.Record(0);
  g.Bottom = 19;  // 4 rows
  g.MarkAbove = 7;
  TCharCode accent = 32;
  EXPECT_EQ(DetectAccent(f.Engine, g, f.Engine.Threshold, 2, accent), 0);
  EXPECT_EQ(g.MarkAbove, 7);
  EXPECT_EQ(accent, 32);
  EXPECT_EQ(g.Top, 16);
}

// The record of a mark over a stem drawn in rows 4 to 20 of the fixture's
// page, its box from column `left` to `right`.
TOCRChar& MarkedStem(TPageFixture& f, int left, int right) {
  TOCRChar& g = f.Record(0);
  g.Left = left;
  g.Right = right;
  g.Top = 4;
  g.Bottom = 20;
  return g;
}

// A bar over a one-pixel stem at the box's left or right column, with or
// without two paper rows between them: the stem's rows must read as ink
// wherever the box lies on the page and however wide it is (narrow and
// wide boxes, at the page's edges and away from them).
TEST(Accent, GapUnderAMarkIsFoundWhereverTheBoxLies) {
  struct TCase {
    int Left, Right;
    bool StemRight, Gap;
  };
  const TCase cases[] = {
      {20, 24, false, false}, {20, 24, true, false},  {20, 24, true, true},   // narrow
      {20, 37, false, false}, {20, 37, true, false},  {20, 37, false, true},  // two windows
      {20, 51, false, false}, {20, 51, true, false},  {20, 51, true, true},   // wide
      {0, 6, false, false},   {0, 6, true, false},    {0, 6, true, true},     // the left edge
      {49, 69, false, false}, {49, 69, true, false},  {49, 69, false, true},  // the right edge
      {60, 69, true, false},  {60, 69, false, false}, {60, 69, false, true},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Left << ".." << c.Right << (c.StemRight ? " right" : " left")
                                    << (c.Gap ? " gap" : " joined"));
    std::vector<std::string> rows(28, std::string(70, '.'));
    for (int y = 4; y <= 6; ++y)
      for (int x = c.Left; x <= c.Right; ++x) rows[y][x] = '#';
    const int stem = c.StemRight ? c.Right : c.Left;
    for (int y = c.Gap ? 9 : 7; y <= 20; ++y) rows[y][stem] = '#';
    TPageFixture f(rows, kLine);
    TOCRChar& g = MarkedStem(f, c.Left, c.Right);
    TCharCode accent = 32;
    EXPECT_EQ(DetectAccent(f.Engine, g, f.Engine.Threshold, 1, accent), c.Gap ? 1 : 0);
    EXPECT_EQ(g.MarkAbove, c.Gap ? 1 : 0);
  }
}

// Two dots over a stem are a diaeresis when paper parts them before the
// box's last column; a dot that is only that column, or one bar, is a single
// mark. Boxes at the page's edges and away from them, narrow and wide.
TEST(Accent, TwoDotsSideBySideAreADiaeresis) {
  struct TCase {
    int Left, Right, SecondDot;  // the second dot's first column; -1: one bar
    int Marks;
  };
  const TCase cases[] = {
      {20, 26, 24, 2}, {0, 6, 4, 2},    {63, 69, 67, 2}, {10, 40, 35, 2},
      {20, 26, 26, 1}, {63, 69, 69, 1}, {20, 26, -1, 1}, {0, 6, -1, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Left << ".." << c.Right << " second dot at " << c.SecondDot);
    std::vector<std::string> rows(28, std::string(70, '.'));
    for (int y = 4; y <= 6; ++y)
      for (int x = c.Left; x <= c.Right; ++x) {
        const bool firstDot = x <= c.Left + 2;
        if (c.SecondDot < 0 || firstDot || x >= c.SecondDot) rows[y][x] = '#';
      }
    for (int y = 9; y <= 20; ++y) rows[y][(c.Left + c.Right) / 2] = '#';
    TPageFixture f(rows, kLine);
    TOCRChar& g = MarkedStem(f, c.Left, c.Right);
    TCharCode accent = 32;
    EXPECT_EQ(DetectAccent(f.Engine, g, f.Engine.Threshold, 1, accent), c.Marks);
    EXPECT_EQ(accent == acDiaeresis, c.Marks == 2);
  }
}

TEST(Accent, AcuteOverAZeroComposesAndKeepsTheWholeBox) {
  const TArtLine zero = LoadDigitLine("sans-24");
  std::vector<std::string> rows(8, std::string(20, '.'));
  for (const std::string& r : zero.Rows) rows.push_back(r.substr(0, 20));
  rows[11].replace(12, 2, "##");
  rows[12].replace(11, 2, "##");
  rows[13].replace(10, 2, "##");
  rows[14].replace(9, 2, "##");
  const TLineGuides g8{zero.Guides.Asc + 8, zero.Guides.Mean + 8, zero.Guides.Base + 8, zero.Guides.Desc + 8};
  TPageFixture f(rows, g8);
  ASSERT_EQ(f.Count(), 2);
  TOCRChar& body = f.Record(0);
  ASSERT_EQ(body.Top, 18);
  body.Top = 11;  // one record over the zero and its accent
  EXPECT_EQ(f.Read(0), 0x00D3);
  EXPECT_EQ(body.BestChar, 0x00D3);
  EXPECT_EQ(body.Accent, acAcute);
  EXPECT_EQ(body.Top, 11);
  EXPECT_EQ(body.Bottom, 35);
}

}  // namespace
}  // namespace omniocr::test
