#pragma once

// Ink rows: the ink of a rectangle of a bitmap at one threshold as one word
// of bits per row, so that the probes the recognisers ask most often (ink
// runs met along a row, ink or paper in a rectangle) take a few word
// operations instead of a test per pixel.
//
// A dispatch keeps the ink rows of its glyph bitmap and of the page around
// the glyph's box while it runs (no pixel changes during one), each read the
// first time a probe asks for it. Rectangles wider than a word, other
// bitmaps, thresholds or positions, and probes outside a dispatch read the
// pixels.

#include <cstdint>
#include <vector>

#include "dibunit/dib.h"

namespace omniocr {

class TInkRows {
 public:
  // Names the bitmap pixels left..right by top..bottom (clipped to it, at
  // most 64 columns wide); the bits are read on first use.
  void Reset(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom);

  bool Covers(int x0, int y0, int x1, int y1) const {
    return x0 >= Left && x1 <= Right && y0 >= Top && y1 <= Bottom;
  }
  // The ink of columns x0..x1 of row y as bits from bit 0 (covered, x0 <= x1).
  std::uint64_t Bits(int y, int x0, int x1) {
    if (!Read) ReadRows();
    const int a = x0 - Left, b = x1 - Left;
    return (Rows[static_cast<std::size_t>(y - Top)] >> a) & (~std::uint64_t{0} >> (63 - (b - a)));
  }

 private:
  void ReadRows();

  const TDIB* Bitmap = nullptr;
  int Threshold = 0;
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  bool Read = false;
  std::vector<std::uint64_t> Rows;  // bit x - Left of row y
};

// The ink rows of one dispatch: its glyph bitmap and the page over the box
// widened by one pixel, each where it is at most a word wide.
class TDispatchInkRows {
 public:
  void Open(const TDIB& glyphBitmap, const TDIB& page, int threshold, int left, int top, int right,
            int bottom);
  void Close() { Active = false; }
  // The ink rows of `bitmap` at `threshold` that cover the rectangle, or null.
  TInkRows* Find(const TDIB& bitmap, int threshold, int x0, int y0, int x1, int y1) {
    if (!Active || threshold != Threshold) return nullptr;
    TInkRows* rows = &bitmap == GlyphBitmap ? &GlyphRows : &bitmap == Page ? &PageRows : nullptr;
    return rows != nullptr && rows->Covers(x0, y0, x1, y1) ? rows : nullptr;
  }

 private:
  bool Active = false;
  int Threshold = 0;
  const TDIB* GlyphBitmap = nullptr;
  const TDIB* Page = nullptr;
  TInkRows GlyphRows, PageRows;
};

// The ink rows of the dispatch running on this thread, or null.
extern constinit thread_local TDispatchInkRows* activeInkRows;

// The ink rows of `bitmap` at `threshold` covering the rectangle in the
// running dispatch, or null.
inline TInkRows* ActiveInkRows(const TDIB& bitmap, int threshold, int x0, int y0, int x1, int y1) {
  TDispatchInkRows* rows = activeInkRows;
  return rows == nullptr ? nullptr : rows->Find(bitmap, threshold, x0, y0, x1, y1);
}

// Makes a dispatch's ink rows the active ones for its lifetime. A dispatch
// within another (none does so) would run without them.
class TInkRowsScope {
 public:
  TInkRowsScope(TDispatchInkRows& rows, const TDIB& glyphBitmap, const TDIB& page, int threshold, int left,
                int top, int right, int bottom);
  ~TInkRowsScope();
  TInkRowsScope(const TInkRowsScope&) = delete;
  TInkRowsScope& operator=(const TInkRowsScope&) = delete;

 private:
  TDispatchInkRows& Rows;
  TDispatchInkRows* Outer;
};

}  // namespace omniocr
