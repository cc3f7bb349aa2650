#include "engine/classify/candidates.h"

#include <gtest/gtest.h>

#include <string>

#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {
namespace {

std::u16string Chars(const TOCRChar& g) { return std::u16string(g.CandChar, g.CandChar + g.CandCount); }

class SetACTest : public ::testing::Test {
 protected:
  void Offer(char16_t ch, int conf) { SetAC(engine, glyph, ch, conf); }
  TOmnifontOCR engine;
  TOCRChar glyph;
};

TEST_F(SetACTest, KeepsEachCharacterOnceAtItsBestConfidence) {
  Offer(u'a', 90);
  Offer(u'a', 80);
  EXPECT_EQ(glyph.CandCount, 1);
  EXPECT_EQ(glyph.CandConf[0], 90);
  Offer(u'a', 95);
  EXPECT_EQ(glyph.CandConf[0], 95);
  EXPECT_EQ(glyph.BestChar, u'a');
}

TEST_F(SetACTest, EqualConfidenceGoesAfterAndRaisedOnesMoveUp) {
  Offer(u'e', 90);
  Offer(u'c', 90);
  EXPECT_EQ(Chars(glyph), u"ec");
  EXPECT_EQ(glyph.BestChar, u'e');
  glyph = TOCRChar{};
  Offer(u'x', 90);
  Offer(u'y', 80);
  Offer(u'z', 70);
  Offer(u'y', 85);
  EXPECT_EQ(Chars(glyph), u"xyz");
  EXPECT_EQ(glyph.CandConf[1], 85);
}

TEST_F(SetACTest, HoldsAtMostNine) {
  for (int i = 0; i < 9; ++i) Offer(static_cast<char16_t>(u'a' + i), 50 + i);
  Offer(u'z', 49);  // below all nine: not added
  EXPECT_EQ(glyph.CandCount, 9);
  EXPECT_EQ(Chars(glyph).find(u'z'), std::u16string::npos);
  Offer(u'z', 51);  // above the lowest: pushes it out
  EXPECT_EQ(glyph.CandCount, 9);
  EXPECT_EQ(Chars(glyph).find(u'a'), std::u16string::npos);
  EXPECT_EQ(glyph.CandChar[8], u'z');  // after the equal 51 of b
  Offer(u'y', 99);
  EXPECT_EQ(glyph.BestChar, u'y');
}

TEST_F(SetACTest, FiltersByAllowedCharactersBeforeComposing) {
  engine.AllowedChars = u"0123456789,./";
  Offer(u'O', 90);
  EXPECT_EQ(glyph.CandCount, 0);
  Offer(u'0', 90);
  EXPECT_EQ(glyph.BestChar, u'0');
  engine.AllowedChars = u"e";
  glyph = TOCRChar{};
  glyph.Accent = acAcute;
  Offer(u'e', 90);  // "e" is allowed; what is stored is its composed form
  EXPECT_EQ(glyph.BestChar, u'\u00E9');
}

TEST_F(SetACTest, ComposesTheGlyphsAccent) {
  glyph.Accent = acAcute;
  Offer(u'e', 90);
  Offer(u'x', 80);
  EXPECT_EQ(glyph.BestChar, u'\u00E9');
  EXPECT_EQ(glyph.CandChar[1], u'x');
}

TEST_F(SetACTest, RaisesOnBadInputAndLeavesTheListAlone) {
  auto message = [&](char16_t ch) -> std::string {
    try {
      Offer(ch, 50);
    } catch (const EOCRError& e) {
      return e.what();
    }
    return "";
  };
  EXPECT_EQ(message(NoChar), "SetAC called with bad parameters");
  glyph.CandCount = 11;
  EXPECT_EQ(message(u'a'), "Something wrong in setac()!");
  glyph.CandCount = -1;
  EXPECT_EQ(message(u'a'), "Something wrong in setac()!");
  glyph.CandCount = 10;  // a full ten on entry is accepted
  EXPECT_EQ(message(u'a'), "");
}

TEST(ComposeAccent, PrecomposesListedPairsOnly) {
  struct Case {
    char16_t ch, accent, expected;
  } cases[] = {
      {u'e', acAcute, u'\u00E9'},
      {u'G', acAcute, u'\u01F4'},
      {u'Y', acMacron, u'\u0232'},
      {u'I', acDotAbove, u'\u0130'},
      {u'0', acCaron, u'\u01D1'},
      {u'n', acRingAbove, u'n'},
      {u'0', acAcute, u'\u00D3'},
      {u'0', acMacron, u'0'},
      {u',', acDotAbove, u';'},
      {u'.', acDotAbove, u':'},
      {u'a', 32, u'a'},
      {u'a', 0, u'a'},
      {u'u', acRingAbove, u'\u016F'},
      {u'y', acDiaeresis, u'\u00FF'},
      {u'J', acCircumflex, u'\u0134'},
      {u'z', acCaron, u'\u017E'},
      {u'g', acBreve, u'\u011F'},
      {u'N', acGrave, u'\u01F8'},
      {u'n', acTilde, u'\u00F1'},
      {RejectedChar, acAcute, RejectedChar},
      {u'\u00E9', acAcute, u'\u00E9'},  // no base beyond ASCII composes
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComposeAccent(c.ch, c.accent), c.expected) << char(c.ch) << " " << int(c.accent);
}

}  // namespace
}  // namespace omniocr
