#include "dibunit/threshold.h"

#include <algorithm>
#include <cstdint>

namespace omniocr {

int OtsuThreshold(const THistogram& hist) {
  std::uint64_t cum[256];
  double mom[256];
  cum[0] = hist[0];
  mom[0] = 0.0;
  for (int i = 1; i < 256; ++i) {
    cum[i] = cum[i - 1] + hist[i];
    mom[i] = mom[i - 1] + static_cast<double>(static_cast<std::uint64_t>(i) * hist[i]);
  }
  const std::int32_t n = static_cast<std::int32_t>(cum[255]);
  if (n == 0) return 127;
  const double meanT = mom[255] / n;
  double best = 0.0;
  int result = 127;
  for (int i = 0; i < 256; ++i) {
    if (cum[i] == 0 || cum[i] == static_cast<std::uint64_t>(static_cast<std::int64_t>(n))) continue;
    const double omega = static_cast<double>(cum[i]);
    const double d = omega * meanT - mom[i];
    const std::int64_t product = static_cast<std::int64_t>(cum[i]) * (n - static_cast<std::int64_t>(cum[i]));
    const double s = (d / static_cast<double>(product)) * d;
    if (s > best) {
      best = s;
      result = i;
    }
  }
  return result;
}

int InkThresholdFromOtsu(int otsuLevel, const THistogram& hist) {
  if (otsuLevel > 0) return otsuLevel + 1;
  int lowestAboveZero = 255;
  for (int level = 1; level < 256; ++level) {
    if (hist[level] != 0) {
      lowestAboveZero = level;
      break;
    }
  }
  return std::min(160, lowestAboveZero & 0xF8);
}

}  // namespace omniocr
