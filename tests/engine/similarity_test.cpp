// Similarity correction and the dissimilarity measure.

#include "engine/similarity.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/byte_scan.h"
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

// The ink classes of a row, sixteen bytes at a time, against a byte-by-byte
// reading: every length up to a few stretches, grey levels about the
// threshold with marks in their low bits.
TEST(InkClassesOf, AgreesWithTheInkTestOfEveryByte) {
  std::mt19937 random(7);
  std::vector<std::uint8_t> row(70);
  for (std::uint8_t& b : row) b = static_cast<std::uint8_t>(150 + random() % 24);
  for (int n = 0; n <= 70; ++n) {
    std::vector<std::int8_t> classes(static_cast<std::size_t>(n) + 1, 5);
    InkClassesOf(row.data(), n, 160, classes.data());
    for (int x = 0; x < n; ++x)
      ASSERT_EQ(classes[static_cast<std::size_t>(x)],
                IsInkByte(row[static_cast<std::size_t>(x)], 160) ? 1 : 0)
          << n << " at " << x;
    EXPECT_EQ(classes[static_cast<std::size_t>(n)], 5) << n;  // nothing written past the end
  }
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

// The correction in its plain form: every unread character against every
// confident one, the first of the least dissimilar, below 10.
void PlainCorrection(TOmnifontOCR& engine) {
  const int count = engine.Chars.Count();
  auto confidence = [](const TOCRChar& c) { return c.CandCount > 0 ? c.CandConf[0] : 100; };
  for (int i = 0; i < count; ++i) {
    TOCRChar& p = *engine.Chars[i];
    if (p.BestChar != NoChar || p.Bottom - p.Top <= 4 || p.Right - p.Left < 2) continue;
    int best = 1000;
    const TOCRChar* ref = nullptr;
    for (int k = 0; k < count; ++k) {
      const TOCRChar& q = *engine.Chars[k];
      if (&q == &p || q.BestChar == NoChar || q.HasEmptyBox() || confidence(q) <= 95) continue;
      const int d = GlyphDissimilarity(*engine.Page, p, engine.Threshold, q);
      if (d < best) {
        best = d;
        ref = &q;
      }
    }
    if (ref != nullptr && best < 10)
      SetAC(engine, p, ref->BestChar, std::max((ref->CandCount > 0 ? ref->CandConf[0] : 97) - best, 1));
  }
}

// Pages of a few shapes drawn many times with stray pixels, at the page's
// edges too, read, unread or read without confidence, on lines that make some
// of them descend: the correction gives every record the candidates the plain
// form gives it (comparing only characters of comparable size, and stopping a
// comparison once it cannot win, change nothing).
TEST(Similarity, SameCorrectionsAsComparingEveryPair) {
  std::mt19937 rng(77);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 40; ++round) {
    TOmnifontOCR engine;
    StartPage(engine, 200, 120);
    std::vector<std::vector<std::string>> shapes;
    for (int k = 0; k < 3; ++k) {
      std::vector<std::string> art(static_cast<std::size_t>(pick(6, 14)),
                                   std::string(static_cast<std::size_t>(pick(4, 10)), '.'));
      for (std::string& row : art)
        for (char& c : row) c = pick(0, 2) == 0 ? '#' : '.';
      shapes.push_back(art);
    }
    for (int n = 0; n < 30; ++n) {
      const auto& art = shapes[static_cast<std::size_t>(pick(0, 2))];
      const int w = static_cast<int>(art[0].size()) + pick(0, 1),
                h = static_cast<int>(art.size()) + pick(0, 1);
      const int x = pick(-2, 200 - w + 2), y = pick(-2, 120 - h + 2);
      for (int v = 0; v < static_cast<int>(art.size()); ++v)
        for (int u = 0; u < static_cast<int>(art[0].size()); ++u)
          if (art[static_cast<std::size_t>(v)][static_cast<std::size_t>(u)] == '#' || pick(0, 40) == 0)
            FillRect(*engine.Page, x + u, y + v, x + u, y + v, 0);
      TOCRChar& c = AddBox(engine, x, y, x + w - 1, y + h - 1);
      if (pick(0, 3) == 0) c.DescLine = c.Bottom - 1;  // reaches into the descender zone
      const int kind = pick(0, 3);
      if (kind == 0) SetAC(engine, c, static_cast<TCharCode>(u'a' + pick(0, 5)), pick(90, 100));
      if (kind == 1) c.BestChar = static_cast<TCharCode>(u'x');  // read, no candidates
    }
    TOmnifontOCR plain;
    StartPage(plain, 200, 120);
    for (int y = 0; y < 120; ++y)
      for (int x = 0; x < 200; ++x) plain.Page->Row(y)[x] = engine.Page->Row(y)[x];
    for (int i = 0; i < engine.Chars.Count(); ++i) *plain.NewRecord() = *engine.Chars[i];
    for (int i = 0; i < plain.Chars.Count(); ++i) plain.Chars[i]->Page = plain.Page.get();
    engine.CorrectBySimilarity();
    PlainCorrection(plain);
    for (int i = 0; i < engine.Chars.Count(); ++i) {
      const TOCRChar &a = *engine.Chars[i], &b = *plain.Chars[i];
      ASSERT_EQ(a.BestChar, b.BestChar) << "round " << round << " record " << i;
      ASSERT_EQ(a.CandCount, b.CandCount) << "round " << round << " record " << i;
      for (int k = 0; k < a.CandCount; ++k) {
        ASSERT_EQ(a.CandChar[k], b.CandChar[k]);
        ASSERT_EQ(a.CandConf[k], b.CandConf[k]);
      }
    }
  }
}

// The dissimilarity as its rule reads, position by position straight from the
// page: outside the page is ink in the direct comparison and a difference of
// its own among the neighbours.
int PlainDissimilarity(const TDIB& page, const TOCRChar& p, const TOCRChar& q, int threshold) {
  const auto classAt = [&](const TOCRChar& c, int u, int v) {
    const int x = c.Left + u, y = c.Top + v;
    if (x < 0 || y < 0 || x >= page.Width() || y >= page.Height()) return -1;
    return page.Row(y)[x] < threshold ? 1 : 0;
  };
  const int W = std::max(p.Width(), q.Width()), H = std::max(p.Height(), q.Height());
  const int sx = W / 32 + 1, sy = H / 32 + 1;
  long penalty = 0, same = 0;
  if (p.BaseLine + p.DescLine < 2 * p.Bottom && q.BaseLine + q.DescLine > 2 * q.Bottom) penalty += 128;
  if (p.AscLine + p.MeanLine < 2 * p.Top && q.AscLine + q.MeanLine > 2 * q.Top) penalty += 128;
  for (int v = 0; v < H; ++v)
    for (int u = 0; u < W; ++u) {
      if ((classAt(p, u, v) != 0) == (classAt(q, u, v) != 0)) {
        same += 16;
        continue;
      }
      int n = 0;
      for (int b = -1; b <= 1; ++b)
        for (int a = -1; a <= 1; ++a) {
          const int cp = classAt(p, u + a * sx, v + b * sy), cq = classAt(q, u + a * sx, v + b * sy);
          if ((a != 0 || b != 0) && (cp == -1 || cq == -1 || cp != cq)) ++n;
        }
      if (n >= 2) penalty += 16 * (n - 1);
    }
  if (same + penalty == 0) return 99;
  return static_cast<int>(100 * penalty / (same + penalty));
}

// Noisy pages with boxes of every width up to a few words of positions, at
// the page's edges too: the measure, which compares several positions at
// once, gives what the rule gives position by position.
TEST(Similarity, DissimilarityAgreesWithThePlainRule) {
  std::mt19937 rng(31);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  constexpr std::uint8_t kLevels[] = {0, 96, 120, 136, 255, 255};
  for (int round = 0; round < 60; ++round) {
    TOmnifontOCR engine;
    StartPage(engine, 90, 60);
    TDIB& page = *engine.Page;
    for (int y = 0; y < page.Height(); ++y)
      for (int x = 0; x < page.Width(); ++x) page.Row(y)[x] = kLevels[pick(0, 5)];
    const int w = pick(1, 40), h = pick(1, 30);
    const int wq = std::max(1, w + pick(-w / 16 - 1, w / 16 + 1)),
              hq = std::max(1, h + pick(-h / 16 - 1, h / 16 + 1));
    const int left = pick(-4, page.Width() - w + 4), top = pick(-4, page.Height() - h + 4);
    const int leftQ = pick(-4, page.Width() - wq + 4), topQ = pick(-4, page.Height() - hq + 4);
    const TOCRChar& p = AddBox(engine, left, top, left + w - 1, top + h - 1);
    const TOCRChar& q = AddBox(engine, leftQ, topQ, leftQ + wq - 1, topQ + hq - 1);
    ASSERT_EQ(GlyphDissimilarity(page, p, 128, q), PlainDissimilarity(page, p, q, 128))
        << "round " << round << ": " << w << "x" << h << " against " << wq << "x" << hq;
  }
}

}  // namespace
}  // namespace omniocr
