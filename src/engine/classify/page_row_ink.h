#pragma once

// The ink of a span of one page row, sixteen pixels at a time, read without
// a byte past the row: whether the span holds any, and (for a span of at most
// 64 pixels) which pixels are ink.

#include <algorithm>
#include <cstdint>
#include <cstring>

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

// Pixels from..from+w-1 of row y (1 to 64, inside the page) as ink bits,
// pixel from+k in bit k. The last few come from sixteen bytes read in place
// where the row holds them (the bits past the span are dropped), else from
// the sixteen that end the span, else from a copy.
inline std::uint64_t InkBitsOfSpan(const TDIB& page, int from, int w, int y, const TSixteenPixels& pixels) {
  const std::uint8_t* p = page.Row(y) + from;
  std::uint64_t bits = 0;
  int k = 0;
  for (; k + 16 <= w; k += 16) bits |= static_cast<std::uint64_t>(pixels.Ink(p + k)) << k;
  if (k == w) return bits;
  const int rest = w - k;
  unsigned tail;
  if (from + k + 16 <= page.Width()) {
    tail = pixels.Ink(p + k) & ((1u << rest) - 1);
  } else if (w >= 16) {
    tail = pixels.Ink(p + w - 16) >> (16 - rest);
  } else {
    std::uint8_t copy[16] = {};
    std::memcpy(copy, p, static_cast<std::size_t>(w));
    tail = pixels.Ink(copy) & ((1u << w) - 1);
  }
  return bits | static_cast<std::uint64_t>(tail) << k;
}

}  // namespace omniocr
