#pragma once

// TDIB: the engine's bitmap. A packed device-independent bitmap (a 40-byte
// information header, a colour table for 1, 4 and 8 bits per pixel, then the
// pixel rows bottom-up, each padded to 4 bytes) held in one movable global
// memory block, with a table of row addresses (row 0 is the top image row)
// and one accessor pair chosen by the bit depth when the header is parsed.

#include <array>
#include <cstdint>
#include <vector>

#include "dibunit/global_memory.h"

namespace omniocr {

enum TDibFormat : std::uint8_t {
  df1Bit = 1,
  df4Bit = 2,
  df8Bit = 3,
  df15Bit = 4,
  df16Bit = 5,
  df24Bit = 6,
};

// The 40-byte bitmap information header, little-endian, as stored.
struct TBitmapInfoHeader {
  std::uint32_t Size;
  std::int32_t Width;
  std::int32_t Height;
  std::uint16_t Planes;
  std::uint16_t BitCount;
  std::uint32_t Compression;
  std::uint32_t ImageSize;
  std::int32_t XPelsPerMeter;
  std::int32_t YPelsPerMeter;
  std::uint32_t ColorsUsed;
  std::uint32_t ColorsImportant;
};
static_assert(sizeof(TBitmapInfoHeader) == 40);

// The 14-byte bitmap file header; kept as fields, never stored packed here.
struct TBitmapFileHeader {
  std::uint16_t Type = 0;
  std::uint32_t FileSize = 0;
  std::uint16_t Reserved1 = 0;
  std::uint16_t Reserved2 = 0;
  std::uint32_t DataOffset = 0;
};

using THistogram = std::array<std::uint64_t, 256>;

// The one ink predicate of the engine. The three low bits of a page byte are
// a fill mark, so the grey level is the byte with those bits cleared.
inline bool IsInkByte(std::uint8_t byte, int threshold) { return (byte & 0xF8) < (threshold & 0xFF); }

class TDIB {
 public:
  using TGetter = std::int32_t (*)(const TDIB&, int x, int y);
  using TSetter = void (*)(TDIB&, int x, int y, std::int32_t value);

  // Largest width or height accepted: keeps every product of two coordinates
  // inside signed 32-bit arithmetic.
  static constexpr int kMaxDimension = 32767;

  TDIB();
  ~TDIB();
  TDIB(const TDIB&) = delete;
  TDIB& operator=(const TDIB&) = delete;

  // Storage.
  void Lock();
  void Unlock();
  void Clear();
  void LoadFromHandle(TGlobalHandle handle);
  void CreateNew(int width, int height, int format, int xDpi, int yDpi);
  // An 8-bit bitmap of another size, its pixels undefined: the block is kept
  // when it holds the new size (a working bitmap reused from call to call),
  // otherwise made anew as CreateNew does, keeping the resolution.
  void Reshape8Bit(int width, int height);

  // Geometry and palette.
  int Width() const { return Header ? Header->Width : 0; }
  int Height() const { return Header ? Header->Height : 0; }
  int BitCount() const { return Header ? Header->BitCount : 0; }
  int XResolution() const;
  int YResolution() const;
  std::uint32_t PaletteEntry(int index) const;
  void SetPaletteEntry(int index, std::uint32_t value);
  bool Empty() const { return Header == nullptr; }
  bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < Width() && y < Height(); }

  // Pixel access, no bounds checks: callers keep x and y inside.
  std::int32_t GetPixel(int x, int y) const { return Getter(*this, x, y); }
  void SetPixel(int x, int y, std::int32_t value) { Setter(*this, x, y, value); }
  std::uint8_t PixelByte(int x, int y) const { return Rows[y][x]; }
  std::uint8_t* Row(int y) const { return Rows[y]; }
  std::uint8_t PixelClass(int x, int y, int threshold, std::uint8_t inkValue, std::uint8_t paperValue) const {
    return IsInkByte(Rows[y][x], threshold) ? inkValue : paperValue;
  }

  // Conversion in place (8-bit grey from any readable format; 1-bit from 8-bit).
  void ConvertTo(TDibFormat format);

  // Histogram and grey-ramp test.
  void Histogram(THistogram& histogram) const;
  bool IsGreyRamp() const;

  // Region copies, two-level filters and profiles.
  TDIB* CopyRect(int left, int top, int right, int bottom) const;
  // Raises CopyRect's error unless the rectangle lies inside the bitmap.
  void RequireRectInside(int left, int top, int right, int bottom) const;
  TDIB* Duplicate() const;
  std::int32_t WhiteIndex() const;
  std::int32_t BlackIndex() const;
  void EraseThinInk();
  void FillThinGaps();
  void SmoothBilevel();
  std::vector<std::int32_t> ColumnProfile(int low, int high, int left, int top, int right, int bottom) const;
  static void FreeProfile(std::vector<std::int32_t>& profile) { profile = {}; }

  // Fields of the packed bitmap, valid while loaded.
  TGlobalHandle Handle = nullptr;
  bool OwnsHandle = true;
  TBitmapInfoHeader* Header = nullptr;
  int LockCount = 0;
  TBitmapFileHeader FileHeader;
  std::uint8_t* Palette = nullptr;
  std::uint8_t* Bits = nullptr;
  int Colors = 0;
  std::int64_t Stride = 0;
  std::int64_t RowBytes = 0;
  std::int64_t DataSize = 0;
  TDibFormat Format = df8Bit;
  std::vector<std::uint8_t*> Rows;

 private:
  void ParseHeader();
  void BuildRows();
  void ValidateLoadedHeader() const;
  // Takes a converted bitmap's new block in place of the old one.
  void AdoptConverted(TGlobalHandle fresh);
  void ConvertTo8Bit();
  void ConvertTo1Bit();
  void SetBetweenEqualNeighbours(std::int32_t value);

  TGetter Getter = nullptr;
  TSetter Setter = nullptr;
};

// Bytes per stored row and per packed bitmap for a layout; 64-bit, and -1
// when the numbers do not fit.
std::int64_t DibStride(std::int64_t width, int bitCount);
std::int64_t DibDataSize(std::int64_t width, std::int64_t height, int bitCount);

}  // namespace omniocr
