#include "dibunit/prefault.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace omniocr {
namespace {

// Only the whole pages inside a block are touched, and what the block holds
// stays: blocks that start and end inside a page, small and large.
TEST(PrefaultForWriting, KeepsTheContentsOfAnyBlock) {
  for (const std::size_t size : {std::size_t{100}, kPrefaultMinBytes - 1, kPrefaultMinBytes + 4097})
    for (const std::size_t offset : {0u, 1u, 4095u}) {
      std::vector<std::uint8_t> bytes(size + offset);
      for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<std::uint8_t>(i * 7);
      const std::vector<std::uint8_t> before = bytes;
      PrefaultForWriting(bytes.data() + offset, size);
      EXPECT_EQ(bytes, before) << size << " bytes at " << offset;
    }
  PrefaultForWriting(nullptr, kPrefaultMinBytes);
}

}  // namespace
}  // namespace omniocr
