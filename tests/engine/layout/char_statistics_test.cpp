#include <gtest/gtest.h>

#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

// Sums as extraction leaves them, over the records of the page.
void SumAsExtraction(TOmnifontOCR& engine) {
  engine.WidthSum = engine.HeightSum = engine.CharCount = 0;
  for (int i = 0; i < engine.Chars.Count(); ++i) {
    engine.WidthSum += engine.Chars[i]->Width();
    engine.HeightSum += engine.Chars[i]->Height();
    ++engine.CharCount;
  }
}

TEST(CharStatistics, NothingChangesWithoutCharacters) {
  TLayoutPage page(10, 10);
  page.AddRecord({0, 0, 100, 1});
  page.Engine.CharCount = 0;
  page.Engine.ComputeCharStatistics();
  EXPECT_EQ(page.Engine.MeanCharWidth, 5);
  EXPECT_EQ(page.Engine.MeanCharHeight, 8);
  EXPECT_FALSE(page.Engine.Chars[0]->IsRejected());
}

// A rule 200 wide in a row with some characters of like height: kept only
// when at least four of them share its band.
TEST(CharStatistics, WideRuleNeedsFourLikeNeighbours) {
  for (int neighbours : {3, 4}) {
    TLayoutPage page(10, 10);
    TOCRChar& rule = page.AddRecord({0, 100, 199, 110});
    for (int i = 0; i < neighbours; ++i) page.AddRecord({220 + 12 * i, 101, 227 + 12 * i, 111});
    for (int i = 0; i < 10; ++i) page.AddRecord({12 * i, 300, 7 + 12 * i, 310});  // elsewhere
    SumAsExtraction(page.Engine);
    page.Engine.ComputeCharStatistics();
    EXPECT_EQ(rule.IsRejected(), neighbours == 3) << neighbours;
  }
}

TEST(CharStatistics, ExactlyFourTimesTheMeanIsNotExamined) {
  TLayoutPage page(10, 10);
  // Means 10 x 10: a lone box of 40 x 40 stays, one of 41 x 40 is rejected.
  TOCRChar& four = page.AddRecord({0, 0, 39, 39});
  TOCRChar& more = page.AddRecord({100, 0, 140, 39});
  page.Engine.CharCount = 3;
  page.Engine.WidthSum = 30;
  page.Engine.HeightSum = 30;
  page.Engine.ComputeCharStatistics();
  EXPECT_FALSE(four.IsRejected());
  EXPECT_TRUE(more.IsRejected());
}

// A component rejected earlier in the walk no longer supports one examined
// after it: b has four band neighbours only while a still counts.
TEST(CharStatistics, RejectedComponentNoLongerCountsAsNeighbour) {
  TLayoutPage page(10, 10);
  TOCRChar& a = page.AddRecord({0, 100, 199, 110});
  TOCRChar& b = page.AddRecord({300, 104, 499, 114});
  for (int i = 0; i < 3; ++i) page.AddRecord({520 + 12 * i, 107 + i, 527 + 12 * i, 117 + i});
  for (int i = 0; i < 10; ++i) page.AddRecord({12 * i, 500, 7 + 12 * i, 510});
  SumAsExtraction(page.Engine);
  page.Engine.ComputeCharStatistics();
  EXPECT_TRUE(a.IsRejected());
  EXPECT_TRUE(b.IsRejected());
}

TEST(CharStatistics, RecountLeavesOutSpecksSliversAndHugeBoxes) {
  TLayoutPage page(10, 10);
  for (int i = 0; i < 4; ++i) page.AddRecord({20 * i, 0, 20 * i + 9, 19});  // 10 x 20
  page.AddRecord({0, 50, 3, 54});                                           // 4 x 5: counted (w >= 4)
  page.AddRecord({10, 50, 12, 54});                                         // 3 x 5: a speck
  page.AddRecord({20, 50, 60, 51});                                         // 2 high
  page.AddRecord({70, 50, 80, 53});  // 4 high: 4 * 4 < 20 excluded after the first means
  SumAsExtraction(page.Engine);
  page.Engine.ComputeCharStatistics();
  // First means 99 / 8 = 12 and 96 / 8 = 12; then 4 * 4 < 12 is false, so the
  // 4-high box is summed, the 2-high one not.
  EXPECT_EQ(page.Engine.CharCount, 6);
  EXPECT_EQ(page.Engine.WidthSum, 40 + 4 + 11);
  EXPECT_EQ(page.Engine.HeightSum, 80 + 5 + 4);
  EXPECT_EQ(page.Engine.MeanCharWidth, 55 / 6);
  EXPECT_EQ(page.Engine.MeanCharHeight, 89 / 6);
}

TEST(CharStatistics, MeansStayWhenEveryCharacterIsExcluded) {
  TLayoutPage page(10, 10);
  for (int i = 0; i < 5; ++i) page.AddRecord({10 * i, 0, 10 * i + 2, 2});  // dots 3 x 3
  page.AddRecord({0, 10, 2, 14});                                          // 3 x 5
  SumAsExtraction(page.Engine);
  page.Engine.ComputeCharStatistics();
  EXPECT_EQ(page.Engine.CharCount, 0);
  EXPECT_EQ(page.Engine.WidthSum, 0);
  EXPECT_EQ(page.Engine.HeightSum, 0);
  EXPECT_EQ(page.Engine.MeanCharWidth, 3);
  EXPECT_EQ(page.Engine.MeanCharHeight, 20 / 6);
}

}  // namespace
}  // namespace omniocr::test
