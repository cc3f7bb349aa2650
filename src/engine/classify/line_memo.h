#pragma once

// The measurements of the glyph bitmap's rows and columns that the
// recognisers of one dispatch ask for again and again: each is made the
// first time it is asked for and kept for the rest of the dispatch. A view
// claims the memo only while the dispatch's ink planes are open, when no
// pixel of the bitmap can change, so a kept value is the value the probe
// would measure again.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace omniocr {

// The measures of lines 0 .. kLines - 1, N of each line side by side, each
// never negative and taken on first use; values too large to keep are
// measured every time. The caller keeps lines beyond those the memo cleared
// away (one bounds test it makes anyway).
template <int N>
class TLineMeasures {
 public:
  static constexpr int kLines = 256;

  // Lines 0 .. lines - 1 unknown (every byte 0xFF, -1): one block for all
  // the measures of those lines, and none for lines no view asks for.
  void Forget(int lines) { std::memset(Value, 0xFF, sizeof Value[0] * static_cast<std::size_t>(lines)); }

  template <class Measure>
  [[gnu::always_inline]] int Get(int line, int which, Measure measure) {
    const int kept = Value[line][which];
    return kept >= 0 ? kept : Keep(line, which, measure());
  }
  // The value kept for a line, -1 when there is none.
  int Known(int line, int which) const { return Value[line][which]; }
  // Keeps a value known to fit (0 to INT16_MAX) without a test.
  void KeepSmall(int line, int which, int value) { Value[line][which] = static_cast<std::int16_t>(value); }

 private:
  int Keep(int line, int which, int value) {
    if (value <= INT16_MAX) Value[line][which] = static_cast<std::int16_t>(value);
    return value;
  }

  std::int16_t Value[kLines][N];
};

// The measures of the glyph bitmap seen from its origin: those of rows for
// the first view width that claims them, those of columns for the first
// view height (a row's margins and crossings depend on the width, a
// column's on the height). A view claims them when it is made, so that each
// later measure costs it one bounds test before the kept value's own.
class TLineMemo {
 public:
  enum TRowMeasure { kRowCrossings, kLeftMargin, kRightMargin, kFirstRunWidth, kRowMeasures };  // hx lm rm fw
  enum TColumnMeasure { kColumnCrossings, kTopMargin, kColumnMeasures };                        // vx tm

  // The rows 0 .. n - 1 the memo keeps for a view `width` wide that asks
  // for `lines` of them (the columns for one `height` high): the first to
  // ask claims them, and only the lines it asks for are cleared; 0 for any
  // other size.
  int ClaimRows(int width, int lines) {
    if (RowsWidth == kUnclaimed) {
      RowsWidth = width;
      RowLines = lines < TLineMeasures<kRowMeasures>::kLines ? lines : TLineMeasures<kRowMeasures>::kLines;
      Rows.Forget(RowLines);
    }
    return RowsWidth == width ? RowLines : 0;
  }
  int ClaimColumns(int height, int lines) {
    if (ColumnsHeight == kUnclaimed) {
      ColumnsHeight = height;
      ColumnLines =
          lines < TLineMeasures<kColumnMeasures>::kLines ? lines : TLineMeasures<kColumnMeasures>::kLines;
      Columns.Forget(ColumnLines);
    }
    return ColumnsHeight == height ? ColumnLines : 0;
  }

  TLineMeasures<kRowMeasures> Rows;
  TLineMeasures<kColumnMeasures> Columns;
  // The left and right margins of every row were kept at once, or cannot
  // be (see TGlyphView::KeepRowMargins).
  bool RowMarginsTried = false;

 private:
  static constexpr int kUnclaimed = -1;  // no view is that wide or high

  int RowsWidth = kUnclaimed;
  int ColumnsHeight = kUnclaimed;
  int RowLines = 0, ColumnLines = 0;
};

}  // namespace omniocr
