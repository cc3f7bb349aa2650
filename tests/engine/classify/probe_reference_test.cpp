// The labelling, scanning and counting probes against plain pixel-by-pixel
// forms of what they must return, on random bitmaps with marked and unmarked
// pixels, in both fill neighbourhoods: the hole list with its order, seeds,
// boxes and pruned count, the blob count, the crossings of any segment, the
// ink and paper tests of any rectangle, and the word-at-a-time byte scans.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <deque>
#include <memory>
#include <optional>
#include <random>
#include <utility>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/bit_flood.h"
#include "engine/classify/driver.h"
#include "engine/classify/hole_bits.h"
#include "engine/classify/ink_plane.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

// A W x H copy of a rectangle as plain bytes, 248 outside the bitmap.
struct TPlain {
  int W, H;
  std::vector<std::uint8_t> Px;
  std::uint8_t& At(int x, int y) { return Px[static_cast<std::size_t>(y * W + x)]; }
};

TPlain PlainCopy(const TDIB& b, int left, int top, int w, int h, std::uint8_t keep) {
  TPlain p{w, h, std::vector<std::uint8_t>(static_cast<std::size_t>(w * h))};
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      p.At(x, y) = b.Inside(left + x, top + y)
                       ? static_cast<std::uint8_t>(b.PixelByte(left + x, top + y) & keep)
                       : 248;
  return p;
}

bool Ink(std::uint8_t b, int thr) { return (b & 0xF8) < (thr & 0xFF); }

// Marks with 7 every unmarked pixel of the seed's class reachable from it;
// returns the count and the box.
int Flood(TPlain& p, int sx, int sy, int thr, bool eight, TGlyphHole& region) {
  const bool cls = Ink(p.At(sx, sy), thr);
  std::deque<std::pair<int, int>> work{{sx, sy}};
  p.At(sx, sy) |= 7;
  region = {0, sx, sy, sx, sy, sx, sy};
  while (!work.empty()) {
    const auto [x, y] = work.front();
    work.pop_front();
    ++region.Size;
    region.MinX = std::min(region.MinX, x), region.MaxX = std::max(region.MaxX, x);
    region.MinY = std::min(region.MinY, y), region.MaxY = std::max(region.MaxY, y);
    for (int dy = -1; dy <= 1; ++dy)
      for (int dx = -1; dx <= 1; ++dx) {
        if ((dx == 0 && dy == 0) || (!eight && dx != 0 && dy != 0)) continue;
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= p.W || ny >= p.H) continue;
        std::uint8_t& b = p.At(nx, ny);
        if ((b & 7) != 0 || Ink(b, thr) != cls) continue;
        b |= 7;
        work.emplace_back(nx, ny);
      }
  }
  return region.Size;
}

int ReferenceHoles(const TDIB& b, int left, int top, int right, int bottom, int thr, bool eight,
                   THoleList& list) {
  list.HoleCount = 0;
  const int w = right - left + 1, h = bottom - top + 1;
  if (w < 3 || h < 3) return 0;
  TPlain p = PlainCopy(b, left, top, w, h, 0xFF);
  TGlyphHole region;
  auto floodIfPaper = [&](int x, int y) {
    if (!Ink(p.At(x, y), thr) && (p.At(x, y) & 7) == 0) Flood(p, x, y, thr, eight, region);
  };
  for (int x = 0; x < w; ++x) floodIfPaper(x, 0), floodIfPaper(x, h - 1);
  for (int y = 0; y < h; ++y) floodIfPaper(0, y), floodIfPaper(w - 1, y);
  int n = 0;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      if ((p.At(x, y) & 7) != 0 || Ink(p.At(x, y), thr)) continue;
      const int size = Flood(p, x, y, thr, eight, region);
      if ((size <= 1 && w * h > 40) || n == kMaxHoles) continue;
      int at = 0;
      while (at < n && list.Holes[at].Size >= size) ++at;
      for (int k = n; k > at; --k) list.Holes[k] = list.Holes[k - 1];
      list.Holes[at] = {size, x, y, region.MinX, region.MinY, region.MaxX, region.MaxY};
      list.HoleCount = ++n;
    }
  if (n == 0) return 0;
  const int largest = list.Holes[0].Size;
  for (int k = 0; k < n;) {
    if (list.Holes[k].Size < largest / 5) {
      for (int j = k; j < n - 1; ++j) list.Holes[j] = list.Holes[j + 1];
      --n;
      k = 0;
    } else {
      ++k;
    }
  }
  return n;
}

int ReferenceBlobs(const TDIB& b, int x0, int y0, int x1, int y1, int thr, bool eight) {
  if (x0 > x1 || y0 > y1) return 0;
  TPlain p = PlainCopy(b, x0, y0, x1 - x0 + 1, y1 - y0 + 1, 0xF8);
  TGlyphHole region;
  int count = 0;
  for (int x = 0; x < p.W; ++x)
    for (int y = 0; y < p.H; ++y)
      if ((p.At(x, y) & 7) == 0 && Ink(p.At(x, y), thr)) ++count, Flood(p, x, y, thr, eight, region);
  return count;
}

int ReferenceCrossings(const TDIB& b, int x0, int y0, int x1, int y1, int thr) {
  const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  int count = 0;
  bool previous = false;
  for (int k = 0; k <= n; ++k) {
    const int x = n == 0 ? x0 : x0 + (x1 - x0) * k / n, y = n == 0 ? y0 : y0 + (y1 - y0) * k / n;
    const bool ink = b.Inside(x, y) && Ink(b.PixelByte(x, y), thr);
    count += ink && !previous;
    previous = ink;
  }
  return count;
}

std::uint8_t ReferenceProbeRect(const TDIB& b, int x0, int y0, int x1, int y1, int thr, std::uint8_t mask) {
  std::uint8_t bits = 0;
  for (int y = std::max(y0, 0); y <= std::min(y1, b.Height() - 1); ++y)
    for (int x = std::max(x0, 0); x <= std::min(x1, b.Width() - 1); ++x)
      bits |= Ink(b.PixelByte(x, y), thr) ? 1 : 2;
  return bits & mask;
}

// Ink strokes and paper of a few grey levels; some pixels of both carry marks,
// as on a page after extraction.
std::unique_ptr<TDIB> RandomBitmap(std::mt19937& rng, int w, int h) {
  auto b = test::MakeGrey(w, h, 248);
  std::uniform_int_distribution<int> percent(0, 99);
  const int inkShare = 25 + percent(rng) % 40;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool ink = percent(rng) < inkShare;
      std::uint8_t v = static_cast<std::uint8_t>((ink ? percent(rng) : 150 + percent(rng)) & 0xF8);
      if (percent(rng) < 12) v |= static_cast<std::uint8_t>(1 + percent(rng) % 7);
      b->Row(y)[x] = v;
    }
  return b;
}

// Outlines of boxes, some with a gap, some nested or crossing, on paper with a
// few specks: bowls, open bowls and stacked holes, as glyphs hold them.
std::unique_ptr<TDIB> RandomOutlines(std::mt19937& rng, int w, int h) {
  auto b = test::MakeGrey(w, h, 248);
  std::uniform_int_distribution<int> percent(0, 99);
  auto ink = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h)
      b->Row(y)[x] = static_cast<std::uint8_t>(percent(rng) % 3 == 0 ? 1 : 40);
  };
  for (int box = 1 + percent(rng) % 4; box > 0; --box) {
    const int x0 = percent(rng) % w, y0 = percent(rng) % h;
    const int x1 = x0 + 2 + percent(rng) % w, y1 = y0 + 2 + percent(rng) % h;
    const int stroke = 1 + percent(rng) % 3;
    const bool open = percent(rng) < 40;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) {
        const bool onOutline = x < x0 + stroke || x > x1 - stroke || y < y0 + stroke || y > y1 - stroke;
        const bool inGap = open && y > y1 - stroke && x > (x0 + x1) / 2 - 1 && x < (x0 + x1) / 2 + 2;
        if (onOutline && !inGap) ink(x, y);
      }
  }
  for (int speck = percent(rng) % 4; speck > 0; --speck) ink(percent(rng) % w, percent(rng) % h);
  if (percent(rng) < 30) b->Row(percent(rng) % h)[percent(rng) % w] = 250;  // marked paper
  return b;
}

// Whether two paper pixels of the w x h rectangle at (left, top) touch only at
// a corner (outside the bitmap is unmarked paper).
bool ReferenceCornerOnlyPaper(const TDIB& b, int left, int top, int w, int h, int thr) {
  TPlain p = PlainCopy(b, left, top, w, h, 0xFF);
  auto paper = [&](int x, int y) { return !Ink(p.At(x, y), thr) && (p.At(x, y) & 7) == 0; };
  for (int y = 0; y + 1 < h; ++y)
    for (int x = 0; x + 1 < w; ++x)
      if ((paper(x, y) && paper(x + 1, y + 1) && !paper(x + 1, y) && !paper(x, y + 1)) ||
          (paper(x + 1, y) && paper(x, y + 1) && !paper(x, y) && !paper(x + 1, y + 1)))
        return true;
  return false;
}

class ProbeReferenceTest : public ::testing::Test {
 protected:
  std::mt19937 rng{20240611};
  TOmnifontOCR engine;
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

  struct TProbedBox {
    int Left, Top, Right, Bottom;
  };
  // A random box in `b`, and the probes' planes for `mode`: none (0), `b` as
  // a dispatch's glyph bitmap (1), or `b` as the page around the box (2).
  TProbedBox OpenPlanes(std::optional<TPlanesScope>& scope, int mode, const TDIB& b, const TDIB& other,
                        int thr) {
    const int w = b.Width(), h = b.Height();
    TProbedBox box{};
    box.Left = Pick(0, w - 1), box.Top = Pick(0, h - 1);
    box.Right = Pick(box.Left, w - 1), box.Bottom = Pick(box.Top, h - 1);
    if (mode == 1) scope.emplace(engine.Scratch().Planes, b, other, thr, 0, 0, 7, 7, 0, 7);
    if (mode == 2)
      scope.emplace(engine.Scratch().Planes, other, b, thr, box.Left, box.Top, box.Right, box.Bottom,
                    Pick(-5, box.Bottom), Pick(box.Top, h + 5));
    return box;
  }
};

TEST_F(ProbeReferenceTest, HolesAndBlobsAsFloodFillsFindThem) {
  for (int round = 0; round < 2000; ++round) {
    const int w = round % 20 == 0 ? Pick(60, 90) : Pick(1, 24), h = Pick(1, 24);  // rows past a word too
    auto b = round % 4 == 3 ? RandomOutlines(rng, w, h) : RandomBitmap(rng, w, h);
    const int thr = round % 10 == 0 ? Pick(0, 255) : 128;
    // Rectangles inside, at the edges and reaching beyond the bitmap.
    const int left = round % 40 == 0 ? 0 : Pick(-2, w - 1), top = Pick(-2, h - 1);
    const int right = round % 40 == 0 ? 63 : Pick(left, w + 1), bottom = Pick(top, h + 1);  // a row of a word
    for (const int pass : {0, 1}) {
      engine.FillPass = pass;
      SCOPED_TRACE(testing::Message() << "round " << round << " pass " << pass);
      THoleList expected, got;
      for (int k = 0; k < kMaxHoles; ++k) expected.Holes[k] = got.Holes[k] = {-k, k, k, k, k, k, k};  // stale
      ASSERT_EQ(CountHoles(engine, *b, left, top, right, bottom, thr, &got),
                ReferenceHoles(*b, left, top, right, bottom, thr, pass == 1, expected));
      ASSERT_EQ(got.HoleCount, expected.HoleCount);
      for (int k = 0; k < kMaxHoles; ++k) {
        const TGlyphHole &e = expected.Holes[k], &g = got.Holes[k];
        ASSERT_TRUE(e.Size == g.Size && e.SeedX == g.SeedX && e.SeedY == g.SeedY && e.MinX == g.MinX &&
                    e.MinY == g.MinY && e.MaxX == g.MaxX && e.MaxY == g.MaxY)
            << "entry " << k;
      }
      ASSERT_EQ(CountBlobs(engine, *b, left, top, right, bottom, thr),
                ReferenceBlobs(*b, left, top, right, bottom, thr, pass == 1));
    }
    // Holes said to be the same in either neighbourhood are: no paper touches
    // only at a corner.
    const int w1 = right - left + 1, h1 = bottom - top + 1;
    if (w1 >= 3 && h1 >= 3 && w1 <= 64) {
      const bool either = LabelHolesOnBits(engine.Scratch(), *b, left, top, w1, h1, thr, false);
      ASSERT_EQ(either, !ReferenceCornerOnlyPaper(*b, left, top, w1, h1, thr)) << "round " << round;
      THoleList four, eight;
      if (either) {
        ASSERT_EQ(ReferenceHoles(*b, left, top, right, bottom, thr, false, four),
                  ReferenceHoles(*b, left, top, right, bottom, thr, true, eight));
      }
    }
  }
}

// The region grown row to row reaches what growing pixel by pixel until
// nothing changes reaches, on masks of any density and on serpentines whose
// corridor turns down and up again many times.
TEST_F(ProbeReferenceTest, SpreadReachesWhatPixelGrowthReaches) {
  for (int round = 0; round < 600; ++round) {
    const int w = Pick(1, 64), h = Pick(1, 70);
    const std::uint64_t full = bit_spans::LowBits(w);
    std::vector<std::uint64_t> mask(static_cast<std::size_t>(h)), seeds(mask.size());
    const bool serpentine = round % 3 == 0;
    const int density = Pick(20, 90);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        // Serpentine: columns of mask joined alternately at the top and the
        // bottom row, every other column left out.
        const bool set = serpentine ? x % 2 == 0 || (y == 0 && x % 4 == 1) || (y == h - 1 && x % 4 == 3)
                                    : Pick(0, 99) < density;
        if (set) mask[static_cast<std::size_t>(y)] |= std::uint64_t{1} << x;
      }
    const int seedRow = Pick(0, h - 1);
    const std::uint64_t seed = mask[static_cast<std::size_t>(seedRow)] & (std::uint64_t{1} << Pick(0, w - 1));
    seeds[static_cast<std::size_t>(seedRow)] =
        bit_flood::FillRuns(seed, mask[static_cast<std::size_t>(seedRow)]);
    for (const bool eight : {false, true}) {
      std::vector<std::uint64_t> expected = seeds;
      for (bool grew = true; grew;) {
        grew = false;
        for (int y = 0; y < h; ++y)
          for (int x = 0; x < w; ++x) {
            const std::uint64_t bit = std::uint64_t{1} << x;
            if ((expected[static_cast<std::size_t>(y)] & bit) != 0 ||
                (mask[static_cast<std::size_t>(y)] & bit) == 0)
              continue;
            bool touches = false;
            for (int dy = -1; dy <= 1; ++dy)
              for (int dx = -1; dx <= 1; ++dx) {
                const int nx = x + dx, ny = y + dy;
                if ((dx == 0) == (dy == 0) && !(eight && dx != 0 && dy != 0)) continue;
                if (nx >= 0 && ny >= 0 && nx < w && ny < h &&
                    (expected[static_cast<std::size_t>(ny)] >> nx & 1) != 0)
                  touches = true;
              }
            if (touches) expected[static_cast<std::size_t>(y)] |= bit, grew = true;
          }
      }
      std::vector<std::uint64_t> region = seeds;
      bit_flood::Spread(region.data(), mask.data(), h, eight, full);
      ASSERT_EQ(region, expected) << w << " x " << h << " serpentine " << serpentine << " eight " << eight;
    }
  }
}

// The runs of a row that hold a seed, whole, as walking out from each seed
// bit by bit finds them: seeds at a run's start, inside it, several in one
// run, runs at bit 0 and at the top bit, in each width the fill is built for.
std::uint64_t RunsHoldingSeeds(std::uint64_t seeds, std::uint64_t mask) {
  std::uint64_t runs = 0;
  for (int x = 0; x < 64; ++x) {
    if ((seeds >> x & 1) == 0) continue;
    for (int k = x; k >= 0 && (mask >> k & 1) != 0; --k) runs |= std::uint64_t{1} << k;
    for (int k = x; k < 64 && (mask >> k & 1) != 0; ++k) runs |= std::uint64_t{1} << k;
  }
  return runs;
}

TEST_F(ProbeReferenceTest, FillRunsTakesWholeRunsOfEverySeed) {
  for (int round = 0; round < 3000; ++round) {
    const int w = round % 3 == 0 ? 16 : round % 3 == 1 ? 32 : 64;
    const std::uint64_t full = bit_spans::LowBits(w);
    const int density = Pick(10, 95), seedDensity = Pick(1, 30);
    std::uint64_t mask = 0, seeds = 0;
    for (int x = 0; x < w; ++x) {
      if (Pick(0, 99) < density) mask |= std::uint64_t{1} << x;
      if (Pick(0, 99) < seedDensity) seeds |= std::uint64_t{1} << x;
    }
    if (round % 7 == 0) seeds = mask & ~(mask << 1);  // every run from its start
    if (round % 11 == 0) mask = full;                 // one run over the whole row
    seeds &= mask;
    const std::uint64_t expected = RunsHoldingSeeds(seeds, mask);
    const std::uint64_t got = w == 16   ? bit_flood::FillRuns<16>(seeds, mask)
                              : w == 32 ? bit_flood::FillRuns<32>(seeds, mask)
                                        : bit_flood::FillRuns<64>(seeds, mask);
    ASSERT_EQ(got, expected) << std::hex << "mask " << mask << " seeds " << seeds << " width " << std::dec
                             << w;
  }
}

// Each case is asked three times: reading pixels, and within a dispatch's
// ink rows with the bitmap as the glyph bitmap and as the page (kept only
// around a box); a scan of rows also with the plane given, as views ask. A scan of a rectangle's rows for the
// first that holds (or lacks) a class stops where the row tests one by one would.
TEST_F(ProbeReferenceTest, CrossingsAndRectanglesAsPixelLoopsFindThem) {
  auto other = test::MakeGrey(8, 8, 248);
  for (int round = 0; round < 300; ++round) {
    const int w = round % 10 == 0 ? Pick(30, 150) : Pick(1, 64),
              h = round % 10 == 5 ? Pick(30, 150) : Pick(1, 30);
    auto b = RandomBitmap(rng, w, h);
    const int thr = Pick(0, 255);
    for (const int mode : {0, 1, 2}) {
      std::optional<TPlanesScope> scope;
      OpenPlanes(scope, mode, *b, *other, thr);
      for (int k = 0; k < 40; ++k) {
        // Rows, columns and slopes; a few with ends outside the bitmap.
        const bool outside = k % 8 == 0;
        const int x0 = outside ? Pick(-3, w + 2) : Pick(0, w - 1),
                  y0 = outside ? Pick(-3, h + 2) : Pick(0, h - 1);
        int x1 = outside ? Pick(-3, w + 2) : Pick(0, w - 1), y1 = outside ? Pick(-3, h + 2) : Pick(0, h - 1);
        if (k % 5 == 1) y1 = y0;
        if (k % 5 == 2) x1 = x0;
        ASSERT_EQ(CountCrossings(*b, x0, y0, x1, y1, thr), ReferenceCrossings(*b, x0, y0, x1, y1, thr))
            << x0 << "," << y0 << " to " << x1 << "," << y1 << " thr " << thr << " mode " << mode;
        const bool meets = ReferenceCrossings(*b, x0, y0, x1, y1, thr) != 0;
        ASSERT_EQ(SegmentMeetsInkIn(ActivePlane(*b, thr), *b, x0, y0, x1, y1, thr), meets)
            << x0 << "," << y0 << " to " << x1 << "," << y1 << " thr " << thr << " mode " << mode;
        ASSERT_EQ(SegmentMeetsInkFull(*b, x0, y0, x1, y1, thr), meets)
            << x0 << "," << y0 << " to " << x1 << "," << y1 << " thr " << thr << " mode " << mode
            << " (full)";
        const std::uint8_t mask = static_cast<std::uint8_t>(k % 4 == 0 ? 0xFF : k % 4);
        ASSERT_EQ(ProbeRect(*b, x0, y0, x1, y1, thr, mask), ReferenceProbeRect(*b, x0, y0, x1, y1, thr, mask))
            << x0 << "," << y0 << " to " << x1 << "," << y1 << " mask " << int{mask} << " mode " << mode;
        const bool holds = k % 2 == 0;
        int row = y0;  // where a scan of rows y0..y1 stops
        while (row <= y1 && (ReferenceProbeRect(*b, x0, row, x1, row, thr, mask) != 0) != holds) ++row;
        ASSERT_EQ(NextRowWhere(*b, x0, x1, y0, y1, thr, mask, holds), row)
            << "rows " << y0 << ".." << y1 << " of " << x0 << ".." << x1 << " holds " << holds << " mode "
            << mode;
        // And through the plane a view holds (its rows read by now).
        ASSERT_EQ(NextRowWhereIn(ActivePlane(*b, thr), *b, x0, x1, y0, y1, thr, mask, holds), row)
            << "rows " << y0 << ".." << y1 << " of " << x0 << ".." << x1 << " holds " << holds << " mode "
            << mode << " (plane given)";
      }
    }
  }
}

// Walks of any two actions that cannot turn back on themselves, from inside
// and outside rectangles reaching past the bitmap, as a walk that tests each
// pixel takes them: with the planes' lines read (where straight walks scan
// them) and not.
TEST_F(ProbeReferenceTest, WalksAsStepByStepWalksTakeThem) {
  auto other = test::MakeGrey(8, 8, 248);
  auto opposite = [](int a, int b) { return a < waStop && b < waStop && a != b && a / 2 == b / 2; };
  for (int round = 0; round < 200; ++round) {
    auto b = RandomBitmap(rng, Pick(1, 70), Pick(1, 40));
    const int w = b->Width(), h = b->Height(), thr = Pick(0, 255);
    for (const int mode : {0, 1, 2}) {
      std::optional<TPlanesScope> scope;
      OpenPlanes(scope, mode, *b, *other, thr);
      if (round % 2 == 0) {
        ProbeRect(*b, 0, 0, w - 1, 0, thr, 3);  // reads the rows
        ProbeRect(*b, 0, 0, 0, h - 1, thr, 3);  // and the columns
      }
      for (int k = 0; k < 20; ++k) {
        const int minX = Pick(-2, w), maxX = Pick(minX, w + 2), minY = Pick(-2, h), maxY = Pick(minY, h + 2);
        const int inkAction = Pick(0, 4);
        int paperAction = Pick(0, 4);
        if (opposite(inkAction, paperAction)) paperAction = waStop;
        const int x0 = Pick(-1, w), y0 = Pick(-1, h);
        int rx = x0, ry = y0;
        if (b->Inside(minX, minY)) {
          const int lastX = std::min(maxX, w - 1), lastY = std::min(maxY, h - 1);
          while (rx >= minX && rx <= lastX && ry >= minY && ry <= lastY) {
            const int a = Ink(b->PixelByte(rx, ry), thr) ? inkAction : paperAction;
            if (a == waStop) break;
            rx += a == waRight ? 1 : a == waLeft ? -1 : 0;
            ry += a == waDown ? 1 : a == waUp ? -1 : 0;
          }
        }
        int x = x0, y = y0;
        WalkProbe(*b, x, y, minX, maxX, minY, maxY, thr, inkAction, paperAction);
        ASSERT_EQ(std::make_pair(x, y), std::make_pair(rx, ry))
            << "from " << x0 << "," << y0 << " in " << minX << ".." << maxX << " x " << minY << ".." << maxY
            << " actions " << inkAction << "/" << paperAction << " mode " << mode;
      }
    }
  }
}

// Coverage along any segment (ends outside the bitmap too) as a walk that
// tests each pixel and its two side neighbours one by one.
TEST_F(ProbeReferenceTest, CoverageAsAPixelWalkFindsIt) {
  for (int round = 0; round < 300; ++round) {
    auto b = RandomBitmap(rng, Pick(1, 40), Pick(1, 40));
    const int w = b->Width(), h = b->Height(), thr = Pick(0, 255);
    auto cls = [&](int x, int y) { return !b->Inside(x, y) ? 0 : Ink(b->PixelByte(x, y), thr) ? 1 : 2; };
    for (int k = 0; k < 20; ++k) {
      int x0 = Pick(-3, w + 2), y0 = Pick(-3, h + 2), x1 = Pick(-3, w + 2), y1 = Pick(-3, h + 2);
      const int sx0 = x0, sy0 = y0, sx1 = x1, sy1 = y1;
      const bool xMajor = std::abs(x1 - x0) > std::abs(y1 - y0);
      if ((xMajor && x1 < x0) || (!xMajor && y1 < y0)) std::swap(x0, x1), std::swap(y0, y1);
      const int major = xMajor ? x1 - x0 : y1 - y0, minor = xMajor ? std::abs(y1 - y0) : std::abs(x1 - x0);
      const int step = xMajor ? (y1 >= y0 ? 1 : -1) : (x1 >= x0 ? 1 : -1);
      int d = 2 * minor - major, x = x0, y = y0, covered = 0, total = 0;
      bool sideA = true, sideB = true;
      for (int i = 0; i <= major; ++i) {
        if (cls(x, y) == 1) {
          sideA = sideB = true;
        } else {
          if (cls(xMajor ? x : x + 1, xMajor ? y + 1 : y) == 2) sideA = false;
          if (cls(xMajor ? x : x - 1, xMajor ? y - 1 : y) == 2) sideB = false;
        }
        covered += sideA || sideB;
        ++total;
        (xMajor ? x : y) += 1;
        if (d > 0) {
          d += 2 * (minor - major);
          (xMajor ? y : x) += step;
        } else {
          d += 2 * minor;
        }
      }
      ASSERT_EQ(InkCoverage(*b, sx0, sy0, sx1, sy1, thr, 100), covered * 100 / total)
          << sx0 << "," << sy0 << " to " << sx1 << "," << sy1 << " thr " << thr;
    }
  }
}

// Scans from any start (outside the bitmap too), in every direction, for
// either class, with limits short of, at and past the edge, none or
// negative; read from the pixels and from a dispatch's planes of the bitmap
// as the glyph bitmap and as the page around a box, before and after the
// planes have read their rows and columns.
TEST_F(ProbeReferenceTest, ScansAsPixelLoopsFindThem) {
  auto other = test::MakeGrey(8, 8, 248);
  for (int round = 0; round < 300; ++round) {
    auto b = RandomBitmap(rng, Pick(1, round % 10 == 0 ? 100 : 40), Pick(1, round % 10 == 5 ? 100 : 40));
    const int w = b->Width(), h = b->Height(), thr = Pick(0, 255);
    for (const int mode : {0, 1, 2}) {
      std::optional<TPlanesScope> scope;
      const TProbedBox box = OpenPlanes(scope, mode, *b, *other, thr);
      for (int k = 0; k < 40; ++k) {
        // A column probe and a row probe have the planes read their lines.
        if (k == 20) ProbeRect(*b, box.Left, box.Top, box.Left, box.Bottom, thr, 3);
        if (k == 10) ProbeRect(*b, box.Left, box.Top, box.Right, box.Top, thr, 3);
        const int x = Pick(-2, w + 1), y = Pick(-2, h + 1), dir = Pick(-1, 4), target = Pick(0, 2);
        const int maxSteps = k % 4 == 0 ? Pick(-3, 3) : Pick(-3, std::max(w, h) + 5);
        int expected = 0;
        if (b->Inside(x, y) && dir >= 0 && dir <= 3) {
          const int dx = dir == dirRight  ? 1
                         : dir == dirLeft ? -1
                                          : 0,
                    dy = dir == dirDown ? 1
                         : dir == dirUp ? -1
                                        : 0;
          int px = x, py = y;
          while (expected < maxSteps && b->Inside(px, py) &&
                 Ink(b->PixelByte(px, py), thr) != (target == tgInk))
            ++expected, px += dx, py += dy;
        }
        ASSERT_EQ(ScanRun(*b, x, y, dir, target, thr, maxSteps), expected)
            << x << "," << y << " dir " << dir << " target " << target << " max " << maxSteps << " mode "
            << mode;
      }
    }
  }
}

TEST_F(ProbeReferenceTest, WordScansMatchByteByByte) {
  std::vector<std::uint8_t> row(37);
  for (int round = 0; round < 2000; ++round) {
    for (std::uint8_t& v : row)
      v = static_cast<std::uint8_t>(Pick(0, 3) == 0 ? Pick(0, 255) : Pick(200, 255));
    const int limit = round % 3 == 0 ? Pick(0, 255) : row[static_cast<std::size_t>(Pick(0, 36))];
    const int from = Pick(0, 36), to = Pick(from, 37);
    int expected = to;
    for (int x = from; x < to; ++x)
      if (row[static_cast<std::size_t>(x)] < limit) {
        expected = x;
        break;
      }
    ASSERT_EQ(FirstByteBelow(row.data(), from, to, limit), expected) << "limit " << limit;
    int notBelow = to;
    for (int x = from; x < to; ++x)
      if (row[static_cast<std::size_t>(x)] >= limit) {
        notBelow = x;
        break;
      }
    ASSERT_EQ(FirstByteNotBelow(row.data(), from, to, limit), notBelow) << "limit " << limit;
    std::vector<std::uint8_t> cleared = row;
    ClearLowBits(cleared.data(), from, to);
    for (int x = 0; x < 37; ++x)
      ASSERT_EQ(cleared[static_cast<std::size_t>(x)], x >= from && x < to
                                                          ? (row[static_cast<std::size_t>(x)] & 0xF8)
                                                          : row[static_cast<std::size_t>(x)]);
  }
}

// Extraction finds the components that filling each one from its first
// unmarked ink pixel in raster order finds, in that order, and leaves the
// page marked the same way.
TEST_F(ProbeReferenceTest, ExtractionAsFillingFromEachFirstPixel) {
  for (int round = 0; round < 200; ++round) {
    const int w = Pick(1, 70), h = Pick(1, 40);
    auto page = test::MakeGrey(w, h, 255);
    const int inkShare = Pick(5, 60);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        page->Row(y)[x] = static_cast<std::uint8_t>(Pick(0, 99) < inkShare ? Pick(0, 140) : Pick(120, 255));
    auto expected = test::MakeGrey(w, h, 0);
    for (int y = 0; y < h; ++y) std::copy(page->Row(y), page->Row(y) + w, expected->Row(y));
    const int thr = Pick(1, 255);
    struct TFound {
      int L, T, R, B, X, Y;
      bool operator==(const TFound&) const = default;
    };
    std::vector<TFound> reference;
    ClearMarks(*expected, 0, w - 1, 0, h - 1);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const std::uint8_t b = expected->PixelByte(x, y);
        if ((b & 7) != 0 || !Ink(b, thr)) continue;
        TBox box;
        TraceComponent(*expected, x, y, thr, 7, true, box);
        reference.push_back({box.Left, box.Top, box.Right, box.Bottom, x, y});
      }
    engine.BeginRun();
    engine.Page = std::move(page);
    engine.Threshold = thr;
    engine.ExtractCharacters();
    std::vector<TFound> found;
    for (int i = 0; i < engine.Chars.Count(); ++i) {
      const TOCRChar& c = *engine.Chars[i];
      ASSERT_EQ(c.Id, i + 1);
      found.push_back({c.Left, c.Top, c.Right, c.Bottom, c.StartX, c.StartY});
    }
    ASSERT_TRUE(found == reference) << "round " << round;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        ASSERT_EQ(engine.Page->PixelByte(x, y), expected->PixelByte(x, y)) << x << "," << y;
  }
}

// The glyph cut is the box copied with its marks cleared, the seed's region
// filled with mark 1 in the neighbourhood of the next fill pass, the broken
// strokes across two rows filled in the current one, and 248 elsewhere;
// whatever the seed (ink, paper, outside the box) and the bitmap it reuses.
TEST_F(ProbeReferenceTest, GlyphCutAsCopyFillAndPaper) {
  TDIB reused;
  for (int round = 0; round < 400; ++round) {
    const int w = round % 8 == 0 ? Pick(50, 90) : Pick(3, 40), h = Pick(3, 40);  // past a word too
    engine.BeginRun();
    engine.Page = RandomBitmap(rng, w, h);
    // Now and then above the paper level, where the unmarked paper is ink too.
    const int thr = round % 7 == 0 ? Pick(0, 255) : round % 7 == 1 ? Pick(249, 255) : 128;
    TOCRChar g;
    g.Page = engine.Page.get();
    g.Left = Pick(0, w - 1), g.Top = Pick(0, h - 1);
    g.Right = Pick(g.Left, w - 1), g.Bottom = Pick(g.Top, h - 1);
    int seedX = Pick(g.Left - 1, g.Right + 1), seedY = Pick(g.Top - 1, g.Bottom + 1);
    engine.FillPass = round % 4;
    const int W = g.Width(), H = g.Height();
    if (round % 7 == 2) {
      // Every other row of the box all ink: the seed's region is all the
      // box's ink, and the glyph's ink is the page's.
      for (int y = g.Top; y <= g.Bottom; y += 2) test::FillRect(*engine.Page, g.Left, y, g.Right, y, 40);
      seedX = g.Left, seedY = g.Top;
    }
    TPlain expected = PlainCopy(*g.Page, g.Left, g.Top, W, H, 0xF8);
    auto fill = [&](int x, int y, bool eight) {
      if (x < 0 || y < 0 || x >= W || y >= H || (expected.At(x, y) & 7) != 0) return;
      TGlyphHole region;
      Flood(expected, x, y, thr, eight, region);
      for (std::uint8_t& v : expected.Px)
        if ((v & 7) == 7) v = static_cast<std::uint8_t>((v & 0xF8) | 1);  // the fill's mark is 1
    };
    fill(seedX - g.Left, seedY - g.Top, (engine.FillPass + 1) % 2 == 1);
    if (W > 4)
      for (const int y : {H / 2, H - 1 - H / 8})
        for (int x = W / 4; x <= W - W / 4 - 2; ++x)
          if (Ink(expected.At(x, y), thr)) fill(x, y, engine.FillPass % 2 == 1);
    for (std::uint8_t& v : expected.Px)
      if ((v & 7) == 0) v = 248;
    // As in a driver call: the cut hands its ink to the next dispatch's plane.
    const TPixelsKept kept(engine.Scratch());
    CutGlyphBitmap(engine, g, seedX, seedY, thr, reused);
    ASSERT_EQ(reused.Width(), W);
    ASSERT_EQ(reused.Height(), H);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(reused.PixelByte(x, y), expected.At(x, y)) << "round " << round << " at " << x << "," << y;
    const TPlanesScope planes(engine.Scratch().Planes, reused, *g.Page, thr, g.Left, g.Top, g.Right, g.Bottom,
                              g.Top, g.Bottom);
    TInkPlane* plane = ActivePlane(reused, thr);
    ASSERT_NE(plane, nullptr);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        ASSERT_EQ(plane->Classes(x, y, x, y, 3u), Ink(expected.At(x, y), thr) ? 1u : 2u)
            << "round " << round << " at " << x << "," << y;
    // And by columns, however the plane came by them.
    for (int x = 0; x < W; ++x) {
      int runs = 0;
      for (int y = 0; y < H; ++y)
        if (Ink(expected.At(x, y), thr) && (y == 0 || !Ink(expected.At(x, y - 1), thr))) ++runs;
      ASSERT_EQ(plane->ColumnRuns(x, 0, H - 1), runs) << "round " << round << " column " << x;
    }
  }
}

// Within a dispatch a rectangle's holes are counted once; another bitmap,
// rectangle, threshold or neighbourhood is another count, and outside a
// dispatch nothing is remembered.
TEST_F(ProbeReferenceTest, RememberedHolesKeepTheirKey) {
  auto ring = test::FromArt({
      "#####",
      "#...#",
      "#####",
  });
  auto open = test::FromArt({
      "#####",
      "#....",
      "#####",
  });
  test::FillRect(*ring, 1, 1, 3, 1, 248);  // unmarked paper
  test::FillRect(*open, 1, 1, 4, 1, 248);
  {
    THoleMemoScope scope(engine.Scratch());
    EXPECT_EQ(CountHoles(engine, *ring, 0, 0, 4, 2, 160, nullptr), 1);
    EXPECT_EQ(CountHoles(engine, *open, 0, 0, 4, 2, 160, nullptr), 0);
    EXPECT_EQ(CountHoles(engine, *ring, 0, 0, 4, 2, 250, nullptr), 0);  // the paper reads as ink
    THoleList list;
    EXPECT_EQ(CountHoles(engine, *ring, 0, 0, 4, 2, 160, &list), 1);
    EXPECT_EQ(list.HoleCount, 1);
    EXPECT_EQ(list.Holes[0].Size, 3);
    engine.FillPass = 1;
    EXPECT_EQ(CountHoles(engine, *ring, 0, 0, 4, 2, 160, nullptr), 1);
    engine.FillPass = 0;
  }
  ring->Row(1)[4] = 248;  // the ring opens; no dispatch remembers the old count
  EXPECT_EQ(CountHoles(engine, *ring, 0, 0, 4, 2, 160, nullptr), 0);
}

// A driver call keeps the planes and hole counts of its dispatches from one
// to the next; once it says a pixel changed, the next dispatch reads anew.
TEST_F(ProbeReferenceTest, KeptReadingsFollowAChangedPixel) {
  auto glyph = test::MakeGrey(5, 3, 248);
  auto page = test::FromArt({
      "#####",
      "#...#",
      "#####",
  });
  test::FillRect(*page, 1, 1, 3, 1, 248);
  const TPixelsKept kept(engine.Scratch());
  struct TSeen {
    int Ink, Runs, Holes;
  };
  auto dispatch = [&] {
    const THoleMemoScope memo(engine.Scratch());
    const TPlanesScope planes(engine.Scratch().Planes, *glyph, *page, 160, 0, 0, 4, 2, 0, 2);
    return TSeen{ProbeRect(*page, 2, 1, 2, 1, 160, 1), CountCrossings(*page, 0, 1, 4, 1, 160),
                 CountHoles(engine, *page, 0, 0, 4, 2, 160, nullptr)};
  };
  const TSeen before = dispatch();
  EXPECT_EQ(before.Ink, 0);
  EXPECT_EQ(before.Runs, 2);
  EXPECT_EQ(before.Holes, 1);
  page->Row(1)[2] = 0;  // the hole splits in two single pixels, the row gets a third run
  engine.Scratch().PixelsChanged();
  const TSeen after = dispatch();
  EXPECT_EQ(after.Ink, 1);
  EXPECT_EQ(after.Runs, 3);
  EXPECT_EQ(after.Holes, 2);
}

}  // namespace
}  // namespace omniocr
