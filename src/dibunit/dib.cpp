#include "dibunit/dib.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "dibunit/errors.h"

namespace omniocr {

namespace {

constexpr std::uint32_t kInfoHeaderSize = 40;

int ColorsForBitCount(int bitCount) { return bitCount <= 8 ? 1 << bitCount : 0; }

std::int32_t RoundToInt(double value) { return static_cast<std::int32_t>(std::nearbyint(value)); }

// Accessor pairs, one per format. Each finds its row through the row table.
std::int32_t Get1(const TDIB& d, int x, int y) { return (d.Rows[y][x >> 3] >> (7 - (x & 7))) & 1; }
void Set1(TDIB& d, int x, int y, std::int32_t v) {
  std::uint8_t bit = static_cast<std::uint8_t>(0x80 >> (x & 7));
  if (v > 0)
    d.Rows[y][x >> 3] |= bit;
  else
    d.Rows[y][x >> 3] &= static_cast<std::uint8_t>(~bit);
}
std::int32_t Get4(const TDIB& d, int x, int y) {
  std::uint8_t b = d.Rows[y][x >> 1];
  return (x & 1) ? (b & 0x0F) : (b >> 4);
}
void Set4(TDIB& d, int x, int y, std::int32_t v) {
  std::uint8_t& b = d.Rows[y][x >> 1];
  std::uint8_t n = static_cast<std::uint8_t>(v & 0x0F);
  b = (x & 1) ? static_cast<std::uint8_t>((b & 0xF0) | n) : static_cast<std::uint8_t>((b & 0x0F) | (n << 4));
}
std::int32_t Get8(const TDIB& d, int x, int y) { return d.Rows[y][x]; }
void Set8(TDIB& d, int x, int y, std::int32_t v) { d.Rows[y][x] = static_cast<std::uint8_t>(v); }
// A 15-bit row holds fewer than two bytes per pixel; words past the stride
// read as 0 and are not written.
std::int32_t Get15(const TDIB& d, int x, int y) {
  std::int64_t at = 2 * static_cast<std::int64_t>(x);
  if (at + 1 >= d.Stride) return 0;
  const std::uint8_t* p = d.Rows[y] + at;
  return p[0] | (p[1] << 8);
}
void Set15(TDIB& d, int x, int y, std::int32_t v) {
  std::int64_t at = 2 * static_cast<std::int64_t>(x);
  if (at + 1 >= d.Stride) return;
  std::uint8_t* p = d.Rows[y] + at;
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::int32_t Get16(const TDIB& d, int x, int y) {
  const std::uint8_t* p = d.Rows[y] + 2 * static_cast<std::int64_t>(x);
  return p[0] | (p[1] << 8);
}
void Set16(TDIB& d, int x, int y, std::int32_t v) {
  std::uint8_t* p = d.Rows[y] + 2 * static_cast<std::int64_t>(x);
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
std::int32_t Get24(const TDIB& d, int x, int y) {
  const std::uint8_t* p = d.Rows[y] + 3 * static_cast<std::int64_t>(x);
  return p[0] * 65536 + p[1] * 256 + p[2];
}
void Set24(TDIB& d, int x, int y, std::int32_t v) {
  std::uint8_t* p = d.Rows[y] + 3 * static_cast<std::int64_t>(x);
  std::uint32_t u = static_cast<std::uint32_t>(v);
  p[0] = static_cast<std::uint8_t>(u >> 16);
  p[1] = static_cast<std::uint8_t>(u >> 8);
  p[2] = static_cast<std::uint8_t>(u);
}

[[noreturn]] void Refuse(const std::string& why) { throw EOCRError("Unsupported bitmap: " + why); }

}  // namespace

std::int64_t DibStride(std::int64_t width, int bitCount) {
  if (width < 0 || width > (std::numeric_limits<std::int64_t>::max() - 31) / 32) return -1;
  return ((width * bitCount + 31) / 32) * 4;
}

std::int64_t DibDataSize(std::int64_t width, std::int64_t height, int bitCount) {
  std::int64_t stride = DibStride(width, bitCount);
  if (stride < 0 || height < 0) return -1;
  std::int64_t pixels = 0;
  if (__builtin_mul_overflow(stride, height, &pixels)) return -1;
  std::int64_t header = kInfoHeaderSize + 4 * static_cast<std::int64_t>(ColorsForBitCount(bitCount));
  if (pixels > std::numeric_limits<std::int64_t>::max() - header) return -1;
  return header + pixels;
}

TDIB::TDIB() = default;

TDIB::~TDIB() { Clear(); }

void TDIB::Lock() {
  if (LockCount == 0) Header = static_cast<TBitmapInfoHeader*>(GlobalLock(Handle));
  ++LockCount;
}

void TDIB::Unlock() {
  if (LockCount == 0) return;
  --LockCount;
  if (LockCount == 0) {
    GlobalUnlock(Handle);
    Header = nullptr;
  }
}

void TDIB::Clear() {
  Rows.clear();
  Rows.shrink_to_fit();
  while (LockCount > 0) Unlock();
  if (OwnsHandle && Handle != nullptr) GlobalFree(Handle);
  Handle = nullptr;
  Header = nullptr;
  Palette = nullptr;
  Bits = nullptr;
  FileHeader = TBitmapFileHeader{};
  Colors = 0;
  Stride = RowBytes = DataSize = 0;
  Getter = nullptr;
  Setter = nullptr;
}

void TDIB::ValidateLoadedHeader() const {
  std::size_t blockSize = GlobalSize(Handle);
  if (blockSize < kInfoHeaderSize) Refuse("the block is smaller than a bitmap header");
  const TBitmapInfoHeader& h = *Header;
  if (h.Size != kInfoHeaderSize) Refuse("header size " + std::to_string(h.Size) + " (only 40 is read)");
  if (h.Compression != 0) Refuse("compressed pixel data (compression " + std::to_string(h.Compression) + ")");
  if (h.Width <= 0) Refuse("width " + std::to_string(h.Width));
  if (h.Height < 0) Refuse("top-down row order");
  if (h.Height == 0) Refuse("height 0");
  if (h.Width > kMaxDimension || h.Height > kMaxDimension)
    Refuse("dimensions " + std::to_string(h.Width) + " x " + std::to_string(h.Height) + " exceed " +
           std::to_string(kMaxDimension));
  int bc = h.BitCount;
  if (bc != 1 && bc != 4 && bc != 8 && bc != 15 && bc != 16 && bc != 24)
    Refuse(std::to_string(bc) + " bits per pixel");
  int colors = ColorsForBitCount(bc);
  if (colors > 0 && h.ColorsUsed != 0 && h.ColorsUsed < static_cast<std::uint32_t>(colors))
    Refuse("a colour table of " + std::to_string(h.ColorsUsed) + " entries (" + std::to_string(colors) +
           " needed)");
  std::int64_t needed = DibDataSize(h.Width, h.Height, bc);
  if (needed < 0) Refuse("pixel data size overflows");
  if (static_cast<std::uint64_t>(needed) > blockSize)
    Refuse("the block holds " + std::to_string(blockSize) + " bytes, the header needs " +
           std::to_string(needed));
}

void TDIB::ParseHeader() {
  int bc = Header->BitCount;
  Colors = ColorsForBitCount(bc);
  std::uint8_t* base = reinterpret_cast<std::uint8_t*>(Header);
  Palette = base + kInfoHeaderSize;
  Bits = FileHeader.DataOffset != 0 ? base + (FileHeader.DataOffset - 14) : Palette + Colors * 4;
  Stride = DibStride(Header->Width, bc);
  RowBytes = (static_cast<std::int64_t>(Header->Width) * bc + 7) / 8;
  switch (bc) {
    case 1:
      Format = df1Bit;
      Getter = Get1;
      Setter = Set1;
      break;
    case 4:
      Format = df4Bit;
      Getter = Get4;
      Setter = Set4;
      break;
    case 8:
      Format = df8Bit;
      Getter = Get8;
      Setter = Set8;
      break;
    case 15:
      Format = df15Bit;
      Getter = Get15;
      Setter = Set15;
      break;
    case 16:
      Format = df16Bit;
      Getter = Get16;
      Setter = Set16;
      break;
    default:
      Format = df24Bit;
      Getter = Get24;
      Setter = Set24;
      break;
  }
  DataSize = kInfoHeaderSize + Colors * 4 + static_cast<std::int64_t>(Header->Height) * Stride;
}

void TDIB::BuildRows() {
  const int height = Header->Height;
  // Every entry up to the height is written below: no fill first (glyph
  // bitmaps are reshaped for every character). The table only grows, so a
  // bitmap reshaped smaller and then taller again does not fill the entries
  // in between with nulls first; no entry past the height is ever read.
  if (Rows.size() < static_cast<std::size_t>(height)) Rows.resize(static_cast<std::size_t>(height));
  std::uint8_t* const bits = Bits;
  const std::int64_t stride = Stride;
  std::uint8_t** const rows = Rows.data();
  for (int i = 0; i < height; ++i) rows[i] = bits + static_cast<std::int64_t>(height - 1 - i) * stride;
}

void TDIB::LoadFromHandle(TGlobalHandle handle) {
  Clear();
  Handle = handle;
  if (Handle == nullptr) return;
  try {
    Lock();
    ValidateLoadedHeader();
  } catch (...) {
    Clear();
    throw;
  }
  ParseHeader();
  BuildRows();
}

void TDIB::CreateNew(int width, int height, int format, int xDpi, int yDpi) {
  Clear();
  static constexpr int kBitCounts[] = {0, 1, 4, 8, 16, 16, 24};
  if (format < 1 || format > 6) throw EOCRError("Bit depht not allowed");
  if (width < 0 || height < 0 || width > kMaxDimension || height > kMaxDimension)
    throw EOCRError("Bitmap dimensions " + std::to_string(width) + " x " + std::to_string(height) +
                    " are not supported");
  int bc = kBitCounts[format];
  int colors = ColorsForBitCount(bc);
  std::int64_t stride = DibStride(width, bc);
  std::int64_t size = DibDataSize(width, height, bc);
  Handle = GlobalAllocZeroed(static_cast<std::size_t>(size));
  OwnsHandle = true;
  Lock();
  FileHeader.Type = 19778;
  FileHeader.FileSize = static_cast<std::uint32_t>(size);
  FileHeader.DataOffset = static_cast<std::uint32_t>(colors * 4 + 54);
  TBitmapInfoHeader& h = *Header;
  h.Size = kInfoHeaderSize;
  h.Width = width;
  h.Height = height;
  h.Planes = 1;
  h.BitCount = static_cast<std::uint16_t>(bc);
  h.Compression = 0;
  h.ImageSize = static_cast<std::uint32_t>(height * stride);
  h.XPelsPerMeter = RoundToInt(xDpi * 39.37);
  h.YPelsPerMeter = RoundToInt(yDpi * 39.37);
  h.ColorsUsed = h.ColorsImportant = static_cast<std::uint32_t>(colors);
  std::uint8_t* palette = reinterpret_cast<std::uint8_t*>(Header) + kInfoHeaderSize;
  for (int i = 0; i < colors; ++i) {
    std::uint8_t grey = colors == 2 ? static_cast<std::uint8_t>(i * 255)
                                    : static_cast<std::uint8_t>(RoundToInt(256.0 / colors * i));
    palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = grey;
  }
  ParseHeader();
  // A 15-bit bitmap is laid out with 16 bits per pixel but keeps its format.
  if (format == df15Bit) Format = df15Bit;
  BuildRows();
}

void TDIB::Reshape8Bit(int width, int height) {
  const std::int64_t size = DibDataSize(width, height, 8);
  const bool fits = !Empty() && Format == df8Bit && OwnsHandle && LockCount == 1 && width >= 0 &&
                    height >= 0 && width <= kMaxDimension && height <= kMaxDimension && size >= 0 &&
                    static_cast<std::size_t>(size) <= GlobalSize(Handle);
  if (!fits) {
    CreateNew(width, height, df8Bit, XResolution(), YResolution());
    return;
  }
  Header->Width = width;
  Header->Height = height;
  Header->ImageSize = static_cast<std::uint32_t>(height * DibStride(width, 8));
  if (FileHeader.Type != 0) FileHeader.FileSize = static_cast<std::uint32_t>(size);
  ParseHeader();
  BuildRows();
}

int TDIB::XResolution() const { return Header ? RoundToInt(Header->XPelsPerMeter / 39.37) : 0; }
int TDIB::YResolution() const { return Header ? RoundToInt(Header->YPelsPerMeter / 39.37) : 0; }

std::uint32_t TDIB::PaletteEntry(int index) const {
  std::uint32_t value;
  std::memcpy(&value, Palette + 4 * index, 4);
  return value;
}

void TDIB::SetPaletteEntry(int index, std::uint32_t value) { std::memcpy(Palette + 4 * index, &value, 4); }

void TDIB::AdoptConverted(TGlobalHandle fresh) {
  const int locks = LockCount > 0 ? LockCount : 1;
  while (LockCount > 0) Unlock();
  if (OwnsHandle) {
    // The new block replaces the old one: the pixels are never held twice over.
    GlobalFree(Handle);
    Handle = fresh;
  } else {
    // A borrowed block is resized in place, so that its owner sees the result.
    const std::size_t size = GlobalSize(fresh);
    try {
      GlobalReAlloc(Handle, size);
    } catch (...) {
      GlobalFree(fresh);
      while (LockCount < locks) Lock();
      throw;
    }
    std::memcpy(GlobalLock(Handle), GlobalLock(fresh), size);
    GlobalUnlock(Handle);
    GlobalFree(fresh);
  }
  while (LockCount < locks) Lock();
  FileHeader = TBitmapFileHeader{};
  ParseHeader();
  BuildRows();
}

void TDIB::ConvertTo(TDibFormat format) {
  if (Empty() || format == Format) return;
  if (format == df8Bit) ConvertTo8Bit();
  if (format == df1Bit && Format == df8Bit) ConvertTo1Bit();
}

namespace {

// A new zero-filled block for a converted bitmap, with its header and grey
// or black/white table written; the caller writes the pixels.
TGlobalHandle NewPackedLayout(const TBitmapInfoHeader& old, int bitCount) {
  int w = old.Width, h = old.Height;
  int colors = ColorsForBitCount(bitCount);
  std::int64_t stride = DibStride(w, bitCount);
  TGlobalHandle block = GlobalAllocZeroed(static_cast<std::size_t>(DibDataSize(w, h, bitCount)));
  auto* packed = static_cast<std::uint8_t*>(GlobalLock(block));
  TBitmapInfoHeader nh = old;
  nh.BitCount = static_cast<std::uint16_t>(bitCount);
  nh.ImageSize = static_cast<std::uint32_t>(h * stride);
  nh.ColorsUsed = nh.ColorsImportant = static_cast<std::uint32_t>(colors);
  std::memcpy(packed, &nh, sizeof nh);
  std::uint8_t* palette = packed + kInfoHeaderSize;
  for (int i = 0; i < colors; ++i) {
    std::uint8_t grey = colors == 2 ? static_cast<std::uint8_t>(i * 255) : static_cast<std::uint8_t>(i);
    palette[4 * i] = palette[4 * i + 1] = palette[4 * i + 2] = grey;
  }
  GlobalUnlock(block);
  return block;
}

// Grey level of a 24-bit pixel: each weighted channel is rounded to single
// precision, the sum to the nearest integer with ties to even.
// The weighted channels are taken from tables of those rounded products.
struct TGreyWeights {
  std::array<double, 256> Red, Green, Blue;
};

const TGreyWeights& GreyWeights() {
  static const TGreyWeights weights = [] {
    TGreyWeights w{};
    for (int v = 0; v < 256; ++v) {
      w.Red[v] = static_cast<double>(static_cast<float>(0.3 * v));
      w.Green[v] = static_cast<double>(static_cast<float>(0.59 * v));
      w.Blue[v] = static_cast<double>(static_cast<float>(0.11 * v));
    }
    return w;
  }();
  return weights;
}

std::uint8_t GreyOf24(const TGreyWeights& w, std::uint8_t blue, std::uint8_t green, std::uint8_t red) {
  return static_cast<std::uint8_t>(std::nearbyint(w.Red[red] + w.Green[green] + w.Blue[blue]));
}

}  // namespace

void TDIB::ConvertTo8Bit() {
  if (Format == df15Bit || Format == df16Bit) return;  // no path; the engine refuses the page later
  int w = Width(), h = Height();
  TGlobalHandle packed = NewPackedLayout(*Header, 8);
  std::int64_t stride = DibStride(w, 8);
  std::uint8_t* bits = static_cast<std::uint8_t*>(GlobalLock(packed)) + kInfoHeaderSize + 1024;
  const TGreyWeights& weights = GreyWeights();
  std::uint8_t grey4[16];
  if (Format == df4Bit) {
    for (int i = 0; i < 16; ++i) {
      const std::uint8_t* e = Palette + 4 * i;
      grey4[i] = static_cast<std::uint8_t>((e[0] + e[1] + e[2]) / 3);
    }
  }
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = bits + static_cast<std::int64_t>(h - 1 - y) * stride;
    const std::uint8_t* src = Rows[y];
    switch (Format) {
      case df1Bit: {
        // Eight pixels per source byte through a table of expanded bytes.
        static const auto kExpanded = [] {
          std::array<std::array<std::uint8_t, 8>, 256> table{};
          for (int b = 0; b < 256; ++b)
            for (int k = 0; k < 8; ++k) table[b][k] = ((b >> (7 - k)) & 1) ? 255 : 0;
          return table;
        }();
        int x = 0;
        for (; x + 8 <= w; x += 8) std::memcpy(dst + x, kExpanded[src[x >> 3]].data(), 8);
        for (; x < w; ++x) dst[x] = kExpanded[src[x >> 3]][x & 7];
        break;
      }
      case df4Bit:
        for (int x = 0; x < w; ++x) dst[x] = grey4[(x & 1) ? (src[x >> 1] & 0x0F) : (src[x >> 1] >> 4)];
        break;
      default:  // df24Bit
        for (int x = 0; x < w; ++x) dst[x] = GreyOf24(weights, src[3 * x], src[3 * x + 1], src[3 * x + 2]);
        break;
    }
  }
  GlobalUnlock(packed);
  AdoptConverted(packed);
}

void TDIB::ConvertTo1Bit() {
  int w = Width(), h = Height();
  TGlobalHandle packed = NewPackedLayout(*Header, 1);
  std::int64_t stride = DibStride(w, 1);
  std::uint8_t* bits = static_cast<std::uint8_t*>(GlobalLock(packed)) + kInfoHeaderSize + 8;
  for (int y = 0; y < h; ++y) {
    std::uint8_t* dst = bits + static_cast<std::int64_t>(h - 1 - y) * stride;
    const std::uint8_t* src = Rows[y];
    for (int x = 0; x < w; ++x)
      if (src[x] != 0) dst[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
  GlobalUnlock(packed);
  AdoptConverted(packed);
}

}  // namespace omniocr
