#pragma once

// Ink planes: the ink of a window of a bitmap at one threshold as bits, by
// rows and by columns, so that the probes the recognisers ask most often
// (ink or paper in a rectangle, ink runs met along a row or a column) take a few word operations instead of a
// test per pixel.
//
// A dispatch keeps the planes of its glyph bitmap and of the page around the
// glyph's box while it runs (no pixel changes during one); rows and columns
// are each read the first time a probe asks for them.
// Rectangles outside the window, other bitmaps or thresholds, and probes
// outside a dispatch read the pixels.

#include <cstdint>
#include <vector>

#include "dibunit/dib.h"

namespace omniocr {

class TInkPlane {
 public:
  // Names the bitmap pixels left..right by top..bottom (clipped to it) at
  // `threshold`; nothing is read yet.
  void Reset(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom);

  bool Covers(int x0, int y0, int x1, int y1) const {
    return x0 >= Left && x1 <= Right && y0 >= Top && y1 <= Bottom;
  }
  int BitmapWidth() const { return Width; }
  int BitmapHeight() const { return Height; }

  // The ink of covered row y as bits from column Left on (RowStride() words),
  // of covered column x from row Top on (ColumnStride() words); each read on
  // first use.
  const std::uint64_t* Row(int y) {
    if (!RowsRead) ReadRows();
    return &Rows[static_cast<std::size_t>((y - Top) * RowStride)];
  }
  const std::uint64_t* Column(int x) {
    if (!ColumnsRead) ReadColumns();
    return &Columns[static_cast<std::size_t>((x - Left) * ColumnStride)];
  }
  int RowWords() const { return RowStride; }
  int ColumnWords() const { return ColumnStride; }
  int Left0() const { return Left; }
  int Top0() const { return Top; }

 private:
  void ReadRows();
  void ReadColumns();

  const TDIB* Bitmap = nullptr;
  int Threshold = 0;
  int Width = 0, Height = 0;  // of the bitmap
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  int RowStride = 0, ColumnStride = 0;
  bool RowsRead = false, ColumnsRead = false;
  std::vector<std::uint64_t> Rows;     // bit x - Left of row y
  std::vector<std::uint64_t> Columns;  // bit y - Top of column x
};

// The planes of one dispatch: its glyph bitmap, and the page over the box
// widened by one pixel and reaching up to the ascender line and down to the
// descender line (where dots, accents and descenders are probed).
class TDispatchPlanes {
 public:
  void Open(const TDIB& glyphBitmap, const TDIB& page, int threshold, int left, int top, int right,
            int bottom, int ascLine, int descLine);
  void Close() { Active = false; }
  // The plane of `bitmap` at `threshold`, or null.
  TInkPlane* Find(const TDIB& bitmap, int threshold) {
    if (!Active || threshold != Threshold) return nullptr;
    return &bitmap == GlyphBitmap ? &GlyphPlane : &bitmap == Page ? &PagePlane : nullptr;
  }

 private:
  bool Active = false;
  int Threshold = 0;
  const TDIB* GlyphBitmap = nullptr;
  const TDIB* Page = nullptr;
  TInkPlane GlyphPlane, PagePlane;
};

// The planes of the dispatch running on this thread, or null.
extern constinit thread_local TDispatchPlanes* activePlanes;

// The plane of `bitmap` at `threshold` in the running dispatch, or null.
inline TInkPlane* ActivePlane(const TDIB& bitmap, int threshold) {
  TDispatchPlanes* planes = activePlanes;
  return planes == nullptr ? nullptr : planes->Find(bitmap, threshold);
}

// Makes a dispatch's planes the active ones for its lifetime. A dispatch
// within another (none does so) would run without them.
class TPlanesScope {
 public:
  TPlanesScope(TDispatchPlanes& planes, const TDIB& glyphBitmap, const TDIB& page, int threshold, int left,
               int top, int right, int bottom, int ascLine, int descLine);
  ~TPlanesScope();
  TPlanesScope(const TPlanesScope&) = delete;
  TPlanesScope& operator=(const TPlanesScope&) = delete;

 private:
  TDispatchPlanes& Planes;
  TDispatchPlanes* Outer;
};

}  // namespace omniocr
