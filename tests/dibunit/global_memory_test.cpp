#include "dibunit/global_memory.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "dibunit/errors.h"

namespace omniocr {
namespace {

TEST(GlobalMemory, AllocatesZeroFilledBlocksThatLockNestAndResize) {
  TGlobalHandle h = GlobalAllocZeroed(16);
  EXPECT_EQ(GlobalSize(h), 16u);
  auto* p = static_cast<unsigned char*>(GlobalLock(h));
  for (int i = 0; i < 16; ++i) EXPECT_EQ(p[i], 0);
  std::memset(p, 7, 16);
  EXPECT_EQ(GlobalLock(h), p);
  EXPECT_EQ(GlobalLockCount(h), 2);
  EXPECT_TRUE(GlobalUnlock(h));
  EXPECT_FALSE(GlobalUnlock(h));
  EXPECT_EQ(GlobalReAlloc(h, 32), h);
  p = static_cast<unsigned char*>(GlobalLock(h));
  EXPECT_EQ(p[15], 7);
  EXPECT_EQ(p[16], 0);
  GlobalUnlock(h);
  GlobalFree(h);
}

TEST(GlobalMemory, FailuresRaiseTheSystemErrorText) {
  EXPECT_THROW(GlobalLock(nullptr), EOCRError);
  TGlobalHandle h = GlobalAllocZeroed(8);
  GlobalLock(h);
  EXPECT_THROW(GlobalReAlloc(h, 64), EOCRError);  // locked blocks do not move
  GlobalUnlock(h);
  GlobalFailNextAllocations(1);
  try {
    GlobalReAlloc(h, 64);
    FAIL() << "no exception";
  } catch (const EOCRError& e) {
    EXPECT_EQ(std::string(e.what()), std::system_category().message(ENOMEM));
  }
  EXPECT_EQ(GlobalSize(h), 8u);
  GlobalFree(h);
  GlobalFailNextAllocations(1);
  EXPECT_THROW(GlobalAllocZeroed(8), EOCRError);
}

// An adopted block owns the memory it is given: freed with the block, or at
// once when no block can be made (the sanitizer build reports a leak).
TEST(GlobalMemory, AdoptedMemoryBelongsToTheBlock) {
  auto* data = static_cast<unsigned char*>(std::malloc(16));
  ASSERT_NE(data, nullptr);
  data[15] = 7;
  TGlobalHandle h = GlobalAdopt(data, 16);
  EXPECT_EQ(GlobalSize(h), 16u);
  EXPECT_EQ(GlobalLock(h), data);
  GlobalUnlock(h);
  GlobalReAlloc(h, 32);
  EXPECT_EQ(static_cast<unsigned char*>(GlobalLock(h))[15], 7);
  GlobalUnlock(h);
  GlobalFree(h);
  GlobalFailNextAllocations(1);
  EXPECT_THROW(GlobalAdopt(std::malloc(16), 16), EOCRError);
}

}  // namespace
}  // namespace omniocr
