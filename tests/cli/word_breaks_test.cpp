#include "cli/word_breaks.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/char_codes.h"

namespace omniocr::cli {
namespace {

// A character on line `line` whose x-height band is rows 20..40.
TOCRChar Char(int left, int right, int top = 10, int bottom = 40, int line = 1, TCharCode code = u'x') {
  TOCRChar r;
  r.Left = left, r.Right = right, r.Top = top, r.Bottom = bottom;
  r.LineNo = line;
  r.AscLine = 10, r.MeanLine = 20, r.BaseLine = 40, r.DescLine = 48;
  r.BestChar = code;
  r.CandCount = 1;
  r.CandChar[0] = code;
  r.CandConf[0] = 90;
  return r;
}

TOCRChar Separator(TCharCode code, int line) {
  TOCRChar r;
  r.Left = 0, r.Right = -1;
  r.LineNo = line;
  r.BestChar = code;
  r.Id = -1;
  return r;
}

// Consecutive 10-wide characters; a number in `gaps` is the white columns
// before the next one.
std::vector<TOCRChar> Line(const std::vector<int>& gaps, int line = 1, int start = 0) {
  std::vector<TOCRChar> records;
  int x = start;
  records.push_back(Char(x, x + 9, 10, 40, line));
  for (const int gap : gaps) {
    x += 10 + gap;
    records.push_back(Char(x, x + 9, 10, 40, line));
  }
  return records;
}

// The records as text: 'x' per character, ' ' per space, '|' per line break.
std::string Shape(const std::vector<TOCRChar>& records) {
  std::string shape;
  for (const TOCRChar& r : records)
    shape += r.BestChar == SpaceChar ? ' ' : r.BestChar == LineBreakChar ? '|' : r.IsRejected() ? '#' : 'x';
  return shape;
}

TEST(WordBreaks, ProportionalLinesBreakAtTheWideGapGroup) {
  const struct {
    const char* Label;
    std::vector<int> Gaps;
    std::string Expected;
  } cases[] = {
      {"two groups", {2, 3, 2, 14, 3, 2, 1, 12, 2}, "xxxx xxxx xx"},
      {"one word: no split", {2, 3, 2, 4, 3, 1}, "xxxxxxx"},
      {"overlapping boxes", {-2, 3, 15, 0, 2}, "xxx xxx"},
      {"one gap", {14}, "x x"},
      {"a single character", {}, "x"},
  };
  for (const auto& c : cases) EXPECT_EQ(Shape(BreakWordsByGaps(Line(c.Gaps), {})), c.Expected) << c.Label;
}

TEST(WordBreaks, TheEngineSpacesWithinALineGiveWay) {
  std::vector<TOCRChar> records = Line({2, 3, 14, 2});
  // The engine put a space after the first letter and none between the words.
  records.insert(records.begin() + 1, Separator(SpaceChar, 1));
  const std::vector<TOCRChar> out = BreakWordsByGaps(records, {});
  ASSERT_EQ(Shape(out), "xxx xx");
  const TOCRChar& space = out[3];
  EXPECT_EQ(space.Left, out[2].Right + 1);
  EXPECT_EQ(space.Right, out[4].Left - 1);
  EXPECT_EQ(space.LineNo, 1);
  EXPECT_EQ(space.Id, -1);
  EXPECT_EQ(space.CandCount, 1);
  EXPECT_EQ(space.CandChar[0], SpaceChar);
}

// A dot inside a zero, and a comma hanging under a wide letter: the gaps are
// measured from the rightmost edge so far, around boxes nested in others.
TEST(WordBreaks, NestedBoxesAndOverhangsMakeNoWordGaps) {
  std::vector<TOCRChar> dotted = {Char(0, 19),  Char(8, 11, 22, 26), Char(23, 33),
                                  Char(37, 46), Char(61, 70),        Char(74, 83)};
  EXPECT_EQ(Shape(BreakWordsByGaps(dotted, {})), "xxxx xx");
  std::vector<TOCRChar> overhang = {Char(0, 40),  Char(4, 9, 38, 48), Char(44, 53),
                                    Char(56, 65), Char(80, 89),       Char(92, 101)};
  EXPECT_EQ(Shape(BreakWordsByGaps(overhang, {})), "xxxx xx");
  // Letter gaps only, after a box held far from the left edge of a wide one,
  // or after a box given twice: taken as gaps of their own, the negative gap
  // before either would make the widest letter gap a word gap.
  auto after = [](std::vector<TOCRChar> first) {
    for (TOCRChar& r : Line({2, 3, 2, 6, 2, 3}, 1, first.back().Right + 3)) first.push_back(r);
    return first;
  };
  EXPECT_EQ(Shape(BreakWordsByGaps(after({Char(0, 60), Char(30, 35, 20, 30)}), {})), "xxxxxxxxx");
  EXPECT_EQ(Shape(BreakWordsByGaps(after({Char(0, 60), Char(0, 60)}), {})), "xxxxxxxxx");
}

TEST(WordBreaks, FixedPitchLinesBreakWhereACellStaysEmpty) {
  const TPitch pitch{true, 30};
  // Cells of 30 columns; characters centred in cells 0, 1, 2, 4, 5, 7.
  auto cell = [](int k, int width) {
    return Char(30 * k + 15 - width / 2, 30 * k + 15 - width / 2 + width - 1);
  };
  std::vector<TOCRChar> figures = {cell(0, 20), cell(1, 6),  cell(2, 20), cell(4, 20),
                                   cell(5, 20), cell(7, 20), cell(8, 4)};
  EXPECT_EQ(Shape(BreakWordsByGaps(figures, pitch)), "xxx xx xx");
  // Two touching letters the engine left as one box of two cells.
  std::vector<TOCRChar> merged = {cell(0, 20), cell(1, 20), Char(66, 113), cell(4, 20), cell(6, 20)};
  EXPECT_EQ(Shape(BreakWordsByGaps(merged, pitch)), "xxxx x");
  // Two blank cells: two spaces.
  std::vector<TOCRChar> wide = {cell(0, 20), cell(1, 20), cell(4, 20), cell(5, 20)};
  EXPECT_EQ(Shape(BreakWordsByGaps(wide, pitch)), "xx  xx");
}

// Capitals of a proportional face on a page the engine took for fixed
// pitch: word gaps of about 1.4 pitches, letters a pitch apart.
TEST(WordBreaks, ALineOffThePitchGridIsSpacedByItsGaps) {
  const std::vector<TOCRChar> capitals = Line({4, 3, 2, 13, 3, 4, 3, 12, 2, 3, 4, 14, 3});
  EXPECT_EQ(Shape(BreakWordsByGaps(capitals, {true, 13})), "xxxx xxxx xxxx xx");
}

TEST(WordBreaks, LineBreaksAndRecordsOutsideTheLinesKeepTheEngineSpacing) {
  std::vector<TOCRChar> records = Line({2, 14, 2}, 1);
  records.push_back(Separator(LineBreakChar, 2));
  for (const TOCRChar& r : Line({3, 2, 3}, 2)) records.push_back(r);
  // A rejected record inside line 2, and a character outside every line
  // after a space the engine put there.
  TOCRChar rejected = Char(12, 13);
  rejected.LineNo = 2;
  rejected.BestChar = RejectedChar;
  records.insert(records.begin() + 6, rejected);
  records.push_back(Separator(SpaceChar, 2));
  records.push_back(Char(300, 310, 10, 40, 0));
  EXPECT_EQ(Shape(BreakWordsByGaps(records, {})), "xx xx|x#xxx x");
}

TEST(WordBreaks, OtsuSplitsValuesIntoTwoGroups) {
  EXPECT_EQ(OtsuSplit({2, 3, 2, 12, 14, 3}), 3);
  EXPECT_EQ(OtsuSplit({1, 1, 1, 9}), 1);
  EXPECT_EQ(OtsuSplit({5, 5, 5}), 5);
  EXPECT_EQ(OtsuSplit({-3, 7}), -3);
  EXPECT_EQ(OtsuSplit({}), 0);
}

}  // namespace
}  // namespace omniocr::cli
