#pragma once

// The measurements of the glyph bitmap's rows and columns that the
// recognisers of one dispatch ask for again and again: each is made the
// first time it is asked for and kept for the rest of the dispatch. Kept
// values are used only while the dispatch's ink planes are open, when no
// pixel of the bitmap can change, so a kept value is the value the probe
// would measure again.

#include <cstdint>
#include <cstring>
#include <type_traits>

#include "dibunit/dib.h"
#include "engine/classify/ink_plane.h"

namespace omniocr {

// One measurement, never negative, of lines 0 .. kLines - 1, each taken on
// first use; lines beyond, and values too large to keep, are measured every
// time.
class TLineMeasure {
 public:
  static constexpr int kLines = 256;

  // Every line unknown is every byte 0xFF (-1), set by the memo for all its
  // measures at once.
  TLineMeasure() = default;

  template <class Measure>
  [[gnu::always_inline]] int Get(int line, Measure measure) {
    if (static_cast<unsigned>(line) >= static_cast<unsigned>(kLines)) return measure();
    const int kept = Value[line];
    return kept >= 0 ? kept : Keep(line, measure());
  }

 private:
  int Keep(int line, int value) {
    if (value <= INT16_MAX) Value[line] = static_cast<std::int16_t>(value);
    return value;
  }

  std::int16_t Value[kLines];
};

// The measures of the glyph bitmap seen from its origin: those of rows for
// the first view width asked with, those of columns for the first view
// height (a row's crossings depend on the width, a column's on the height).
class TLineMemo {
 public:
  // One clearing for all the measures, not one apiece: a dispatch makes a
  // memo, and six block stores each with their own start-up cost showed.
  TLineMemo() {
    static_assert(std::is_trivially_copyable_v<TMeasures>);
    std::memset(&Kept, 0xFF, sizeof Kept);
  }

  bool KeepsRows(const TDIB& bitmap, int threshold, int width) {
    return RowsWidth == width || DecideRows(bitmap, threshold, width);
  }
  bool KeepsColumns(const TDIB& bitmap, int threshold, int height) {
    return ColumnsHeight == height || DecideColumns(bitmap, threshold, height);
  }

  struct TMeasures {
    TLineMeasure RowCrossings;                               // hx
    TLineMeasure LeftMargins, RightMargins, FirstRunWidths;  // lm, rm, fw
    TLineMeasure ColumnCrossings;                            // vx
    TLineMeasure TopMargins;                                 // tm
  };
  TMeasures Kept;

 private:
  static constexpr int kUndecided = -1, kNever = -2;  // no view is that wide or high
  static bool PixelsKept(const TDIB& bitmap, int threshold) {
    return ActivePlane(bitmap, threshold) != nullptr;
  }
  [[gnu::noinline]] bool DecideRows(const TDIB& bitmap, int threshold, int width) {
    if (RowsWidth == kUndecided) RowsWidth = PixelsKept(bitmap, threshold) ? width : kNever;
    return RowsWidth == width;
  }
  [[gnu::noinline]] bool DecideColumns(const TDIB& bitmap, int threshold, int height) {
    if (ColumnsHeight == kUndecided) ColumnsHeight = PixelsKept(bitmap, threshold) ? height : kNever;
    return ColumnsHeight == height;
  }

  int RowsWidth = kUndecided;
  int ColumnsHeight = kUndecided;
};

}  // namespace omniocr
