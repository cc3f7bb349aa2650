#include "imaging/ink_mask.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include <algorithm>
#include <random>

#include "dibunit/threshold.h"
#include "imaging/pixel_access.h"

namespace omniocr {
namespace {

// The mask and the histogram are assembled a row word or a colour-table
// index at a time; each must agree with the grey level of every pixel taken
// one by one. Widths around a word's 32 pixels and a byte's 8, tables that
// are no grey ramp, dark pixels on light and the other way round, and
// indices beyond the table. Rows of long equal runs, which start and end
// anywhere in a word, as well as rows of scattered pixels.
TEST(InkMask, AgreesWithTheGreyLevelOfEveryPixel) {
  std::mt19937 random(7);
  for (const int bits : {1, 4, 8, 24})
    for (const int width : {1, 7, 8, 31, 32, 33, 70, 100})
      for (const bool inkIsRare : {true, false})
        for (const bool runs : {false, true}) {
          TDibGraphic image;
          image.SetSize(width, 5, bits);
          if (bits == 1 && !inkIsRare) image.Palette() = {0xFFFFFFu, 0x000000u};
          if (bits == 8) image.Palette().resize(200);
          if (bits == 4) image.Palette()[3] = MakeColor(200, 10, 10);
          for (int y = 0; y < image.Height(); ++y) {
            const int runLength = 5 + 6 * y;
            for (int x = 0; x < width; ++x) {
              const bool dark =
                  runs ? ((x + y) / runLength % 3 == 1) == inkIsRare : (random() % 10 < 3) == inkIsRare;
              // Equal runs use one value each: paper inside the table, or (in
              // the last row) beyond it.
              const unsigned paper = runs ? (y == 4 ? 250u : 180u) : 160 + random() % 96;
              const unsigned index =
                  runs ? (dark ? 2u : (1u << bits) - 1 - (y % 2))
                       : static_cast<unsigned>(dark ? random() % 4 : (1u << bits) - 1 - random() % 4);
              if (bits == 24)
                SetColor24(image.ScanLine(y), x, GreyColor(dark ? (runs ? 30u : random() % 90) : paper));
              else if (bits == 1)
                SetIndex(image.ScanLine(y), x, 1, dark == (image.Palette()[0] == 0u) ? 0 : 1);
              else if (bits == 8 && runs)
                image.ScanLine(y)[x] = static_cast<std::uint8_t>(dark ? 2u : paper);
              else
                SetIndex(image.ScanLine(y), x, bits, index);
            }
          }
          // The padding at the end of each row is no pixel.
          const int rowBytes = (width * bits + 7) / 8;
          for (int y = 0; y < image.Height(); ++y)
            std::fill(image.ScanLine(y) + rowBytes, image.ScanLine(y) + image.Stride(), std::uint8_t{0x5A});
          THistogram expected{};
          for (int y = 0; y < image.Height(); ++y)
            for (int x = 0; x < width; ++x)
              ++expected[GreyOf(GetColor(image.ScanLine(y), x, bits, image.Palette()))];
          const std::string what =
              std::to_string(bits) + " bits, " + std::to_string(width) + " wide" + (runs ? ", runs" : "");
          ASSERT_EQ(GreyHistogram(image), expected) << what;
          const int threshold = InkThresholdFromOtsu(OtsuThreshold(expected), expected);
          std::uint64_t ink = 0;
          const TPixPtr mask = InkMask(image);
          ASSERT_EQ(pixGetWidth(mask.get()), width);
          for (int y = 0; y < image.Height(); ++y) {
            const l_uint32* line = pixGetData(mask.get()) + y * pixGetWpl(mask.get());
            for (int x = 0; x < width; ++x) {
              const bool isInk = GreyOf(GetColor(image.ScanLine(y), x, bits, image.Palette())) <
                                 static_cast<unsigned>(threshold);
              ink += isInk ? 1 : 0;
              ASSERT_EQ(GET_DATA_BIT(line, x) != 0, isInk) << what << " at " << x << "," << y;
            }
            // Leptonica reads whole words: the bits past the row's end stay 0.
            for (int x = width; x < 32 * pixGetWpl(mask.get()); ++x)
              ASSERT_EQ(GET_DATA_BIT(line, x), 0u) << what << " past the end at " << x;
          }
          EXPECT_EQ(InkPixels(expected), ink) << what;
        }
}

// A page whose table holds no level dark enough has no ink: its mask is
// clear, also where its memory held set bits before (the block of a freed
// mask of the same size, which the allocator hands out again).
TEST(InkMask, APageWithoutInkGivesAClearMask) {
  TDibGraphic image;
  image.SetSize(70, 5, 8);
  image.Palette().assign(256, GreyColor(230));
  {
    const TPixPtr dirty(pixCreate(70, 5, 1));
    pixSetAll(dirty.get());
  }
  const TPixPtr mask = InkMask(image);
  const l_uint32* words = pixGetData(mask.get());
  for (int i = 0; i < pixGetWpl(mask.get()) * 5; ++i) ASSERT_EQ(words[i], 0u) << "word " << i;
}

// Grey pages whose ink is every level below the threshold are masked sixteen
// bytes at a time, and sixty-four bytes without ink in one test: levels
// either side of the threshold, on both sides of 128 (where a signed compare
// would go wrong), at 0 and 255, in rows that are no whole number of words,
// with ink dense or so sparse that most stretches of sixty-four hold none.
TEST(InkMask, GreyRampPagesAgreeAtTheThreshold) {
  std::mt19937 random(11);
  const struct {
    int dark, paper;
  } pairs[] = {{0, 255}, {1, 2}, {127, 128}, {126, 129}, {100, 200}, {200, 254}, {253, 255}};
  for (const auto& pair : pairs)
    for (const int width : {1, 31, 32, 33, 63, 64, 100, 200})
      for (const unsigned inkOneIn : {3u, 90u}) {
        TDibGraphic image;
        image.SetSize(width, 4, 8);
        for (int y = 0; y < image.Height(); ++y)
          for (int x = 0; x < width; ++x) {
            // Mostly the two levels, now and then one level beside either.
            const int level = (random() % inkOneIn == 0 ? pair.dark : pair.paper) +
                              static_cast<int>(random() % 5) / 4 - static_cast<int>(random() % 5) / 4;
            image.ScanLine(y)[x] = static_cast<std::uint8_t>(std::clamp(level, 0, 255));
          }
        const THistogram histogram = GreyHistogram(image);
        const int threshold = InkThreshold(histogram);
        const TPixPtr mask = InkMask(image, histogram);
        const std::string what = std::to_string(pair.dark) + "/" + std::to_string(pair.paper) + ", " +
                                 std::to_string(width) + " wide, threshold " + std::to_string(threshold);
        for (int y = 0; y < image.Height(); ++y) {
          const l_uint32* line = pixGetData(mask.get()) + y * pixGetWpl(mask.get());
          for (int x = 0; x < 32 * pixGetWpl(mask.get()); ++x) {
            const bool isInk = x < width && image.ScanLine(y)[x] < threshold;
            ASSERT_EQ(GET_DATA_BIT(line, x) != 0, isInk) << what << " at " << x << "," << y;
          }
        }
      }
}

}  // namespace
}  // namespace omniocr
