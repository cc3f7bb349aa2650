#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dibunit/errors.h"
#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

// Draws one line of box-shaped characters whose ascender line is y:
//   'x' an x-height box (rows y + 4 .. y + 13), 'A' an ascender (y .. y + 13),
//   'p' a descender (y + 4 .. y + 17), 'i' an x-height box with a dot at
//   rows y .. y + 1. Characters are 8 wide with 4 columns between them.
void DrawLine(TLayoutPage& page, int y, const std::string& pattern, int x0 = 4) {
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    const int left = x0 + 12 * static_cast<int>(k), right = left + 7;
    switch (pattern[k]) {
      case 'x': page.Ink(left, y + 4, right, y + 13); break;
      case 'A': page.Ink(left, y, right, y + 13); break;
      case 'p': page.Ink(left, y + 4, right, y + 17); break;
      case 'i':
        page.Ink(left, y + 4, right, y + 13);
        page.Ink(left + 3, y, left + 4, y + 1);
        break;
      default: break;
    }
  }
}

const char* const kMixed = "xxAxxpxxAx";

TEST(TextLines, ParagraphOfBoxesGetsItsGuidesAndLines) {
  TLayoutPage page(140, 110);
  for (int k = 0; k < 3; ++k) DrawLine(page, 16 + 24 * k, kMixed);
  page.Extract();
  page.RunLayout();
  EXPECT_EQ(page.LineGuides(), (std::vector<std::string>{"16/20/29/33", "40/44/53/57", "64/68/77/81"}));
  ASSERT_EQ(page.Engine.Chars.Count(), 30);
  for (int i = 0; i < 30; ++i) {
    const TOCRChar& p = *page.Engine.Chars[i];
    EXPECT_EQ(p.LineNo, i / 10 + 1) << i;  // reading order: line by line, left to right
    EXPECT_EQ(p.Left, 4 + 12 * (i % 10)) << i;
    EXPECT_EQ(p.BaseLine, 29 + 24 * (i / 10)) << i;
  }
}

// The zone check places the guides of zones a line did not show.
TEST(TextLines, ZoneCheckCompletesLinesWithoutAscendersOrDescenders) {
  struct Case {
    const char* name;
    int y;
    std::string pattern;
    std::string guides;
  } cases[] = {
      // Capitals only, taller than the typical height 12: mean and descender
      // line 12 / 8 + 1 below the ascender line and the baseline.
      {"capitals", 40, "AAAAAAAAAA", "40/42/53/55"},
      // Lower case with descenders, the previous line close: the ascender line
      // halfway to its descender line.
      {"lower case, close", 40, "xxpxxpxxxx", "38/44/53/57"},
      // ... far: a quarter of the x-height above the mean line.
      {"lower case, far", 50, "xxpxxpxxxx", "52/54/63/67"},
      // x-height only with dots above: the ascender line at the topmost dot.
      {"dots", 40, "xxixxixxxx", "40/44/53/57"},
  };
  for (const Case& c : cases) {
    TLayoutPage page(140, 130);
    DrawLine(page, 16, kMixed);
    DrawLine(page, c.y, c.pattern);
    DrawLine(page, 100, kMixed);
    page.Extract();
    page.FindLines();
    const std::vector<std::string> guides = page.LineGuides();
    ASSERT_EQ(guides.size(), 3u) << c.name;
    EXPECT_EQ(guides[0], "16/20/29/33") << c.name;
    EXPECT_EQ(guides[1], c.guides) << c.name;
  }
}

// Underlined x-height letters: the rule 2 rows below them is ink under every
// letter, so none passes the baseline probes; the baseline comes to the
// letters' bottom instead of staying two heights below their top.
TEST(TextLines, UnderlinedLineKeepsItsBaselineOnTheLetters) {
  TLayoutPage page(140, 60);
  DrawLine(page, 16, "xxxxxxxxxx");
  page.Ink(4, 32, 123, 32);
  page.Extract();
  page.RunLayout();
  EXPECT_EQ(page.LineGuides(), (std::vector<std::string>{"20/23/29/32"}));
  for (int i = 0; i < page.Engine.Chars.Count(); ++i) {
    const TOCRChar& p = *page.Engine.Chars[i];
    EXPECT_EQ(p.IsRejected(), p.Top == 32) << i;  // the rule
    if (!p.IsRejected()) {
      EXPECT_EQ(p.BaseLine, 29) << i;
    }
  }
}

TEST(TextLines, CharactersOfFivePixelsOrLessMakeNoLine) {
  TLayoutPage page(100, 40);
  for (int k = 0; k < 6; ++k) page.Ink(4 + 10 * k, 10, 9 + 10 * k, 14);  // 6 x 5
  page.Extract();
  page.RunLayout();
  EXPECT_EQ(page.Engine.LineCount, 1);  // the sentinel only
  for (int i = 0; i < page.Engine.Chars.Count(); ++i) EXPECT_EQ(page.Engine.Chars[i]->LineNo, 0);
}

// One 6 x 6 character per line, 10 rows apart: the table holds the sentinel
// and 2047 lines; storing one more raises.
TEST(TextLines, TableOverflowRaises) {
  for (int lines : {2046, 2047}) {
    TLayoutPage page(10, 10 * lines + 10);
    for (int k = 0; k < lines; ++k) page.Ink(2, 4 + 10 * k, 7, 9 + 10 * k);
    page.Extract();
    page.Engine.ComputeCharStatistics();
    if (lines == 2046) {
      page.Engine.FindTextLines(false);
      EXPECT_EQ(page.Engine.LineCount, 2047);
    } else {
      try {
        page.Engine.FindTextLines(false);
        ADD_FAILURE() << "no exception";
      } catch (const EOCRError& e) {
        EXPECT_STREQ(e.what(), "lines>MAXlines");
      }
    }
  }
}

}  // namespace
}  // namespace omniocr::test
