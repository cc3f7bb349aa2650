#include <algorithm>
#include <bit>
#include <climits>
#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;

// The fields of any of the information header versions that decoding needs.
struct TDibInfo {
  std::uint32_t HeaderSize = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;  // rows of the colour image, always positive
  bool TopDown = false;
  int BitCount = 0;
  std::uint32_t Compression = kRgb;
  std::int32_t XPelsPerMeter = 0;
  std::int32_t YPelsPerMeter = 0;
  std::uint32_t ColorsUsed = 0;
  std::uint32_t Masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
  bool HasMasks = false;
};

TDibInfo ReadInfoHeader(TByteReader& r, bool icon) {
  TDibInfo info;
  info.HeaderSize = r.U32LE();
  if (info.HeaderSize == 12) {
    info.Width = r.U16LE();
    info.Height = static_cast<std::int16_t>(r.U16LE());
    r.U16LE();
    info.BitCount = r.U16LE();
  } else if (info.HeaderSize >= 16 && info.HeaderSize <= 4096) {
    // Versions differ only in how many fields follow; absent ones read 0.
    const std::uint8_t* stored = r.Bytes(info.HeaderSize - 4);
    std::uint8_t full[128] = {};
    std::memcpy(full + 4, stored, std::min<std::size_t>(info.HeaderSize - 4, sizeof full - 4));
    auto u16 = [&](int at) { return static_cast<std::uint32_t>(full[at] | (full[at + 1] << 8)); };
    auto u32 = [&](int at) { return u16(at) | (u16(at + 2) << 16); };
    info.Width = static_cast<std::int32_t>(u32(4));
    info.Height = static_cast<std::int32_t>(u32(8));
    info.BitCount = static_cast<int>(u16(14));
    info.Compression = u32(16);
    info.XPelsPerMeter = static_cast<std::int32_t>(u32(24));
    info.YPelsPerMeter = static_cast<std::int32_t>(u32(28));
    info.ColorsUsed = u32(32);
    if (info.HeaderSize >= 52) {
      for (int i = 0; i < 3; ++i) info.Masks[i] = u32(40 + 4 * i);
      info.HasMasks = true;
    }
    if (info.HeaderSize >= 56) info.Masks[3] = u32(52);
    if (info.HeaderSize == 64 && (info.Compression == 3 || info.Compression == 4))
      throw EImageError("OS/2 compressed BMP data is not supported");
  } else {
    throw EImageError("BMP header of " + std::to_string(info.HeaderSize) + " bytes");
  }
  if (info.HeaderSize < 20) info.Compression = kRgb;
  if (info.Height < 0) {
    info.TopDown = true;
    info.Height = -info.Height;
  }
  if (icon) info.Height /= 2;
  return info;
}

void ReadMasksAfterHeader(TByteReader& r, TDibInfo& info) {
  const bool bitFields = info.Compression == kBitFields || info.Compression == kAlphaBitFields;
  if (bitFields && !info.HasMasks) {
    const int count = info.Compression == kAlphaBitFields ? 4 : 3;
    for (int i = 0; i < count; ++i) info.Masks[i] = r.U32LE();
    info.HasMasks = true;
  }
  if (!info.HasMasks || !bitFields) {
    info.Masks[3] = 0;
    if (info.BitCount == 16) {
      info.Masks[0] = 0x7C00, info.Masks[1] = 0x03E0, info.Masks[2] = 0x001F;
    } else {
      info.Masks[0] = 0xFF0000, info.Masks[1] = 0xFF00, info.Masks[2] = 0xFF;
    }
  }
}

// The table ends where the pixel rows start when the file says where that is.
std::vector<std::uint32_t> ReadColorTable(TByteReader& r, const TDibInfo& info, std::size_t pixelOffset) {
  std::vector<std::uint32_t> palette;
  if (info.BitCount > 8) return palette;
  const std::uint32_t full = 1u << info.BitCount;
  std::uint32_t count = info.ColorsUsed == 0 || info.ColorsUsed > full ? full : info.ColorsUsed;
  const std::size_t entryBytes = info.HeaderSize == 12 ? 3 : 4;
  // Some writers declare the full table but store less; read what is there.
  std::size_t room = r.Remaining();
  if (pixelOffset > r.Position()) room = std::min(room, pixelOffset - r.Position());
  count = static_cast<std::uint32_t>(std::min<std::size_t>(count, room / entryBytes));
  if (count == 0) throw EImageError("BMP colour table missing");
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint8_t* e = r.Bytes(entryBytes);
    palette.push_back(MakeColor(e[2], e[1], e[0]));
  }
  return palette;
}

// A mask's component of a pixel word scaled to 0..255.
struct TChannel {
  explicit TChannel(std::uint32_t mask)
      : Mask(mask), Shift(mask ? std::countr_zero(mask) : 0), Max(mask ? mask >> Shift : 0) {}
  unsigned Of(std::uint32_t word) const {
    if (Max == 0) return 0;
    return static_cast<unsigned>((static_cast<std::uint64_t>((word & Mask) >> Shift) * 255 + Max / 2) / Max);
  }
  std::uint32_t Mask;
  int Shift;
  std::uint32_t Max;
};

std::uint32_t PixelWord(const std::uint8_t* row, std::int64_t x, int bitCount) {
  if (bitCount == 16) return static_cast<std::uint32_t>(row[2 * x] | (row[2 * x + 1] << 8));
  const std::uint8_t* p = row + 4 * x;
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

const std::uint8_t* StoredRow(const std::uint8_t* pixels, const TDibInfo& info, std::int64_t stride, int y) {
  const std::int64_t stored = info.TopDown ? y : info.Height - 1 - y;
  return pixels + stored * stride;
}

TDibGraphic DecodeUncompressed(const std::uint8_t* pixels, std::size_t available, const TDibInfo& info,
                               const std::vector<std::uint32_t>& palette, bool iconAlpha) {
  const int bits = info.BitCount;
  const std::int64_t stride = ((info.Width * bits + 31) / 32) * 4;
  const std::int64_t rowBytes = (info.Width * bits + 7) / 8;
  if (static_cast<std::int64_t>(available) < (info.Height - 1) * stride + rowBytes)
    throw EImageError("truncated BMP data");
  const int w = static_cast<int>(info.Width);
  const int h = static_cast<int>(info.Height);
  TDibGraphic image;
  if (bits <= 8) {
    image.SetSize(w, h, bits);
    for (int y = 0; y < h; ++y)
      std::memcpy(image.ScanLine(y), StoredRow(pixels, info, stride, y), static_cast<std::size_t>(rowBytes));
    image.Palette() = palette;
    return image;
  }
  image.SetSize(w, h, 24);
  if (bits == 24) {
    for (int y = 0; y < h; ++y)
      std::memcpy(image.ScanLine(y), StoredRow(pixels, info, stride, y), static_cast<std::size_t>(rowBytes));
    return image;
  }
  const TChannel red(info.Masks[0]), green(info.Masks[1]), blue(info.Masks[2]);
  const TChannel alpha(iconAlpha && bits == 32 && info.Masks[3] == 0 ? 0xFF000000u : info.Masks[3]);
  bool anyAlpha = false;
  for (int y = 0; y < h && alpha.Max != 0 && !anyAlpha; ++y)
    for (int x = 0; x < w && !anyAlpha; ++x)
      anyAlpha = alpha.Of(PixelWord(StoredRow(pixels, info, stride, y), x, bits)) != 0;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* source = StoredRow(pixels, info, stride, y);
    std::uint8_t* target = image.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t word = PixelWord(source, x, bits);
      unsigned r = red.Of(word), g = green.Of(word), b = blue.Of(word);
      if (anyAlpha) {
        const unsigned a = alpha.Of(word);
        r = OverWhite(r, a), g = OverWhite(g, a), b = OverWhite(b, a);
      }
      SetColor24(target, x, MakeColor(r, g, b));
    }
  }
  return image;
}

// Run-length codes reach far with few bytes (a run of 255 pixels in two, a
// skip of 255 rows in four), but not without bound.
constexpr std::uint64_t kRleMaxRatio = std::uint64_t{1} << 16;

// The bytes of a run-length stream up to its end: the end-of-bitmap code, or
// the code that leaves the top row. A stream that stops short is refused here,
// before the image is allocated.
std::size_t RleStreamBytes(TByteReader r, const TDibInfo& info) {
  const bool four = info.Compression == kRle4;
  const std::size_t start = r.Position();
  std::int64_t y = info.Height - 1;
  while (y >= 0) {
    if (r.Remaining() < 2) throw EImageError("truncated BMP data");
    const unsigned count = r.U8();
    const unsigned value = r.U8();
    if (count > 0) continue;
    if (value == 0) {
      --y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      r.U8();
      y -= r.U8();
    } else {
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      r.Skip(bytes + (bytes & 1));
    }
  }
  return r.Position() - start;
}

// Run-length coded 8- or 4-bit pixels into an index image (unwritten pixels
// stay index 0). Each step consumes input, so a hostile stream ends.
TDibGraphic DecodeRle(TByteReader& r, const TDibInfo& info, const std::vector<std::uint32_t>& palette) {
  if (info.TopDown) throw EImageError("top-down BMP cannot be run-length coded");
  const bool four = info.Compression == kRle4;
  const int w = static_cast<int>(info.Width);
  const int h = static_cast<int>(info.Height);
  TDibGraphic image;
  image.SetSize(w, h, 8);
  std::int64_t x = 0, y = h - 1;
  auto put = [&](unsigned index) {
    if (x < w && y >= 0) image.ScanLine(static_cast<int>(y))[x] = static_cast<std::uint8_t>(index);
    ++x;
  };
  while (y >= 0) {
    if (r.Remaining() < 2) throw EImageError("truncated BMP data");
    const unsigned count = r.U8();
    const unsigned value = r.U8();
    if (count > 0) {
      for (unsigned i = 0; i < count; ++i) put(four ? ((i & 1) ? value & 0x0F : value >> 4) : value);
    } else if (value == 0) {
      x = 0, --y;
    } else if (value == 1) {
      break;
    } else if (value == 2) {
      x += r.U8();
      y -= r.U8();
    } else {
      const std::size_t bytes = four ? (value + 1) / 2 : value;
      const std::uint8_t* run = r.Bytes(bytes);
      for (unsigned i = 0; i < value; ++i)
        put(four ? ((i & 1) ? run[i / 2] & 0x0F : run[i / 2] >> 4) : run[i]);
      if (bytes & 1) r.Skip(1);
    }
  }
  image.Palette() = palette;
  return image;
}

void PaintWhite(TDibGraphic& image, int x, int y) {
  switch (image.BitCount()) {
    case 1: SetIndex(image.ScanLine(y), x, 1, 1); break;
    case 8: image.ScanLine(y)[x] = 255; break;
    default: SetColor24(image.ScanLine(y), x, 0xFFFFFF);
  }
}

// The 1-bit transparency mask after an icon's colour rows: set bits are
// transparent and become white paper. A missing mask is ignored.
void ApplyIconMask(TDibGraphic& image, const std::uint8_t* mask, std::size_t available) {
  const std::int64_t stride = ((static_cast<std::int64_t>(image.Width()) + 31) / 32) * 4;
  if (static_cast<std::int64_t>(available) < stride * image.Height()) return;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* row = mask + (image.Height() - 1 - y) * stride;
    for (int x = 0; x < image.Width(); ++x)
      if (GetIndex(row, x, 1)) PaintWhite(image, x, y);
  }
}

void CheckBitCount(const TDibInfo& info) {
  const int b = info.BitCount;
  const std::uint32_t c = info.Compression;
  const bool ok = (c == kRgb && (b == 1 || b == 4 || b == 8 || b == 16 || b == 24 || b == 32)) ||
                  (c == kRle8 && b == 8) || (c == kRle4 && b == 4) ||
                  ((c == kBitFields || c == kAlphaBitFields) && (b == 16 || b == 32));
  if (!ok)
    throw EImageError("BMP with " + std::to_string(b) + " bits per pixel and compression " +
                      std::to_string(c) + " is not supported");
}

}  // namespace

TDibGraphic DecodeDib(const std::uint8_t* data, std::size_t size, std::size_t pixelOffset, bool iconMask) {
  TByteReader r(data, size, "BMP");
  TDibInfo info = ReadInfoHeader(r, iconMask);
  CheckBitCount(info);
  CheckImageSize(info.Width, info.Height, "BMP");
  ReadMasksAfterHeader(r, info);
  const std::vector<std::uint32_t> palette = ReadColorTable(r, info, pixelOffset);
  // Pixels said to start past the end of the file are missing, not blank.
  if (pixelOffset != 0 && pixelOffset >= size) throw EImageError("truncated BMP data");
  if (pixelOffset == 0 || pixelOffset < r.Position()) pixelOffset = r.Position();
  r.Seek(pixelOffset);

  TDibGraphic image;
  std::size_t consumed = 0;
  if (info.Compression == kRle8 || info.Compression == kRle4) {
    if (info.TopDown) throw EImageError("top-down BMP cannot be run-length coded");
    const std::uint64_t pixels =
        static_cast<std::uint64_t>(info.Width) * static_cast<std::uint64_t>(info.Height);
    CheckExpansion(pixels, RleStreamBytes(r, info), kRleMaxRatio, "BMP");
    image = DecodeRle(r, info, palette);
  } else {
    image = DecodeUncompressed(data + pixelOffset, size - pixelOffset, info, palette, iconMask);
    consumed = static_cast<std::size_t>(((info.Width * info.BitCount + 31) / 32) * 4 * info.Height);
  }
  image.XDpi = DpiFromPerMetre(info.XPelsPerMeter);
  image.YDpi = DpiFromPerMetre(info.YPelsPerMeter);
  NormaliseIndexed(image);
  if (iconMask && info.BitCount != 32 && pixelOffset + consumed <= size)
    ApplyIconMask(image, data + pixelOffset + consumed, size - pixelOffset - consumed);
  return image;
}

TDibGraphic ReadBmp(const std::uint8_t* data, std::size_t size) {
  TByteReader r(data, size, "BMP");
  r.Skip(10);
  const std::uint32_t offset = r.U32LE();
  return DecodeDib(data + 14, size - 14, offset >= 14 ? offset - 14 : 0, false);
}

}  // namespace omniocr
