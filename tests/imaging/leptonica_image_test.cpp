#include "imaging/leptonica_image.h"

#include <gtest/gtest.h>
#include <leptonica/allheaders.h>

#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {
namespace {

// Every pixel a different index or colour, widths that end inside a byte
// and inside a 32-bit word.
TDibGraphic Pattern(int width, int height, int bitCount, const std::vector<std::uint32_t>& palette) {
  TDibGraphic g;
  g.SetSize(width, height, bitCount);
  if (!palette.empty()) g.Palette() = palette;
  g.XDpi = 300;
  g.YDpi = 150;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (bitCount == 24)
        SetColor24(g.ScanLine(y), x, MakeColor(x * 7, y * 13, x + y));
      else
        SetIndex(g.ScanLine(y), x, bitCount, static_cast<unsigned>(x * 5 + y * 3 + x * y) % (1u << bitCount));
    }
  return g;
}

std::vector<std::uint32_t> ColourTable(int entries) {
  std::vector<std::uint32_t> palette;
  for (int i = 0; i < entries; ++i)
    palette.push_back(MakeColor(i * 37, 255 - i, i * 11) | (i % 3 == 0 ? 0x7Fu << 24 : 0u));
  return palette;
}

void ExpectSameImage(const TDibGraphic& a, const TDibGraphic& b, const std::string& label) {
  ASSERT_EQ(a.Width(), b.Width()) << label;
  ASSERT_EQ(a.Height(), b.Height()) << label;
  ASSERT_EQ(a.BitCount(), b.BitCount()) << label;
  EXPECT_EQ(a.Palette(), b.Palette()) << label;
  EXPECT_EQ(a.XDpi, b.XDpi) << label;
  EXPECT_EQ(a.YDpi, b.YDpi) << label;
  for (int y = 0; y < a.Height(); ++y)
    for (int x = 0; x < a.Width(); ++x) {
      if (a.BitCount() == 24)
        ASSERT_EQ(GetColor(a.ScanLine(y), x, 24, {}), GetColor(b.ScanLine(y), x, 24, {})) << label;
      else
        ASSERT_EQ(GetIndex(a.ScanLine(y), x, a.BitCount()), GetIndex(b.ScanLine(y), x, b.BitCount()))
            << label << " at " << x << "," << y;
    }
}

TEST(LeptonicaImage, EveryFormatComesBackUnchanged) {
  const TDibGraphic blackWhite = Pattern(37, 5, 1, {});
  const struct {
    const char* Label;
    TDibGraphic Image;
  } cases[] = {
      {"1 bit, black and white", blackWhite},
      {"1 bit, white and black", Pattern(37, 5, 1, {0xFFFFFFu, 0x000000u})},
      {"1 bit, two colours", Pattern(70, 3, 1, ColourTable(2))},
      {"4 bits, grey", Pattern(13, 4, 4, {})},
      {"4 bits, colours", Pattern(13, 4, 4, ColourTable(16))},
      {"8 bits, grey", Pattern(9, 6, 8, {})},
      {"8 bits, colours", Pattern(9, 6, 8, ColourTable(256))},
      {"24 bits", Pattern(11, 7, 24, {})},
  };
  for (const auto& c : cases) {
    const TPixPtr pix = ToLeptonica(c.Image);
    ASSERT_TRUE(pix) << c.Label;
    ExpectSameImage(FromLeptonica(*pix), c.Image, c.Label);
  }
}

// Leptonica's own functions read these images: the conventions must hold.
TEST(LeptonicaImage, PlainImagesFollowLeptonicasConventions) {
  TDibGraphic bilevel;
  bilevel.SetSize(40, 2, 1);  // all index 0: black
  SetIndex(bilevel.ScanLine(1), 33, 1, 1);
  TPixPtr pix = ToLeptonica(bilevel);
  EXPECT_EQ(pixGetDepth(pix.get()), 1);
  EXPECT_EQ(pixGetColormap(pix.get()), nullptr);
  l_int32 black = 0;
  pixCountPixels(pix.get(), &black, nullptr);  // ones are black; padding bits are not counted
  EXPECT_EQ(black, 79);

  TDibGraphic grey;
  grey.SetSize(3, 1, 8);
  grey.ScanLine(0)[1] = 200;
  pix = ToLeptonica(grey);
  EXPECT_EQ(pixGetColormap(pix.get()), nullptr);
  l_uint32 value = 0;
  pixGetPixel(pix.get(), 1, 0, &value);
  EXPECT_EQ(value, 200u);

  TDibGraphic colour;
  colour.SetSize(2, 1, 24);
  SetColor24(colour.ScanLine(0), 1, MakeColor(10, 20, 30));
  pix = ToLeptonica(colour);
  EXPECT_EQ(pixGetDepth(pix.get()), 32);
  l_int32 r = 0, g = 0, b = 0;
  pixGetRGBPixel(pix.get(), 1, 0, &r, &g, &b);
  EXPECT_EQ(r, 10);
  EXPECT_EQ(g, 20);
  EXPECT_EQ(b, 30);
}

// Pixel by pixel as Leptonica's own accessors see them, both ways: whole
// words of a row and the bytes of its last, partial word.
TEST(LeptonicaImage, EveryPixelIsWhereLeptonicaLooksForIt) {
  // Rows of whole sixteen bytes, of words after them, and of a last byte.
  for (const auto& [bits, width] : {std::pair{1, 45}, std::pair{1, 150}, std::pair{8, 45}}) {
    const TDibGraphic image = Pattern(width, 3, bits, {});
    const TPixPtr pix = ToLeptonica(image);
    const TPixPtr made(pixCreate(width, 3, bits));
    pixSetResolution(made.get(), image.XDpi, image.YDpi);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) {
        const unsigned index = GetIndex(image.ScanLine(y), x, bits);
        // Leptonica's bilevel ink is 1, the image's black index 0.
        const l_uint32 expected = bits == 1 ? index ^ 1u : index;
        l_uint32 value = 0;
        pixGetPixel(pix.get(), x, y, &value);
        ASSERT_EQ(value, expected) << bits << " bits at " << x << "," << y;
        pixSetPixel(made.get(), x, y, expected);
      }
    ExpectSameImage(FromLeptonica(*made), Pattern(width, 3, bits, {}),
                    std::to_string(bits) + " bits from Leptonica");
  }
}

// The framed grey image is the one Leptonica frames, every word of it (the
// padding after each row included): rows that end inside a word or on one,
// borders of none to many columns.
TEST(LeptonicaImage, AGreyImageFramedWhiteIsLeptonicasFramedImage) {
  const struct {
    int Width, Height;
    TBorder Border;
  } cases[] = {
      {45, 3, {3, 2, 1, 2}},
      {32, 4, {0, 0, 0, 0}},
      {7, 2, {16, 17, 0, 3}},
      {100, 5, {33, 1, 4, 0}},
  };
  for (const auto& c : cases) {
    const TDibGraphic image = Pattern(c.Width, c.Height, 8, {});
    const TPixPtr framed = WhiteFramedGrey(image, c.Border);
    ASSERT_TRUE(framed) << c.Width;
    const TPixPtr source = ToLeptonica(image);
    const TPixPtr expected(pixAddBlackOrWhiteBorder(source.get(), c.Border.Left, c.Border.Right, c.Border.Top,
                                                    c.Border.Bottom, L_GET_WHITE_VAL));
    ASSERT_EQ(pixGetWidth(framed.get()), pixGetWidth(expected.get())) << c.Width;
    ASSERT_EQ(pixGetHeight(framed.get()), pixGetHeight(expected.get())) << c.Width;
    ASSERT_EQ(pixGetWpl(framed.get()), pixGetWpl(expected.get())) << c.Width;
    EXPECT_EQ(pixGetXRes(framed.get()), pixGetXRes(expected.get())) << c.Width;
    EXPECT_EQ(pixGetYRes(framed.get()), pixGetYRes(expected.get())) << c.Width;
    EXPECT_EQ(pixGetColormap(framed.get()), nullptr) << c.Width;
    const std::size_t words = static_cast<std::size_t>(pixGetWpl(expected.get())) *
                              static_cast<std::size_t>(pixGetHeight(expected.get()));
    const std::vector<l_uint32> got(pixGetData(framed.get()), pixGetData(framed.get()) + words);
    const std::vector<l_uint32> want(pixGetData(expected.get()), pixGetData(expected.get()) + words);
    EXPECT_EQ(got, want) << c.Width;
  }
  // Images with a colour table, or of other depths, are framed by Leptonica.
  EXPECT_FALSE(WhiteFramedGrey(Pattern(9, 2, 8, ColourTable(256)), {1, 1, 1, 1}));
  EXPECT_FALSE(WhiteFramedGrey(Pattern(9, 2, 1, {}), {1, 1, 1, 1}));
  EXPECT_FALSE(WhiteFramedGrey(Pattern(9, 2, 24, {}), {1, 1, 1, 1}));
}

TEST(LeptonicaImage, TwoBitImagesWidenAndOtherDepthsAreRefused) {
  TPixPtr two(pixCreate(5, 1, 2));
  for (int x = 0; x < 4; ++x) pixSetPixel(two.get(), x, 0, static_cast<l_uint32>(x));
  const TDibGraphic widened = FromLeptonica(*two);
  ASSERT_EQ(widened.BitCount(), 4);
  for (int x = 0; x < 4; ++x)
    EXPECT_EQ(GetColor(widened.ScanLine(0), x, 4, widened.Palette()),
              GreyColor(static_cast<unsigned>(x) * 85));

  const TPixPtr sixteen(pixCreate(4, 4, 16));
  EXPECT_THROW(FromLeptonica(*sixteen), EImageError);
  EXPECT_THROW(ToLeptonica(TDibGraphic()), EImageError);
}

}  // namespace
}  // namespace omniocr
