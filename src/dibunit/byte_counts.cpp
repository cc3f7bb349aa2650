#include "dibunit/byte_counts.h"

namespace omniocr {

void TByteCounter::Add(const std::uint8_t* bytes, std::size_t count) {
  // A run of equal words is summed in a register and stored when it ends.
  std::uint8_t runValue = 0;
  std::uint64_t run = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    while (run != 0 && i + 32 <= count && ThirtyTwoBytesOf(bytes + i, runValue)) {
      run += 32;
      i += 32;
    }
    if (i + 8 > count) break;
    const std::uint8_t* p = bytes + i;
    std::uint8_t value;
    if (EightEqualBytes(p, value)) {
      if (value != runValue) {
        Parts[0][runValue] += run;
        runValue = value;
        run = 0;
      }
      run += 8;
      continue;
    }
    ++Parts[0][p[0]];
    ++Parts[1][p[1]];
    ++Parts[2][p[2]];
    ++Parts[3][p[3]];
    ++Parts[0][p[4]];
    ++Parts[1][p[5]];
    ++Parts[2][p[6]];
    ++Parts[3][p[7]];
  }
  Parts[0][runValue] += run;
  for (; i < count; ++i) ++Parts[0][bytes[i]];
}

void TByteCounter::AddTo(THistogram& counts) const {
  for (std::size_t v = 0; v < counts.size(); ++v)
    counts[v] += Parts[0][v] + Parts[1][v] + Parts[2][v] + Parts[3][v];
}

}  // namespace omniocr
