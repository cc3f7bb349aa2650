#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

void SetTable(TOmnifontOCR& engine, const std::vector<TLineEntry>& lines) {
  engine.Lines[0] = TLineEntry{0, 0, 0, 0, 1000, 0};
  for (std::size_t i = 0; i < lines.size(); ++i) engine.Lines[i + 1] = lines[i];
  engine.LineCount = static_cast<int>(lines.size()) + 1;
}

TEST(AssignLines, ExtentMeanDistanceAndReach) {
  struct Case {
    const char* name;
    TBoxSpec box;
    int expectedLine;
  } cases[] = {
      {"inside line 1", {20, 12, 27, 24}, 1},
      {"outside every extent", {250, 12, 257, 24}, 0},
      {"straddles an extent edge", {195, 12, 205, 24}, 0},
      // Lines 2 and 3 hold x = 300 alike; line 2 comes first and keeps the
      // character on an equal distance, line 3 takes it when strictly closer.
      {"tie keeps the first", {300, 49, 307, 60}, 2},
      {"strictly closer replaces", {300, 50, 307, 60}, 3},
      // Top far below the descender line of the nearest line: no line.
      {"too far below", {20, 33 + 2 * 8 + 1, 27, 60}, 0},
      {"just within reach", {20, 33 + 2 * 8, 27, 60}, 1},
  };
  for (const Case& c : cases) {
    TLayoutPage page(10, 10);
    page.Engine.MeanCharHeight = 8;
    SetTable(page.Engine, {LineEntry(10, 14, 23, 27, 0, 199), LineEntry(40, 46, 55, 59, 280, 400),
                           LineEntry(44, 52, 60, 64, 290, 310)});
    page.Engine.Lines[1].Desc = 33;
    TOCRChar& p = page.AddRecord(c.box);
    page.Engine.AssignLines();
    EXPECT_EQ(p.LineNo, c.expectedLine) << c.name;
    if (c.expectedLine > 0) {
      EXPECT_EQ(p.MeanLine, page.Engine.Lines[static_cast<std::size_t>(c.expectedLine)].Mean) << c.name;
    } else {
      EXPECT_EQ(p.AscLine | p.MeanLine | p.BaseLine | p.DescLine, 0) << c.name;
    }
  }
}

// The line each character takes, walking the table in order: the reference
// the indexed search must agree with on any table.
int ReferenceLine(const TOCRChar& p, const TOmnifontOCR& engine) {
  int held = 0, heldMean = 0;
  for (int i = 0; i < engine.LineCount; ++i) {
    const TLineEntry& e = engine.Lines[static_cast<std::size_t>(i)];
    if (e.Desc == e.Asc || p.Left < e.MinX || p.Right > e.MaxX) continue;
    if (heldMean != 0 && std::abs(p.Top - heldMean) <= std::abs(p.Top - e.Mean)) continue;
    held = i;
    heldMean = e.Mean;
  }
  const TLineEntry& e = engine.Lines[static_cast<std::size_t>(held)];
  if (p.Bottom + 2 * engine.MeanCharHeight < e.Asc || p.Top - 2 * engine.MeanCharHeight > e.Desc) return 0;
  return held;
}

TEST(AssignLines, AgreesWithTheOrderedWalkOnOverlappingTables) {
  std::mt19937 random(7);
  for (int round = 0; round < 20; ++round) {
    TLayoutPage page(10, 10);
    page.Engine.MeanCharHeight = 6;
    std::vector<TLineEntry> lines;
    for (int i = 0; i < 60; ++i) {
      const int asc = static_cast<int>(random() % 300), mean = asc + 1 + static_cast<int>(random() % 6);
      const int minX = static_cast<int>(random() % 200);
      lines.push_back(LineEntry(asc, mean, mean + 8,
                                mean + 8 + static_cast<int>(random() % 3),  // Desc may be Asc-free
                                minX, minX + static_cast<int>(random() % 200)));
    }
    lines[5].Desc = lines[5].Asc;  // no line
    SetTable(page.Engine, lines);
    for (int k = 0; k < 200; ++k) {
      const int left = static_cast<int>(random() % 400), top = static_cast<int>(random() % 320);
      page.AddRecord(
          {left, top, left + static_cast<int>(random() % 12), top + static_cast<int>(random() % 14)});
    }
    page.Engine.AssignLines();
    for (int k = 0; k < page.Engine.Chars.Count(); ++k) {
      const TOCRChar& p = *page.Engine.Chars[k];
      ASSERT_EQ(p.LineNo, ReferenceLine(p, page.Engine)) << "round " << round << " char " << k;
    }
  }
}

// A character of two lines touching: it starts at the top of line 1 and runs
// into line 2. Neighbours of both lines lie within reach.
class StraddlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    page.Engine.MeanCharHeight = 10;
    page.Engine.MeanCharWidth = 8;
    page.Engine.CharCount = 0;
  }
  TOCRChar& Add(const TBoxSpec& box, int line) {
    TOCRChar& p = page.AddRecord(box);
    if (line == 1) SetLine(p, 1, 10, 14, 24, 28);
    if (line == 2) SetLine(p, 2, 40, 44, 54, 58);
    return p;
  }
  TLayoutPage page{10, 10};
};

TEST_F(StraddlerTest, SplitAtTheDescenderLine) {
  for (bool nextLineCompletes : {true, false}) {
    page.Engine.Chars.Clear();
    page.Engine.CharCount = 0;
    // The neighbour that completes the scan comes last in the list.
    if (nextLineCompletes) Add({0, 14, 7, 24}, 1);
    if (!nextLineCompletes) Add({0, 44, 7, 54}, 2);
    TOCRChar& p = Add({20, 12, 27, 54}, 1);
    if (nextLineCompletes) Add({40, 44, 47, 54}, 2);
    if (!nextLineCompletes) Add({40, 14, 47, 24}, 1);
    page.Engine.CharCount = 10;
    page.Engine.SplitLineStraddlers();
    ASSERT_EQ(page.Engine.Chars.Count(), 4);
    const TOCRChar& upper = *page.Engine.Chars[3];
    EXPECT_EQ(upper.Top, 12);
    EXPECT_EQ(upper.Bottom, 28);
    EXPECT_EQ(upper.LineNo, 1);
    EXPECT_EQ(upper.BaseLine, 24);
    EXPECT_EQ(upper.Id, 10);
    EXPECT_EQ(page.Engine.CharCount, 11);
    EXPECT_EQ(p.Top, 29);
    EXPECT_EQ(p.Bottom, 54);
    EXPECT_EQ(p.LineNo, 2);
    // Only a neighbour of the next line completing the scan hands its guides on.
    EXPECT_EQ(p.BaseLine, nextLineCompletes ? 54 : 24) << nextLineCompletes;
  }
}

TEST_F(StraddlerTest, NotSplit) {
  struct Case {
    const char* name;
    TBoxSpec box;
    bool withNextLine;
  } cases[] = {
      {"no neighbour in the next line", {20, 12, 27, 54}, false},
      {"not taller than twice the mean height", {20, 12, 27, 31}, true},
      {"top below the mean line", {20, 17, 27, 54}, true},
      {"neighbours out of reach", {20, 12, 27, 54}, true},
  };
  for (const Case& c : cases) {
    page.Engine.Chars.Clear();
    Add({0, 14, 7, 24}, 1);
    TOCRChar& p = Add(c.box, 1);
    const int far = std::string(c.name) == "neighbours out of reach" ? 4 * (8 + 8) + 28 + 1 : 40;
    if (c.withNextLine) Add({27 + far, 44, 27 + far + 7, 54}, 2);
    page.Engine.SplitLineStraddlers();
    EXPECT_EQ(page.Engine.Chars.Count(), c.withNextLine ? 3 : 2) << c.name;
    EXPECT_EQ(p.Top, c.box.Top) << c.name;
    EXPECT_EQ(p.LineNo, 1) << c.name;
  }
}

// A line whose descender line lies above the character's top would give an
// upper part ending above its own top: such a character is left whole.
TEST_F(StraddlerTest, NoEmptyPartWhenTheDescenderLineMissesTheBox) {
  Add({0, 14, 7, 24}, 1);
  TOCRChar& p = Add({20, 16, 27, 54}, 1);
  SetLine(p, 1, 10, 14, 15, 15);
  Add({40, 44, 47, 54}, 2);
  page.Engine.SplitLineStraddlers();
  EXPECT_EQ(page.Engine.Chars.Count(), 3);
  EXPECT_EQ(p.Top, 16);
  EXPECT_EQ(p.Bottom, 54);
}

}  // namespace
}  // namespace omniocr::test
