#include "dibunit/dib.h"

#include <gtest/gtest.h>

#include <cstring>

#include "dibunit/errors.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::MakePackedDib;
using test::TOwnedHandle;

// Loads a packed bitmap into a TDIB that does not take the block over.
void LoadBorrowed(TDIB& dib, const TOwnedHandle& handle) {
  dib.OwnsHandle = false;
  dib.LoadFromHandle(handle.get());
}

TEST(TDIB, RowZeroIsTheTopRowOfThePicture) {
  // Stored bottom-up: pixel (0, 0) is the last stored row's first pixel.
  TOwnedHandle h =
      MakePackedDib(3, 2, 8, [](int x, int y) { return static_cast<std::uint32_t>(10 * y + x); });
  TDIB dib;
  LoadBorrowed(dib, h);
  EXPECT_EQ(dib.Format, df8Bit);
  EXPECT_EQ(dib.GetPixel(0, 0), 0);
  EXPECT_EQ(dib.GetPixel(2, 1), 12);
  EXPECT_EQ(dib.Rows[0], dib.Bits + dib.Stride);
  EXPECT_EQ(dib.Stride, 4);
  EXPECT_EQ(dib.RowBytes, 3);
  EXPECT_EQ(dib.DataSize, 40 + 1024 + 8);
  EXPECT_EQ(dib.XResolution(), 300);
}

TEST(TDIB, PixelAccessorsFollowTheFormatTable) {
  struct Case {
    int format, bitCount;
    std::int32_t value, stored;
  } cases[] = {
      {df1Bit, 1, 5, 1},
      {df1Bit, 1, 0, 0},
      {df1Bit, 1, -3, 0},
      {df4Bit, 4, 0x1B, 0x0B},
      {df8Bit, 8, 0x1FF, 0xFF},
      {df16Bit, 16, 0x12345, 0x2345},
      {df24Bit, 24, 0x010203, 0x010203},
  };
  for (const Case& c : cases) {
    TDIB dib;
    dib.CreateNew(9, 2, c.format, 96, 96);
    EXPECT_EQ(dib.BitCount(), c.bitCount);
    dib.SetPixel(8, 1, c.value);
    EXPECT_EQ(dib.GetPixel(8, 1), c.stored) << "format " << c.format;
    EXPECT_EQ(dib.GetPixel(7, 1), 0);
  }
  TDIB dib;
  dib.CreateNew(2, 1, df1Bit, 96, 96);
  dib.SetPixel(0, 0, 1);
  EXPECT_EQ(dib.Rows[0][0], 0x80);  // leftmost pixel in the most significant bit
  TDIB rgb;
  rgb.CreateNew(1, 1, df24Bit, 96, 96);
  rgb.SetPixel(0, 0, 0x112233);
  EXPECT_EQ(rgb.Rows[0][0], 0x11);
  EXPECT_EQ(rgb.Rows[0][2], 0x33);
}

TEST(TDIB, CreateNewLaysOutHeaderAndPalette) {
  TDIB dib;
  dib.CreateNew(5, 3, df4Bit, 300, 200);
  EXPECT_EQ(dib.FileHeader.Type, 19778);
  EXPECT_EQ(dib.FileHeader.DataOffset, 16u * 4 + 54);
  EXPECT_EQ(dib.Header->XPelsPerMeter, 11811);
  EXPECT_EQ(dib.Header->YPelsPerMeter, 7874);
  EXPECT_EQ(dib.Header->ColorsUsed, 16u);
  EXPECT_EQ(dib.PaletteEntry(3) & 0xFF, 48u);
  EXPECT_EQ(dib.Bits, dib.Palette + 64);
  TDIB bw;
  bw.CreateNew(5, 3, df1Bit, 300, 300);
  EXPECT_EQ(bw.PaletteEntry(0), 0u);
  EXPECT_EQ(bw.PaletteEntry(1) & 0xFFFFFF, 0xFFFFFFu);
  TDIB fifteen;
  fifteen.CreateNew(3, 1, df15Bit, 96, 96);
  EXPECT_EQ(fifteen.BitCount(), 16);
  EXPECT_EQ(fifteen.Format, df15Bit);  // laid out with 16 bits, but keeps its format
  EXPECT_THROW(dib.CreateNew(5, 3, 7, 96, 96), EOCRError);
  try {
    dib.CreateNew(5, 3, 0, 96, 96);
  } catch (const EOCRError& e) {
    EXPECT_STREQ(e.what(), "Bit depht not allowed");
  }
  EXPECT_TRUE(dib.Empty());
}

TEST(TDIB, ConvertsEveryReadableFormatToGrey) {
  // 1 bit: the bit value decides, whatever the colour table says.
  TOwnedHandle bw =
      MakePackedDib(2, 1, 1, [](int x, int) { return static_cast<std::uint32_t>(x); }, {0xFFFFFF, 0x000000});
  TDIB a;
  LoadBorrowed(a, bw);
  a.OwnsHandle = true;  // conversion resizes the block; take it over
  bw.release();
  a.ConvertTo(df8Bit);
  EXPECT_EQ(a.GetPixel(0, 0), 0);
  EXPECT_EQ(a.GetPixel(1, 0), 255);
  EXPECT_TRUE(a.IsGreyRamp());
  EXPECT_EQ(a.Header->ColorsUsed, 256u);

  // 24 bits: weighted sum, single-precision products, ties to even.
  struct Rgb {
    std::uint32_t bgr;
    int grey;
  } colours[] = {{0x0000FF, 76}, {0xFF0000, 28}, {0x00FF00, 150}, {0xFFFFFF, 255}, {0, 0}};
  TOwnedHandle rgb = MakePackedDib(5, 1, 24, [&](int x, int) { return colours[x].bgr; });
  TDIB b;
  b.LoadFromHandle(rgb.release());
  b.ConvertTo(df8Bit);
  for (int x = 0; x < 5; ++x) EXPECT_EQ(b.GetPixel(x, 0), colours[x].grey) << x;

  // 4 bits: each entry's plain mean.
  TOwnedHandle four =
      MakePackedDib(2, 1, 4, [](int x, int) { return x == 0 ? 1u : 2u; }, {0, 0x00030609, 0x00FFFFFF});
  TDIB c;
  c.LoadFromHandle(four.release());
  c.ConvertTo(df8Bit);
  EXPECT_EQ(c.GetPixel(0, 0), 6);
  EXPECT_EQ(c.GetPixel(1, 0), 255);

  // 8 bits keep their values even with a colour table; 16 bits stay as they are.
  TOwnedHandle eight = MakePackedDib(1, 1, 8, [](int, int) { return 7u; }, {0x00FF0000});
  TDIB d;
  d.LoadFromHandle(eight.release());
  d.ConvertTo(df8Bit);
  EXPECT_EQ(d.GetPixel(0, 0), 7);
  EXPECT_FALSE(d.IsGreyRamp());
  TOwnedHandle sixteen = MakePackedDib(2, 1, 16, [](int, int) { return 0x7FFFu; });
  TDIB e;
  e.LoadFromHandle(sixteen.release());
  e.ConvertTo(df8Bit);
  EXPECT_EQ(e.Format, df16Bit);
}

TEST(TDIB, RefusesLayoutsItCannotReadBeforeReadingThem) {
  auto corrupt = [](std::function<void(TBitmapInfoHeader&)> change, std::size_t size = 0) {
    TOwnedHandle h = MakePackedDib(4, 4, 8, [](int, int) { return 0u; });
    auto* header = static_cast<TBitmapInfoHeader*>(GlobalLock(h.get()));
    change(*header);
    GlobalUnlock(h.get());
    if (size != 0) GlobalReAlloc(h.get(), size);
    return h;
  };
  struct Case {
    const char* what;
    TOwnedHandle handle;
  };
  Case cases[] = {
      {"compressed", corrupt([](TBitmapInfoHeader& h) { h.Compression = 1; })},
      {"top-down", corrupt([](TBitmapInfoHeader& h) { h.Height = -4; })},
      {"header size", corrupt([](TBitmapInfoHeader& h) { h.Size = 124; })},
      {"32 bits", corrupt([](TBitmapInfoHeader& h) { h.BitCount = 32; })},
      {"short table", corrupt([](TBitmapInfoHeader& h) { h.ColorsUsed = 16; })},
      {"truncated", corrupt([](TBitmapInfoHeader&) {}, 40 + 1024 + 4)},
      {"zero width", corrupt([](TBitmapInfoHeader& h) { h.Width = 0; })},
      {"negative width", corrupt([](TBitmapInfoHeader& h) { h.Width = -4; })},
      {"overflowing size", corrupt([](TBitmapInfoHeader& h) {
         h.Width = 0x7FFFFFFF;
         h.Height = 0x7FFFFFFF;
       })},
      {"block below header", corrupt([](TBitmapInfoHeader&) {}, 20)},
  };
  for (Case& c : cases) {
    TDIB dib;
    dib.OwnsHandle = false;
    EXPECT_THROW(dib.LoadFromHandle(c.handle.get()), EOCRError) << c.what;
    EXPECT_TRUE(dib.Empty()) << c.what;
    EXPECT_EQ(GlobalLockCount(c.handle.get()), 0) << c.what;
  }
}

TEST(TDIB, FifteenBitRowsAreReadWithinTheirStride) {
  // 32 pixels of 15 bits need 60 bytes, less than two bytes per pixel.
  TOwnedHandle h = MakePackedDib(32, 1, 15, [](int, int) { return 0x1234u; });
  TDIB dib;
  LoadBorrowed(dib, h);
  EXPECT_EQ(dib.Stride, 60);
  EXPECT_EQ(dib.GetPixel(29, 0), 0x1234);
  EXPECT_EQ(dib.GetPixel(31, 0), 0);  // past the stride: nothing read
}

TEST(TDIB, PixelClassUsesTheGreyLevelWithoutMarks) {
  auto dib = test::MakeGrey(3, 1, 255);
  dib->SetPixel(0, 0, 159);
  dib->SetPixel(1, 0, 160);
  dib->SetPixel(2, 0, 167);  // 160 with a mark
  EXPECT_EQ(dib->PixelClass(0, 0, 160, 1, 0), 1);
  EXPECT_EQ(dib->PixelClass(1, 0, 160, 1, 0), 0);
  EXPECT_EQ(dib->PixelClass(2, 0, 160, 1, 0), 0);
  EXPECT_EQ(dib->PixelClass(2, 0, 165, 1, 0), 1);
  EXPECT_EQ(dib->PixelClass(2, 0, 161, 1, 0), 1);  // marked ink stays ink
}

}  // namespace
}  // namespace omniocr
