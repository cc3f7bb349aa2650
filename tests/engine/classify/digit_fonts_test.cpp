// The digit recogniser on digits rendered from real fonts. The 16-pixel
// renderings under tests/data/digits are kept for inspection: at that size
// several rules no longer separate 2, 4 and 7 from 1 and 0, and the serif
// line breaks into more components than digits.

#include <gtest/gtest.h>

#include <string>

#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

class DigitFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DigitFontTest, ReadsEveryDigitOfTheLine) {
  const TArtLine line = LoadDigitLine(GetParam());
  TPageFixture page(line.Rows, line.Guides);
  ASSERT_EQ(page.Count(), 10);
  std::string text;
  for (int i = 0; i < page.Count(); ++i) {
    page.Read(i);
    text += Reading(page.Record(i));
  }
  EXPECT_EQ(text, "0123456789");
}

INSTANTIATE_TEST_SUITE_P(Fonts, DigitFontTest,
                         ::testing::Values("sans-24", "sans-36", "serif-24", "serif-36", "roman-36",
                                           "mono-24", "mono-36"),
                         ParamName);

}  // namespace
}  // namespace omniocr::test
