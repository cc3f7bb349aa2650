#pragma once

// Word breaks from the boxes: the engine's space records between the
// characters of a line are replaced by spaces where the gaps between the
// boxes say a word ends. Per line, boxes nested in another box (the dot in a
// dotted zero) are passed over and every gap is measured from the rightmost
// edge so far. A line whose box centres stand on the grid of the pitch the
// engine found breaks where two centres lie at least one and a half pitches
// apart (more for a box that fills two cells); other lines split their gaps
// into letter and word gaps by Otsu's method.

#include <vector>

#include "engine/ocr_types.h"

namespace omniocr::cli {

struct TPitch {
  bool Fixed = false;  // the engine found the text set at a fixed pitch
  int Width = 0;       // the pitch, in pixels
};

// Records in the engine's order and coordinates; line breaks, rejected
// records and characters outside any line keep the engine's spacing.
std::vector<TOCRChar> BreakWordsByGaps(const std::vector<TOCRChar>& records, const TPitch& pitch);

// The threshold that splits values into two groups by Otsu's method: the
// low group holds the values up to and including it. The largest value when
// the values do not split.
int OtsuSplit(std::vector<int> values);

}  // namespace omniocr::cli
