#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>

#include <functional>

#include "imaging/image_fixtures.h"
#include "imaging/image_io.h"
#include "imaging/pixel_access.h"

namespace omniocr {
namespace {

using namespace omniocr::test;

TDibGraphic Read(const TBytes& bytes, int imageNumber = 1) {
  return ReadImageMemory(bytes.data(), bytes.size(), imageNumber);
}

std::uint32_t ColorAt(const TDibGraphic& g, int x, int y) {
  return GetColor(g.ScanLine(y), x, g.BitCount(), g.Palette());
}

// Every pixel of the image has the expected colour.
void ExpectPixels(const TDibGraphic& g, int width, int height,
                  const std::function<std::uint32_t(int, int)>& expected, const std::string& what) {
  ASSERT_EQ(g.Width(), width) << what;
  ASSERT_EQ(g.Height(), height) << what;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      ASSERT_EQ(ColorAt(g, x, y), expected(x, y)) << what << " at " << x << "," << y;
}

// The normalised forms: 1 bit black/white, 8-bit grey ramp, or 24 bits.
void ExpectNormalised(const TDibGraphic& g, const std::string& what) {
  if (g.BitCount() == 1) {
    EXPECT_EQ(g.Palette()[0] & 0xFFFFFF, 0u) << what;
    EXPECT_EQ(g.Palette()[1] & 0xFFFFFF, 0xFFFFFFu) << what;
  } else if (g.BitCount() == 8) {
    EXPECT_TRUE(IsGreyRamp(g.Palette())) << what;
  } else {
    EXPECT_EQ(g.BitCount(), 24) << what;
  }
}

constexpr int W = 13, H = 5;  // odd sizes: rows need padding, bits do not fill bytes
bool Ink(int x, int y) { return (x * 3 + y) % 4 == 0; }
std::uint32_t Bilevel(int x, int y) { return Ink(x, y) ? 0u : 0xFFFFFFu; }
std::uint32_t Colour(int x, int y) { return MakeColor(20 * x, 50 * y, 255 - 10 * x); }

TBytes PackBits(int width, const std::function<bool(int)>& set) {
  TBytes row(static_cast<std::size_t>((width + 7) / 8), 0);
  for (int x = 0; x < width; ++x)
    if (set(x)) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
  return row;
}

TEST(ImageFormatDetection, UsesTheBytesNotTheName) {
  const struct {
    std::string bytes;
    TImageFormat format;
  } cases[] = {
      {std::string("II*\0", 4), TImageFormat::Tiff},
      {std::string("MM\0*", 4), TImageFormat::Tiff},
      {"\xFF\xD8\xFF\xE0", TImageFormat::Jpeg},
      {"\x89PNG\r\n\x1A\n", TImageFormat::Png},
      {"BM", TImageFormat::Bmp},
      {"P4\n", TImageFormat::Pnm},
      {"P7\n", TImageFormat::Unknown},
      {"GIF89a", TImageFormat::Gif},
      {"GIF87a", TImageFormat::Gif},
      {"GIF88a", TImageFormat::Unknown},
      {std::string("RIFF\0\0\0\0WEBPVP8L", 16), TImageFormat::Webp},
      {std::string("RIFF\0\0\0\0WAVEfmt ", 16), TImageFormat::Unknown},
      {"%PDF-1.4\n", TImageFormat::Pdf},
      {"junk before %PDF-1.7\n", TImageFormat::Pdf},
      {"%% %PD %PDF %PDF-", TImageFormat::Pdf},  // near misses before it, at the very end
      {"P5 %PDF", TImageFormat::Pnm},
      {std::string(1019, ' ') + "%PDF-", TImageFormat::Pdf},  // the last place in the first kilobyte
      {std::string(1020, ' ') + "%PDF-", TImageFormat::Unknown},
      {"", TImageFormat::Unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DetectImageFormat(reinterpret_cast<const std::uint8_t*>(c.bytes.data()), c.bytes.size()),
              c.format)
        << c.bytes;
}

TEST(PngReader, ReadsEveryColourTypeAndBitDepth) {
  // Grey 1/2/4/8/16 bits: level l of 2^d - 1 steps.
  for (int depth : {1, 2, 4, 8, 16}) {
    TPngSpec s{W, H, PNG_COLOR_TYPE_GRAY, depth, depth == 4, {}, {}, {}};
    const int max = (1 << depth) - 1;
    auto level = [&](int x, int y) { return (x + y) % (max + 1 > 4 ? 4 : max + 1) * max / 3; };
    const std::size_t rowBytes = (static_cast<std::size_t>(W) * depth + 7) / 8;
    s.Rows.assign(rowBytes * H, 0);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const int v = level(x, y) > max ? max : level(x, y);
        if (depth == 16) {
          s.Rows[y * rowBytes + 2 * x] = static_cast<std::uint8_t>(v >> 8);
          s.Rows[y * rowBytes + 2 * x + 1] = static_cast<std::uint8_t>(v);
        } else {
          const int bit = x * depth;
          s.Rows[y * rowBytes + bit / 8] |= static_cast<std::uint8_t>(v << (8 - depth - bit % 8));
        }
      }
    const TDibGraphic g = Read(EncodePng(s));
    ExpectNormalised(g, "grey " + std::to_string(depth));
    EXPECT_EQ(g.BitCount(), depth == 1 ? 1 : 8);
    ExpectPixels(
        g, W, H,
        [&](int x, int y) {
          const int v = level(x, y) > max ? max : level(x, y);
          return GreyColor(static_cast<unsigned>(v * 255 / max));
        },
        "grey " + std::to_string(depth));
  }
  // Palette 1/2/4/8 bits with a colour table, and one with grey entries only.
  for (int depth : {1, 2, 4, 8}) {
    TPngSpec s{W, H, PNG_COLOR_TYPE_PALETTE, depth, false, {200, 10, 30, 0, 90, 250}, {}, {}};
    const std::size_t rowBytes = (static_cast<std::size_t>(W) * depth + 7) / 8;
    s.Rows.assign(rowBytes * H, 0);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (Ink(x, y))
          s.Rows[y * rowBytes + x * depth / 8] |= static_cast<std::uint8_t>(1 << (8 - depth - x * depth % 8));
    const TDibGraphic g = Read(EncodePng(s));
    ExpectNormalised(g, "palette");
    ExpectPixels(
        g, W, H, [](int x, int y) { return Ink(x, y) ? MakeColor(0, 90, 250) : MakeColor(200, 10, 30); },
        "palette " + std::to_string(depth));
  }
  // RGB 8 and 16 bits.
  for (int depth : {8, 16}) {
    TPngSpec s{W, H, PNG_COLOR_TYPE_RGB, depth, false, {}, {}, {}};
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const std::uint32_t c = Colour(x, y);
        for (unsigned v : {RedOf(c), GreenOf(c), BlueOf(c)}) {
          s.Rows.push_back(static_cast<std::uint8_t>(v));
          if (depth == 16) s.Rows.push_back(0x80);
        }
      }
    ExpectPixels(Read(EncodePng(s)), W, H, Colour, "rgb " + std::to_string(depth));
  }
}

TEST(PngReader, CompositesTransparencyOverWhite) {
  // Grey + alpha: value 0 at alpha 255, 0, 128.
  TPngSpec ga{3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8, false, {}, {}, {0, 255, 0, 0, 0, 128}};
  const TDibGraphic g = Read(EncodePng(ga));
  EXPECT_EQ(g.BitCount(), 8);
  EXPECT_EQ(ColorAt(g, 0, 0), GreyColor(0));
  EXPECT_EQ(ColorAt(g, 1, 0), GreyColor(255));
  EXPECT_EQ(ColorAt(g, 2, 0), GreyColor(127));
  // RGBA and a palette with a transparent entry.
  TPngSpec rgba{2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, true, {}, {}, {255, 0, 0, 255, 255, 0, 0, 0}};
  const TDibGraphic c = Read(EncodePng(rgba));
  EXPECT_EQ(ColorAt(c, 0, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(ColorAt(c, 1, 0), 0xFFFFFFu);
  TPngSpec trns{2, 1, PNG_COLOR_TYPE_PALETTE, 8, false, {0, 0, 0, 0, 0, 255}, {0, 255}, {0, 1}};
  const TDibGraphic p = Read(EncodePng(trns));
  EXPECT_EQ(ColorAt(p, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(ColorAt(p, 1, 0), MakeColor(0, 0, 255));
  // A grey key colour.
  TPngSpec key{2, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {40}, {40, 41}};
  const TDibGraphic k = Read(EncodePng(key));
  EXPECT_EQ(ColorAt(k, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(ColorAt(k, 1, 0), GreyColor(41));
}

TEST(PngWriter, WritesImagesThatReadBackUnchanged) {
  TDibGraphic bilevel;
  bilevel.SetSize(W, H, 1);
  TDibGraphic grey;
  grey.SetSize(W, H, 8);
  TDibGraphic colour;
  colour.SetSize(W, H, 24);
  TDibGraphic palette;
  palette.SetSize(W, H, 4);
  palette.Palette()[3] = MakeColor(1, 2, 3);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      SetIndex(bilevel.ScanLine(y), x, 1, Ink(x, y) ? 0 : 1);
      grey.ScanLine(y)[x] = static_cast<std::uint8_t>(x * 19 + y);
      SetColor24(colour.ScanLine(y), x, Colour(x, y));
      SetIndex(palette.ScanLine(y), x, 4, Ink(x, y) ? 3 : 15);
    }
  grey.XDpi = grey.YDpi = 300;
  for (const TDibGraphic* image : {&bilevel, &grey, &colour, &palette}) {
    const std::vector<std::uint8_t> png = WritePngMemory(*image);
    const TDibGraphic back = ReadImageMemory(png.data(), png.size());
    ExpectPixels(
        back, W, H, [&](int x, int y) { return ColorAt(*image, x, y); },
        "bits " + std::to_string(image->BitCount()));
    EXPECT_EQ(back.XDpi, image->XDpi);
  }
  EXPECT_THROW(WritePngMemory(TDibGraphic()), EImageError);
  EXPECT_THROW(WritePngFile(grey, "/nonexistent-dir/x.png"), EImageError);
}

TEST(TiffReader, ReadsBilevelGreyPaletteAndColourPages) {
  auto bilevelRows = [](bool inkIsOne) {
    TBytes rows;
    for (int y = 0; y < H; ++y) {
      TBytes row = PackBits(W, [&](int x) { return Ink(x, y) == inkIsOne; });
      rows.insert(rows.end(), row.begin(), row.end());
    }
    return rows;
  };
  TBytes grey, colour, indexed;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      grey.push_back(static_cast<std::uint8_t>(x * 19));
      const std::uint32_t c = Colour(x, y);
      colour.insert(colour.end(), {static_cast<std::uint8_t>(RedOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                                   static_cast<std::uint8_t>(BlueOf(c))});
      indexed.push_back(Ink(x, y) ? 1 : 0);
    }
  std::vector<std::uint16_t> map(3 * 256, 0);
  map[0] = map[256] = map[512] = 0xFFFF;  // entry 0 white
  map[1] = 0xFF00;                        // entry 1 red
  const std::vector<TTiffPageSpec> pages = {
      {W, H, 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, false, {}, bilevelRows(true)},
      {W, H, 1, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_PACKBITS, false, {}, bilevelRows(false)},
      {W, H, 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW, false, {}, grey},
      {W, H, 8, 1, PHOTOMETRIC_PALETTE, COMPRESSION_NONE, false, map, indexed},
      {W, H, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_DEFLATE, false, {}, colour},
      {W, H, 8, 3, PHOTOMETRIC_RGB, COMPRESSION_NONE, true, {}, colour},  // tiled: RGBA path
  };
  const TBytes file = EncodeTiff(pages);
  EXPECT_EQ(CountImages(file.data(), file.size()), 6);
  for (int page : {1, 2}) {
    const TDibGraphic g = Read(file, page);
    EXPECT_EQ(g.BitCount(), 1);
    ExpectNormalised(g, "bilevel");
    ExpectPixels(g, W, H, Bilevel, "page " + std::to_string(page));
    EXPECT_EQ(g.XDpi, 300);
  }
  ExpectPixels(
      Read(file, 3), W, H, [](int x, int) { return GreyColor(x * 19); }, "grey");
  ExpectPixels(
      Read(file, 4), W, H, [](int x, int y) { return Ink(x, y) ? MakeColor(255, 0, 0) : 0xFFFFFFu; },
      "palette");
  ExpectPixels(Read(file, 5), W, H, Colour, "rgb");
  ExpectPixels(Read(file, 6), W, H, Colour, "tiled");
  try {
    Read(file, 7);
    ADD_FAILURE() << "page 7 read";
  } catch (const EImageError& e) {
    EXPECT_STREQ(e.what(), "no image 7 in the file (it holds 6)");
  }
}

TEST(JpegReader, ReadsGreyAndColour) {
  TBytes grey(static_cast<std::size_t>(16 * 16), 0), colour;
  for (int i = 0; i < 16 * 16; ++i) {
    grey[i] = (i % 16) < 8 ? 30 : 220;
    colour.insert(colour.end(), {200, 40, 40});
  }
  const TDibGraphic g = Read(EncodeJpeg(16, 16, 1, grey));
  EXPECT_EQ(g.BitCount(), 8);
  EXPECT_EQ(g.XDpi, 200);
  EXPECT_NEAR(static_cast<int>(BlueOf(ColorAt(g, 2, 5))), 30, 6);
  EXPECT_NEAR(static_cast<int>(BlueOf(ColorAt(g, 13, 5))), 220, 6);
  const TDibGraphic c = Read(EncodeJpeg(16, 16, 3, colour));
  EXPECT_EQ(c.BitCount(), 24);
  EXPECT_NEAR(static_cast<int>(RedOf(ColorAt(c, 8, 8))), 200, 6);
  EXPECT_NEAR(static_cast<int>(GreenOf(ColorAt(c, 8, 8))), 40, 6);
}

// A BMP of the test pattern at each bit count, stored in the given order.
TBmpSpec BmpOf(int bits, int headerSize, bool topDown) {
  TBmpSpec s;
  s.HeaderSize = headerSize;
  s.Width = W;
  s.Height = topDown ? -H : H;
  s.BitCount = bits;
  std::vector<TBytes> rows;
  for (int y = 0; y < H; ++y) {
    TBytes row;
    for (int x = 0; x < W; ++x) {
      const std::uint32_t c = bits <= 8 ? (Ink(x, y) ? 1u : 0u) : Colour(x, y);
      if (bits == 1 && x % 8 == 0) row.push_back(0);
      if (bits == 4 && x % 2 == 0) row.push_back(0);
      if (bits == 1) row.back() |= static_cast<std::uint8_t>(c << (7 - x % 8));
      if (bits == 4) row.back() |= static_cast<std::uint8_t>(c << (x % 2 ? 0 : 4));
      if (bits == 8) row.push_back(static_cast<std::uint8_t>(c));
      if (bits == 16) {
        const unsigned v = (RedOf(c) >> 3) << 10 | (GreenOf(c) >> 3) << 5 | BlueOf(c) >> 3;
        row.insert(row.end(), {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8)});
      }
      if (bits == 24)
        row.insert(row.end(), {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                               static_cast<std::uint8_t>(RedOf(c))});
      if (bits == 32)
        row.insert(row.end(), {static_cast<std::uint8_t>(BlueOf(c)), static_cast<std::uint8_t>(GreenOf(c)),
                               static_cast<std::uint8_t>(RedOf(c)), 0});
    }
    rows.push_back(row);
  }
  if (topDown) std::reverse(rows.begin(), rows.end());
  s.Pixels = BottomUpRows(rows);
  if (bits <= 8) s.Palette = {MakeColor(250, 250, 250), MakeColor(10, 20, 200)};
  return s;
}

std::uint32_t BmpExpected(int bits, int x, int y) {
  if (bits <= 8) return Ink(x, y) ? MakeColor(10, 20, 200) : MakeColor(250, 250, 250);
  const std::uint32_t c = Colour(x, y);
  if (bits != 16) return c;
  auto five = [](unsigned v) { return ((v >> 3) * 255 + 15) / 31; };
  return MakeColor(five(RedOf(c)), five(GreenOf(c)), five(BlueOf(c)));
}

TEST(BmpReader, ReadsEveryBitCountHeaderVersionAndRowOrder) {
  for (int bits : {1, 4, 8, 16, 24, 32})
    for (int header : {12, 40, 108, 124})
      for (bool topDown : {false, true}) {
        if (header == 12 && (bits == 16 || bits == 32 || topDown)) continue;
        const std::string what =
            std::to_string(bits) + " bits, header " + std::to_string(header) + (topDown ? ", top-down" : "");
        const TDibGraphic g = Read(EncodeBmp(BmpOf(bits, header, topDown)));
        ExpectNormalised(g, what);
        ExpectPixels(
            g, W, H, [&](int x, int y) { return BmpExpected(bits, x, y); }, what);
      }
}

TEST(BmpReader, ReadsBitFieldsAndAlpha) {
  // 16-bit 5-6-5 through bit-field masks after a 40-byte header.
  TBmpSpec s{40, 2, 1, 16, 3, {}, {0xF800, 0x07E0, 0x001F}, {0x00, 0xF8, 0xE0, 0x07}};
  const TDibGraphic g = Read(EncodeBmp(s));
  EXPECT_EQ(ColorAt(g, 0, 0), MakeColor(255, 0, 0));
  EXPECT_EQ(ColorAt(g, 1, 0), MakeColor(0, 255, 0));
  // 32-bit with an alpha mask in a version 4 header: alpha 0 over white.
  TBmpSpec a{108, 2, 1, 32, 3, {}, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {0, 0, 0, 255, 0, 0, 0, 0}};
  const TDibGraphic t = Read(EncodeBmp(a));
  EXPECT_EQ(ColorAt(t, 0, 0), 0u);
  EXPECT_EQ(ColorAt(t, 1, 0), 0xFFFFFFu);
}

TEST(BmpReader, DecodesRunLengthCoding) {
  // RLE8: row 1 (bottom) = 3 x index 1, delta (+1, 0), 1 literal run of 3;
  // end of line; row 0 = run of 2 x index 1; end of bitmap.
  TBmpSpec rle8{
      40, 7, 2, 8, 1, {0xFFFFFF, 0x000000}, {}, {3, 1, 0, 2, 1, 0, 0, 3, 1, 0, 1, 0, 0, 0, 2, 1, 0, 1}};
  const TDibGraphic g = Read(EncodeBmp(rle8));
  const char* expected[] = {"##.....", "###.#.#"};
  ExpectPixels(
      g, 7, 2, [&](int x, int y) { return expected[y][x] == '#' ? 0u : 0xFFFFFFu; }, "rle8");
  // RLE4: a run of 5 alternating 1, 0 and a literal of 3 nibbles (0, 1, 1).
  TBmpSpec rle4{40, 8, 1, 4, 2, {0xFFFFFF, 0x000000}, {}, {5, 0x10, 0, 3, 0x01, 0x10, 0, 1}};
  const TDibGraphic f = Read(EncodeBmp(rle4));
  ExpectPixels(
      f, 8, 1, [](int x, int) { return std::string("#.#.#.##")[x] == '#' ? 0u : 0xFFFFFFu; }, "rle4");
}

TEST(PcxReader, ReadsMonoPaletteAndColourImages) {
  std::vector<TBytes> mono, eight, rgb;
  for (int y = 0; y < H; ++y) {
    TBytes bits = PackBits(W, [&](int x) { return !Ink(x, y); });  // 1 is white
    bits.resize(2, 0);
    mono.push_back(bits);
    TBytes line, planes(3 * 14, 0);
    for (int x = 0; x < 14; ++x) line.push_back(x < W && Ink(x, y) ? 200 : 0);
    eight.push_back(line);
    for (int x = 0; x < W; ++x) {
      const std::uint32_t c = Colour(x, y);
      planes[x] = static_cast<std::uint8_t>(RedOf(c));
      planes[14 + x] = static_cast<std::uint8_t>(GreenOf(c));
      planes[28 + x] = static_cast<std::uint8_t>(BlueOf(c));
    }
    rgb.push_back(planes);
  }
  ExpectPixels(Read(EncodePcx(W, H, 1, 1, 2, mono)), W, H, Bilevel, "mono");
  std::vector<std::uint8_t> palette(768, 255);
  palette[600] = 0, palette[601] = 0, palette[602] = 128;  // entry 200 dark blue
  ExpectPixels(
      Read(EncodePcx(W, H, 8, 1, 14, eight, palette)), W, H,
      [](int x, int y) { return Ink(x, y) ? MakeColor(0, 0, 128) : 0xFFFFFFu; }, "8-bit");
  ExpectPixels(Read(EncodePcx(W, H, 8, 3, 14, rgb)), W, H, Colour, "rgb");
}

TEST(IconReader, PicksTheLargestImageAndAppliesItsMask) {
  // A 4 x 2 image of 8 bits (index 1 black) whose mask makes column 3 clear.
  TBytes dib;
  const TBytes header = EncodeBmp({40, 4, 4, 8, 0, {0xFFFFFF, 0x000000}, {}, {}});
  dib.assign(header.begin() + 14, header.end());
  dib.insert(dib.end(), {1, 1, 0, 1, 1, 0, 1, 1});  // rows bottom-up
  dib.insert(dib.end(), {0x10, 0, 0, 0, 0x10, 0, 0, 0});
  TPngSpec small{1, 1, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, {0}};
  const TBytes icon = EncodeIcon({{1, 1, 8, EncodePng(small)}, {4, 2, 8, dib}});
  const char* expected[] = {"#.#.", "##.."};
  ExpectPixels(
      Read(icon), 4, 2, [&](int x, int y) { return expected[y][x] == '#' ? 0u : 0xFFFFFFu; }, "icon");
  // A PNG image inside the icon is read as PNG.
  TPngSpec big{3, 2, PNG_COLOR_TYPE_GRAY, 8, false, {}, {}, {9, 9, 9, 9, 9, 9}};
  EXPECT_EQ(Read(EncodeIcon({{4, 2, 8, dib}, {3, 3, 32, EncodePng(big)}})).Width(), 3);
}

TEST(PnmReader, ReadsPlainAndRawBitmapsGreyAndColour) {
  const struct {
    std::string text;
    std::vector<std::uint32_t> pixels;  // 2 x 1
  } cases[] = {
      {"P1\n# comment\n2 1\n1 0\n", {0, 0xFFFFFF}},
      {"P1 2 1 01", {0xFFFFFF, 0}},
      {"P2 2 1 4\n0 2\n", {0, GreyColor(128)}},
      {"P3 2 1 255 255 0 0 0 0 255", {MakeColor(255, 0, 0), MakeColor(0, 0, 255)}},
      {std::string("P4 2 1\n\x40", 8), {0xFFFFFF, 0}},
      {std::string("P5 2 1 255\n\x00\x80", 13), {0, GreyColor(128)}},
      {std::string("P5 2 1 65535\n\xFF\xFF\x00\x00", 17), {0xFFFFFF, 0}},
      {std::string("P6 2 1 255\n\x01\x02\x03\x04\x05\x06", 17), {MakeColor(1, 2, 3), MakeColor(4, 5, 6)}},
  };
  for (const auto& c : cases) {
    const TDibGraphic g = Read(FromString(c.text));
    ExpectNormalised(g, c.text);
    ExpectPixels(
        g, 2, 1, [&](int x, int) { return c.pixels[x]; }, c.text);
  }
}

}  // namespace
}  // namespace omniocr
