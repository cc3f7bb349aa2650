// The recogniser for I and J on letters rendered from real fonts, and single
// tests under changed flags and guides: the i's start and its low dot, the
// capital I below the ascenders, the J's factors with and without a
// descender.

#include <gtest/gtest.h>

#include <string>

#include "engine/classify/letters_ij_tests.h"
#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// The offers of RecognizeIJ for a letter of a rendered line.
TOffers IJOffers(const std::string& font, char letter) {
  const bool upper = letter >= 'A' && letter <= 'Z';
  TGlyphLineFixture line(font + (upper ? "-upper" : "-lower"));
  TRecordContext record(line, line.RecordOfChar(letter - (upper ? 'A' : 'a')), TRecordContext::ReadByDriver);
  RecognizeIJ(line.Engine, record.Context);
  return record.Offers();
}

class LettersIJFontTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LettersIJFontTest, OffersItsLettersAndNotOtherStems) {
  const std::string font = GetParam();
  struct Case {
    char Letter;
    const char* Offer;
    int AtLeast;
  };
  for (const Case& c : {Case{'I', "I", 98}, Case{'J', "J", 95}, Case{'i', "i", 100}, Case{'j', "j", 96}})
    EXPECT_GE(ConfOf(IJOffers(font, c.Letter), c.Offer), c.AtLeast) << c.Letter;
  for (const char letter : {'T', 'L', 'E', 'f', 't', 'r'})
    EXPECT_TRUE(IJOffers(font, letter).empty()) << letter;
}

INSTANTIATE_TEST_SUITE_P(Fonts, LettersIJFontTest, ::testing::ValuesIn(RenderedFontSizes()), ParamName);

TEST(SmallI, StartsFromTheMarkAboveAndTheJTakesItsValueUnreduced) {
  struct Case {
    const char* Line;
    char Letter;
    int MarkAbove;
    void (TLetterIJTests::*Test)() const;
    const char* Offer;
    int Conf;
  };
  // A plain stem crosses one run down to its last row: no foot to measure.
  for (const Case& c : {Case{"dejavu-sans-50-lower", 'i', 1, &TLetterIJTests::SmallI, "i", 100},
                        Case{"dejavu-sans-50-lower", 'i', 0, &TLetterIJTests::SmallI, "i", 98},
                        Case{"dejavu-serif-50-lower", 'i', 1, &TLetterIJTests::SmallI, "i", 100},
                        Case{"dejavu-sans-50-lower", 'j', 1, &TLetterIJTests::SmallJ, "j", 100},
                        Case{"dejavu-sans-50-lower", 'j', 0, &TLetterIJTests::SmallJ, "j", 98}}) {
    TGlyphLineFixture line(c.Line);
    TRecordContext record(line, line.RecordOfChar(c.Letter - 'a'), TRecordContext::ReadByDriver);
    ASSERT_EQ(record.Glyph.MarkAbove, 1);
    record.Glyph.MarkAbove = c.MarkAbove;
    (TLetterIJTests(record.View()).*c.Test)();
    EXPECT_EQ(ConfOf(record.Offers(), c.Offer), c.Conf)
        << c.Line << " " << c.Letter << " mark " << c.MarkAbove;
  }
}

TEST(SmallI, ADotBelowTwoThirdsOfTheWayToTheMeanLineCostsAFifth) {
  struct Case {
    int AscAboveDot;
    int Conf;
  };
  // With the mean line 4 rows under the dot's top, the point two thirds of
  // the way from the ascender line is level with the dot for an ascender
  // line 8 rows above it.
  for (const Case& c : {Case{8, 100}, Case{9, 80}}) {
    TGlyphLineFixture line("dejavu-sans-50-lower");
    TRecordContext record(line, line.RecordOfChar('i' - 'a'), TRecordContext::ReadByDriver);
    const int dotTop = record.Glyph.Top;
    record.Glyph.MeanLine = dotTop + 4;
    record.Glyph.AscLine = dotTop - c.AscAboveDot;
    TLetterIJTests(record.View()).SmallI();
    EXPECT_EQ(ConfOf(record.Offers(), "i"), c.Conf) << c.AscAboveDot;
  }
}

TEST(CapitalI, BelowTheAscendersItIsOfferedAtSeventy) {
  struct Case {
    const char* Line;
    bool Tall;
    int Conf;
  };
  // The sans I is a solid bar: x99 for no serifs, x99 for a box without paper.
  for (const Case& c : {Case{"dejavu-serif-50-upper", true, 100}, Case{"dejavu-serif-50-upper", false, 70},
                        Case{"dejavu-sans-50-upper", true, 98}, Case{"dejavu-sans-50-upper", false, 69}}) {
    TGlyphLineFixture line(c.Line);
    TRecordContext record(line, line.RecordOfChar('I' - 'A'), TRecordContext::ReadByDriver);
    record.Context.Tall = c.Tall;
    TLetterIJTests(record.View()).CapitalI();
    EXPECT_EQ(ConfOf(record.Offers(), "I"), c.Conf) << c.Line << " tall " << c.Tall;
  }
}

TEST(CapitalI, AMarkAboveRulesItOut) {
  TGlyphLineFixture line("dejavu-serif-50-upper");
  TRecordContext record(line, line.RecordOfChar('I' - 'A'), TRecordContext::ReadByDriver);
  record.Glyph.MarkAbove = 1;
  TLetterIJTests(record.View()).CapitalI();
  EXPECT_TRUE(record.Offers().empty());
}

TEST(CapitalJ, BelowTheAscendersItLosesATenthWithOrWithoutADescender) {
  struct Case {
    bool Tall, Descends;
    int Conf;
  };
  // FreeSerif's J at 25 pixels: x99 for its right side at half height, a
  // factor that a descending J skips.
  for (const Case& c :
       {Case{true, true, 100}, Case{true, false, 99}, Case{false, true, 90}, Case{false, false, 89}}) {
    TGlyphLineFixture line("freeserif-25-upper");
    TRecordContext record(line, line.RecordOfChar('J' - 'A'), TRecordContext::ReadByDriver);
    record.Context.Tall = c.Tall;
    record.Context.Descends = c.Descends;
    TLetterIJTests(record.View()).CapitalJ();
    EXPECT_EQ(ConfOf(record.Offers(), "J"), c.Conf) << "tall " << c.Tall << " descends " << c.Descends;
  }
}

TEST(CapitalJ, WithAMarkAboveItIsASmallJ) {
  TGlyphLineFixture line("liberation-serif-50-upper");
  TRecordContext record(line, line.RecordOfChar('J' - 'A'), TRecordContext::ReadByDriver);
  record.Glyph.MarkAbove = 1;
  TLetterIJTests(record.View()).CapitalJ();
  EXPECT_EQ(record.Offers(), (TOffers{{"j", 99}}));
}

}  // namespace
}  // namespace omniocr::test
