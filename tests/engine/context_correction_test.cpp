// Correction by context: the rules on hand-made records, and a word zone
// read through the whole pipeline.

#include "engine/context_correction.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dibunit/errors.h"
#include "engine/char_codes.h"
#include "engine/classify/candidates.h"
#include "engine/classify/glyph_fixtures.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

// One record of a hand-made line: its reading, the further characters the
// recognisers offered for it, the paper before it, its size.
struct TRec {
  TCharCode Reading;
  std::u16string Offers = u"";
  int Gap = 2;
  int Height = 12;
  int Width = 8;
};

// Records laid out left to right on one line, bottoms aligned; spaces and
// line breaks carry their one candidate as assembly gives it.
void Lay(TOmnifontOCR& engine, const std::vector<TRec>& records) {
  engine.BeginRun();
  engine.Page = test::MakeGrey(600, 60, 255);
  engine.MeanCharWidth = 8;
  int x = 10;
  for (const TRec& r : records) {
    TOCRChar& c = *engine.NewRecord();
    c.Left = x + r.Gap;
    c.Right = c.Left + r.Width - 1;
    c.Bottom = 31;
    c.Top = c.Bottom - r.Height + 1;
    c.LineNo = 1;
    c.AscLine = 20;
    c.MeanLine = 23;
    c.BaseLine = 31;
    c.DescLine = 34;
    x = c.Right;
    if (r.Reading == SpaceChar || r.Reading == LineBreakChar) {
      c.Id = -1;
      SetSeparatorCandidate(c, r.Reading);
    } else if (r.Reading == RejectedChar) {
      c.BestChar = RejectedChar;
    } else {
      SetAC(engine, c, r.Reading, 95);
      for (const TCharCode offer : r.Offers) SetAC(engine, c, offer, 80);
    }
  }
}

std::string Text(const TOmnifontOCR& engine) {
  std::string text;
  for (int i = 0; i < engine.Chars.Count(); ++i) text += RecordText(*engine.Chars[i]);
  return text;
}

struct TContextCase {
  const char* Name;
  std::vector<TRec> Records;
  const char* Expected;
};

const TContextCase kContextCases[] = {
    // I, l, 1 and | by position
    {"I at a line start", {{u'x'}, {u'\r'}, {u'l', u"I"}, {u'n'}, {u'x'}}, "x\nInx"},
    {"I at a sentence start", {{u'a'}, {u'.'}, {u' '}, {u'|', u"I"}, {u'T'}, {u'x'}}, "a. ITx"},
    {"sentence start without I on offer ends the search",
     {{u'a'}, {u'.'}, {u' '}, {u'1', u"l"}, {u'a'}, {u'x'}},
     "a. 1ax"},
    {"I before a consonant after a space", {{u'a'}, {u' '}, {u'l', u"I"}, {u't'}, {u'x'}}, "a Itx"},
    {"I after a quotation mark", {{u'a'}, {u'"'}, {u'l', u"I"}, {u't'}, {u'x'}}, "a\"Itx"},
    {"a 1 before a consonant is not taken for I", {{u'a'}, {u' '}, {u'1', u"I"}, {u't'}, {u'x'}}, "a 1tx"},
    {"l before a vowel", {{u'b'}, {u'1', u"l"}, {u'e'}, {u'x'}}, "blex"},
    {"I before a capital", {{u'X'}, {u'l', u"I"}, {u'T'}, {u'x'}}, "XITx"},
    {"no I before a round capital", {{u'X'}, {u'l', u"I"}, {u'O'}, {u'x'}}, "XlOx"},
    {"l after a small letter", {{u'a'}, {u'|', u"l"}, {u'.'}, {u'x'}}, "al.x"},
    {"1 between digits", {{u'2'}, {u'l', u"1"}, {u'3'}, {u'x'}}, "213x"},
    {"| beside a digit", {{u'-'}, {u'|', u"1"}, {u'3'}, {u'x'}}, "-13x"},
    {"l without 1 on offer stays", {{u'2'}, {u'l'}, {u'3'}, {u'x'}}, "2l3x"},
    // O and 0
    {"O between digits", {{u'2'}, {u'O', u"0"}, {u'3'}, {u'x'}}, "203x"},
    {"0 after a space before a letter", {{u'a'}, {u' '}, {u'0', u"O"}, {u'K'}, {u'x'}}, "a OKx"},
    {"0 between letters", {{u'a'}, {u'0', u"O"}, {u'b'}, {u'x'}}, "aObx"},
    {"0 after a space before a digit", {{u'a'}, {u' '}, {u'O', u"0"}, {u'7'}, {u'x'}}, "a 07x"},
    // o, s and B next to digits
    {"o beside a digit", {{u'2'}, {u'o', u"0"}, {u'x'}, {u'x'}}, "20xx"},
    {"s beside a digit", {{u'a'}, {u's', u"5"}, {u'1'}, {u'x'}}, "a51x"},
    {"S beside a digit", {{u'1'}, {u'S', u"5"}, {u'a'}, {u'x'}}, "15ax"},
    {"B beside a digit", {{u'a'}, {u'B', u"8"}, {u'4'}, {u'x'}}, "a84x"},
    {"B among letters", {{u'a'}, {u'B', u"8"}, {u'e'}, {u'x'}}, "aBex"},
    // case by height, without consulting the candidates
    {"small v after a capital of its height", {{u'C'}, {u'v'}, {u'x'}}, "CVx"},
    {"small v after a taller capital", {{u'C'}, {u'v', u"", 2, 8}, {u'x'}}, "Cvx"},
    {"capital-height v after a small letter", {{u'a'}, {u'v'}, {u'x'}}, "avx"},
    // the space before a capital that starts a run-together word
    {"space before a capital", {{u'a'}, {u'b'}, {u'N', u"", 8}, {u'd', u"", 1}, {u'e'}}, "ab Nde"},
    {"no space before an evenly spaced capital", {{u'a'}, {u'b'}, {u'N'}, {u'd'}, {u'e'}}, "abNde"},
    // the space before punctuation
    {"narrow space before a comma goes", {{u'a'}, {u' '}, {u','}, {u'x'}}, "a,x"},
    {"narrow space before a full stop goes", {{u'a'}, {u' '}, {u'.'}, {u'x'}}, "a.x"},
    {"wide space before a comma stays", {{u'a'}, {u' ', u"", 2, 12, 17}, {u','}, {u'x'}}, "a ,x"},
    {"space before a rejected record stays", {{u'a'}, {u' '}, {RejectedChar}, {u'x'}}, "a ~x"},
    // two single quotes
    {"two apostrophes", {{u'a'}, {u'\''}, {u'\''}, {u'x'}}, "a\"x"},
    {"grave and apostrophe", {{u'a'}, {u'`'}, {u'\''}, {u'x'}}, "a\"x"},
    // first and last record
    {"first and last untouched", {{u'O', u"0"}, {u'2'}, {u'3'}, {u'O', u"0"}}, "O23O"},
};

TEST(CorrectByContext, Rules) {
  for (const TContextCase& c : kContextCases) {
    SCOPED_TRACE(c.Name);
    TOmnifontOCR engine;
    Lay(engine, c.Records);
    engine.CorrectByContext();
    EXPECT_EQ(Text(engine), c.Expected);
  }
}

TEST(CorrectByContext, InsertedSpaceSitsInTheGap) {
  TOmnifontOCR engine;
  Lay(engine, {{u'a'}, {u'b'}, {u'N', u"", 8}, {u'd', u"", 1}, {u'e'}});
  const TOCRChar prev = *engine.Chars[1];
  const TOCRChar cur = *engine.Chars[2];
  engine.CorrectByContext();
  ASSERT_EQ(engine.Chars.Count(), 6);
  const TOCRChar& space = *engine.Chars[2];
  EXPECT_EQ(space.BestChar, SpaceChar);
  EXPECT_EQ(space.CandCount, 1);
  EXPECT_EQ(space.CandConf[0], 100);
  EXPECT_EQ(space.Id, -1);
  EXPECT_EQ(space.Left, prev.Right + 2);
  EXPECT_EQ(space.Right, cur.Left - 2);
  EXPECT_EQ(space.Top, cur.Top);
  EXPECT_EQ(space.Bottom, cur.Bottom);
  EXPECT_EQ(space.BaseLine, cur.BaseLine);
  EXPECT_EQ(engine.Chars[3]->BestChar, u'N');
}

TEST(CorrectByContext, MergedQuoteKeepsTheSecondBox) {
  TOmnifontOCR engine;
  Lay(engine, {{u'a'}, {u'\''}, {u'\''}, {u'x'}});
  const TOCRChar second = *engine.Chars[2];
  engine.CorrectByContext();
  ASSERT_EQ(engine.Chars.Count(), 3);
  EXPECT_EQ(engine.Chars[1]->BestChar, u'"');
  EXPECT_EQ(engine.Chars[1]->Left, second.Left);
  EXPECT_EQ(engine.Chars[1]->Right, second.Right);
}

TEST(CorrectByContext, CorruptCandidateCountIsAnError) {
  TOmnifontOCR engine;
  Lay(engine, {{u'2'}, {u'O', u"0"}, {u'3'}});
  engine.Chars[1]->CandCount = 11;
  try {
    engine.CorrectByContext();
    FAIL() << "no error";
  } catch (const EOCRError& e) {
    EXPECT_STREQ(e.what(), "There is something wrong with testac()!");
  }
  engine.Chars[1]->CandCount = -1;
  EXPECT_THROW(TestAC(*engine.Chars[1], u'0'), EOCRError);
}

// A word zone has no assembled spaces, yet it is corrected too: here the
// space before the capital of a run-together word.
TEST(CorrectByContext, WordZoneIsCorrected) {
  const test::TArtLine line = test::LoadSpacedLine("word-ab-Cde");
  const auto page = test::FromArt(line.Rows);
  for (const bool context : {true, false}) {
    SCOPED_TRACE(context ? "context on" : "context off");
    TOmnifontOCR engine;
    engine.NumericOnly = false;
    engine.AllowedChars = u"abCde";  // readings that later recognisers cannot move
    engine.ContextCorrection = context;
    test::TOwnedHandle handle = test::PackBitmap(*page);
    engine.RecognizeWord(handle.get());
    EXPECT_EQ(Text(engine), context ? "ab Cde" : "abCde");
  }
}

}  // namespace
}  // namespace omniocr
