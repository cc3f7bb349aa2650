#pragma once

#include "dibunit/dib.h"

namespace omniocr {

// Otsu's split of a grey histogram: the lowest level k whose between-class
// variance is maximal, the dark class holding the levels 0..k. 127 when no
// level splits the pixels (one level only, or no pixels at all).
int OtsuThreshold(const THistogram& histogram);

// The ink threshold of a run from Otsu's split k. A pixel is ink when its
// grey level is below the threshold, so the dark class needs k + 1. When the
// split is at 0 (black and exactly one other level) the threshold is 160, or
// lower when the other level is darker than that, so that dark paper is not
// taken for ink.
int InkThresholdFromOtsu(int otsuLevel, const THistogram& histogram);

}  // namespace omniocr
