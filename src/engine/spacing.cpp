// Spacing statistics of the lines: a typical gap weighted toward the larger
// gaps, a typical pitch, and whether the text is set at a fixed pitch.

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/arith.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::SpacingStatistics() {
  std::vector<int> doubledPitches;
  std::int64_t sum = 0, sumSq = 0;
  int previousCentre = -1000;
  const TOCRChar* prev = nullptr;
  for (int i = 0; i < Chars.Count(); ++i) {
    const TOCRChar& q = *Chars[i];
    if (q.HasEmptyBox()) continue;
    const int s = q.Left + q.Right;
    if (s - previousCentre > 4 && s - previousCentre < 150) doubledPitches.push_back(s - previousCentre);
    previousCentre = s;
    if (prev != nullptr) {
      const int e = std::max(q.Left - prev->Right + 1, 0);
      if (2 * e < 3 * MeanCharWidth && prev->Bottom - q.Bottom < MeanCharHeight / 2) {
        sum += e;
        sumSq += static_cast<std::int64_t>(e) * e;
      }
    }
    prev = &q;
  }
  if (sum != 0) {
    const double s = static_cast<double>(sum);
    GapEstimate = RoundHalfEven((static_cast<double>(sumSq) + s / 2 + 1) / s + 1);
  }
  if (!doubledPitches.empty()) {
    std::sort(doubledPitches.begin(), doubledPitches.end());
    const std::size_t n = doubledPitches.size();
    const double low = doubledPitches[n / 5];
    const double high = doubledPitches[7 * n / 10];
    FixedPitch = (high - low) / low < 0.22;
    PitchEstimate = doubledPitches[2 * n / 5] / 2;
  }
}

}  // namespace omniocr
