// Spacing statistics, and word and line assembly.

#include <gtest/gtest.h>

#include <string>

#include "engine/char_codes.h"
#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

void StartPage(TOmnifontOCR& engine) {
  engine.BeginRun();
  engine.Page = test::MakeGrey(400, 100, 255);
  engine.MeanCharWidth = 8;
  engine.MeanCharHeight = 12;
}

// A read character of width 8 on line `line` (lines 20 rows apart).
TOCRChar& AddChar(TOmnifontOCR& engine, int left, int line, TCharCode ch = u'1') {
  TOCRChar& c = *engine.NewRecord();
  c.Left = left;
  c.Right = left + 7;
  c.Top = 20 * line;
  c.Bottom = 20 * line + 11;
  c.LineNo = line;
  c.AscLine = 20 * line;
  c.MeanLine = 20 * line + 3;
  c.BaseLine = 20 * line + 11;
  c.DescLine = 20 * line + 14;
  SetAC(engine, c, ch, 100);
  return c;
}

void SetLines(TOmnifontOCR& engine, int count) {
  engine.LineCount = count + 1;
  for (int i = 1; i <= count; ++i) engine.Lines[i] = {20 * i, 20 * i + 3, 20 * i + 11, 20 * i + 14, 2, 300};
}

std::string Text(const TOmnifontOCR& engine) {
  std::string text;
  for (int i = 0; i < engine.Chars.Count(); ++i) text += RecordText(*engine.Chars[i]);
  return text;
}

TEST(SpacingStatistics, FixedPitchAndEstimates) {
  TOmnifontOCR engine;
  StartPage(engine);
  for (int i = 0; i < 10; ++i) AddChar(engine, 10 + 10 * i, 1);  // pitch 10, gaps of 2
  engine.SpacingStatistics();
  EXPECT_TRUE(engine.FixedPitch);
  EXPECT_EQ(engine.PitchEstimate, 10);
  // Nine gaps of e = 4: nearest((144 + 18 + 1) / 36 + 1) = nearest(5.53) = 6.
  EXPECT_EQ(engine.GapEstimate, 6);
}

TEST(SpacingStatistics, SingleCharacterKeepsEarlierValues) {
  TOmnifontOCR engine;
  StartPage(engine);
  engine.FixedPitch = true;
  engine.PitchEstimate = 17;
  engine.GapEstimate = 4;
  AddChar(engine, 10, 1);
  engine.SpacingStatistics();
  EXPECT_TRUE(engine.FixedPitch);
  EXPECT_EQ(engine.PitchEstimate, 17);
  EXPECT_EQ(engine.GapEstimate, 4);
}

TEST(SpacingStatistics, VaryingPitchIsProportional) {
  TOmnifontOCR engine;
  StartPage(engine);
  int x = 10;
  for (int i = 0; i < 10; ++i) {
    AddChar(engine, x, 1);
    x += (i % 2) ? 10 : 18;
  }
  engine.SpacingStatistics();
  EXPECT_FALSE(engine.FixedPitch);
}

TEST(WordAssembly, SpacesOnOneLineAndLineBreaksOnlyForParagraphs) {
  for (const bool multiLine : {false, true}) {
    TOmnifontOCR engine;
    StartPage(engine);
    SetLines(engine, 2);
    AddChar(engine, 10, 1);
    AddChar(engine, 20, 1);
    AddChar(engine, 40, 1);  // word gap
    AddChar(engine, 10, 2);
    AddChar(engine, 20, 2);
    engine.SpaceWidth = 3;
    engine.AssembleWordsAndLines(multiLine);
    EXPECT_EQ(Text(engine), multiLine ? "11 1\n11" : "11 111") << multiLine;
  }
}

TEST(WordAssembly, WideGapGetsOneSpacePerCell) {
  TOmnifontOCR engine;
  StartPage(engine);
  SetLines(engine, 1);
  AddChar(engine, 10, 1);
  AddChar(engine, 20, 1);
  AddChar(engine, 30, 1);  // the line's letter gap: 30 - 27 + 2 + 1 = 6
  AddChar(engine, 64, 1);  // (64 - 37 + 2) / (8 + 6): two cells
  engine.AssembleWordsAndLines(false);
  ASSERT_EQ(engine.Chars.Count(), 6);
  const int lefts[] = {43, 57};
  for (int k = 0; k < 2; ++k) {
    const TOCRChar& s = *engine.Chars[3 + k];
    EXPECT_EQ(s.BestChar, SpaceChar);
    EXPECT_EQ(s.Id, -1);
    EXPECT_EQ(s.Left, lefts[k]);
  }
  EXPECT_EQ(engine.Chars[3]->Right, 51);
  EXPECT_EQ(engine.Chars[4]->Right, 62);  // cut back 2 pixels before the next character
}

TEST(WordAssembly, SeparatorsSurviveAnAllowedCharacterSet) {
  TOmnifontOCR engine;
  StartPage(engine);
  SetLines(engine, 2);
  engine.AllowedChars = u"0123456789";
  AddChar(engine, 10, 1);
  AddChar(engine, 40, 1);
  AddChar(engine, 10, 2);
  engine.SpaceWidth = 3;
  engine.AssembleWordsAndLines(true);
  // No letter gap on the first line: SpaceWidth scaled and halved gives 1, so
  // the gap of 23 holds two cells.
  EXPECT_EQ(Text(engine), "1  1\n1");
  const TOCRChar& lineBreak = *engine.Chars[4];
  EXPECT_EQ(lineBreak.BestChar, LineBreakChar);
  EXPECT_EQ(lineBreak.CandCount, 1);
  EXPECT_EQ(lineBreak.CandConf[0], 100);
  EXPECT_EQ(lineBreak.Left, 2);   // the line's MinX
  EXPECT_EQ(lineBreak.Right, 8);  // q.Left - 2
}

TEST(WordAssembly, FirstEntryIsNeverPrecededAndSingleCharacterFirstLine) {
  TOmnifontOCR engine;
  StartPage(engine);
  SetLines(engine, 2);
  AddChar(engine, 10, 1);
  AddChar(engine, 10, 2);
  AddChar(engine, 20, 2);
  engine.AssembleWordsAndLines(true);
  // The first line's only character is not compared with the second entry.
  EXPECT_EQ(Text(engine), "111");
}

TEST(WordAssembly, LineBreakRecordsInTheListAreNotSizedFrom) {
  TOmnifontOCR engine;
  StartPage(engine);
  SetLines(engine, 1);
  AddChar(engine, 10, 1);
  TOCRChar& odd = *engine.NewRecord();  // an empty box on the line (Right below Left)
  odd.Left = 30;
  odd.Right = 5;
  odd.LineNo = 1;
  SetSeparatorCandidate(odd, LineBreakChar);
  AddChar(engine, 20, 1);
  engine.SpaceWidth = 3;
  engine.AssembleWordsAndLines(false);
  EXPECT_EQ(engine.Chars.Count(), 3);
}

TEST(RecognitionPass, LeavesRejectedAndReadRecordsAlone) {
  TOmnifontOCR engine;
  StartPage(engine);
  engine.Threshold = 128;
  TOCRChar& read = AddChar(engine, 10, 1, u'7');
  TOCRChar& rejected = *engine.NewRecord();
  rejected.Left = 40;
  rejected.Right = 50;
  rejected.Bottom = 10;
  rejected.BestChar = RejectedChar;
  engine.RecognitionPass();
  EXPECT_EQ(engine.DispatchCount, 0);
  EXPECT_EQ(read.BestChar, u'7');
  EXPECT_EQ(rejected.CandCount, 0);
}

}  // namespace
}  // namespace omniocr
