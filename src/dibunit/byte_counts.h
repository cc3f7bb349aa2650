#pragma once

// How many times each byte value occurs in runs of bytes. A page is mostly
// paper, so sixty-four or sixteen equal bytes are counted at once; the other
// bytes go to four partial counts, which breaks the store-to-load chain on a
// run of one value.

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "dibunit/dib.h"

namespace omniocr {

// True when the eight bytes at `bytes` are all equal; `value` is that byte.
inline bool EightEqualBytes(const std::uint8_t* bytes, std::uint8_t& value) {
  std::uint64_t word;
  std::memcpy(&word, bytes, sizeof word);
  value = bytes[0];
  return word == value * std::uint64_t{0x0101010101010101};
}

// True when the 32 bytes at `bytes` all hold `value`: one test for a stretch
// of paper.
inline bool ThirtyTwoBytesOf(const std::uint8_t* bytes, std::uint8_t value) {
  const std::uint64_t pattern = value * std::uint64_t{0x0101010101010101};
  std::uint64_t a, b, c, d;
  std::memcpy(&a, bytes, 8);
  std::memcpy(&b, bytes + 8, 8);
  std::memcpy(&c, bytes + 16, 8);
  std::memcpy(&d, bytes + 24, 8);
  return ((a ^ pattern) | (b ^ pattern) | (c ^ pattern) | (d ^ pattern)) == 0;
}

class TByteCounter {
 public:
  void Add(const std::uint8_t* bytes, std::size_t count);
  // The counts so far, added to `counts`.
  void AddTo(THistogram& counts) const;

 private:
  std::uint64_t Parts[4][256] = {};
};

}  // namespace omniocr
