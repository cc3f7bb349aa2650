#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

TEST(ReadingOrder, SortsByLineThenLeftKeepingEqualKeysInOrder) {
  TLayoutPage page(10, 10);
  struct Item {
    int line, left;
  } items[] = {{2, 30}, {1, 50}, {0, 90}, {1, 10}, {2, 10}, {1, 50}, {0, 5}};
  for (const Item& item : items) {
    TOCRChar& p = page.AddRecord({item.left, 0, item.left + 5, 5});
    p.LineNo = item.line;
  }
  page.Engine.SortReadingOrder();
  const int expectedIds[] = {7, 3, 4, 2, 6, 5, 1};  // Id = position + 1 before the sort
  for (int i = 0; i < 7; ++i) EXPECT_EQ(page.Engine.Chars[i]->Id, expectedIds[i]) << i;
}

// An i: a dot of rows t..b over a stem at rows 50..60, in a line with a tall
// ascender zone (ascender line 30, mean line 50, baseline 60).
struct TDotCase {
  const char* name;
  int dotTop, dotBottom;
  bool merged;
};

TEST(MergeFragments, DotOverItsStem) {
  const TDotCase cases[] = {
      // The gap bound is 2 * (stem height - 1) + 4 = 24 rows.
      {"gap 24", 24, 26, true},
      {"gap 25", 23, 25, false},
      {"close", 44, 46, true},
      {"touching the stem's box", 48, 50, false},  // overlaps vertically
  };
  for (const TDotCase& c : cases) {
    TLayoutPage page(100, 100);
    TOCRChar& dot = page.AddRecord({50, c.dotTop, 53, c.dotBottom});
    page.AddRecord({50, 50, 53, 60});
    for (int i = 0; i < 2; ++i) SetLine(*page.Engine.Chars[i], 1, 30, 50, 60, 65);
    page.Engine.CharCount = 2;
    page.Engine.SortReadingOrder();
    page.Engine.MergeFragments();
    ASSERT_EQ(page.Engine.Chars.Count(), c.merged ? 1 : 2) << c.name;
    EXPECT_EQ(page.Engine.CharCount, c.merged ? 1 : 2) << c.name;
    if (c.merged) {
      EXPECT_EQ(&dot, page.Engine.Chars[0]) << c.name;
      EXPECT_EQ(dot.Top, c.dotTop) << c.name;
      EXPECT_EQ(dot.Bottom, 60) << c.name;
    }
  }
}

TEST(MergeFragments, NeitherALinelessNorARejectedPartnerIsAbsorbed) {
  for (bool rejected : {false, true}) {
    TLayoutPage page(100, 100);
    page.AddRecord({50, 44, 53, 46});
    TOCRChar& stem = page.AddRecord({50, 50, 53, 60});
    if (rejected) {
      for (int i = 0; i < 2; ++i) SetLine(*page.Engine.Chars[i], 1, 30, 50, 60, 65);
      stem.BestChar = RejectedChar;
    }
    page.Engine.MergeFragments();
    EXPECT_EQ(page.Engine.Chars.Count(), 2) << rejected;
  }
}

// Rule 2: a high piece whose bottom-left pixel touches the character ending
// in the column just left of it.
TEST(MergeFragments, HighPieceJoinedOnTheLeft) {
  for (bool touching : {true, false}) {
    TLayoutPage page(100, 100);
    page.Ink(40, 40, 49, 60);                 // q, ends at column 49
    page.Ink(50, 40, 55, 44);                 // p, a high piece with bottom row 44
    if (!touching) page.Ink(48, 40, 49, 60);  // keep q's box, clear what p touches
    if (!touching) FillRect(page.Page(), 48, 44, 49, 46, 255);
    TOCRChar& q = page.AddRecord({40, 40, 49, 60});
    TOCRChar& p = page.AddRecord({50, 40, 55, 44});
    SetLine(q, 1, 30, 40, 60, 65);
    SetLine(p, 1, 30, 40, 60, 65);
    page.Engine.CharCount = 2;
    page.Engine.MergeFragments();
    ASSERT_EQ(page.Engine.Chars.Count(), touching ? 1 : 2) << touching;
    if (touching) {
      EXPECT_EQ(page.Engine.Chars[0], &p);
      EXPECT_EQ(p.Left, 40);
      EXPECT_EQ(p.Bottom, 60);
      EXPECT_EQ(page.Page().PixelByte(50, 45) & 0xC0, 0);  // the join darkened
    }
  }
}

// Rule 3: an arch (an n without its left stem) of x-height, and the stem
// standing on the baseline just left of it.
TEST(MergeFragments, DetachedLeftStemJoinsTheArch) {
  TLayoutPage page(100, 100);
  page.Ink(40, 40, 42, 56);  // the stem, rows 40..56, ends in column 42
  page.Ink(43, 40, 52, 42);  // the arch's top stroke
  page.Ink(50, 40, 52, 56);  // its right stem
  FillRect(page.Page(), 43, 40, 43, 42, 255);
  FillRect(page.Page(), 42, 40, 42, 40, 255);
  TOCRChar& stem = page.AddRecord({40, 40, 42, 56});
  TOCRChar& arch = page.AddRecord({44, 40, 52, 56});
  SetLine(stem, 1, 30, 40, 56, 62);
  SetLine(arch, 1, 30, 40, 56, 62);
  page.Engine.CharCount = 2;
  page.Engine.MergeFragments();
  ASSERT_EQ(page.Engine.Chars.Count(), 1);
  EXPECT_EQ(page.Engine.Chars[0], &arch);
  EXPECT_EQ(arch.Left, 40);
  EXPECT_TRUE(IsInkByte(page.Page().PixelByte(43, 40), 128));  // bridged
}

// With no mean line every partner of p's line is a stacked candidate, so the
// gap alone decides a merge, and the walk itself is what is compared: a
// literal walk that removes every merged entry from the list at once.
struct TRefChar {
  int Left, Top, Right, Bottom, LineNo;
  bool Rejected;
};

bool RefGapIsSmall(const TRefChar& p, const TRefChar& q) {
  if (p.Top > q.Bottom) return p.Top - q.Bottom <= 2 * (p.Bottom - p.Top) + 4;
  if (q.Top > p.Bottom) return q.Top - p.Bottom <= 2 * (q.Bottom - q.Top) + 4;
  return false;
}

void ReferenceMerge(std::vector<TRefChar>& list, int lineHeight) {
  for (std::size_t i = 0; i < list.size(); ++i) {
    std::size_t pos = i;
    if (lineHeight <= 2 * (list[pos].Bottom - list[pos].Top)) continue;
    for (std::size_t j = 0; j < list.size(); ++j) {
      if (j == pos) continue;
      const TRefChar& q = list[j];
      if (q.Rejected || q.LineNo != list[pos].LineNo || !RefGapIsSmall(list[pos], q)) continue;
      TRefChar& p = list[pos];
      p.Left = std::min(p.Left, q.Left);
      p.Right = std::max(p.Right, q.Right);
      p.Top = std::min(p.Top, q.Top);
      p.Bottom = std::max(p.Bottom, q.Bottom);
      list.erase(list.begin() + static_cast<std::ptrdiff_t>(j));
      if (j < pos) --pos;
    }
  }
}

TEST(MergeFragments, WalkMatchesRemovalAtOnce) {
  std::mt19937 random(3);
  for (int round = 0; round < 400; ++round) {
    std::vector<TRefChar> list;
    const int n = 2 + static_cast<int>(random() % 14);
    for (int k = 0; k < n; ++k) {
      const int top = 10 + static_cast<int>(random() % 60), left = static_cast<int>(random() % 40);
      list.push_back({left, top, left + static_cast<int>(random() % 6), top + static_cast<int>(random() % 8),
                      1 + static_cast<int>(random() % 2), random() % 8 == 0});
    }
    if (round % 2 == 0)  // grouped by line, as after the sort, or not
      std::stable_sort(list.begin(), list.end(),
                       [](const TRefChar& a, const TRefChar& b) { return a.LineNo < b.LineNo; });
    TLayoutPage page(100, 100);
    for (const TRefChar& c : list) {
      TOCRChar& p = page.AddRecord({c.Left, c.Top, c.Right, c.Bottom});
      SetLine(p, c.LineNo, 10, 0, 50, 100);
      if (c.Rejected) p.BestChar = RejectedChar;
    }
    page.Engine.MergeFragments();
    ReferenceMerge(list, 90);
    ASSERT_EQ(page.Engine.Chars.Count(), static_cast<int>(list.size())) << round;
    ASSERT_EQ(page.Engine.CharCount, static_cast<int>(list.size())) << round;
    for (std::size_t k = 0; k < list.size(); ++k) {
      const TOCRChar& p = *page.Engine.Chars[static_cast<int>(k)];
      ASSERT_EQ(p.Left, list[k].Left) << round << " " << k;
      ASSERT_EQ(p.Top, list[k].Top) << round << " " << k;
      ASSERT_EQ(p.Right, list[k].Right) << round << " " << k;
      ASSERT_EQ(p.Bottom, list[k].Bottom) << round << " " << k;
    }
  }
}

}  // namespace
}  // namespace omniocr::test
