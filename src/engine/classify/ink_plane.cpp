#include "engine/classify/ink_plane.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "engine/byte_scan.h"
#include "engine/classify/bit_spans.h"
#include "engine/classify/page_row_ink.h"

namespace omniocr {

constinit thread_local TDispatchPlanes* activePlanes = nullptr;

namespace {

// One round of a transposition: in each block of 2j words, the high half of
// every bit group of 2j of the first j words trades places with the low half
// of the words j further on.
template <int J>
void SwapHalves(std::uint64_t* a, int n, std::uint64_t m) {
  for (int b = 0; b < n; b += 2 * J)
    for (int k = b; k < b + J; ++k) {
      const std::uint64_t t = ((a[k] >> J) ^ a[k + J]) & m;
      a[k] ^= t << J;
      a[k + J] ^= t;
    }
}

#if defined(__SSE2__)
// The 32 words of a block two to a register (words 2i and 2i + 1 in register
// i), so that every round of the transposition runs on registers: the block
// is loaded once and stored once.
using TWordPairs = __m128i[16];

// The trade of SwapHalves between two registers, word by word.
template <int J>
void TradeHalves(__m128i& low, __m128i& high, __m128i mask) {
  const __m128i t = _mm_and_si128(_mm_xor_si128(_mm_srli_epi64(low, J), high), mask);
  low = _mm_xor_si128(low, _mm_slli_epi64(t, J));
  high = _mm_xor_si128(high, t);
}

// SwapHalves<J> (J >= 2) on the registers: words J apart are registers J / 2
// apart, in the same lane.
template <int J>
void SwapRegisterHalves(TWordPairs& v, std::uint64_t m) {
  const __m128i mask = _mm_set1_epi64x(static_cast<long long>(m));
  constexpr int apart = J / 2;
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i)
    if ((i & apart) == 0) TradeHalves<J>(v[i], v[i + apart], mask);
}

// SwapHalves<1> on the registers: the words of two registers regrouped, the
// even ones in one and the odd in the other, trade and are put back.
void SwapNeighbourWords(TWordPairs& v, std::uint64_t m) {
  const __m128i mask = _mm_set1_epi64x(static_cast<long long>(m));
#pragma GCC unroll 8
  for (int i = 0; i < 16; i += 2) {
    __m128i even = _mm_unpacklo_epi64(v[i], v[i + 1]), odd = _mm_unpackhi_epi64(v[i], v[i + 1]);
    TradeHalves<1>(even, odd, mask);
    v[i] = _mm_unpacklo_epi64(even, odd);
    v[i + 1] = _mm_unpackhi_epi64(even, odd);
  }
}
#endif

// Transposes 32 x 32 blocks of bits held in the two halves of 32 words: bit x
// of half h of word y becomes bit y of half h of word x.
void TransposeHalves(std::uint64_t* a) {
#if defined(__SSE2__)
  TWordPairs v;
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) v[i] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(a + 2 * i));
  SwapRegisterHalves<16>(v, 0x0000FFFF0000FFFFull);
  SwapRegisterHalves<8>(v, 0x00FF00FF00FF00FFull);
  SwapRegisterHalves<4>(v, 0x0F0F0F0F0F0F0F0Full);
  SwapRegisterHalves<2>(v, 0x3333333333333333ull);
  SwapNeighbourWords(v, 0x5555555555555555ull);
#pragma GCC unroll 16
  for (int i = 0; i < 16; ++i) _mm_storeu_si128(reinterpret_cast<__m128i*>(a + 2 * i), v[i]);
#else
  SwapHalves<16>(a, 32, 0x0000FFFF0000FFFFull);
  SwapHalves<8>(a, 32, 0x00FF00FF00FF00FFull);
  SwapHalves<4>(a, 32, 0x0F0F0F0F0F0F0F0Full);
  SwapHalves<2>(a, 32, 0x3333333333333333ull);
  SwapHalves<1>(a, 32, 0x5555555555555555ull);
#endif
}

// A round of TransposeHalves when the upper half of every bit group of 2j
// is paper: the words j further on lend their low halves and are left empty.
template <int J>
void MergeHalves(std::uint64_t* a, std::uint64_t m) {
  for (int k = 0; k < J; ++k) {
    a[k] |= (a[k + J] & m) << J;
    a[k + J] = 0;
  }
}

// TransposeHalves of a block whose rows hold ink only in their first
// `columns` bits: the rounds that would move only paper are left out, and
// only the first `columns` words are the block's columns.
void TransposeNarrowHalves(std::uint64_t* a, int columns) {
  if (columns > 16) {
    TransposeHalves(a);
    return;
  }
  MergeHalves<16>(a, 0x0000FFFF0000FFFFull);
  if (columns > 8) {
    SwapHalves<8>(a, 16, 0x00FF00FF00FF00FFull);
  } else {
    MergeHalves<8>(a, 0x00FF00FF00FF00FFull);
  }
  const int n = columns > 8 ? 16 : 8;
  SwapHalves<4>(a, n, 0x0F0F0F0F0F0F0F0Full);
  SwapHalves<2>(a, n, 0x3333333333333333ull);
  SwapHalves<1>(a, n, 0x5555555555555555ull);
}

// Transposes a 64 x 64 block of bits: bit x of word y becomes bit y of word x.
void Transpose64(std::uint64_t* a) {
  SwapHalves<32>(a, 64, 0x00000000FFFFFFFFull);
  TransposeHalves(a);
  TransposeHalves(a + 32);
}

// The first of n one-word rows whose `width` bits from bit `from` hold ink
// (mask 1) or paper (mask 2), or (!holds) do not; n when none does.
int FirstRowWhere(const std::uint64_t* rows, int n, int from, int width, unsigned mask, bool holds) {
  const std::uint64_t window = bit_spans::LowBits(width) << from;
  // The row holds ink (mask 1) or paper (mask 2) when its window's bits
  // differ from all paper (0) or from all ink (window).
  const std::uint64_t otherClass = (mask & 3u) == 1 ? 0 : window;
  if (holds) {
    for (int k = 0; k < n; ++k)
      if ((rows[k] & window) != otherClass) return k;
  } else {
    for (int k = 0; k < n; ++k)
      if ((rows[k] & window) == otherClass) return k;
  }
  return n;
}

struct TWindow {
  int Left, Top, Right, Bottom;
};

// The pixels left..right by top..bottom that lie in the bitmap; an empty
// window ends just before its start.
TWindow ClippedWindow(const TDIB& bitmap, int left, int top, int right, int bottom) {
  TWindow w{std::max(left, 0), std::max(top, 0), std::min(right, bitmap.Width() - 1),
            std::min(bottom, bitmap.Height() - 1)};
  if (w.Right < w.Left || w.Bottom < w.Top) {
    w.Right = w.Left - 1;  // covers nothing
    w.Bottom = w.Top - 1;
  }
  return w;
}

}  // namespace

void TInkPlane::Reset(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom) {
  Bitmap = &bitmap;
  Threshold = threshold;
  Width = bitmap.Width();
  Height = bitmap.Height();
  const TWindow window = ClippedWindow(bitmap, left, top, right, bottom);
  Left = window.Left;
  Top = window.Top;
  Right = window.Right;
  Bottom = window.Bottom;
  SpanX = static_cast<unsigned>(Right - Left);
  SpanY = static_cast<unsigned>(Bottom - Top);
  RowStride = (Right - Left + 64) / 64;
  ColumnStride = (Bottom - Top + 64) / 64;
  RowsRead = ColumnsRead = false;
  OneWordRows = OneWordColumns = false;
  OriginPage = nullptr;
  ColumnSource = nullptr;
}

void TInkPlane::ResetWithRows(const TDIB& bitmap, int threshold, std::vector<std::uint64_t>& rows) {
  Reset(bitmap, threshold, 0, 0, bitmap.Width() - 1, bitmap.Height() - 1);
  // Anything else is read from the pixels when asked.
  if (RowStride != 1 || Bottom < Top || rows.size() != static_cast<std::size_t>(Bottom - Top + 1)) return;
  RowsRead = true;
  OneWordRows = true;
  Rows.swap(rows);
}

bool TInkPlane::Names(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom) const {
  const TWindow window = ClippedWindow(bitmap, left, top, right, bottom);
  return Bitmap == &bitmap && Threshold == threshold && Left == window.Left && Top == window.Top &&
         Right == window.Right && Bottom == window.Bottom && Width == bitmap.Width() &&
         Height == bitmap.Height();
}

void TInkPlane::ReadRows() {
  RowsRead = true;
  OneWordRows = RowStride == 1;
  const int w = Right - Left + 1, h = Bottom - Top + 1;
  Rows.resize(static_cast<std::size_t>(h * RowStride));
  if (OneWordRows) {
    const TSpanInk span(*Bitmap, Left, w, Threshold);
    span.Rows(Top, h, Rows.data());
    return;
  }
  const TSixteenPixels pixels(Threshold);
  for (int j = 0; j < h; ++j)
    BitsOfRow(Bitmap->Row(Top + j) + Left, w, &Rows[static_cast<std::size_t>(j * RowStride)],
              [&pixels](const std::uint8_t* p) { return pixels.Ink(p); });
}

bool TInkPlane::TakeSourceColumns() {
  TInkPlane& source = *ColumnSource;
  const int w = Right - Left + 1, h = Bottom - Top + 1;
  const bool oneBlock = RowStride == 1 && ColumnStride == 1 && source.ColumnStride == 1;
  if (!oneBlock || source.Bitmap != OriginPage || source.Threshold != Threshold ||
      !source.Covers(OriginLeft, OriginTop, OriginLeft + w - 1, OriginTop + h - 1))
    return false;
  if (!source.ColumnsRead) source.ReadColumns();
  ColumnsRead = true;
  OneWordColumns = true;
  Columns.resize(static_cast<std::size_t>(w));
  const std::uint64_t* from = &source.Columns[static_cast<std::size_t>(OriginLeft - source.Left)];
  const int down = OriginTop - source.Top;
  const std::uint64_t rows = bit_spans::LowBits(h);
  for (int x = 0; x < w; ++x) Columns[static_cast<std::size_t>(x)] = from[x] >> down & rows;
  return true;
}

void TInkPlane::ReadColumns() {
  if (ColumnSource != nullptr && TakeSourceColumns()) return;
  ColumnsRead = true;
  OneWordColumns = ColumnStride == 1;
  if (!RowsRead) ReadRows();
  const int w = Right - Left + 1, h = Bottom - Top + 1;
  Columns.resize(static_cast<std::size_t>(w * ColumnStride));
  std::uint64_t block[64];
  if (RowStride == 1 && ColumnStride == 1) {
    // One block: the rows copied in whole, the rest of it paper.
    if (w <= 32) {
      // Rows k and k + 32 share a word: one half-sized transposition.
      const int upper = std::min(h, 32);
      std::copy(Rows.begin(), Rows.begin() + upper, block);
      std::fill(block + upper, block + 32, 0);
      for (int k = 32; k < h; ++k) block[k - 32] |= Rows[static_cast<std::size_t>(k)] << 32;
      TransposeNarrowHalves(block, w);
    } else {
      std::copy(Rows.begin(), Rows.begin() + h, block);
      std::fill(block + h, block + 64, 0);
      Transpose64(block);
    }
    std::copy(block, block + w, Columns.begin());
    return;
  }
  auto rowWord = [&](int j, int c) { return j < h ? Rows[static_cast<std::size_t>(j * RowStride + c)] : 0; };
  for (int r = 0; r < ColumnStride; ++r)
    for (int c = 0; c < RowStride; ++c) {
      const int first = 64 * r, columns = std::min(64, w - 64 * c);
      if (columns <= 32) {
        // Rows k and k + 32 share a word: one half-sized transposition.
        for (int k = 0; k < 32; ++k) block[k] = rowWord(first + k, c) | rowWord(first + k + 32, c) << 32;
        TransposeNarrowHalves(block, columns);
      } else {
        for (int k = 0; k < 64; ++k) block[k] = rowWord(first + k, c);
        Transpose64(block);
      }
      for (int k = 0; k < columns; ++k)
        Columns[static_cast<std::size_t>((64 * c + k) * ColumnStride + r)] = block[k];
    }
}

unsigned TInkPlane::ClassesRead(int x0, int y0, int x1, int y1, unsigned mask) {
  if (y0 == y1 && RowStride == 1) return LineClasses(Row(y0)[0] >> (x0 - Left), x1 - x0 + 1) & mask;
  if (x0 == x1 && ColumnStride == 1) return LineClasses(Column(x0)[0] >> (y0 - Top), y1 - y0 + 1) & mask;
  return AreaClasses(x0, y0, x1, y1, mask & 3u) & mask;
}

int TInkPlane::RowRunsRead(int y, int x0, int x1) {
  const std::uint64_t* row = Row(y);
  if (RowStride != 1) return bit_spans::Runs(row, x0 - Left, x1 - Left);
  return LineRuns(row[0] >> (x0 - Left), x1 - x0 + 1);
}

int TInkPlane::ColumnRunsRead(int x, int y0, int y1) {
  const std::uint64_t* column = Column(x);
  if (ColumnStride != 1) return bit_spans::Runs(column, y0 - Top, y1 - Top);
  return LineRuns(column[0] >> (y0 - Top), y1 - y0 + 1);
}

int TInkPlane::NextRowWhere(int x0, int x1, int y0, int y1, unsigned mask, bool holds) {
  const int last = std::min(y1, Bottom);
  const int none = std::max(y0, last + 1);
  // A line of at least one pixel holds ink or paper: with both asked for
  // every row holds one, with neither none does.
  switch (mask & 3u) {
    case 0: return holds ? none : y0;
    case 3: return holds ? y0 : none;
    default: break;
  }
  if (RowStride != 1) {
    for (int y = y0; y <= last; ++y)
      if ((ClassesRead(x0, y, x1, y, mask) != 0) == holds) return y;
    return none;
  }
  const int k = FirstRowWhere(Row(y0), last - y0 + 1, x0 - Left, x1 - x0 + 1, mask, holds);
  return k <= last - y0 ? y0 + k : none;
}

int TInkPlane::QuickNextRow(int x0, int x1, int y0, int y1, unsigned mask, bool holds) const {
  if (!OneWordRows || !CoversRow(y0, x0, x1) || y1 < y0 || y1 > Bottom) return kNoQuickRow;
  // As NextRowWhere over rows it holds, none of them past y1.
  switch (mask & 3u) {
    case 0: return holds ? y1 + 1 : y0;
    case 3: return holds ? y0 : y1 + 1;
    default: break;
  }
  const int n = y1 - y0 + 1;
  return y0 +
         FirstRowWhere(&Rows[static_cast<std::size_t>(y0 - Top)], n, x0 - Left, x1 - x0 + 1, mask, holds);
}

unsigned TInkPlane::AreaClasses(int x0, int y0, int x1, int y1, unsigned wanted) {
  const bool byColumns = y1 - y0 > x1 - x0;
  const int lines = byColumns ? x1 - x0 + 1 : y1 - y0 + 1;
  const int a = byColumns ? y0 - Top : x0 - Left;
  const int across = byColumns ? y1 - y0 + 1 : x1 - x0 + 1;
  const int stride = byColumns ? ColumnStride : RowStride;
  const std::uint64_t* line = byColumns ? Column(x0) : Row(y0);
  unsigned found = 0;
  if (stride != 1) {
    for (int k = 0; k < lines && (found & wanted) != wanted; ++k, line += stride)
      found |= bit_spans::Classes(line, a, a + across - 1, wanted);
    return found;
  }
  // A line holds ink unless its bits are all paper, and paper unless they
  // are all ink; the search for one class alone stops at the first line
  // that has it.
  const std::uint64_t full = bit_spans::LowBits(across);
  switch (wanted) {
    case 1:
      for (int k = 0; k < lines; ++k)
        if ((line[k] >> a & full) != 0) return 1;
      return 0;
    case 2:
      for (int k = 0; k < lines; ++k)
        if ((line[k] >> a & full) != full) return 2;
      return 0;
    default: break;
  }
  for (int k = 0; k < lines; ++k) {
    const std::uint64_t v = line[k] >> a & full;
    found |= (v != 0 ? 1u : 0u) | (v != full ? 2u : 0u);
    if ((found & wanted) == wanted) break;
  }
  return found;
}

void TDispatchPlanes::Open(const TDIB& glyphBitmap, const TDIB& page, int threshold, int left, int top,
                           int right, int bottom, int ascLine, int descLine) {
  ++Generation;
  Threshold = threshold;
  GlyphBitmap = &glyphBitmap;
  Page = &page;
  // Reaching to the guide lines, but never further than the box's height.
  const int h = bottom - top + 1;
  const int windowTop = std::max(std::min(top, ascLine), top - h) - 1;
  const int windowBottom = std::min(std::max(bottom, descLine), bottom + h) + 1;
  const int glyphRight = glyphBitmap.Width() - 1, glyphBottom = glyphBitmap.Height() - 1;
  if (!(Valid || GlyphOffered) || !GlyphPlane.Names(glyphBitmap, threshold, 0, 0, glyphRight, glyphBottom))
    GlyphPlane.Reset(glyphBitmap, threshold, 0, 0, glyphRight, glyphBottom);
  if (!Valid || !PagePlane.Names(page, threshold, left - 1, windowTop, right + 1, windowBottom))
    PagePlane.Reset(page, threshold, left - 1, windowTop, right + 1, windowBottom);
  // A glyph plane whose rows are the page's ink takes its columns from the
  // page plane, which most dispatches read by columns anyway.
  GlyphPlane.SetColumnSource(GlyphPlane.PageOrigin() == &page ? &PagePlane : nullptr);
  Valid = Kept;
  GlyphOffered = false;
}

TPlanesScope::TPlanesScope(TDispatchPlanes& planes, const TDIB& glyphBitmap, const TDIB& page, int threshold,
                           int left, int top, int right, int bottom, int ascLine, int descLine)
    : Planes(planes), Outer(activePlanes) {
  if (Outer != nullptr) {
    activePlanes = nullptr;
    return;
  }
  Planes.Open(glyphBitmap, page, threshold, left, top, right, bottom, ascLine, descLine);
  activePlanes = &Planes;
}

TPlanesScope::~TPlanesScope() {
  if (Outer == nullptr) Planes.Close();
  activePlanes = Outer;
}

}  // namespace omniocr
