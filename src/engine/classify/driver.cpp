#include "engine/classify/driver.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dibunit/dib.h"
#include "engine/byte_scan.h"
#include "engine/classify/accent.h"
#include "engine/classify/bit_flood.h"
#include "engine/classify/bit_spans.h"
#include "engine/classify/candidates.h"
#include "engine/classify/dispatch_memo.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/page_row_ink.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/probes.h"
#include "engine/classify/region_labelling.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr int kLargestGlyphArea = 20000;
constexpr std::uint8_t kGlyphPaper = 248;
constexpr std::uint8_t kBridgeCut = 176;
constexpr TCharCode kNoAccentYet = 32;  // accent detection ended before classifying

// Raises FillPass for the lifetime of the guard.
class TFillPassRaise {
 public:
  TFillPassRaise(TOmnifontOCR& engine, int by) : Engine(engine), By(by) { Engine.FillPass += By; }
  ~TFillPassRaise() { Engine.FillPass -= By; }
  TFillPassRaise(const TFillPassRaise&) = delete;
  TFillPassRaise& operator=(const TFillPassRaise&) = delete;

 private:
  TOmnifontOCR& Engine;
  int By;
};

bool RowHoldsInk(const TDIB& page, const TOCRChar& g, int y, int thr) {
  return SpanHoldsInk(page, g.Left, g.Right, y, thr);
}

// The test of ProbeRect on one column, down to its first ink pixel; off the
// page is paper.
bool ColumnHoldsInk(const TDIB& page, int x, int top, int bottom, int thr) {
  if (x < 0 || x >= page.Width()) return false;
  const int last = std::min(bottom, page.Height() - 1);
  for (int y = std::max(top, 0); y <= last; ++y)
    if (IsInkByte(page.PixelByte(x, y), thr)) return true;
  return false;
}

// Drops empty rows at the top and bottom of the box (kept in the box).
void TrimEmptyRows(TOCRChar& g, int thr) {
  const TDIB& page = *g.Page;
  int y1 = g.Top;
  while (y1 < g.Bottom - 1 && !RowHoldsInk(page, g, y1, thr)) ++y1;
  int b = g.Bottom;
  while (b > y1 + 1 && !RowHoldsInk(page, g, b, thr)) --b;
  g.Top = y1;
  g.Bottom = b;
}

// Tightens the box to its ink, rows first, then columns over those rows.
void TightenBox(TOCRChar& g, int thr) {
  const TDIB& page = *g.Page;
  int y = g.Top;
  int b = g.Bottom;
  while (y < b - 1 && !RowHoldsInk(page, g, y, thr)) ++y;
  while (b > y + 1 && !RowHoldsInk(page, g, b, thr)) --b;
  int x0 = g.Left;
  while (x0 < g.Right - 1 && !ColumnHoldsInk(page, x0, y, b, thr)) ++x0;
  int x1 = g.Right;
  while (x1 > x0 + 1 && !ColumnHoldsInk(page, x1, y, b, thr)) --x1;
  g.Left = x0;
  g.Top = y;
  g.Right = x1;
  g.Bottom = b;
}

// A dispatch made before in this driver call under the same conditions is
// not made again.
TCharCode Dispatch(TOmnifontOCR& engine, TOCRChar& g, const TDIB& bitmap, int thr) {
  return engine.Scratch().Dispatches.Dispatch(engine, g, bitmap, thr);
}

bool NotConfidentAt(const TOCRChar& g, int limit) { return g.CandCount == 0 || g.CandConf[0] < limit; }

int Grey(const TDIB& bitmap, int x, int y) { return bitmap.PixelByte(x, y) & 0xF8; }

// A bottom stroke that joins two legs is cut in its middle so that the open
// shape can be read. Returns true when it cut (bitmap and page both).
bool CutBottomBridge(TOCRChar& g, TDIB& bitmap, int thr) {
  const int W = bitmap.Width(), H = bitmap.Height();
  if (H <= 2) return false;
  const int yb = H - 1;
  const int a = ScanRun(bitmap, 0, yb, dirRight, tgInk, thr, W);
  if (a >= W) return false;
  const int n = ScanRun(bitmap, a, yb, dirRight, tgPaper, thr, W);
  if (n < 5) return false;
  const int mid = a + n / 2;
  if (!(Grey(bitmap, a, H - 2) > thr && Grey(bitmap, a + n - 1, H - 2) > thr &&
        Grey(bitmap, mid, H - 2) > thr))
    return false;
  if (CountCrossings(bitmap, a + 1, H - 3, a + n - 2, H - 3, thr) < 2) return false;
  if (CountCrossings(bitmap, a + 1, H - 3, mid, H - 3, thr) != 1) return false;
  bitmap.Row(yb)[mid] = kBridgeCut;
  TDIB& page = *g.Page;
  if (page.Inside(g.Left + mid, g.Top + yb)) page.Row(g.Top + yb)[g.Left + mid] = kBridgeCut;
  return true;
}

// Passes the glyph's ink through a two-level image: ink becomes black and
// everything else white, the repair runs on the 1-bit form, and the result
// returns as glyph pixels again (ink 0 with mark 1, paper 248).
void RepairTwoLevel(TDIB& bitmap, int thr, bool smooth) {
  const int W = bitmap.Width(), H = bitmap.Height();
  for (int y = 0; y < H; ++y) {
    std::uint8_t* row = bitmap.Row(y);
    for (int x = 0; x < W; ++x) row[x] = IsInkByte(row[x], thr) ? 0 : 255;
  }
  bitmap.ConvertTo(df1Bit);
  try {
    if (smooth) {
      bitmap.SmoothBilevel();
    } else {
      bitmap.FillThinGaps();
      bitmap.EraseThinInk();
    }
  } catch (const std::exception&) {
    // A failed repair leaves the two-level image as it was.
  }
  bitmap.ConvertTo(df8Bit);
  for (int y = 0; y < H; ++y) {
    std::uint8_t* row = bitmap.Row(y);
    for (int x = 0; x < W; ++x) row[x] = row[x] == 0 ? 1 : kGlyphPaper;
  }
}

// A glyph bitmap and what it was cut from. While neither it nor the page has
// changed since, the same box cut from the same seed at the same threshold
// in the same neighbourhood gives these very pixels again.
struct TGlyphCut {
  TDIB* Bitmap = nullptr;
  const TDIB* Page = nullptr;
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  int SeedX = 0, SeedY = 0;
  int Threshold = 0;
  bool OddFillPass = false;
  bool Untouched = true;

  bool CutAlike(const TGlyphCut& other) const {
    return Page == other.Page && Left == other.Left && Top == other.Top && Right == other.Right &&
           Bottom == other.Bottom && SeedX == other.SeedX && SeedY == other.SeedY &&
           Threshold == other.Threshold && OddFillPass == other.OddFillPass;
  }
};

// The retries after the first dispatch (and the bridge repair), each only
// while the head of the list is not yet good enough.
TCharCode RetryDispatches(TOmnifontOCR& engine, TOCRChar& g, TGlyphCut& cut, int thr, TCharCode result) {
  TDIB& bitmap = *cut.Bitmap;
  if (NotConfidentAt(g, 95)) {
    TFillPassRaise raise(engine, 1);
    result = Dispatch(engine, g, bitmap, thr);
  }
  if (NotConfidentAt(g, 90)) {
    TFillPassRaise raise(engine, 2);
    result = Dispatch(engine, g, bitmap, thr);
  }
  if (engine.BilevelSource) {
    if (NotConfidentAt(g, 90)) {
      cut.Untouched = false;
      RepairTwoLevel(bitmap, thr, true);
      engine.Scratch().PixelsChanged();
      Dispatch(engine, g, bitmap, thr);
    }
    if (NotConfidentAt(g, 90)) {
      cut.Untouched = false;
      RepairTwoLevel(bitmap, thr, false);
      engine.Scratch().PixelsChanged();
      Dispatch(engine, g, bitmap, thr);
    }
  } else {
    if (NotConfidentAt(g, 90)) result = Dispatch(engine, g, bitmap, RetryThreshold(thr, 32));
    if (NotConfidentAt(g, 90)) result = Dispatch(engine, g, bitmap, RetryThreshold(thr, -32));
  }
  return result;
}

}  // namespace

// The extraction seed when it still lies on the character's ink; otherwise
// the first ink pixel with an ink neighbour right or below, searched from the
// bottom row up and from the centre column outward.
void ChooseGlyphSeed(const TOCRChar& g, int thr, int& seedX, int& seedY) {
  const TDIB& page = *g.Page;
  seedX = g.StartX;
  seedY = g.StartY;
  const bool insideBox = seedX >= g.Left && seedX <= g.Right && seedY >= g.Top && seedY <= g.Bottom;
  if (insideBox && InkAt(page, seedX, seedY, thr) && g.MarkAbove <= 0) return;
  const int centre = (g.Left + g.Right) / 2;
  for (int y = g.Bottom - 1; y >= g.Top; --y) {
    for (int k = 0;; ++k) {
      const int x = (k & 1) ? centre + (k + 1) / 2 : centre - k / 2;
      if (x < g.Left || x > g.Right) break;
      if (InkAt(page, x, y, thr) && (InkAt(page, x + 1, y, thr) || InkAt(page, x, y + 1, thr))) {
        seedX = x;
        seedY = y;
        return;
      }
    }
  }
}

int RetryThreshold(int threshold, int delta) { return std::clamp(threshold + delta, 1, 248); }

namespace {

// Copies the box out of the page with the marks cleared and, in the same pass,
// labels the runs of the seed's class; then marks the seed's region with 1, as
// a fill from the seed would (8 neighbours while FillPass is even).
void CopyAndMarkSeedRegion(const TOmnifontOCR& engine, const TOCRChar& g, int seedX, int seedY, int threshold,
                           TDIB& b) {
  const TDIB& page = *g.Page;
  const int W = b.Width(), H = b.Height();
  const int t = threshold & 0xFF;
  const int sx = seedX - g.Left, sy = seedY - g.Top;
  const bool seedInside = b.Inside(sx, sy);
  const bool seedInk = seedInside && (page.PixelByte(seedX, seedY) & 0xF8) < t;
  TProbeScratch& scratch = engine.Scratch();
  TRunJoiner joiner(scratch, ((engine.FillPass + 1) & 1) != 0);
  std::vector<TGlyphRun>& runs = scratch.GlyphRuns;
  runs.clear();
  int seedLabel = -1;
  for (int y = 0; y < H; ++y) {
    std::uint8_t* row = b.Row(y);
    CopyClearingLowBits(row, page.Row(g.Top + y) + g.Left, W);
    if (!seedInside) continue;
    joiner.StartRow(y);
    auto start = [&](int from) {
      return seedInk ? FirstByteBelow(row, from, W, t) : FirstByteNotBelow(row, from, W, t);
    };
    auto end = [&](int from) {
      return seedInk ? FirstByteNotBelow(row, from, W, t) : FirstByteBelow(row, from, W, t);
    };
    for (int x = start(0); x < W; x = start(x)) {
      const int x0 = x;
      x = end(x0);
      const int label = joiner.AddRun(x0, x - 1, false);
      runs.push_back({y, x0, x - 1, label});
      if (y == sy && sx >= x0 && sx < x) seedLabel = label;
    }
  }
  if (seedLabel < 0) return;
  const int root = joiner.RootOf(seedLabel);
  for (const TGlyphRun& r : runs) {
    if (joiner.RootOf(r.Label) != root) continue;
    std::uint8_t* row = b.Row(r.Y);
    for (int x = r.X0; x <= r.X1; ++x) row[x] |= 1;
  }
}

#if defined(__SSE2__) && defined(__x86_64__)
// Sixteen glyph pixels from sixteen page bytes: the grey level with mark 1
// where `marked` has the pixel's bit, paper elsewhere.
__m128i GlyphPixels16(const std::uint8_t* page, unsigned marked) {
  // The sixteen bits spread to the sixteen bytes, then tested one per byte.
  __m128i spread = _mm_cvtsi32_si128(static_cast<int>(marked));
  spread = _mm_unpacklo_epi8(spread, spread);
  spread = _mm_unpacklo_epi16(spread, spread);
  spread = _mm_unpacklo_epi32(spread, spread);
  const __m128i bit = _mm_set_epi8(-128, 64, 32, 16, 8, 4, 2, 1, -128, 64, 32, 16, 8, 4, 2, 1);
  const __m128i drop = _mm_cmpeq_epi8(_mm_and_si128(spread, bit), _mm_setzero_si128());
  // Paper is 248, the grey bits all set: a dropped byte ORed with all ones
  // and cut to the grey bits is paper, a kept one its grey level; the mark
  // goes onto the kept ones only.
  static_assert(kGlyphPaper == 0xF8);
  const __m128i page16 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(page));
  const __m128i grey = _mm_and_si128(_mm_or_si128(page16, drop), _mm_set1_epi8(-8));
  return _mm_or_si128(grey, _mm_andnot_si128(drop, _mm_set1_epi8(1)));
}

// Stores the first n (1 to 15) of the sixteen bytes of `v` as two stores of
// a fixed size, which may overlap, rather than a copy of n bytes. Both are
// taken from the register as words: bytes read back from a wider store just
// made wait for that store to complete.
void StoreFirst(std::uint8_t* to, __m128i v, int n) {
  const std::uint64_t low = static_cast<std::uint64_t>(_mm_cvtsi128_si64(v));
  auto both = [&](auto first, auto last) {
    constexpr int size = sizeof first;
    std::memcpy(to, &first, size);
    std::memcpy(to + n - size, &last, size);
  };
  if (n >= 8) {
    // The eight bytes that end at n: from `skip` on in the low word, then
    // the high word's first ones.
    const int skip = n - 8;
    const std::uint64_t high = static_cast<std::uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(v, v)));
    both(low, skip == 0 ? low : low >> (8 * skip) | high << (64 - 8 * skip));
  } else if (n >= 4) {
    both(static_cast<std::uint32_t>(low), static_cast<std::uint32_t>(low >> (8 * (n - 4))));
  } else if (n >= 2) {
    both(static_cast<std::uint16_t>(low), static_cast<std::uint16_t>(low >> (8 * (n - 2))));
  } else {
    to[0] = static_cast<std::uint8_t>(low);
  }
}
#endif

// Rows of the glyph bitmap from their span of the page rows (at most 64
// pixels): the page's grey level with mark 1 where the row's marked bits have
// the pixel, paper (248) elsewhere. Nothing past the span of either row is
// written, nor past the page row read; how the last few pixels are handled
// is settled once for the span.
class TGlyphRowWriter {
 public:
  TGlyphRowWriter(const TDIB& page, int from, int w) : Page(page), From(from), W(w), Whole(w & ~15) {
    ShortRowCopied = w < 16 && from + 16 > page.Width();
  }

  void Write(std::uint8_t* out, int pageY, std::uint64_t marked) const {
    const std::uint8_t* p = Page.Row(pageY) + From;
#if defined(__SSE2__) && defined(__x86_64__)
    auto store = [](std::uint8_t* to, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(to), v); };
    for (int k = 0; k < Whole; k += 16)
      store(out + k, GlyphPixels16(p + k, static_cast<unsigned>(marked >> k & 0xFFFF)));
    if (Whole == W) return;
    if (Whole > 0) {
      // The sixteen that end the row again: the bytes written twice get the
      // same value both times.
      store(out + W - 16, GlyphPixels16(p + W - 16, static_cast<unsigned>(marked >> (W - 16) & 0xFFFF)));
      return;
    }
    std::uint8_t copy[16] = {};
    const std::uint8_t* in = p;
    if (ShortRowCopied) {
      std::memcpy(copy, p, static_cast<std::size_t>(W));
      in = copy;
    }
    StoreFirst(out, GlyphPixels16(in, static_cast<unsigned>(marked)), W);
#else
    CopyClearingLowBits(out, p, W);
    KeepMarkedBytes(out, W, marked, kGlyphPaper);
#endif
  }

 private:
  const TDIB& Page;
  const int From, W, Whole;
  bool ShortRowCopied = false;  // a row shorter than sixteen at the page's right edge
};

// The glyph bitmap's ink at the cut's threshold is known: a marked pixel
// keeps the page's grey level (ink where the page's is), and every other one
// is paper (248), ink only at a threshold above that.
// Where that leaves every row as the page's, the page's ink over the box is
// the glyph bitmap's.
void OfferGlyphInk(TProbeScratch& scratch, const TDIB& b, const TOCRChar& g, int threshold,
                   std::vector<std::uint64_t>& ink, const std::vector<std::uint64_t>& marked,
                   std::uint64_t full) {
  const std::uint64_t unmarked = IsInkByte(kGlyphPaper, threshold) ? full : 0;
  std::uint64_t* rows = ink.data();
  const std::uint64_t* kept = marked.data();
  const std::size_t n = ink.size();
  std::uint64_t changed = 0;
  for (std::size_t y = 0; y < n; ++y) {
    const std::uint64_t glyphInk = (rows[y] & kept[y]) | (unmarked & ~kept[y]);
    changed |= glyphInk ^ rows[y];
    rows[y] = glyphInk;
  }
  scratch.Planes.OfferGlyphRows(b, threshold, ink, changed == 0 ? g.Page : nullptr, g.Left, g.Top);
}

// The glyph cut of a box at most a word wide, on bits: the seed's region (in
// the neighbourhood of the next fill pass) and the unmarked ink reached from
// the two rows of broken strokes (in the current one) keep their page grey
// level with mark 1, and paper (248) is everywhere else.
void CutOnBits(const TOmnifontOCR& engine, const TOCRChar& g, int seedX, int seedY, int threshold, TDIB& b) {
  const TDIB& page = *g.Page;
  const int W = b.Width(), H = b.Height();
  const std::size_t rows = static_cast<std::size_t>(H);
  TProbeScratch& scratch = engine.Scratch();
  std::vector<std::uint64_t>& ink = scratch.HolePaper;
  std::vector<std::uint64_t>& marked = scratch.HoleOutside;
  ink.resize(rows);
  marked.assign(rows, 0);
  const TSpanInk spanInk(page, g.Left, W, threshold);
  if (scratch.KeepDepth > 0) {
    // Within a driver call the dispatch that follows counts the box's holes.
    TCutPaper& paper = scratch.CutPaper;
    paper.Rows.resize(rows);
    spanInk.InkAndPaperRows(g.Top, H, ink.data(), paper.Rows.data());
    paper.Page = &page;
    paper.Left = g.Left;
    paper.Top = g.Top;
    paper.Width = W;
    paper.Height = H;
    paper.Threshold = threshold;
  } else {
    spanInk.Rows(g.Top, H, ink.data());
  }
  const std::uint64_t full = bit_spans::LowBits(W);
  const int sx = seedX - g.Left, sy = seedY - g.Top;
  if (b.Inside(sx, sy)) {
    // The region of the seed's class, ink or paper.
    const std::uint64_t* cls = ink.data();
    if ((ink[sy] >> sx & 1) == 0) {
      std::vector<std::uint64_t>& paper = scratch.SeedClass;
      paper.resize(rows);
      for (int y = 0; y < H; ++y) paper[y] = ~ink[y] & full;
      cls = paper.data();
    }
    marked[sy] = bit_flood::FillRuns(std::uint64_t{1} << sx, cls[sy]);
    bit_flood::Spread(marked.data(), cls, H, ((engine.FillPass + 1) & 1) != 0, full);
  }
  if (W > 4 && W / 4 <= W - W / 4 - 2) {
    // Broken strokes crossing the middle or the lower part of the box stay.
    const std::uint64_t across = full & ~bit_spans::LowBits(W / 4) & bit_spans::LowBits(W - W / 4 - 1);
    const int rowsCrossed[2] = {H / 2, H - 1 - H / 8};
    std::uint64_t crossing[2];
    for (int i = 0; i < 2; ++i) {
      const std::uint64_t unmarked = ink[rowsCrossed[i]] & ~marked[rowsCrossed[i]];
      crossing[i] = bit_flood::FillRuns(unmarked & across, unmarked);
    }
    if ((crossing[0] | crossing[1]) != 0) {  // usually none: the seed's region is the whole glyph
      std::vector<std::uint64_t>& strokes = scratch.GlyphStrokes;
      strokes.assign(rows, 0);
      for (int i = 0; i < 2; ++i) strokes[rowsCrossed[i]] = crossing[i];
      std::vector<std::uint64_t>& unmarkedInk = scratch.SeedClass;
      unmarkedInk.resize(rows);
      for (int y = 0; y < H; ++y) unmarkedInk[y] = ink[y] & ~marked[y];
      bit_flood::Spread(strokes.data(), unmarkedInk.data(), H, (engine.FillPass & 1) != 0, full);
      for (int y = 0; y < H; ++y) marked[y] |= strokes[y];
    }
  }
  const TGlyphRowWriter writer(page, g.Left, W);
  for (int y = 0; y < H; ++y) writer.Write(b.Row(y), g.Top + y, marked[y]);
  OfferGlyphInk(scratch, b, g, threshold, ink, marked, full);
}

// Keeps a glyph bitmap of the engine's for one driver call.
class TGlyphBitmapLease {
 public:
  explicit TGlyphBitmapLease(TProbeScratch& scratch) : Scratch(scratch) {
    if (Scratch.GlyphBitmaps.size() <= Scratch.GlyphDepth)
      Scratch.GlyphBitmaps.push_back(std::make_unique<TDIB>());
    Bitmap = Scratch.GlyphBitmaps[Scratch.GlyphDepth++].get();
  }
  ~TGlyphBitmapLease() { --Scratch.GlyphDepth; }
  TGlyphBitmapLease(const TGlyphBitmapLease&) = delete;
  TGlyphBitmapLease& operator=(const TGlyphBitmapLease&) = delete;
  TDIB& Get() const { return *Bitmap; }

 private:
  TProbeScratch& Scratch;
  TDIB* Bitmap;
};

}  // namespace

void CutGlyphBitmap(TOmnifontOCR& engine, const TOCRChar& g, int seedX, int seedY, int threshold, TDIB& b) {
  const TDIB& page = *g.Page;
  page.RequireRectInside(g.Left, g.Top, g.Right, g.Bottom);  // as for a region copy
  const int W = g.Width(), H = g.Height();
  b.Reshape8Bit(W, H);
  if (page.Colors == b.Colors)
    std::memcpy(b.Palette, page.Palette, static_cast<std::size_t>(page.Colors) * 4);
  if (W <= 64) {
    CutOnBits(engine, g, seedX, seedY, threshold, b);
    return;
  }
  CopyAndMarkSeedRegion(engine, g, seedX, seedY, threshold, b);
  if (W > 4) {
    // Broken strokes crossing the middle or the lower part of the box stay.
    for (const int y : {H / 2, H - 1 - H / 8})
      for (int x = W / 4; x <= W - W / 4 - 2; ++x)
        if ((b.PixelByte(x, y) & 7) == 0 && IsInkByte(b.PixelByte(x, y), threshold))
          FillRegion(engine, b, x, y, threshold, 1);
  }
  for (int y = 0; y < H; ++y) SetUnmarkedBytes(b.Row(y), W, kGlyphPaper);
}

std::unique_ptr<TDIB> CutGlyphBitmap(TOmnifontOCR& engine, const TOCRChar& g, int seedX, int seedY,
                                     int threshold) {
  auto bitmap = std::make_unique<TDIB>();
  CutGlyphBitmap(engine, g, seedX, seedY, threshold, *bitmap);
  return bitmap;
}

namespace {

// The driver. `outer` is the cut of the level-0 call that runs this one at
// level 1, which reads its bitmap no more.
TCharCode ReadGlyph(TOmnifontOCR& engine, TOCRChar& glyph, int thr, int level, const TGlyphCut* outer) {
  TCharCode result = NoChar;
  TCharCode accent = kNoAccentYet;
  const TOCRChar entry = glyph;
  const TDispatchMemo::TCallScope dispatches(engine.Scratch().Dispatches);
  // Between its dispatches only this call changes pixels, and says so.
  const TPixelsKept kept(engine.Scratch());

  TrimEmptyRows(glyph, thr);
  if (level == 0) {
    // Trial pieces of touching-character splitting are copies of their
    // component: none may inherit its accent.
    glyph.MarkAbove = 0;
    glyph.Accent = 0;
  }
  DetectAccent(engine, glyph, thr, level + 1, accent);
  TightenBox(glyph, thr);
  int seedX = 0, seedY = 0;
  ChooseGlyphSeed(glyph, thr, seedX, seedY);

  const int W = glyph.Width(), H = glyph.Height();
  if (static_cast<std::int64_t>(W) * H > kLargestGlyphArea) return RejectedChar;
  if (W < 1 || H < 1) return NoChar;

  const TGlyphBitmapLease lease(engine.Scratch());
  TGlyphCut cut;
  cut.Bitmap = &lease.Get();
  cut.Page = glyph.Page;
  cut.Left = glyph.Left;
  cut.Top = glyph.Top;
  cut.Right = glyph.Right;
  cut.Bottom = glyph.Bottom;
  cut.SeedX = seedX;
  cut.SeedY = seedY;
  cut.Threshold = thr;
  cut.OddFillPass = (engine.FillPass & 1) != 0;
  if (outer != nullptr && outer->Untouched && outer->CutAlike(cut))
    cut.Bitmap = outer->Bitmap;  // the accent detection left the box as it was
  else
    CutGlyphBitmap(engine, glyph, seedX, seedY, thr, *cut.Bitmap);
  TDIB& bitmap = *cut.Bitmap;
  result = Dispatch(engine, glyph, bitmap, thr);
  if (result == NoChar && CutBottomBridge(glyph, bitmap, thr)) {
    cut.Untouched = false;
    engine.Scratch().PixelsChanged();
    engine.Scratch().Dispatches.Forget();  // they saw the page before the cut
    result = Dispatch(engine, glyph, bitmap, thr);
  }
  result = RetryDispatches(engine, glyph, cut, thr, result);

  if (glyph.CandCount > 0 && glyph.CandConf[0] >= 96 && result == NoChar) result = glyph.CandChar[0];
  if (result == NoChar && accent != 0 && level == 0) result = ReadGlyph(engine, glyph, thr, 1, &cut);
  if (accent != 0) {
    result = ComposeAccent(result, accent);
    glyph.BestChar = ComposeAccent(glyph.BestChar, accent);
    if (level > 0) {
      glyph.Left = entry.Left;
      glyph.Top = entry.Top;
      glyph.Right = entry.Right;
      glyph.Bottom = entry.Bottom;
    }
  }
  return result;
}

}  // namespace

TCharCode RecognizeGlyph(TOmnifontOCR& engine, TOCRChar& glyph, int threshold, int level) {
  return ReadGlyph(engine, glyph, threshold, level, nullptr);
}

}  // namespace omniocr
