#include "dibunit/threshold.h"

#include <gtest/gtest.h>

#include "dibunit/errors.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

THistogram Levels(std::initializer_list<std::pair<int, std::uint64_t>> counts) {
  THistogram h{};
  for (auto [level, n] : counts) h[level] = n;
  return h;
}

TEST(Otsu, SplitsAsTheMethodSays) {
  struct Case {
    const char* what;
    THistogram histogram;
    int otsu, ink;
  } cases[] = {
      {"empty", THistogram{}, 127, 128},
      {"one level", Levels({{90, 50}}), 127, 128},
      {"black and white", Levels({{0, 10}, {255, 90}}), 0, 160},
      {"black on grey", Levels({{0, 10}, {200, 90}}), 0, 160},
      {"black on dark grey", Levels({{0, 10}, {100, 90}}), 0, 96},
      {"two levels above 0", Levels({{40, 10}, {200, 90}}), 40, 41},
      {"dark level a multiple of 8", Levels({{64, 10}, {255, 90}}), 64, 65},
      {"three levels", Levels({{40, 10}, {100, 10}, {220, 80}}), 100, 101},
  };
  for (const Case& c : cases) {
    const int k = OtsuThreshold(c.histogram);
    EXPECT_EQ(k, c.otsu) << c.what;
    EXPECT_EQ(InkThresholdFromOtsu(k, c.histogram), c.ink) << c.what;
  }
}

TEST(Histogram, CountsLevelsOrTheBlueOfTheirTableEntry) {
  auto dib = test::MakeGrey(4, 2, 200);
  dib->SetPixel(0, 0, 3);
  THistogram h;
  dib->Histogram(h);
  EXPECT_EQ(h[200], 7u);
  EXPECT_EQ(h[3], 1u);
  // Reserved bytes do not matter for the grey-ramp test; a colour table does.
  dib->SetPaletteEntry(3, 0xAA030303);
  EXPECT_TRUE(dib->IsGreyRamp());
  dib->SetPaletteEntry(3, 0x00000009);
  EXPECT_FALSE(dib->IsGreyRamp());
  dib->Histogram(h);
  EXPECT_EQ(h[9], 1u);
  EXPECT_EQ(h[3], 0u);
  TDIB sixteen;
  sixteen.CreateNew(2, 2, df16Bit, 96, 96);
  try {
    sixteen.Histogram(h);
    FAIL();
  } catch (const EOCRError& e) {
    EXPECT_STREQ(e.what(), "This operation requires 8 bit per pixel bitmap !");
  }
}

}  // namespace
}  // namespace omniocr
