// The ink (and the unmarked paper) of a span of a page row against the
// pixel-by-pixel test, on random rows of every width up to past four words,
// spans at both ends of the row and beyond them, and thresholds that fall
// between grey levels.

#include "engine/classify/page_row_ink.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>

#include "engine/classify/probes.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

TEST(PageRowInk, SpansReadAsThePixelsAre) {
  std::mt19937 rng(11);
  auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  for (int round = 0; round < 3000; ++round) {
    const int w = pick(1, 80), h = pick(1, 3);
    auto page = test::MakeGrey(w, h, 255);
    const int inkShare = pick(0, 30);  // some rows hold no ink at all
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        page->Row(y)[x] = static_cast<std::uint8_t>(pick(0, 99) < inkShare ? pick(0, 255) : pick(200, 255));
    if (pick(0, 1) == 0)  // paper without marks, as extraction leaves it
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) page->Row(y)[x] &= 0xF8;
    const int thr = pick(1, 255);
    const int y = pick(-1, h);
    const int x0 = pick(-3, w + 2), x1 = pick(x0 - 1, w + 3);
    bool expected = false;
    for (int x = x0; x <= x1; ++x) expected = expected || InkAt(*page, x, y, thr);
    ASSERT_EQ(SpanHoldsInk(*page, x0, x1, y, thr), expected)
        << "round " << round << ": row " << y << ", columns " << x0 << ".." << x1 << " of " << w;

    const int from = pick(0, w - 1), n = pick(1, std::min(64, w - from)), row = pick(0, h - 1);
    std::uint64_t bits = 0;
    for (int k = 0; k < n; ++k) bits |= static_cast<std::uint64_t>(InkAt(*page, from + k, row, thr)) << k;
    const TSpanInk span(*page, from, n, thr);
    ASSERT_EQ(span.Row(row), bits) << "round " << round << ": columns " << from << " + " << n << " of " << w;
    ASSERT_EQ(span.Any(row), bits != 0)
        << "round " << round << ": columns " << from << " + " << n << " of " << w;
    // Unmarked paper: neither ink nor any of the three mark bits set.
    std::uint64_t paperBits = 0;
    for (int k = 0; k < n; ++k)
      if ((page->PixelByte(from + k, row) & 7) == 0 && !InkAt(*page, from + k, row, thr))
        paperBits |= std::uint64_t{1} << k;
    std::uint64_t paper = ~std::uint64_t{0};
    ASSERT_EQ(span.InkAndPaper(row, paper), bits)
        << "round " << round << ": columns " << from << " + " << n << " of " << w;
    ASSERT_EQ(paper, paperBits) << "round " << round << ": columns " << from << " + " << n << " of " << w;
    // Every row at once, as row by row.
    std::uint64_t rows[3], inks[3], papers[3];
    span.Rows(0, h, rows);
    span.InkAndPaperRows(0, h, inks, papers);
    for (int y = 0; y < h; ++y) {
      std::uint64_t one = 0;
      ASSERT_EQ(rows[y], span.Row(y)) << "round " << round << ": row " << y;
      ASSERT_EQ(inks[y], span.InkAndPaper(y, one)) << "round " << round << ": row " << y;
      ASSERT_EQ(papers[y], one) << "round " << round << ": row " << y;
    }
  }
}

}  // namespace
}  // namespace omniocr
