#include "engine/classify/probes.h"

#include <gtest/gtest.h>

#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FromArt;

constexpr int kThr = 160;

TEST(ScanRun, CountsPixelsBeforeTheTargetClass) {
  auto b = FromArt({
      "..#...",
      "......",
      "###...",
  });
  struct Case {
    int x, y, dir, target, max, expected;
  } cases[] = {
      {0, 0, dirRight, tgInk, 6, 2},   {2, 0, dirRight, tgInk, 6, 0},  // start on target
      {0, 1, dirRight, tgInk, 6, 6},   {2, 1, dirRight, tgInk, 9, 4},  // to the edge: width - x
      {0, 1, dirRight, tgInk, 3, 3},                                   // maxSteps
      {0, 2, dirRight, tgPaper, 6, 3}, {5, 2, dirLeft, tgInk, 6, 3},  {2, 0, dirDown, tgInk, 1, 0},
      {1, 1, dirDown, tgInk, 5, 1},    {2, 1, dirUp, tgInk, 5, 1},    {-1, 0, dirRight, tgInk, 6, 0},
      {0, 3, dirUp, tgInk, 6, 0},  // outside
      {0, 0, 7, tgInk, 6, 0},      // no such direction
  };
  for (const Case& c : cases)
    EXPECT_EQ(ScanRun(*b, c.x, c.y, c.dir, c.target, kThr, c.max), c.expected)
        << c.x << "," << c.y << " dir " << c.dir;
}

TEST(CountCrossings, CountsInkRunsWithEndsAndReadsOutsideAsPaper) {
  auto n = FromArt({
      "#####",
      "#...#",
      "#...#",
  });
  EXPECT_EQ(CountCrossings(*n, 0, 2, 4, 2, kThr), 2);
  EXPECT_EQ(CountCrossings(*n, 0, 0, 4, 0, kThr), 1);
  EXPECT_EQ(CountCrossings(*n, 4, 2, 0, 2, kThr), 2);  // reversed
  EXPECT_EQ(CountCrossings(*n, 0, 0, 0, 0, kThr), 1);  // one point on ink
  EXPECT_EQ(CountCrossings(*n, 1, 1, 1, 1, kThr), 0);
  EXPECT_EQ(CountCrossings(*n, 2, 0, 2, 2, kThr), 1);   // a column
  EXPECT_EQ(CountCrossings(*n, 0, 2, 4, 0, kThr), 2);   // a diagonal: (0,2) ink, (2,1) paper, (4,0) ink
  EXPECT_EQ(CountCrossings(*n, -3, 2, 7, 2, kThr), 2);  // beyond both edges
  EXPECT_EQ(CountCrossings(*n, 0, 5, 4, 5, kThr), 0);   // a row below the bitmap
}

TEST(ProbeRect, ReportsInkAndPaperOfTheClippedRectangle) {
  auto b = FromArt({"#.", ".."});
  EXPECT_EQ(ProbeRect(*b, 0, 0, 1, 1, kThr, 3), 3);
  EXPECT_EQ(ProbeRect(*b, 0, 0, 1, 1, kThr, 1), 1);
  EXPECT_EQ(ProbeRect(*b, 1, 0, 1, 1, kThr, 1), 0);
  EXPECT_EQ(ProbeRect(*b, 1, 0, 1, 1, kThr, 2), 2);
  EXPECT_EQ(ProbeRect(*b, -5, -5, 0, 0, kThr, 3), 1);
  EXPECT_EQ(ProbeRect(*b, 0, -3, 1, -1, kThr, 3), 0);  // wholly above
  EXPECT_EQ(ProbeRect(*b, 1, 0, 0, 1, kThr, 3), 0);    // x1 < x0
}

TEST(InkCoverage, CountsAStrokeBesideTheSegmentAsCover) {
  auto b = FromArt({
      ".#....",
      ".#....",
      ".#....",
      ".#....",
      "......",
  });
  EXPECT_EQ(InkCoverage(*b, 2, 0, 2, 3, kThr, 100), 100);  // one column right of the stroke
  EXPECT_EQ(InkCoverage(*b, 1, 3, 1, 0, kThr, 100), 100);  // on it, walked upward
  EXPECT_EQ(InkCoverage(*b, 4, 0, 4, 4, kThr, 100), 0);    // through empty paper
  EXPECT_EQ(InkCoverage(*b, 1, 0, 1, 4, kThr, 100), 80);   // row 4 has paper on both sides
  EXPECT_EQ(InkCoverage(*b, 3, 2, 3, 2, kThr, 100), 0);    // a single paper point
  // Neighbours outside the bitmap never uncover: along the edge all is covered.
  EXPECT_EQ(InkCoverage(*b, 0, 4, 5, 4, kThr, 60), 60);
  auto bar = FromArt({
      "......",
      "######",
      "......",
      "......",
      "......",
  });
  EXPECT_EQ(InkCoverage(*bar, 0, 2, 5, 2, kThr, 100), 100);  // x-major, the bar one row above
  EXPECT_EQ(InkCoverage(*bar, 5, 3, 0, 3, kThr, 100), 0);
  EXPECT_EQ(InkCoverage(*bar, 0, 0, 5, 2, kThr, 100), 100);  // across the bar, paper after it keeps a side
}

TEST(WalkProbe, StopsOnTheStrokeOrOneStepOutside) {
  auto b = FromArt({
      "......",
      "..##..",
      "......",
      "......",
  });
  int x = 2, y = 3;
  WalkProbe(*b, x, y, 0, 5, 0, 3, kThr, waStop, waUp);
  EXPECT_EQ(x, 2);
  EXPECT_EQ(y, 1);
  x = 5;
  y = 3;
  WalkProbe(*b, x, y, 0, 5, 0, 3, kThr, waStop, waUp);
  EXPECT_EQ(y, -1);  // one row above minY
  // A rectangle reaching past the bitmap is kept to the bitmap.
  x = 4;
  y = 0;
  WalkProbe(*b, x, y, 0, 50, 0, 3, kThr, waStop, waRight);
  EXPECT_EQ(x, 6);
  // A rectangle whose top-left corner lies outside leaves the point alone.
  x = 1;
  y = 1;
  WalkProbe(*b, x, y, -1, 5, 0, 3, kThr, waStop, waRight);
  EXPECT_EQ(x, 1);
  // Opposite moves stop where they would turn back and forth: on the first
  // pixel of the other class, or one step outside when there is none.
  const struct {
    int x, y, ink, paper, endX, endY;
  } opposite[] = {
      {0, 1, waLeft, waRight, 2, 1},  // paper moving right onto the stroke
      {3, 1, waLeft, waRight, 1, 1},  // ink moving left off the stroke
      {2, 0, waUp, waDown, 2, 1},
      {0, 0, waLeft, waRight, 6, 0},  // no ink on the row: out past the edge
  };
  for (const auto& c : opposite) {
    x = c.x;
    y = c.y;
    WalkProbe(*b, x, y, 0, 5, 0, 3, kThr, c.ink, c.paper);
    EXPECT_EQ(x, c.endX) << c.x << "," << c.y;
    EXPECT_EQ(y, c.endY) << c.x << "," << c.y;
  }
  x = 1;
  y = 1;
  try {
    WalkProbe(*b, x, y, 0, 5, 0, 3, kThr, 9, waRight);
    FAIL();
  } catch (const EOCRError& e) {
    EXPECT_STREQ(e.what(), "error...");
  }
}

TEST(PathConnects, FollowsTheRegionOfTheStartPixelsClass) {
  auto b = FromArt({
      "##.#",
      ".#.#",
      ".###",
      "....",
  });
  EXPECT_TRUE(PathConnects(*b, 0, 0, 3, 2, kThr));   // down the stem and along the bottom stroke
  EXPECT_FALSE(PathConnects(*b, 0, 0, 3, 0, kThr));  // confined to row 0, which the gap cuts
  EXPECT_TRUE(PathConnects(*b, 2, 2, 2, 2, kThr));   // identical points
  EXPECT_FALSE(PathConnects(*b, 0, 0, 3, 3, kThr));  // ink start, paper end
  EXPECT_FALSE(PathConnects(*b, 2, 0, 0, 1, kThr));  // paper pockets apart within the rectangle
  EXPECT_FALSE(PathConnects(*b, 3, 3, 9, 3, kThr));  // the way out of the bitmap is closed
  auto strokes = FromArt({"#.#"});
  EXPECT_FALSE(PathConnects(*strokes, 0, 0, 2, 0, kThr));
}

class FillTest : public ::testing::Test {
 protected:
  TOmnifontOCR engine;
};

TEST_F(FillTest, FillRegionUsesTheFillPassNeighbourhood) {
  auto b = FromArt({"#.", ".#"});
  engine.FillPass = 0;
  EXPECT_EQ(FillRegion(engine, *b, 0, 0, kThr, 1), 1);
  ClearMarks(*b, 0, 1, 0, 1);
  engine.FillPass = 1;
  EXPECT_EQ(FillRegion(engine, *b, 0, 0, kThr, 1), 2);
  EXPECT_EQ(FillRegion(engine, *b, 0, 0, kThr, 1), 0);  // already marked
  ClearMarks(*b, 0, 1, 0, 1);
  EXPECT_EQ(FillRegion(engine, *b, 0, 0, kThr, 0), 0);  // a mark that would never show
}

// Paper without a mark, as on the page after extraction and in glyph bitmaps
// (white 255 carries all three mark bits and so reads as already filled).
constexpr std::uint8_t kPaper = 248;

TEST_F(FillTest, CountHolesRanksAndPrunesHoles) {
  auto o = FromArt({
      "#####",
      "#...#",
      "#...#",
      "#####",
  });
  EXPECT_EQ(CountHoles(engine, *o, 0, 0, 4, 3, kThr, nullptr), 0);  // marked white is no hole
  ClearMarks(*o, 0, 4, 0, 3);
  THoleList list;
  EXPECT_EQ(CountHoles(engine, *o, 0, 0, 4, 3, kThr, &list), 1);
  EXPECT_EQ(list.HoleCount, 1);
  EXPECT_EQ(list.Holes[0].Size, 6);
  EXPECT_EQ(list.Holes[0].SeedX, 1);
  EXPECT_EQ(list.Holes[0].MaxX, 3);
  EXPECT_EQ(list.Holes[0].MaxY, 2);
  // A "B": bowls of 60 and 10 pixels: both accepted, the small one pruned.
  auto b = test::MakeGrey(14, 13, 255);
  test::FillRect(*b, 0, 0, 13, 12, 0);
  test::FillRect(*b, 2, 1, 11, 6, kPaper);  // 10 x 6 = 60
  test::FillRect(*b, 2, 8, 6, 9, kPaper);   // 5 x 2 = 10
  EXPECT_EQ(CountHoles(engine, *b, 0, 0, 13, 12, kThr, &list), 1);
  EXPECT_EQ(list.HoleCount, 2);
  EXPECT_EQ(list.Holes[1].Size, 10);
  test::FillRect(*b, 2, 8, 11, 11, kPaper);  // lower bowl now 40: kept
  EXPECT_EQ(CountHoles(engine, *b, 0, 0, 13, 12, kThr, nullptr), 2);
  // Too narrow a box, and single-pixel holes in large boxes.
  EXPECT_EQ(CountHoles(engine, *o, 0, 0, 1, 3, kThr, &list), 0);
  EXPECT_EQ(list.HoleCount, 0);
  auto pin = test::MakeGrey(7, 7, 0);
  pin->SetPixel(3, 3, kPaper);
  EXPECT_EQ(CountHoles(engine, *pin, 0, 0, 6, 6, kThr, nullptr), 0);  // 49 > 40 pixels
  EXPECT_EQ(CountHoles(engine, *pin, 1, 1, 5, 5, kThr, nullptr), 1);  // 25 pixels
  // The source keeps its pixels: holes are filled on a copy.
  EXPECT_EQ(pin->PixelByte(3, 3), kPaper);
}

TEST_F(FillTest, CountBlobsCountsInkWhateverItsMarks) {
  auto page = FromArt({
      "#.#.",
      "....",
      ".##.",
  });
  ClearMarks(*page, 0, 3, 0, 2);
  TBox box;
  TraceComponent(*page, 0, 0, kThr, 7, true, box);  // as extraction marks it
  EXPECT_EQ(CountBlobs(engine, *page, 0, 0, 3, 2, kThr), 3);
  EXPECT_EQ(CountBlobs(engine, *page, 0, 0, 3, 0, kThr), 2);
  EXPECT_EQ(CountBlobs(engine, *page, 3, 0, 0, 2, kThr), 0);
}

}  // namespace
}  // namespace omniocr
