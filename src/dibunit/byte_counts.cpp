#include "dibunit/byte_counts.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace omniocr {

namespace {

// A byte value repeated, against which sixteen bytes are compared at once.
#ifdef __SSE2__
class TSixteenOf {
 public:
  explicit TSixteenOf(std::uint8_t value) : Pattern(_mm_set1_epi8(static_cast<char>(value))) {}
  bool Covers(const std::uint8_t* bytes) const {
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    return _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, Pattern)) == 0xFFFF;
  }
  bool CoversSixtyFour(const std::uint8_t* bytes) const {
    const auto* p = reinterpret_cast<const __m128i*>(bytes);
    const __m128i a = _mm_cmpeq_epi8(_mm_loadu_si128(p), Pattern);
    const __m128i b = _mm_cmpeq_epi8(_mm_loadu_si128(p + 1), Pattern);
    const __m128i c = _mm_cmpeq_epi8(_mm_loadu_si128(p + 2), Pattern);
    const __m128i d = _mm_cmpeq_epi8(_mm_loadu_si128(p + 3), Pattern);
    return _mm_movemask_epi8(_mm_and_si128(_mm_and_si128(a, b), _mm_and_si128(c, d))) == 0xFFFF;
  }

 private:
  __m128i Pattern;
};
#else
class TSixteenOf {
 public:
  explicit TSixteenOf(std::uint8_t value) : Pattern(value * std::uint64_t{0x0101010101010101}) {}
  bool Covers(const std::uint8_t* bytes) const {
    std::uint64_t a, b;
    std::memcpy(&a, bytes, 8);
    std::memcpy(&b, bytes + 8, 8);
    return ((a ^ Pattern) | (b ^ Pattern)) == 0;
  }
  bool CoversSixtyFour(const std::uint8_t* bytes) const {
    return Covers(bytes) && Covers(bytes + 16) && Covers(bytes + 32) && Covers(bytes + 48);
  }

 private:
  std::uint64_t Pattern;
};
#endif

}  // namespace

void TByteCounter::Add(const std::uint8_t* bytes, std::size_t count) {
  if (count == 0) return;
  // A run of one value is summed in a register and stored when it ends.
  std::uint8_t runValue = bytes[0];
  std::uint64_t run = 0;
  TSixteenOf pattern(runValue);
  auto addSixteen = [&](const std::uint8_t* p) {
    if (pattern.Covers(p)) {
      run += 16;
      return;
    }
    const TSixteenOf first(p[0]);
    if (first.Covers(p)) {
      Parts[0][runValue] += run;
      runValue = p[0];
      pattern = first;
      run = 16;
      return;
    }
    // Unrolled: the loop's own count and test cost as much as two bytes.
#pragma GCC unroll 4
    for (int k = 0; k < 16; k += 4) {
      ++Parts[0][p[k]];
      ++Parts[1][p[k + 1]];
      ++Parts[2][p[k + 2]];
      ++Parts[3][p[k + 3]];
    }
  };
  std::size_t i = 0;
  // Paper comes in long stretches: sixty-four bytes of the run's value are
  // passed over in one test, other stretches sixteen bytes at a time.
  for (; i + 64 <= count; i += 64) {
    const std::uint8_t* p = bytes + i;
    if (pattern.CoversSixtyFour(p)) {
      run += 64;
      continue;
    }
    addSixteen(p);
    addSixteen(p + 16);
    addSixteen(p + 32);
    addSixteen(p + 48);
  }
  for (; i + 16 <= count; i += 16) addSixteen(bytes + i);
  Parts[0][runValue] += run;
  for (; i < count; ++i) ++Parts[0][bytes[i]];
}

void TByteCounter::AddTo(THistogram& counts) const {
  for (std::size_t v = 0; v < counts.size(); ++v)
    counts[v] += Parts[0][v] + Parts[1][v] + Parts[2][v] + Parts[3][v];
}

}  // namespace omniocr
