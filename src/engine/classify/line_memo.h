#pragma once

// The measurements of the glyph bitmap's rows and columns that the
// recognisers of one dispatch ask for again and again: each is made the
// first time it is asked for and kept for the rest of the dispatch. A view
// claims the memo only while the dispatch's ink planes are open, when no
// pixel of the bitmap can change, so a kept value is the value the probe
// would measure again.

#include <cstdint>
#include <cstring>
#include <type_traits>

namespace omniocr {

// One measurement, never negative, of lines 0 .. kLines - 1, each taken on
// first use; values too large to keep are measured every time. The caller
// keeps lines beyond kLines away (one bounds test it makes anyway).
class TLineMeasure {
 public:
  static constexpr int kLines = 256;

  // Every line unknown is every byte 0xFF (-1), set by the memo for all its
  // measures at once.
  TLineMeasure() = default;

  template <class Measure>
  [[gnu::always_inline]] int Get(int line, Measure measure) {
    const int kept = Value[line];
    return kept >= 0 ? kept : Keep(line, measure());
  }
  // The value kept for a line, -1 when there is none.
  int Known(int line) const { return Value[line]; }
  // Keeps a value known to fit (0 to INT16_MAX) without a test.
  void KeepSmall(int line, int value) { Value[line] = static_cast<std::int16_t>(value); }

 private:
  int Keep(int line, int value) {
    if (value <= INT16_MAX) Value[line] = static_cast<std::int16_t>(value);
    return value;
  }

  std::int16_t Value[kLines];
};

// The measures of the glyph bitmap seen from its origin: those of rows for
// the first view width that claims them, those of columns for the first
// view height (a row's margins and crossings depend on the width, a
// column's on the height). A view claims them when it is made, so that each
// later measure costs it one bounds test before the kept value's own.
class TLineMemo {
 public:
  // One clearing for all the measures, not one apiece: a dispatch makes a
  // memo, and six block stores each with their own start-up cost showed.
  TLineMemo() {
    static_assert(std::is_trivially_copyable_v<TMeasures>);
    std::memset(&Kept, 0xFF, sizeof Kept);
  }

  // Whether the memo keeps the rows of a view `width` wide (the columns of
  // one `height` high): the first to ask claims them.
  bool ClaimRows(int width) {
    if (RowsWidth == kUnclaimed) RowsWidth = width;
    return RowsWidth == width;
  }
  bool ClaimColumns(int height) {
    if (ColumnsHeight == kUnclaimed) ColumnsHeight = height;
    return ColumnsHeight == height;
  }

  struct TMeasures {
    TLineMeasure RowCrossings;                               // hx
    TLineMeasure LeftMargins, RightMargins, FirstRunWidths;  // lm, rm, fw
    TLineMeasure ColumnCrossings;                            // vx
    TLineMeasure TopMargins;                                 // tm
  };
  TMeasures Kept;
  // The left and right margins of every row were kept at once, or cannot
  // be (see TGlyphView::KeepRowMargins).
  bool RowMarginsTried = false;

 private:
  static constexpr int kUnclaimed = -1;  // no view is that wide or high

  int RowsWidth = kUnclaimed;
  int ColumnsHeight = kUnclaimed;
};

}  // namespace omniocr
