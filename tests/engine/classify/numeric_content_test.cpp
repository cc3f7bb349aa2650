// Numbers-only reading: the digits always run, and so does any other
// recogniser that offers a character the caller allows, such as the slash of
// a date read with the numeric content.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "engine/char_codes.h"
#include "engine/content_sets.h"
#include "engine/omnifont_ocr.h"
#include "glyph_fixtures.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {
namespace {

// The whole engine on a rendered line, numbers only, allowing `allowed`.
std::string ReadNumbersOnly(const std::string& name, const std::u16string& allowed) {
  const TArtLine line = LoadGlyphLine(name);
  const TOwnedHandle page = PackBitmap(*FromArt(line.Rows));
  TOmnifontOCR engine;
  engine.NumericOnly = true;
  engine.AllowedChars = allowed;
  engine.RecognizeParagraph(page.get());
  std::string text;
  for (int i = 0; i < engine.Chars.Count(); ++i) text += RecordText(*engine.Chars[i]);
  return text;
}

class DateLineTest : public ::testing::TestWithParam<std::string> {};

TEST_P(DateLineTest, NumericContentReadsBothSlashes) {
  const std::string text = ReadNumbersOnly(GetParam(), AllowedCharsForContent(ckNumeric));
  EXPECT_EQ(std::count(text.begin(), text.end(), '/'), 2) << text;
}

TEST_P(DateLineTest, NumbersOnlyWithoutAllowedCharactersLeavesTheSlashesUnread) {
  const std::string text = ReadNumbersOnly(GetParam(), u"");
  EXPECT_EQ(std::count(text.begin(), text.end(), '/'), 0) << text;
}

INSTANTIATE_TEST_SUITE_P(Fonts, DateLineTest, ::testing::ValuesIn(RenderedLines({"date"})), ParamName);

TEST(NumericContent, ReadsTheWholeDate) {
  for (const char* name : {"dejavu-sans-50-date", "dejavu-serif-25-date", "liberation-sans-50-date",
                           "liberation-serif-25-date", "freeserif-50-date"})
    EXPECT_EQ(ReadNumbersOnly(name, AllowedCharsForContent(ckNumeric)), "03/11/2026") << name;
}

// A recogniser runs for the characters it offers that the caller allows, and
// the rest of what it offers is dropped.
TEST(NumericContent, AllowedSignsDecideWhichOtherRecognisersRun) {
  struct TCase {
    std::u16string Allowed;
    int Char;  // on the signs line
    const char* Expected;
  };
  const TCase cases[] = {
      {u"0123456789,./", 8, "/"},  //
      {u"0123456789,.", 8, "~"},   // no slash allowed
      {u"0123456789,./", 2, "~"},  // the bracket recogniser runs, its "[" is dropped
      {u"0123456789+", 11, "+"},   // the sign recogniser runs for "+"
      {u"0123456789", 11, "~"},    //
      {u"", 11, "~"},              // nothing restricts: numbers only
  };
  for (const TCase& t : cases) {
    TGlyphLineFixture line("liberation-sans-50-signs");
    line.Engine.NumericOnly = true;
    line.Engine.AllowedChars = t.Allowed;
    EXPECT_EQ(line.ReadChar(t.Char), t.Expected) << "character " << t.Char;
  }
}

}  // namespace
}  // namespace omniocr::test
