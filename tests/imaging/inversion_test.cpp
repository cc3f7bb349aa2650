#include "imaging/inversion.h"

#include <gtest/gtest.h>

#include "block_text.h"
#include "imaging/pixel_access.h"
#include "imaging/transforms.h"

namespace omniocr {
namespace {

using test::BlockTextPage;
using test::TBlockText;

TEST(Inversion, OnlyPagesThatAreMostlyInkCountAsNegatives) {
  for (const int bits : {1, 8, 24}) {
    TDibGraphic page = BlockTextPage(TBlockText());
    TImageFormatTransform(bits).Apply(page);
    EXPECT_FALSE(IsMostlyDark(page)) << bits;
    InvertImage(page);
    EXPECT_TRUE(IsMostlyDark(page)) << bits;
  }
  TDibGraphic white;
  white.SetSize(50, 40, 8);
  for (int y = 0; y < white.Height(); ++y)
    std::fill(white.ScanLine(y), white.ScanLine(y) + white.Width(), 255);
  EXPECT_FALSE(IsMostlyDark(white));
  EXPECT_FALSE(IsMostlyDark(TDibGraphic()));
}

TEST(Inversion, EveryPixelTurnsToItsComplementInItsOwnFormat) {
  for (const int bits : {1, 4, 8, 24}) {
    TDibGraphic image;
    image.SetSize(9, 3, bits);
    for (int x = 0; x < 9; ++x) {
      if (bits == 24)
        SetColor24(image.ScanLine(1), x, MakeColor(x * 20, 255 - x, 7));
      else
        SetIndex(image.ScanLine(1), x, bits, static_cast<unsigned>(x) % (1u << bits));
    }
    if (bits == 8) image.Palette()[3] |= 0x55000000u;  // a reserved byte stays
    const TDibGraphic before = image;
    InvertImage(image);
    EXPECT_EQ(image.BitCount(), bits);
    for (int x = 0; x < 9; ++x)
      EXPECT_EQ(GetColor(image.ScanLine(1), x, bits, image.Palette()),
                GetColor(before.ScanLine(1), x, bits, before.Palette()) ^ 0xFFFFFFu)
          << bits << " bits at " << x;
    if (bits == 8) {
      EXPECT_EQ(image.Palette()[3] >> 24, 0x55u);
    }
  }
}

}  // namespace
}  // namespace omniocr
