#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "engine/layout/layout_fixture.h"
#include "engine/shrinking_bound.h"

namespace omniocr::test {
namespace {

// Lines of box-shaped characters, 24 rows apart from y = 16: 'x' x-height,
// 'A' ascender, 'p' descender; 8 wide, 12 apart from x0.
void DrawColumn(TLayoutPage& page, int x0, int lines) {
  const std::string pattern = "xxAxxpxxAx";
  for (int k = 0; k < lines; ++k) {
    const int y = 16 + 24 * k;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const int left = x0 + 12 * static_cast<int>(i);
      const int top = pattern[i] == 'A' ? y : y + 4;
      const int bottom = pattern[i] == 'p' ? y + 17 : y + 13;
      page.Ink(left, top, left + 7, bottom);
    }
  }
}

std::vector<int> LineAscs(const TOmnifontOCR& engine) {
  std::vector<int> ascs;
  for (int i = 1; i < engine.LineCount; ++i) ascs.push_back(engine.Lines[static_cast<std::size_t>(i)].Asc);
  return ascs;
}

// Two columns of three lines; the first ends at x = 119, the second starts at
// x = 124 + gap, so gap + 4 white columns lie between them.
struct TColumnCase {
  const char* name;
  int gap;
  bool cutRegions;
  bool columnsApart;  // each column's characters on lines of their own extent
};

TEST(RegionCutting, TwoColumns) {
  const TColumnCase cases[] = {
      {"wide gap, cut", 90, true, true},
      {"wide gap, whole page", 90, false, false},
      // Wider than a character and than twice the vertical gaps, but the block
      // is not five gaps tall, nor the vertical gaps a tenth of it: no cut.
      {"narrower gap", 40, true, false},
  };
  for (const TColumnCase& c : cases) {
    const int secondLeft = 124 + c.gap;
    TLayoutPage page(secondLeft + 140, 100);
    DrawColumn(page, 4, 3);
    DrawColumn(page, secondLeft, 3);
    page.Extract();
    page.RunLayout(c.cutRegions);
    for (int i = 0; i < page.Engine.Chars.Count(); ++i) {
      const TOCRChar& p = *page.Engine.Chars[i];
      ASSERT_GT(p.LineNo, 0) << c.name;
      const TLineEntry& line = page.Engine.Lines[static_cast<std::size_t>(p.LineNo)];
      const bool left = p.Left < secondLeft;
      if (c.columnsApart) {
        EXPECT_EQ(line.MinX, left ? 4 : secondLeft) << c.name;
        EXPECT_EQ(line.MaxX, left ? 119 : secondLeft + 115) << c.name;
      } else {
        EXPECT_EQ(line.MinX, 4) << c.name;
        EXPECT_EQ(line.MaxX, secondLeft + 115) << c.name;
      }
    }
    if (c.columnsApart) {
      // Left column, right column, then the whole block once more.
      EXPECT_EQ(LineAscs(page.Engine), (std::vector<int>{16, 40, 64, 16, 40, 64, 16, 40, 64})) << c.name;
    }
  }
}

// A horizontal rule between two blocks of text cuts the zone below it and,
// in the upper block, above it; without it nothing is cut, since the gaps
// between the lines are all alike.
TEST(RegionCutting, RuleAcrossTheBlock) {
  for (bool withRule : {false, true}) {
    TLayoutPage page(140, 130);
    DrawColumn(page, 4, 4);
    if (withRule) page.Ink(4, 60, 119, 61);
    page.Extract();
    page.FindLines(true);
    if (withRule) {
      ASSERT_NE(page.Find({4, 60, 119, 61}), nullptr);
      EXPECT_TRUE(page.Find({4, 60, 119, 61})->IsRejected());
      EXPECT_EQ(LineAscs(page.Engine), (std::vector<int>{16, 40, 16, 40, 64, 88, 16, 40, 64, 88}));
    } else {
      EXPECT_EQ(LineAscs(page.Engine), (std::vector<int>{16, 40, 64, 88}));
    }
  }
}

TEST(RegionCutting, SliversAtThePageEdgesAreNotSearched) {
  TLayoutPage page(140, 1280);  // slivers of 10 rows
  DrawColumn(page, 4, 1);
  page.Extract();
  page.Engine.ComputeCharStatistics();
  page.Engine.LineCount = 1;
  page.Engine.CutRegion(0, 0, 140, 9, 0);
  page.Engine.CutRegion(0, 1271, 140, 9, 0);
  EXPECT_EQ(page.Engine.LineCount, 1);
  page.Engine.CutRegion(0, 0, 140, 40, 0);
  EXPECT_EQ(page.Engine.LineCount, 2);
}

TEST(RegionCutting, BlockAtDepthEightIsNotSearched) {
  TLayoutPage page(140, 60);
  DrawColumn(page, 4, 1);
  page.Extract();
  page.Engine.ComputeCharStatistics();
  page.Engine.LineCount = 1;
  page.Engine.CutRegion(0, 0, 140, 60, 8);
  EXPECT_EQ(page.Engine.LineCount, 1);
  page.Engine.CutRegion(0, 0, 140, 60, 7);
  EXPECT_EQ(page.Engine.LineCount, 2);
}

// The bound the gap search walks, in list order: it moves to v - 1 for every
// value v met below it.
int ReferenceBound(const std::vector<int>& values, int start) {
  int bound = start;
  for (int v : values)
    if (v < bound) bound = v - 1;
  return bound;
}

TEST(ShrinkingBound, AgreesWithTheWalkInListOrder) {
  std::mt19937 random(11);
  for (int round = 0; round < 5000; ++round) {
    const int n = static_cast<int>(random() % 12);
    const int range = 1 + static_cast<int>(random() % 8);
    std::vector<int> values;
    for (int i = 0; i < n; ++i) values.push_back(static_cast<int>(random() % range));
    TShrinkingBound bound;
    // Inserted in any order; the positions give the list order.
    std::vector<int> order(values.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::shuffle(order.begin(), order.end(), random);
    for (int i : order) bound.Insert(values[static_cast<std::size_t>(i)], i);
    const int start = static_cast<int>(random() % (range + 2)) - 1;
    ASSERT_EQ(bound.Final(start), ReferenceBound(values, start)) << "round " << round;
  }
}

}  // namespace
}  // namespace omniocr::test
