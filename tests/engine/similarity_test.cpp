// Similarity correction and the dissimilarity measure.

#include "engine/similarity.h"

#include <gtest/gtest.h>

#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FillRect;
using test::MakeGrey;

// An engine with a page of the given size and no records yet.
void StartPage(TOmnifontOCR& engine, int w, int h) {
  engine.BeginRun();
  engine.Page = MakeGrey(w, h, 255);
  engine.Threshold = 128;
}

TOCRChar& AddBox(TOmnifontOCR& engine, int left, int top, int right, int bottom) {
  TOCRChar& c = *engine.NewRecord();
  c.Left = left;
  c.Top = top;
  c.Right = right;
  c.Bottom = bottom;
  c.AscLine = top;
  c.MeanLine = top + 2;
  c.BaseLine = bottom;
  c.DescLine = bottom + 4;
  return c;
}

// An L-shaped glyph at (x, y), 6 wide and 10 high.
void DrawL(TDIB& page, int x, int y) {
  FillRect(page, x, y, x + 1, y + 9, 0);
  FillRect(page, x, y + 8, x + 5, y + 9, 0);
}

TEST(Similarity, UnreadCopyBorrowsTheReadingAndItsConfidence) {
  TOmnifontOCR engine;
  StartPage(engine, 60, 20);
  DrawL(*engine.Page, 2, 2);
  DrawL(*engine.Page, 20, 2);
  TOCRChar& read = AddBox(engine, 2, 2, 7, 11);
  SetAC(engine, read, u'4', 98);
  TOCRChar& unread = AddBox(engine, 20, 2, 25, 11);
  EXPECT_EQ(GlyphDissimilarity(*engine.Page, unread, 128, read), 0);
  engine.CorrectBySimilarity();
  EXPECT_EQ(unread.BestChar, u'4');
  EXPECT_EQ(unread.CandConf[0], 98);
}

TEST(Similarity, IsolatedDifferenceWithAgreeingNeighboursCostsNothing) {
  TOmnifontOCR engine;
  StartPage(engine, 60, 20);
  DrawL(*engine.Page, 2, 2);
  DrawL(*engine.Page, 20, 2);
  engine.Page->SetPixel(24, 4, 0);  // one stray pixel
  TOCRChar& a = AddBox(engine, 2, 2, 7, 11);
  TOCRChar& b = AddBox(engine, 20, 2, 25, 11);
  EXPECT_EQ(GlyphDissimilarity(*engine.Page, b, 128, a), 0);
}

TEST(Similarity, SizeAndPlacementRules) {
  TOmnifontOCR engine;
  StartPage(engine, 80, 30);
  TOCRChar& p = AddBox(engine, 2, 2, 7, 11);
  TOCRChar& wide = AddBox(engine, 20, 2, 28, 11);  // 9 wide against 6: more than W/16 + 1
  EXPECT_EQ(GlyphDissimilarity(*engine.Page, p, 128, wide), 100);
  // An unread glyph that descends against a reference that does not: +128.
  TOCRChar& q = AddBox(engine, 40, 2, 45, 11);
  p.BaseLine = 5;
  p.DescLine = 13;  // p reaches below the middle of its descender zone
  const int descends = GlyphDissimilarity(*engine.Page, p, 128, q);
  EXPECT_GT(descends, 0);
  EXPECT_EQ(GlyphDissimilarity(*engine.Page, q, 128, p), 0);  // the reverse costs nothing
}

TEST(Similarity, LargeBoxesDoNotOverflow) {
  TOmnifontOCR engine;
  StartPage(engine, 2000, 1000);
  FillRect(*engine.Page, 0, 0, 999, 999, 0);
  TOCRChar& ink = AddBox(engine, 0, 0, 999, 999);
  TOCRChar& paper = AddBox(engine, 1000, 0, 1999, 999);
  EXPECT_EQ(GlyphDissimilarity(*engine.Page, ink, 128, paper), 100);
}

TEST(Similarity, SmallUnreadAndFirstOfEqualReferences) {
  TOmnifontOCR engine;
  StartPage(engine, 90, 20);
  DrawL(*engine.Page, 2, 2);
  DrawL(*engine.Page, 20, 2);
  DrawL(*engine.Page, 40, 2);
  TOCRChar& first = AddBox(engine, 2, 2, 7, 11);
  SetAC(engine, first, u'4', 97);
  TOCRChar& second = AddBox(engine, 20, 2, 25, 11);
  SetAC(engine, second, u'7', 99);
  TOCRChar& unread = AddBox(engine, 40, 2, 45, 11);
  TOCRChar& tiny = AddBox(engine, 60, 2, 61, 11);  // 2 wide: never corrected
  engine.CorrectBySimilarity();
  EXPECT_EQ(unread.BestChar, u'4');
  EXPECT_EQ(tiny.BestChar, NoChar);
  engine.SimilarityCorrection = false;
  TOCRChar& later = AddBox(engine, 40, 2, 45, 11);
  engine.CorrectBySimilarity();
  EXPECT_EQ(later.BestChar, NoChar);
}

}  // namespace
}  // namespace omniocr
