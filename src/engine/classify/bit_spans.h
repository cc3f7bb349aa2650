#pragma once

// Spans of a line of pixels kept as bits in 64-bit words (pixel k in bit
// k % 64 of word k / 64): the tests the probes make of a row or a column,
// a word at a time. Every span is inclusive and lies inside the line.

#include <bit>
#include <cstdint>

namespace omniocr::bit_spans {

constexpr std::uint64_t kAll = ~std::uint64_t{0};

// The low `length` bits set (1 to 64).
inline std::uint64_t LowBits(int length) { return kAll >> (64 - length); }

// Bits set in a word, without a processor instruction for it.
inline int BitCount(std::uint64_t v) {
  v = v - ((v >> 1) & 0x5555555555555555ull);
  v = (v & 0x3333333333333333ull) + ((v >> 2) & 0x3333333333333333ull);
  v = (v + (v >> 4)) & 0x0F0F0F0F0F0F0F0Full;
  return static_cast<int>((v * 0x0101010101010101ull) >> 56);
}

// Pixels a .. a + length - 1 (length 1 to 64) from bit 0.
inline std::uint64_t Span(const std::uint64_t* words, int a, int length) {
  const int i = a >> 6, s = a & 63;
  std::uint64_t v = words[i] >> s;
  if (s + length > 64) v |= words[i + 1] << (64 - s);
  return v & LowBits(length);
}

// Whether pixels a..b hold a set bit (ink) and a clear one (paper): bit 1
// and bit 2 of the result, as far as `wanted` asks.
inline unsigned Classes(const std::uint64_t* words, int a, int b, unsigned wanted) {
  unsigned found = 0;
  for (; a <= b && (found & wanted) != wanted; a += 64) {
    const int length = b - a + 1 < 64 ? b - a + 1 : 64;
    const std::uint64_t v = Span(words, a, length);
    found |= (v != 0 ? 1u : 0u) | (v != LowBits(length) ? 2u : 0u);
  }
  return found;
}

// Runs of set bits along a..b, a run at either end included.
inline int Runs(const std::uint64_t* words, int a, int b) {
  int count = 0;
  std::uint64_t before = 0;  // the last bit of the previous piece
  for (; a <= b; a += 64) {
    const int length = b - a + 1 < 64 ? b - a + 1 : 64;
    const std::uint64_t v = Span(words, a, length);
    count += BitCount(v & ~((v << 1) | before));
    before = v >> (length - 1);
  }
  return count;
}

// The first pixel from a up to b whose bit is `set`; b + 1 when none is.
inline int FirstFrom(const std::uint64_t* words, int a, int b, bool set) {
  for (; a <= b; a += 64) {
    const int length = b - a + 1 < 64 ? b - a + 1 : 64;
    const std::uint64_t v = (set ? Span(words, a, length) : ~Span(words, a, length)) & LowBits(length);
    if (v != 0) return a + std::countr_zero(v);
  }
  return b + 1;
}

// The first pixel from b down to a whose bit is `set`; a - 1 when none is.
inline int LastFrom(const std::uint64_t* words, int a, int b, bool set) {
  for (; b >= a; b -= 64) {
    const int length = b - a + 1 < 64 ? b - a + 1 : 64;
    const int start = b - length + 1;
    const std::uint64_t v =
        (set ? Span(words, start, length) : ~Span(words, start, length)) & LowBits(length);
    if (v != 0) return start + 63 - std::countl_zero(v);
  }
  return a - 1;
}

}  // namespace omniocr::bit_spans
