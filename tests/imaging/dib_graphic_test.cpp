#include "imaging/dib_graphic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dibunit/dib.h"
#include "imaging/image_error.h"
#include "imaging/ink_mask.h"
#include "imaging/pixel_access.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::TOwnedHandle;

// Loads a packed bitmap the way the engine does, without taking the handle.
struct TLoadedDib {
  explicit TLoadedDib(const TDibGraphic& image) : Handle(image.GetPackedDib()) {
    Dib.OwnsHandle = false;
    Dib.LoadFromHandle(Handle.get());
  }
  TOwnedHandle Handle;
  TDIB Dib;
};

TEST(DibGraphic, SetSizeGivesBlankImagesWithDefaultTables) {
  struct {
    int bits;
    std::int64_t stride;
    std::size_t colors;
  } cases[] = {{1, 4, 2}, {4, 8, 16}, {8, 12, 256}, {24, 32, 0}};
  for (const auto& c : cases) {
    TDibGraphic g;
    g.SetSize(10, 3, c.bits);
    EXPECT_EQ(g.Stride(), c.stride) << c.bits;
    EXPECT_EQ(g.Palette().size(), c.colors) << c.bits;
    EXPECT_EQ(g.ScanLine(2)[0], 0);
  }
  TDibGraphic g;
  g.SetSize(4, 4, 1);
  EXPECT_EQ(g.Palette()[0] & 0xFFFFFF, 0u);
  EXPECT_EQ(g.Palette()[1] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_THROW(g.SetSize(4, 4, 32), EImageError);
  EXPECT_THROW(g.SetSize(100000, 100000, 8), EImageError);
}

// An image made for overwriting has its row padding cleared also where the
// memory it gets held other bytes before (the blocks of freed images of the
// same size, which the allocator hands out again).
TEST(DibGraphic, SetSizeForOverwriteClearsThePaddingOfEveryRow) {
  struct {
    int width, bits;
    std::size_t rowBytes;
  } cases[] = {{13, 1, 2}, {13, 4, 7}, {13, 8, 13}, {13, 24, 39}, {16, 8, 16}};
  for (const auto& c : cases) {
    for (int round = 0; round < 3; ++round) {
      {
        TDibGraphic dirty;
        dirty.SetSize(c.width, 7, c.bits);
        for (int y = 0; y < 7; ++y)
          std::memset(dirty.ScanLine(y), 0xA5, static_cast<std::size_t>(dirty.Stride()));
      }
      TDibGraphic g;
      g.SetSizeForOverwrite(c.width, 7, c.bits);
      ASSERT_EQ(g.Width(), c.width);
      for (int y = 0; y < 7; ++y)
        for (std::int64_t i = static_cast<std::int64_t>(c.rowBytes); i < g.Stride(); ++i)
          ASSERT_EQ(g.ScanLine(y)[i], 0) << c.bits << " bits, row " << y << ", byte " << i;
    }
  }
}

TEST(DibGraphic, PackedDibIsBottomUpWithFortyByteHeader) {
  TDibGraphic g;
  g.SetSize(3, 2, 24);
  g.XDpi = g.YDpi = 300;
  SetColor24(g.ScanLine(0), 0, MakeColor(255, 0, 0));  // top-left red
  SetColor24(g.ScanLine(1), 2, MakeColor(0, 0, 255));  // bottom-right blue
  TLoadedDib loaded(g);
  const TDIB& d = loaded.Dib;
  EXPECT_EQ(d.Header->Size, 40u);
  EXPECT_EQ(d.Header->Height, 2);
  EXPECT_EQ(d.Format, df24Bit);
  EXPECT_EQ(d.XResolution(), 300);
  EXPECT_EQ(d.GetPixel(0, 0), 255);          // red in the low byte
  EXPECT_EQ(d.GetPixel(2, 1), 255 * 65536);  // blue in the high byte
  EXPECT_EQ(d.Bits, d.Rows[1]);              // the bottom row is stored first
}

TEST(DibGraphic, PackedDibHandsTheEngineBlackAsZeroAndGreyLevels) {
  // A 1-bit image whose table is reversed (entry 0 white): pixel values flip.
  TDibGraphic bilevel;
  bilevel.SetSize(9, 1, 1);
  bilevel.Palette() = {0xFFFFFF, 0x000000};
  SetIndex(bilevel.ScanLine(0), 8, 1, 1);  // black in this table
  TLoadedDib one(bilevel);
  EXPECT_EQ(one.Dib.GetPixel(8, 0), 0);
  EXPECT_EQ(one.Dib.GetPixel(0, 0), 1);
  EXPECT_EQ(one.Dib.PaletteEntry(0) & 0xFFFFFF, 0u);

  // An 8-bit image with a colour table: the indices become the grey levels.
  TDibGraphic palette;
  palette.SetSize(2, 1, 8);
  palette.Palette()[0] = MakeColor(255, 255, 255);
  palette.Palette()[1] = MakeColor(0, 0, 255);
  palette.ScanLine(0)[0] = 0;
  palette.ScanLine(0)[1] = 1;
  TLoadedDib eight(palette);
  EXPECT_EQ(eight.Dib.GetPixel(0, 0), 255);
  EXPECT_EQ(eight.Dib.GetPixel(1, 0), 29);
  EXPECT_TRUE(eight.Dib.IsGreyRamp());
}

// Where a histogram is handed to the engine with the packed bitmap, it is
// the one the engine counts on that bitmap; where the two could differ,
// none is handed.
TEST(DibGraphic, PackedDibHistogramIsTheEnginesOwnCountWhereGiven) {
  struct TCase {
    const char* what;
    int bits;
    std::vector<std::uint32_t> palette;  // empty: the default
    bool given;
  };
  std::vector<std::uint32_t> colours(256);
  for (unsigned i = 0; i < 256; ++i) colours[i] = MakeColor(i, 255 - i, (7 * i) & 0xFF);
  const TCase cases[] = {
      {"black/white", 1, {}, true},
      {"white/black", 1, {0xFFFFFF, 0x000000}, true},
      {"two greys", 1, {GreyColor(40), GreyColor(200)}, false},
      {"black/grey", 1, {0x000000, GreyColor(200)}, false},
      {"one entry", 1, {0x000000}, false},
      {"16 colours", 4, {}, false},
      {"grey ramp", 8, {}, true},
      {"colour table", 8, colours, true},
      {"short table", 8, {GreyColor(90), GreyColor(10)}, true},
      {"true colour", 24, {}, false},
  };
  for (const TCase& c : cases) {
    TDibGraphic image;
    image.SetSize(21, 5, c.bits);
    if (!c.palette.empty()) image.Palette() = c.palette;
    for (int y = 0; y < image.Height(); ++y)
      for (std::int64_t i = 0; i < image.Stride(); ++i)
        image.ScanLine(y)[i] = static_cast<std::uint8_t>(53 * y + 29 * i + 3);
    const std::optional<THistogram> handed = PackedDibHistogram(image, GreyHistogram(image));
    ASSERT_EQ(handed.has_value(), c.given) << c.what;
    if (!handed) continue;
    TLoadedDib loaded(image);
    loaded.Dib.ConvertTo(df8Bit);
    THistogram counted;
    loaded.Dib.Histogram(counted);
    EXPECT_EQ(*handed, counted) << c.what;
  }
}

TEST(DibGraphic, EmptyImageHasNoPackedDib) {
  TDibGraphic g;
  EXPECT_TRUE(g.Empty());
  EXPECT_THROW(g.GetPackedDib(), EImageError);
  EXPECT_THROW(g.TakePackedDib(), EImageError);
}

std::vector<std::uint8_t> BlockBytes(TGlobalHandle handle) {
  const auto* data = static_cast<const std::uint8_t*>(GlobalLock(handle));
  std::vector<std::uint8_t> bytes(data, data + GlobalSize(handle));
  GlobalUnlock(handle);
  return bytes;
}

// The packed bitmap made in the image's own memory (or a copy's) is the one
// made as a copy, byte for byte: rows turned over in place (odd and even
// heights, rows shorter and longer than sixteen bytes) or, stored bottom row
// first, left where they are, indices rewritten for the engine where the
// table asks for it, padding cleared where they are.
TEST(DibGraphic, TakingThePackedDibGivesTheSameBytesAsCopyingIt) {
  struct TCase {
    const char* what;
    int bits;
    std::vector<std::uint32_t> palette;  // empty: the default
  };
  std::vector<std::uint32_t> dimGrey(256);
  for (unsigned i = 0; i < 256; ++i) dimGrey[i] = GreyColor(i / 2);
  const TCase cases[] = {
      {"black/white", 1, {}},    {"white/black", 1, {0xFFFFFF, 0x000000}},
      {"16 colours", 4, {}},     {"grey ramp", 8, {}},
      {"dim greys", 8, dimGrey}, {"true colour", 24, {}},
  };
  using TRowOrder = TDibGraphic::TRowOrder;
  for (const TCase& c : cases)
    for (const int width : {1, 13, 32})
      for (const int height : {1, 2, 3})
        for (const TRowOrder order : {TRowOrder::TopFirst, TRowOrder::BottomFirst}) {
          TDibGraphic image;
          image.SetSizeForOverwrite(width, height, c.bits, order);
          if (!c.palette.empty()) image.Palette() = c.palette;
          image.XDpi = 300, image.YDpi = 150;
          for (int y = 0; y < height; ++y)
            for (std::int64_t i = 0; i < image.Stride(); ++i)  // padding included
              image.ScanLine(y)[i] = static_cast<std::uint8_t>(37 * y + 11 * i + 5);
          const std::string what = std::string(c.what) + ", " + std::to_string(width) + " x " +
                                   std::to_string(height) +
                                   (order == TRowOrder::TopFirst ? "" : ", bottom first");
          const TOwnedHandle copied(image.GetPackedDib());
          TDibGraphic duplicate = image;  // a copy keeps the room for the header
          const TOwnedHandle taken(image.TakePackedDib());
          EXPECT_EQ(BlockBytes(taken.get()), BlockBytes(copied.get())) << what;
          EXPECT_TRUE(image.Empty()) << what;
          const TOwnedHandle takenFromCopy(duplicate.TakePackedDib());
          EXPECT_EQ(BlockBytes(takenFromCopy.get()), BlockBytes(copied.get())) << what;
        }
}

}  // namespace
}  // namespace omniocr
