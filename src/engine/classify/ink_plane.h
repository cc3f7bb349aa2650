#pragma once

// Ink planes: the ink of a window of a bitmap at one threshold as bits, by
// rows and by columns, so that the probes the recognisers ask most often
// (ink or paper in a rectangle, ink runs met along a row or a column) take a
// few word operations instead of a test per pixel.
//
// A dispatch keeps the planes of its glyph bitmap and of the page around the
// glyph's box while it runs (no pixel changes during one); rows and columns
// are each read the first time a probe asks for them.
// Rectangles outside the window, other bitmaps or thresholds, and probes
// outside a dispatch read the pixels.

#include <bit>
#include <cstdint>
#include <vector>

#include "dibunit/dib.h"
#include "engine/classify/bit_spans.h"

namespace omniocr {

class TInkPlane {
 public:
  // Names the bitmap pixels left..right by top..bottom (clipped to it) at
  // `threshold`; nothing is read yet.
  void Reset(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom);
  // Reset to the whole of a bitmap at most a word wide whose rows at
  // `threshold` are already known as bits (bit x of rows[y], one a row):
  // the plane takes them and leaves its former buffer in their place.
  void ResetWithRows(const TDIB& bitmap, int threshold, std::vector<std::uint64_t>& rows);
  // Says that the plane's rows, as ResetWithRows gave them, are also the
  // ink of `page` at the plane's threshold over the rectangle of their size
  // at (left, top): a plane of that page holding the rectangle's columns
  // gives this plane its columns, with no transposition of its own.
  void SetPageOrigin(const TDIB& page, int left, int top) {
    OriginPage = &page;
    OriginLeft = left;
    OriginTop = top;
  }
  // The plane whose columns this one takes when it may, or null.
  void SetColumnSource(TInkPlane* source) { ColumnSource = OriginPage != nullptr ? source : nullptr; }
  const TDIB* PageOrigin() const { return OriginPage; }
  // Whether Reset with these arguments would name the same pixels.
  bool Names(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom) const;

  bool Covers(int x0, int y0, int x1, int y1) const {
    return x0 >= Left && x1 <= Right && y0 >= Top && y1 <= Bottom;
  }
  int BitmapWidth() const { return Width; }
  int BitmapHeight() const { return Height; }

  // Ink (bit 1) and paper (bit 2) of a covered rectangle, ANDed with `mask`:
  // row by row or, when it is taller than wide, column by column.
  unsigned Classes(int x0, int y0, int x1, int y1, unsigned mask) {
    unsigned classes;
    if (QuickClasses(x0, y0, x1, y1, mask, classes)) return classes;
    return ClassesRead(x0, y0, x1, y1, mask);
  }
  // Classes for a caller that has found QuickClasses unable to answer (any
  // rectangle it covers would do: this is Classes without that first try).
  unsigned ClassesAfterQuick(int x0, int y0, int x1, int y1, unsigned mask) {
    return ClassesRead(x0, y0, x1, y1, mask);
  }
  // The probes' common case, small enough to be inlined where they are
  // asked: a row or a column of one word, covered and already read. Each
  // answers through its last argument and says whether it could.
  bool QuickClasses(int x0, int y0, int x1, int y1, unsigned mask, unsigned& classes) const {
    if (y0 == y1) {
      if (!OneWordRows || !CoversRow(y0, x0, x1)) return false;
      classes = LineClasses(Rows[static_cast<std::size_t>(y0 - Top)] >> (x0 - Left), x1 - x0 + 1) & mask;
      return true;
    }
    if (x0 == x1) {
      if (!OneWordColumns || !CoversColumn(x0, y0, y1)) return false;
      classes = LineClasses(Columns[static_cast<std::size_t>(x0 - Left)] >> (y0 - Top), y1 - y0 + 1) & mask;
      return true;
    }
    return false;
  }
  bool QuickRowRuns(int y, int x0, int x1, int& runs) const {
    if (!OneWordRows || !CoversRow(y, x0, x1)) return false;
    runs = LineRuns(Rows[static_cast<std::size_t>(y - Top)] >> (x0 - Left), x1 - x0 + 1);
    return true;
  }
  bool QuickColumnRuns(int x, int y0, int y1, int& runs) const {
    if (!OneWordColumns || !CoversColumn(x, y0, y1)) return false;
    runs = LineRuns(Columns[static_cast<std::size_t>(x - Left)] >> (y0 - Top), y1 - y0 + 1);
    return true;
  }
  // The first row from y0 (covered) to y1, and no further than the plane
  // reaches, whose columns x0..x1 give Classes with `mask` non-zero (`holds`)
  // or zero; the row after the last one looked at when none does.
  int NextRowWhere(int x0, int x1, int y0, int y1, unsigned mask, bool holds);
  int LastRow() const { return Bottom; }
  // Rows 0 .. BitmapHeight() - 1, a word each (bit x of row y), read now if
  // they were not, when the plane holds the whole bitmap at most a word
  // wide; else null.
  const std::uint64_t* BitmapRowWords() {
    const bool whole = Left == 0 && Top == 0 && Right == Width - 1 && Bottom == Height - 1;
    if (!whole || RowStride != 1) return nullptr;
    if (!RowsRead) ReadRows();
    return Rows.data();
  }
  // NextRowWhere's answer from the rows as read, a word each, when columns
  // x0..x1 of rows y0..y1 (y0 <= y1) all lie in the plane; kNoQuickRow
  // when the plane cannot give it.
  static constexpr int kNoQuickRow = -2147483647 - 1;
  [[gnu::noinline]] int QuickNextRow(int x0, int x1, int y0, int y1, unsigned mask, bool holds) const;

  // ScanRun's answer from a covered start, when the plane can give it: its
  // lines that way are read, a word each, and the scan ends inside the
  // plane or at the bitmap's edge.
  bool QuickRun(int x, int y, int direction, bool wantInk, int maxSteps, int& steps) const {
    if (static_cast<unsigned>(x - Left) > SpanX || static_cast<unsigned>(y - Top) > SpanY) return false;
    switch (direction) {
      case 0:  // up
        if (!OneWordColumns) return false;
        return RunToLow(Columns[static_cast<std::size_t>(x - Left)], y - Top, y + 1, wantInk, maxSteps,
                        steps);
      case 1:  // down
        if (!OneWordColumns) return false;
        return RunToHigh(Columns[static_cast<std::size_t>(x - Left)], y - Top, Bottom - y + 1, Height - y,
                         wantInk, maxSteps, steps);
      case 2:  // left
        if (!OneWordRows) return false;
        return RunToLow(Rows[static_cast<std::size_t>(y - Top)], x - Left, x + 1, wantInk, maxSteps, steps);
      case 3:  // right
        if (!OneWordRows) return false;
        return RunToHigh(Rows[static_cast<std::size_t>(y - Top)], x - Left, Right - x + 1, Width - x, wantInk,
                         maxSteps, steps);
      default: return false;
    }
  }

  // Ink runs of covered row y from x0 to x1, of covered column x from y0 to y1.
  int RowRuns(int y, int x0, int x1) {
    int runs;
    if (QuickRowRuns(y, x0, x1, runs)) return runs;
    return RowRunsRead(y, x0, x1);
  }
  int ColumnRuns(int x, int y0, int y1) {
    int runs;
    if (QuickColumnRuns(x, y0, y1, runs)) return runs;
    return ColumnRunsRead(x, y0, y1);
  }

 private:
  // The ink of covered row y as bits from column Left on (RowStride words),
  // of covered column x from row Top on (ColumnStride words); each read on
  // first use.
  const std::uint64_t* Row(int y) {
    if (!RowsRead) ReadRows();
    return &Rows[static_cast<std::size_t>((y - Top) * RowStride)];
  }
  const std::uint64_t* Column(int x) {
    if (!ColumnsRead) ReadColumns();
    return &Columns[static_cast<std::size_t>((x - Left) * ColumnStride)];
  }
  // Row y, columns x0..x1 (x0 <= x1) lie inside the plane; column x, rows
  // y0..y1 (y0 <= y1). Offsets as unsigned: one compare for each bound pair.
  bool CoversRow(int y, int x0, int x1) const {
    return static_cast<unsigned>(y - Top) <= SpanY &&
           static_cast<unsigned>(x0 - Left) <= static_cast<unsigned>(x1 - Left) &&
           static_cast<unsigned>(x1 - Left) <= SpanX;
  }
  bool CoversColumn(int x, int y0, int y1) const {
    return static_cast<unsigned>(x - Left) <= SpanX &&
           static_cast<unsigned>(y0 - Top) <= static_cast<unsigned>(y1 - Top) &&
           static_cast<unsigned>(y1 - Top) <= SpanY;
  }
  // A scan of a line's bits from bit `at` toward higher bits, `inPlane` of
  // them in the plane and `toEdge` before the bitmap's edge; toward lower
  // bits, where the plane and the bitmap both begin at bit 0 of the line
  // (`toEdge` pixels from `at` down to the bitmap's edge, at + 1 of them in
  // the plane).
  static bool RunToHigh(std::uint64_t line, int at, int inPlane, int toEdge, bool wantInk, int maxSteps,
                        int& steps) {
    const int n = maxSteps < toEdge ? maxSteps : toEdge;
    if (n <= 0) {
      steps = 0;
      return true;
    }
    const int m = n < inPlane ? n : inPlane;
    const std::uint64_t bits = line >> at;
    const std::uint64_t hits = (wantInk ? bits : ~bits) & bit_spans::LowBits(m);
    if (hits != 0) {
      steps = std::countr_zero(hits);
      return true;
    }
    steps = n;
    return m == n;
  }
  bool RunToLow(std::uint64_t line, int at, int toEdge, bool wantInk, int maxSteps, int& steps) const {
    const int n = maxSteps < toEdge ? maxSteps : toEdge;
    if (n <= 0) {
      steps = 0;
      return true;
    }
    const int inPlane = at + 1;
    const int m = n < inPlane ? n : inPlane;
    const std::uint64_t bits = line << (63 - at);
    const std::uint64_t hits = (wantInk ? bits : ~bits) & (bit_spans::kAll << (64 - m));
    if (hits != 0) {
      steps = std::countl_zero(hits);
      return true;
    }
    steps = n;
    return m == n;
  }
  // Ink and paper of the low `length` bits of a line.
  static unsigned LineClasses(std::uint64_t bits, int length) {
    const std::uint64_t full = bit_spans::LowBits(length), v = bits & full;
    return (v != 0 ? 1u : 0u) | (v != full ? 2u : 0u);
  }
  // Ink runs of the low `length` bits of a line.
  static int LineRuns(std::uint64_t bits, int length) {
    const std::uint64_t v = bits & bit_spans::LowBits(length);
    return bit_spans::BitCount(v & ~(v << 1));
  }
  // The same, reading the lines first where needed, over lines of any length.
  [[gnu::noinline]] unsigned ClassesRead(int x0, int y0, int x1, int y1, unsigned mask);
  [[gnu::noinline]] int RowRunsRead(int y, int x0, int x1);
  [[gnu::noinline]] int ColumnRunsRead(int x, int y0, int y1);
  // The classes of a covered rectangle, exact for those `wanted` (the caller
  // masks the rest).
  unsigned AreaClasses(int x0, int y0, int x1, int y1, unsigned wanted);

  void ReadRows();
  void ReadColumns();
  // Columns as the column source holds them over the rectangle at the page
  // origin; false, reading nothing, when it cannot give them.
  bool TakeSourceColumns();

  const TDIB* Bitmap = nullptr;
  int Threshold = 0;
  int Width = 0, Height = 0;  // of the bitmap
  int Left = 0, Top = 0, Right = -1, Bottom = -1;
  // Right - Left and Bottom - Top; the quick paths, which use them, never
  // run on an empty plane (its strides are 0).
  unsigned SpanX = 0, SpanY = 0;
  int RowStride = 0, ColumnStride = 0;
  bool RowsRead = false, ColumnsRead = false;
  bool OneWordRows = false, OneWordColumns = false;  // read, and a word each
  std::vector<std::uint64_t> Rows;                   // bit x - Left of row y
  std::vector<std::uint64_t> Columns;                // bit y - Top of column x
  // Where the rows are the page's ink too (see SetPageOrigin), else null.
  const TDIB* OriginPage = nullptr;
  int OriginLeft = 0, OriginTop = 0;
  TInkPlane* ColumnSource = nullptr;
};

// The planes of one dispatch: its glyph bitmap, and the page over the box
// widened by one pixel and reaching up to the ascender line and down to the
// descender line (where dots, accents and descenders are probed).
class TDispatchPlanes {
 public:
  void Open(const TDIB& glyphBitmap, const TDIB& page, int threshold, int left, int top, int right,
            int bottom, int ascLine, int descLine);
  void Close() {
    GlyphBitmap = Page = nullptr;
    ++Generation;
  }
  // Changes whenever Find's answers may: a holder of planes found here, from
  // the same bitmaps and threshold, still holds Find's answers while it is
  // the same.
  std::uint64_t FindGeneration() const { return Generation; }
  // While kept, a dispatch that names the planes of the one before reads
  // none of their pixels again; Forget says that pixels have changed.
  void Keep(bool keep) {
    Kept = keep;
    if (!keep) Valid = false;
  }
  void Forget() { Valid = GlyphOffered = false; }
  // A glyph bitmap just cut, whose ink at `threshold` the cut already holds
  // as bits: while kept, the next dispatch on it at that threshold takes
  // them instead of reading its pixels.
  // `samePage`, when not null, holds these very rows as its ink over the box
  // at (left, top).
  void OfferGlyphRows(const TDIB& glyphBitmap, int threshold, std::vector<std::uint64_t>& rows,
                      const TDIB* samePage, int left, int top) {
    if (!Kept) return;
    GlyphPlane.ResetWithRows(glyphBitmap, threshold, rows);
    if (samePage != nullptr) GlyphPlane.SetPageOrigin(*samePage, left, top);
    GlyphOffered = true;
  }
  // The plane of `bitmap` at `threshold`, or null.
  TInkPlane* Find(const TDIB& bitmap, int threshold) {
    if (threshold != Threshold) return nullptr;
    return &bitmap == GlyphBitmap ? &GlyphPlane : &bitmap == Page ? &PagePlane : nullptr;
  }

 private:
  bool Kept = false;          // a driver call keeps the planes between its dispatches
  bool Valid = false;         // the planes hold the pixels as they are
  bool GlyphOffered = false;  // the glyph plane holds the pixels as they are
  int Threshold = 0;
  const TDIB* GlyphBitmap = nullptr;
  const TDIB* Page = nullptr;
  std::uint64_t Generation = 0;  // Open and Close each count one
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
