#pragma once

// The ink of a span of bitmap rows, sixteen pixels at a time, read without a
// byte past the row: whether the span holds any, and (for a span of at most
// 64 pixels) which pixels are ink or unmarked paper.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "dibunit/dib.h"
#include "engine/byte_scan.h"

namespace omniocr {

// Whether row y holds ink in columns x0..x1, as ProbeRect tests it: the span
// is clipped to the page, and a row off the page is paper.
inline bool SpanHoldsInk(const TDIB& page, int x0, int x1, int y, int threshold) {
  if (y < 0 || y >= page.Height()) return false;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, page.Width() - 1);
  const std::uint8_t* row = page.Row(y);
  const TSixteenPixels pixels(threshold);
  int x = x0;
  for (; x + 15 <= x1; x += 16)
    if (pixels.Ink(row + x) != 0) return true;
  if (x > x1) return false;
  // The sixteen that end the span, less the pixels before x.
  if (x1 >= 15) return pixels.Ink(row + x1 - 15) >> (x - (x1 - 15)) != 0;
  for (; x <= x1; ++x)
    if (IsInkByte(row[x], threshold)) return true;
  return false;
}

// Which pixels a span reader gives as bits (see TSixteenPixels).
enum class TSpanPixels { Ink, UnmarkedPaper };

// The ink (or unmarked paper) of columns from..from+w-1 (1 to 64, inside the
// bitmap) of one row after another, pixel from+k in bit k. How the last few
// pixels are read is settled once for the span: from sixteen bytes in place
// where the rows hold them (the bits past the span are dropped), else from
// the sixteen that end the span, else from a copy.
template <TSpanPixels Kind>
class TSpanBits {
 public:
  TSpanBits(const TDIB& page, int from, int w, int threshold)
      : Page(page), From(from), W(w), Whole(w & ~15), Pixels(threshold) {
    const int sixteens = (w + 15) / 16;
    if (from + 16 * sixteens <= page.Width()) {
      InPlace = sixteens;
      SpanMask = ~std::uint64_t{0} >> (64 - w);
    }
    const int rest = w - Whole;
    if (rest == 0) {
      Tail = kNoTail;
    } else if (from + Whole + 16 <= page.Width()) {
      Tail = kInPlace;
      TailAt = Whole;
      TailMask = (1u << rest) - 1;
    } else if (w >= 16) {
      Tail = kInPlace;
      TailAt = w - 16;
      TailShift = 16 - rest;
      TailMask = (1u << rest) - 1;
    } else {
      Tail = kCopied;
      TailMask = (1u << rest) - 1;
    }
  }

  std::uint64_t Row(int y) const {
    const std::uint8_t* p = Page.Row(y) + From;
    std::uint64_t bits = 0;
    for (int k = 0; k < Whole; k += 16) bits |= static_cast<std::uint64_t>(Sixteen(p + k)) << k;
    if (Tail == kNoTail) return bits;
    return bits | static_cast<std::uint64_t>(TailBits(p)) << Whole;
  }

  // Row(y) of rows y0 .. y0 + n - 1 into out[0 .. n - 1]. Where the row
  // holds the span's last sixteen bytes in place (as a rule), each row is
  // read as whole sixteens, the bits past the span dropped.
  void Rows(int y0, int n, std::uint64_t* out) const {
    switch (InPlace) {
      case 1: RowsInPlace<1>(y0, n, out); return;
      case 2: RowsInPlace<2>(y0, n, out); return;
      case 3: RowsInPlace<3>(y0, n, out); return;
      case 4: RowsInPlace<4>(y0, n, out); return;
      default:
        for (int k = 0; k < n; ++k) out[k] = Row(y0 + k);
        return;
    }
  }

  // Row(y) of a reader of ink, and through `paper` the unmarked paper of the
  // same pixels (neither ink nor marked), both from one pass over them.
  std::uint64_t InkAndPaper(int y, std::uint64_t& paper) const {
    static_assert(Kind == TSpanPixels::Ink);
    const std::uint8_t* p = Page.Row(y) + From;
    std::uint64_t ink = 0, unmarked = 0;
    for (int k = 0; k < Whole; k += 16) {
      ink |= static_cast<std::uint64_t>(Sixteen(p + k)) << k;
      unmarked |= static_cast<std::uint64_t>(UnmarkedSixteen(p + k)) << k;
    }
    if (Tail != kNoTail) {
      ink |= static_cast<std::uint64_t>(TailBits(p)) << Whole;
      unmarked |= static_cast<std::uint64_t>(TailOf(p, UnmarkedSixteen)) << Whole;
    }
    paper = unmarked & ~ink;  // the span's bits alone: unmarked has no others
    return ink;
  }

  // InkAndPaper of rows y0 .. y0 + n - 1, read as Rows reads them.
  void InkAndPaperRows(int y0, int n, std::uint64_t* ink, std::uint64_t* paper) const {
    switch (InPlace) {
      case 1: InkAndPaperInPlace<1>(y0, n, ink, paper); return;
      case 2: InkAndPaperInPlace<2>(y0, n, ink, paper); return;
      case 3: InkAndPaperInPlace<3>(y0, n, ink, paper); return;
      case 4: InkAndPaperInPlace<4>(y0, n, ink, paper); return;
      default:
        for (int k = 0; k < n; ++k) ink[k] = InkAndPaper(y0 + k, paper[k]);
        return;
    }
  }

  // Whether row y holds any such pixel: Row(y) != 0, without putting the
  // bits together.
  bool Any(int y) const {
    const std::uint8_t* p = Page.Row(y) + From;
    for (int k = 0; k < Whole; k += 16)
      if (Sixteen(p + k) != 0) return true;
    return Tail != kNoTail && TailBits(p) != 0;
  }

 private:
  // The pixels of N whole sixteens from `p` as bits, by `sixteen`: each
  // sixteen spelt out, none in a loop.
  template <int N, class TSixteen>
  static std::uint64_t Sixteens(const std::uint8_t* p, TSixteen sixteen) {
    return [&]<int... I>(std::integer_sequence<int, I...>) {
      return ((static_cast<std::uint64_t>(sixteen(p + 16 * I)) << (16 * I)) | ...);
    }
    (std::make_integer_sequence<int, N>{});
  }

  template <int N>
  void InkAndPaperInPlace(int y0, int n, std::uint64_t* ink, std::uint64_t* paper) const {
    auto inkOf = [this](const std::uint8_t* q) { return Sixteen(q); };
    for (int k = 0; k < n; ++k) {
      const std::uint8_t* p = Page.Row(y0 + k) + From;
      const std::uint64_t inkBits = Sixteens<N>(p, inkOf);
      const std::uint64_t unmarked = Sixteens<N>(p, [](const std::uint8_t* q) { return UnmarkedSixteen(q); });
      ink[k] = inkBits & SpanMask;
      paper[k] = unmarked & ~inkBits & SpanMask;
    }
  }

  template <int N>
  void RowsInPlace(int y0, int n, std::uint64_t* out) const {
    auto bitsOf = [this](const std::uint8_t* q) { return Sixteen(q); };
    for (int k = 0; k < n; ++k) out[k] = Sixteens<N>(Page.Row(y0 + k) + From, bitsOf) & SpanMask;
  }

  // The bits of the pixels after the whole sixteens of the span at `p`.
  unsigned TailBits(const std::uint8_t* p) const {
    return TailOf(p, [this](const std::uint8_t* q) { return Sixteen(q); });
  }
  // The same bits from `sixteen`, the pixels of sixteen bytes as bits.
  template <class TSixteen>
  unsigned TailOf(const std::uint8_t* p, TSixteen sixteen) const {
    if (Tail == kInPlace) return sixteen(p + TailAt) >> TailShift & TailMask;
    std::uint8_t copy[16] = {};
    std::memcpy(copy, p, static_cast<std::size_t>(W));
    return sixteen(copy) & TailMask;
  }

  // The pixels of sixteen bytes without a mark (none of the three low bits).
  static unsigned UnmarkedSixteen(const std::uint8_t* p) {
#if defined(__SSE2__)
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i unmarked = _mm_cmpeq_epi8(_mm_and_si128(bytes, _mm_set1_epi8(7)), _mm_setzero_si128());
    return static_cast<unsigned>(_mm_movemask_epi8(unmarked));
#else
    unsigned bits = 0;
    for (int k = 0; k < 16; ++k) bits |= static_cast<unsigned>((p[k] & 7) == 0) << k;
    return bits;
#endif
  }

  unsigned Sixteen(const std::uint8_t* p) const {
    if constexpr (Kind == TSpanPixels::Ink) return Pixels.Ink(p);
    return Pixels.UnmarkedPaper(p);
  }

  enum TTail { kNoTail, kInPlace, kCopied };
  const TDIB& Page;
  const int From, W, Whole;
  const TSixteenPixels Pixels;
  TTail Tail = kNoTail;
  int TailAt = 0, TailShift = 0;
  unsigned TailMask = 0;
  int InPlace = 0;  // sixteens of a span read in place as whole sixteens, or 0
  std::uint64_t SpanMask = 0;
};

using TSpanInk = TSpanBits<TSpanPixels::Ink>;
using TSpanPaper = TSpanBits<TSpanPixels::UnmarkedPaper>;

}  // namespace omniocr
