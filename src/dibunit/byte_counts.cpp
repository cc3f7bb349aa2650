#include "dibunit/byte_counts.h"

#include <emmintrin.h>

namespace omniocr {

void TByteCounter::Add(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0) return;
  // A run of one value is summed in a register and stored when it ends.
  std::uint8_t runValue = bytes[0];
  std::uint64_t run = 0;
  __m128i pattern = _mm_set1_epi8(static_cast<char>(runValue));
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16) {
    const std::uint8_t* p = bytes + i;
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, pattern)) == 0xFFFF) {
      run += 16;
      continue;
    }
    const __m128i first = _mm_set1_epi8(static_cast<char>(p[0]));
    if (_mm_movemask_epi8(_mm_cmpeq_epi8(chunk, first)) == 0xFFFF) {
      Parts[0][runValue] += run;
      runValue = p[0];
      pattern = first;
      run = 16;
      continue;
    }
    for (int k = 0; k < 16; k += 4) {
      ++Parts[0][p[k]];
      ++Parts[1][p[k + 1]];
      ++Parts[2][p[k + 2]];
      ++Parts[3][p[k + 3]];
    }
  }
  Parts[0][runValue] += run;
  for (; i < count; ++i) ++Parts[0][bytes[i]];
}

void TByteCounter::AddTo(THistogram& counts) const {
  for (std::size_t v = 0; v < counts.size(); ++v)
    counts[v] += Parts[0][v] + Parts[1][v] + Parts[2][v] + Parts[3][v];
}

}  // namespace omniocr
