#include "imaging/transforms.h"

#include <gtest/gtest.h>

#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {
namespace {

// A 1-bit image in which pixel (x, y) is set when (x + 2y) % 3 == 0: offsets
// that are not byte-aligned show every shift error.
TDibGraphic Pattern(int width, int height, int bitCount) {
  TDibGraphic g;
  g.SetSize(width, height, bitCount);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (bitCount == 24)
        SetColor24(g.ScanLine(y), x, MakeColor(x, y, 7));
      else
        SetIndex(g.ScanLine(y), x, bitCount, (x + 2 * y) % 3 == 0 ? 1 : 0);
  return g;
}

TEST(CropTransform, CopiesLeftToRightMinusOneInTheSourceFormat) {
  for (int bits : {1, 4, 8, 24}) {
    TDibGraphic source = Pattern(21, 9, bits);
    source.XDpi = 200;
    TDibGraphic zone;
    TCropTransform(3, 2, 14, 7).ApplyOnDest(source, zone);
    ASSERT_EQ(zone.Width(), 11) << bits;
    ASSERT_EQ(zone.Height(), 5) << bits;
    EXPECT_EQ(zone.BitCount(), bits);
    EXPECT_EQ(zone.XDpi, 200);
    for (int y = 0; y < 5; ++y)
      for (int x = 0; x < 11; ++x)
        ASSERT_EQ(GetColor(zone.ScanLine(y), x, bits, zone.Palette()),
                  GetColor(source.ScanLine(y + 2), x + 3, bits, source.Palette()))
            << bits << " at " << x << "," << y;
  }
}

TEST(CropTransform, ClipsAtTheEdgesAndRefusesEmptyRectangles) {
  TDibGraphic source = Pattern(10, 8, 8);
  TDibGraphic zone;
  TCropTransform(6, 5, 40, 40).ApplyOnDest(source, zone);
  EXPECT_EQ(zone.Width(), 4);
  EXPECT_EQ(zone.Height(), 3);
  TCropTransform(-5, -5, 2, 2).ApplyOnDest(source, zone);
  EXPECT_EQ(zone.Width(), 2);
  EXPECT_EQ(zone.ScanLine(0)[0], source.ScanLine(0)[0]);

  const TCropTransform invalid[] = {{4, 2, 4, 6}, {5, 2, 4, 6}, {1, 3, 4, 3}, {10, 0, 12, 4}, {0, 8, 4, 9}};
  for (const TCropTransform& crop : invalid) {
    try {
      crop.ApplyOnDest(source, zone);
      ADD_FAILURE() << crop.Left << "," << crop.Top << "," << crop.Right << "," << crop.Bottom;
    } catch (const EImageError& e) {
      EXPECT_STREQ(e.what(), "Invalid crop parameters");
    }
  }
}

TEST(CropTransform, MayCropAnImageIntoItself) {
  TDibGraphic image = Pattern(12, 6, 1);
  const unsigned expected = GetIndex(image.ScanLine(3), 5, 1);
  TCropTransform(4, 2, 9, 5).ApplyOnDest(image, image);
  EXPECT_EQ(image.Width(), 5);
  EXPECT_EQ(GetIndex(image.ScanLine(1), 1, 1), expected);
}

TEST(ImageFormatTransform, ConvertsEveryFormatToTrueColourThroughItsTable) {
  TDibGraphic bilevel = Pattern(5, 2, 1);
  TImageFormatTransform(24).Apply(bilevel);
  EXPECT_EQ(bilevel.BitCount(), 24);
  EXPECT_EQ(GetColor(bilevel.ScanLine(0), 0, 24, {}), 0xFFFFFFu);  // index 1 is white
  EXPECT_EQ(GetColor(bilevel.ScanLine(0), 1, 24, {}), 0u);

  TDibGraphic palette;
  palette.SetSize(1, 1, 8);
  palette.Palette()[0] = MakeColor(10, 20, 30);
  TImageFormatTransform().Apply(palette);
  EXPECT_EQ(GetColor(palette.ScanLine(0), 0, 24, {}), MakeColor(10, 20, 30));

  TDibGraphic colour = Pattern(3, 3, 24);
  TImageFormatTransform(8).Apply(colour);
  EXPECT_EQ(colour.BitCount(), 8);
  EXPECT_EQ(colour.ScanLine(2)[1], GreyOf(MakeColor(1, 2, 7)));
  TImageFormatTransform(1).Apply(colour);
  EXPECT_EQ(colour.BitCount(), 1);
  EXPECT_THROW(TImageFormatTransform(16).Apply(colour), EImageError);
}

TEST(ResizeTransform, DoublingMapsABoxOntoTwiceItsCoordinates) {
  // Box (10, 4)-(15, 12) of a zone covers (20, 8)-(31, 25) after doubling.
  TDibGraphic zone;
  zone.SetSize(30, 20, 8);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) zone.ScanLine(y)[x] = (x >= 10 && x <= 15 && y >= 4 && y <= 12) ? 0 : 255;
  TResizeTransform(60, 40).Apply(zone);
  ASSERT_EQ(zone.Width(), 60);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x)
      ASSERT_EQ(zone.ScanLine(y)[x] == 0, x >= 20 && x <= 31 && y >= 8 && y <= 25) << x << "," << y;
}

TEST(ResizeTransform, StretchesSubBytePixelsAndRefusesEmptySizes) {
  TDibGraphic image = Pattern(7, 3, 1);
  const TDibGraphic original = image;
  TResizeTransform(21, 6).Apply(image);
  for (int y = 0; y < 6; ++y)
    for (int x = 0; x < 21; ++x)
      ASSERT_EQ(GetIndex(image.ScanLine(y), x, 1), GetIndex(original.ScanLine(y / 2), x / 3, 1));
  EXPECT_THROW(TResizeTransform(0, 5).Apply(image), EImageError);
}

}  // namespace
}  // namespace omniocr
