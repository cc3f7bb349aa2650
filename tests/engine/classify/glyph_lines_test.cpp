// The rendered letter lines that the recogniser tests read: every letter has
// a record of its own, the dots of i and j merged into it.

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

class GlyphLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(GlyphLineTest, EveryLetterHasARecordOfItsOwn) {
  TGlyphLineFixture line(GetParam());
  std::set<int> records;
  for (int k = 0; k < 26; ++k) {
    const int i = line.RecordOfChar(k);
    ASSERT_GE(i, 0) << "letter " << k;
    records.insert(i);
  }
  EXPECT_EQ(records.size(), 26u);
  if (GetParam().ends_with("lower")) {
    // The i and j boxes reach up to their dots.
    for (const int k : {8, 9}) {
      const TOCRChar& c = line.Record(line.RecordOfChar(k));
      EXPECT_LT(c.Top, line.Record(line.RecordOfChar(20)).Top) << "letter " << k;  // above the u
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, GlyphLineTest, ::testing::ValuesIn(RenderedLines({"upper", "lower"})),
                         ParamName);

}  // namespace
}  // namespace omniocr::test
