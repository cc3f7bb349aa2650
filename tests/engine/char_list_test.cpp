// The result list and the records it hands out.

#include <gtest/gtest.h>

#include <cstring>

#include "engine/ocr_types.h"

namespace omniocr {
namespace {

// Every field of two records, the candidate tables included.
void ExpectSameRecord(const TOCRChar& a, const TOCRChar& b) {
  EXPECT_EQ(a.Left, b.Left);
  EXPECT_EQ(a.Right, b.Right);
  EXPECT_EQ(a.Top, b.Top);
  EXPECT_EQ(a.Bottom, b.Bottom);
  EXPECT_EQ(a.StartX, b.StartX);
  EXPECT_EQ(a.StartY, b.StartY);
  EXPECT_EQ(a.MarkAbove, b.MarkAbove);
  EXPECT_EQ(a.InkCount, b.InkCount);
  EXPECT_EQ(a.BestChar, b.BestChar);
  EXPECT_EQ(a.Accent, b.Accent);
  EXPECT_EQ(a.Id, b.Id);
  EXPECT_EQ(a.LineNo, b.LineNo);
  EXPECT_EQ(a.AscLine, b.AscLine);
  EXPECT_EQ(a.MeanLine, b.MeanLine);
  EXPECT_EQ(a.BaseLine, b.BaseLine);
  EXPECT_EQ(a.DescLine, b.DescLine);
  EXPECT_EQ(a.Page, b.Page);
  EXPECT_EQ(a.CandCount, b.CandCount);
  EXPECT_EQ(std::memcmp(a.CandChar, b.CandChar, sizeof a.CandChar), 0);
  EXPECT_EQ(std::memcmp(a.CandConf, b.CandConf, sizeof a.CandConf), 0);
}

// A record of a cleared list comes back for the next page holding nothing
// of the page before, and a list empties as before.
TEST(CharList, RecordsOfAClearedListComeBackAsNew) {
  TCharList list;
  for (int i = 0; i < 3; ++i) {
    TOCRChar* r = list.Add(list.Fresh());
    std::memset(static_cast<void*>(r), 0x5A, sizeof *r);
  }
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  for (int i = 0; i < 4; ++i) {  // three kept, one made
    const TOCRChar* r = list.Add(list.Fresh());
    ExpectSameRecord(*r, TOCRChar{});
  }
  EXPECT_EQ(list.Count(), 4);
}

}  // namespace
}  // namespace omniocr
