#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

// Stems 4 wide from x = 10, 12 apart, rows 10 .. bottom, joined by a bar of
// `thickness` rows along the top (or the bottom) from x = 8 to barRight: the
// bar overhangs the first stem, as touching serifs do.
void DrawBarOverStems(TLayoutPage& page, int stems, int barRight, int bottom, int thickness,
                      bool onTop = true) {
  for (int s = 0; s < stems; ++s) page.Ink(10 + 12 * s, 10, 13 + 12 * s, bottom);
  if (onTop)
    page.Ink(8, 10, barRight, 10 + thickness - 1);
  else
    page.Ink(8, bottom - thickness + 1, barRight, bottom);
}

// Left and right edges of the records, in list order.
std::vector<std::pair<int, int>> Spans(const TOmnifontOCR& engine) {
  std::vector<std::pair<int, int>> spans;
  for (int i = 0; i < engine.Chars.Count(); ++i)
    spans.emplace_back(engine.Chars[i]->Left, engine.Chars[i]->Right);
  return spans;
}

using TSpans = std::vector<std::pair<int, int>>;

TEST(BarSplitting, BarOverFourStemsIsCutBetweenEachPair) {
  TLayoutPage page(70, 50);
  DrawBarOverStems(page, 4, 52, 39, 2);
  page.Extract();
  SetLine(*page.Engine.Chars[0], 3, 5, 12, 39, 44);
  page.Engine.SplitBarJoined();
  // p keeps the right part; the left parts are appended as they are cut, and
  // the cut column belongs to neither part.
  EXPECT_EQ(Spans(page.Engine), (TSpans{{43, 52}, {8, 17}, {19, 29}, {31, 41}}));
  ASSERT_EQ(page.Engine.Chars.Count(), 4);
  EXPECT_EQ(page.Engine.CharCount, 4);
  for (int i = 1; i < 4; ++i) {
    EXPECT_EQ(page.Engine.Chars[i]->Id, i);
    EXPECT_EQ(page.Engine.Chars[i]->LineNo, 3);
    EXPECT_EQ(page.Engine.Chars[i]->BaseLine, 39);
    EXPECT_EQ(page.Engine.Chars[i]->Top, 10);
    EXPECT_EQ(page.Engine.Chars[i]->Bottom, 39);
  }
  // The bar is opened in the page at the cut columns.
  EXPECT_GE(page.Page().PixelByte(18, 10), 192);
  EXPECT_GE(page.Page().PixelByte(18, 11), 192);
  EXPECT_TRUE(IsInkByte(page.Page().PixelByte(17, 10), 128));
}

TEST(BarSplitting, ThicknessAndStemRules) {
  struct Case {
    const char* name;
    int stems, barRight, bottom, thickness;
    TSpans expected;
  } cases[] = {
      // h = 32: a bar of 3 rows is thin, one of 4 rows (8 * 4 = h) is not.
      {"thin bar, three stems", 3, 40, 42, 3, {{31, 40}, {8, 17}, {19, 29}}},
      {"bar an eighth of the height", 3, 40, 42, 4, {{8, 40}}},
      // The second stem must be followed by paper under the bar.
      {"bar ends on the second stem", 2, 25, 39, 2, {{8, 25}}},
      // A T: one stem under the bar.
      {"cross-bar over one stem", 1, 30, 39, 2, {{8, 30}}},
  };
  for (const Case& c : cases) {
    TLayoutPage page(60, 50);
    DrawBarOverStems(page, c.stems, c.barRight, c.bottom, c.thickness);
    page.Extract();
    page.Engine.SplitBarJoined();
    EXPECT_EQ(Spans(page.Engine), c.expected) << c.name;
  }
}

TEST(BarSplitting, NoClearPathLeavesTheBoxButOpensTheBar) {
  TLayoutPage page(60, 50);
  DrawBarOverStems(page, 3, 40, 39, 2);
  page.Ink(10, 30, 25, 31);  // a cross stroke low between the first two stems
  page.Extract();
  page.Engine.SplitBarJoined();
  EXPECT_EQ(Spans(page.Engine), (TSpans{{8, 40}}));
  EXPECT_GE(page.Page().PixelByte(18, 10), 192);
}

// The bar reaches the page's last column: the crossing count along the bar
// looks one column past it, which reads as paper.
TEST(BarSplitting, ComponentAtTheRightEdgeOfThePage) {
  TLayoutPage page(41, 50);
  DrawBarOverStems(page, 3, 40, 42, 3);
  page.Extract();
  page.Engine.SplitBarJoined();
  EXPECT_EQ(Spans(page.Engine), (TSpans{{31, 40}, {8, 17}, {19, 29}}));
}

TEST(BarSplitting, BarAlongTheFeetKeepsTheCutColumnOnTheRight) {
  TLayoutPage page(60, 50);
  DrawBarOverStems(page, 3, 40, 39, 2, false);
  page.Extract();
  page.Engine.SplitBarJoined();
  EXPECT_EQ(Spans(page.Engine), (TSpans{{30, 40}, {8, 17}, {18, 29}}));
  EXPECT_GE(page.Page().PixelByte(18, 39), 192);
}

}  // namespace
}  // namespace omniocr::test
