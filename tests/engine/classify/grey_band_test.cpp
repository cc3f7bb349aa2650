// The grey levels between two thresholds: a pixel there is ink at one and
// paper at the other, so only their absence lets one dispatch stand for
// another.

#include "engine/classify/grey_band.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "support/test_bitmaps.h"

namespace omniocr::test {
namespace {

// The band follows the pixel test: the grey level (low three bits cleared)
// against the threshold's low byte.
TEST(GreyBand, HoldsTheLevelsOneThresholdCallsInkAndTheOtherPaper) {
  for (int t1 : {1, 100, 160, 161, 167, 200, 248, 255})
    for (int t2 : {1, 100, 160, 161, 167, 200, 248, 255}) {
      const TGreyBand band(t1, t2);
      for (int b = 0; b < 256; ++b) {
        const std::uint8_t byte = static_cast<std::uint8_t>(b);
        const bool differs = IsInkByte(byte, t1) != IsInkByte(byte, t2);
        EXPECT_EQ(AnyPixelIn(&byte, 1, band), differs) << t1 << " " << t2 << " byte " << b;
      }
    }
  EXPECT_TRUE(TGreyBand(160, 168).Lo == 160 && TGreyBand(160, 168).Hi == 168);
  EXPECT_TRUE(TGreyBand(160, 256 + 160).Empty()) << "only the low byte counts";
}

// Sixteen bytes at a time and the bytes after them: a band byte anywhere in
// a run of any length is found, and none is found where there is none.
TEST(GreyBand, FindsAByteAtEveryPositionOfARun) {
  const TGreyBand band(160, 192);
  for (int n : {1, 15, 16, 17, 40}) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(n), 255);
    bytes[0] = 0;
    EXPECT_FALSE(AnyPixelIn(bytes.data(), bytes.size(), band)) << n;
    for (int at = 0; at < n; ++at) {
      std::vector<std::uint8_t> one = bytes;
      one[static_cast<std::size_t>(at)] = 176;
      EXPECT_TRUE(AnyPixelIn(one.data(), one.size(), band)) << n << " at " << at;
    }
  }
}

// A page's answer is kept until the page is said to have changed.
TEST(GreyBand, PageAnswerKeptUntilForgotten) {
  auto page = FromArt({"......", ".####.", "......"});
  TPageGreyBands bands;
  const TGreyBand band(160, 192);
  EXPECT_FALSE(bands.AnyPixelIn(*page, band, 1, 1));
  page->Row(2)[5] = 176;  // outside the rows looked at first
  EXPECT_FALSE(bands.AnyPixelIn(*page, band, 1, 1)) << "kept";
  bands.Forget();
  EXPECT_TRUE(bands.AnyPixelIn(*page, band, 1, 1));
}

}  // namespace
}  // namespace omniocr::test
