// The notation's words as the letter and sign rules read them: page and
// glyph probes side by side, the margins and runs of rows with no ink, holes
// of page rectangles, the letter pair, and the 0-based hole list.

#include "engine/classify/notation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/classify/ink_plane.h"
#include "engine/classify/probe_scratch.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// Record 0 is a ring (a hole of 3 x 3) with a small bowl below it (a hole of
// 1 x 1); record 1, a bar, stands two columns to its right, so a row of the
// ring's box that holds none of its ink still has the bar's ink beyond R.
// The ring's row 3 holds only its own left and right sides.
const std::vector<std::string> kPage = {
    "...........",  //
    ".#####.....",  //
    ".#...#.....",  //
    ".#...#..##.",  //
    ".#...#..##.",  //
    ".#####..##.",  //
    "..#.#...##.",  //
    "..###...##.",  //
    "........##.",  //
};

class NotationTest : public ::testing::Test {
 protected:
  NotationTest() : Page(kPage, {1, 2, 7, 8}), Ring(Page, 0, TRecordContext::AsItStands) {
    Ring.Context.Tall = true;
  }
  TGlyphView View() const { return Ring.View(); }

  TPageFixture Page;
  TRecordContext Ring;
};

TEST_F(NotationTest, BoxSizesCentreAndBitmapSize) {
  TOCRChar& g = Page.Record(0);
  ASSERT_EQ(g.Left, 1);
  ASSERT_EQ(g.Right, 5);
  const TGlyphView v = View();
  EXPECT_EQ(v.W, 5);
  EXPECT_EQ(v.H, 7);
  EXPECT_EQ(v.xc, 1 + 5 / 2);
  EXPECT_EQ(v.yc, 1 + 7 / 2);
  // A box moved after the bitmap was cut keeps the bitmap's own size.
  g.Top += 2;
  const TGlyphView moved = View();
  EXPECT_EQ(moved.H, 5);
  EXPECT_EQ(moved.HB, 7);
  EXPECT_EQ(moved.WB, 5);
}

TEST_F(NotationTest, PageProbesTakePageCoordinatesAndTheBoxAsDefaultLimits) {
  const TGlyphView v = View();
  EXPECT_EQ(v.P.lm(3), 0);
  EXPECT_EQ(v.P.rm(3), 0);
  EXPECT_EQ(v.P.lm(8), 5);     // an empty row: the default limit W
  EXPECT_EQ(v.P.lm(8, 9), 7);  // a wider limit reaches the bar
  EXPECT_EQ(v.P.tm(6), 7);     // a column of paper: the default limit H
  EXPECT_EQ(v.P.tm(6, 3), 3);
  EXPECT_EQ(v.P.bm(1), 2);  // up from B over the bowl's rows
  EXPECT_EQ(v.P.bm(2), 0);
  EXPECT_EQ(v.P.bm(1, 1), 1);
  EXPECT_TRUE(v.P.inkIn(1, 5, 1, 1));
  EXPECT_FALSE(v.P.inkIn(2, 4, 2, 4));
  EXPECT_TRUE(v.P.rowInk(6));
  EXPECT_EQ(v.P.cov(1, 1, 1, 5), 100);
  EXPECT_EQ(v.P.inkRun(1, 1), 5);
}

TEST_F(NotationTest, TheFirstInkRunOfARowWithoutInkIsZero) {
  const TGlyphView v = View();
  const TGlyphView page = v.page();
  // Row 8 of the page (box row 7) is past the glyph; on the page its first
  // run from R + 1 would be the bar.
  EXPECT_EQ(v.P.fw(8), 0);
  EXPECT_EQ(v.P.fw(5), 5);
  // Box row 2: a side, paper, a side.
  EXPECT_EQ(v.fw(2), 1);
  EXPECT_EQ(v.gap(2), 3);
  EXPECT_EQ(page.fw(2), 1);
  EXPECT_EQ(page.gap(2), 3);
  // Box row 0 (ink all across): no gap after it.
  EXPECT_EQ(v.gap(0), 0);
  // A box widened over the bar: the view sees the bar, the glyph bitmap not.
  TOCRChar& g = Page.Record(0);
  g.Right = 9;
  const TGlyphView wide = View();
  EXPECT_EQ(wide.page().fw(7), 2);
  EXPECT_EQ(wide.fw(7), 0);
  EXPECT_EQ(wide.page().lm(7), 7);
}

TEST_F(NotationTest, HolesOfPageRectanglesLeaveTheContextListAlone) {
  const TGlyphView v = View();
  ASSERT_EQ(v.HoleCount(), 2);
  EXPECT_EQ(v.Holes[0].Size, 9);  // largest first, 0-based
  EXPECT_EQ(v.Holes[1].Size, 1);
  EXPECT_EQ(v.Holes[0].MinY, 1);
  // The ring alone, box-relative and in page coordinates.
  EXPECT_EQ(v.holes(0, 4, 0, 4), 1);
  EXPECT_EQ(v.P.holes(1, 5, 1, 5), 1);
  // A rectangle of fewer than three rows has none.
  EXPECT_EQ(v.holes(0, 4, 0, 1), 0);
  // Counting did not touch the context's list.
  EXPECT_EQ(v.HoleCount(), 2);
  EXPECT_EQ(v.Holes[0].Size, 9);
  EXPECT_EQ(v.Holes[1].Size, 1);
}

TEST_F(NotationTest, ConnectsFollowsTheClassOfItsStart) {
  const TGlyphView v = View();
  EXPECT_TRUE(v.connects(0, 0, 4, 4));    // along the ring
  EXPECT_FALSE(v.connects(2, 2, 2, 5));   // the inner hole to the bowl: ink between
  EXPECT_TRUE(v.P.connects(1, 1, 5, 5));  // the same ring, page coordinates
}

TEST_F(NotationTest, WalksOnThePageStayInTheBoxOrTheGivenRectangle) {
  const TGlyphView v = View();
  int x = 3, y = 3;
  v.P.walk(x, y, notation::stop, notation::right);  // paper to the right side
  EXPECT_EQ(x, 5);
  EXPECT_EQ(y, 3);
  x = 3;
  y = 8;
  v.P.walk(x, y, notation::stop, notation::right);  // row 8 is below the box
  EXPECT_EQ(x, 3);
  EXPECT_EQ(y, 8);
  x = 6;
  y = 3;
  v.P.walk(x, y, notation::stop, notation::right, 1, 9, 1, 8);  // a wider rectangle reaches the bar
  EXPECT_EQ(x, 8);
}

// The row and column measures of the glyph bitmap, one line beyond each end
// included.
struct TLineMeasures {
  std::vector<int> Rows, Columns;  // lm, rm, fw, hx of each row; tm, vx of each column
  bool operator==(const TLineMeasures&) const = default;
};

TLineMeasures MeasureLines(const TGlyphView& v) {
  TLineMeasures m;
  for (int y = -1; y <= v.H; ++y)
    for (const int value : {v.lm(y), v.rm(y), v.fw(y), v.hx(y)}) m.Rows.push_back(value);
  for (int x = -1; x <= v.W; ++x)
    for (const int value : {v.tm(x), v.vx(x)}) m.Columns.push_back(value);
  return m;
}

// Within a dispatch the measures are kept, for the width (rows) and height
// (columns) first asked with: a view of another size must measure for
// itself. Outside a dispatch nothing is kept, since a test may repaint the
// bitmap between two rules.
TEST_F(NotationTest, KeptLineMeasuresAreThoseOfTheViewAsking) {
  TOCRChar& g = Page.Record(0);
  TRecordContext unkept(Page, 0, TRecordContext::AsItStands);  // measured outside the dispatch first
  const TLineMeasures full = MeasureLines(unkept.View());
  {
    const TPlanesScope planes(Page.Engine.Scratch().Planes, *Ring.Bitmap, *g.Page, Ring.Context.Threshold,
                              g.Left, g.Top, g.Right, g.Bottom, g.AscLine, g.DescLine);
    EXPECT_EQ(MeasureLines(View()), full);
    EXPECT_EQ(MeasureLines(View()), full);
    g.Right -= 1;  // narrower: rows of its own, the same columns
    const TLineMeasures narrow = MeasureLines(unkept.View());
    EXPECT_NE(narrow.Rows, full.Rows);
    EXPECT_EQ(MeasureLines(View()), narrow);
    g.Bottom -= 2;  // and shorter: columns of its own
    const TLineMeasures shorter = MeasureLines(unkept.View());
    EXPECT_NE(shorter.Columns, narrow.Columns);
    EXPECT_EQ(MeasureLines(View()), shorter);
  }
  g.Right += 1;
  g.Bottom += 2;
  EXPECT_EQ(unkept.View().hx(3), 2);
  unkept.Bitmap->Row(3)[2] = static_cast<std::uint8_t>(unkept.Context.Threshold - 8);
  EXPECT_EQ(unkept.View().hx(3), 3);
  // The memo the dispatch filled for this size is not read once its planes
  // are closed: a repainted row measures as it now stands.
  ASSERT_EQ(View().W, 5);
  Ring.Bitmap->Row(3)[2] = static_cast<std::uint8_t>(Ring.Context.Threshold - 8);
  EXPECT_EQ(View().hx(3), 3);
  EXPECT_EQ(View().lm(3), 0);
  EXPECT_EQ(View().fw(3), 1);
}

// A box grown after its bitmap was cut: the kept margins of its rows are
// still those a scan measures, the left one stopping at the bitmap's edge
// and the right one starting off the bitmap.
TEST_F(NotationTest, KeptMeasuresOfABoxWiderThanItsBitmap) {
  TOCRChar& g = Page.Record(0);
  TRecordContext unkept(Page, 0, TRecordContext::AsItStands);
  g.Right += 2;  // paper columns of the page, beyond the cut
  const TLineMeasures wide = MeasureLines(unkept.View());
  ASSERT_EQ(unkept.View().W, unkept.View().WB + 2);
  EXPECT_EQ(unkept.View().rm(2), 0);
  const TPlanesScope planes(Page.Engine.Scratch().Planes, *Ring.Bitmap, *g.Page, Ring.Context.Threshold,
                            g.Left, g.Top, g.Right, g.Bottom, g.AscLine, g.DescLine);
  EXPECT_EQ(MeasureLines(View()), wide);
}

// The context keeps the box view it made last; a view asked for after its
// bitmap or threshold changed is made from them again.
TEST_F(NotationTest, BoxViewFollowsTheContextsBitmapAndThreshold) {
  const TGlyphView first = View();
  ASSERT_EQ(first.lm(2), 0);  // the ring's left side
  TDIB wider;
  wider.Reshape8Bit(first.WB + 2, first.HB);
  for (int y = 0; y < wider.Height(); ++y)
    for (int x = 0; x < wider.Width(); ++x) wider.Row(y)[x] = 248;
  Ring.Context.Bitmap = &wider;
  EXPECT_EQ(View().WB, first.WB + 2);
  EXPECT_EQ(View().lm(2), first.W);  // all paper
  Ring.Context.Bitmap = Ring.Bitmap.get();
  EXPECT_EQ(View().lm(2), 0);
  Ring.Context.Threshold = 0;  // nothing is ink
  EXPECT_EQ(View().lm(2), first.W);
}

// A view kept from a dispatch holds its planes and claimed line measures;
// asked for after the dispatch, and after a pixel changed, it is made again
// without them.
TEST_F(NotationTest, BoxViewOfADispatchIsNotHandedOutAfterIt) {
  TOCRChar& g = Page.Record(0);
  {
    const TPlanesScope scope(Page.Engine.Scratch().Planes, *Ring.Bitmap, *g.Page, Ring.Context.Threshold,
                             g.Left, g.Top, g.Right, g.Bottom, g.AscLine, g.DescLine);
    ASSERT_EQ(View().lm(3), 0);  // the ring's left side
  }
  Ring.Bitmap->Row(3)[0] = 248;
  EXPECT_EQ(View().lm(3), 4);
}

// Inside corners told from the bitmap's rows as words, as the running
// dispatch keeps them, are those found pixel by pixel: every rectangle from
// two columns and rows before the box to two past it.
TEST_F(NotationTest, InnerCornersOnRowWordsAreThoseOfThePixels) {
  TOCRChar& g = Page.Record(0);
  const TGlyphView pixels = View();
  std::vector<bool> byPixel;
  for (int x1 = -2; x1 <= pixels.W + 1; ++x1)
    for (int x2 = x1; x2 <= pixels.W + 1; ++x2)
      for (int y1 = -2; y1 <= pixels.H + 1; ++y1)
        for (int y2 = y1; y2 <= pixels.H + 1; ++y2) byPixel.push_back(pixels.innerCorner(x1, x2, y1, y2));
  ASSERT_GT(std::count(byPixel.begin(), byPixel.end(), true), 0);
  const TPlanesScope scope(Page.Engine.Scratch().Planes, *Ring.Bitmap, *g.Page, Ring.Context.Threshold,
                           g.Left, g.Top, g.Right, g.Bottom, g.AscLine, g.DescLine);
  const TGlyphView words = View();
  std::size_t k = 0;
  for (int x1 = -2; x1 <= words.W + 1; ++x1)
    for (int x2 = x1; x2 <= words.W + 1; ++x2)
      for (int y1 = -2; y1 <= words.H + 1; ++y1)
        for (int y2 = y1; y2 <= words.H + 1; ++y2)
          ASSERT_EQ(words.innerCorner(x1, x2, y1, y2), byPixel[k++])
              << x1 << ".." << x2 << " x " << y1 << ".." << y2;
}

TEST_F(NotationTest, LetterPairOrderFollowsTall) {
  const TGlyphView tall = View();
  tall.addPair(u'O', u'o', 97);
  TOCRChar& g = Page.Record(0);
  ASSERT_EQ(g.CandCount, 2);
  EXPECT_EQ(g.CandChar[0], u'O');
  EXPECT_EQ(g.CandConf[0], 97);
  EXPECT_EQ(g.CandChar[1], u'o');
  EXPECT_EQ(g.CandConf[1], 95);  // 97 x 98 / 100, truncated

  TOCRChar& bar = Page.Record(1);
  TRecogContext small = Ring.Context;
  small.Glyph = &bar;
  small.Tall = false;
  TGlyphView::OfBox(Page.Engine, small).addPair(u'O', u'o', 97);
  ASSERT_EQ(bar.CandCount, 2);
  EXPECT_EQ(bar.CandChar[0], u'o');
  EXPECT_EQ(bar.CandChar[1], u'O');
  EXPECT_EQ(bar.CandConf[1], 95);
}

}  // namespace
}  // namespace omniocr::test
