#include "support/test_bitmaps.h"

#include <algorithm>
#include <cstring>

namespace omniocr::test {

std::unique_ptr<TDIB> MakeGrey(int width, int height, std::uint8_t fill) {
  auto bitmap = std::make_unique<TDIB>();
  bitmap->CreateNew(width, height, df8Bit, 300, 300);
  for (int y = 0; y < height; ++y) std::memset(bitmap->Row(y), fill, static_cast<std::size_t>(width));
  return bitmap;
}

std::unique_ptr<TDIB> FromArt(const std::vector<std::string>& rows) {
  const int h = static_cast<int>(rows.size());
  int w = 0;
  for (const std::string& r : rows) w = std::max(w, static_cast<int>(r.size()));
  auto bitmap = MakeGrey(w, h, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < static_cast<int>(rows[y].size()); ++x) {
      const char c = rows[y][x];
      if (c == '#') bitmap->SetPixel(x, y, 0);
      if (c >= '1' && c <= '9') bitmap->SetPixel(x, y, 25 * (c - '0'));
    }
  return bitmap;
}

void FillRect(TDIB& bitmap, int x0, int y0, int x1, int y1, std::uint8_t value) {
  for (int y = std::max(y0, 0); y <= std::min(y1, bitmap.Height() - 1); ++y)
    for (int x = std::max(x0, 0); x <= std::min(x1, bitmap.Width() - 1); ++x) bitmap.SetPixel(x, y, value);
}

TOwnedHandle PackBitmap(const TDIB& bitmap) {
  TOwnedHandle handle(GlobalAllocZeroed(static_cast<std::size_t>(bitmap.DataSize)));
  void* target = GlobalLock(handle.get());
  std::memcpy(target, bitmap.Header, static_cast<std::size_t>(bitmap.DataSize));
  GlobalUnlock(handle.get());
  return handle;
}

TOwnedHandle MakePackedDib(int width, int height, int bitCount,
                           const std::function<std::uint32_t(int x, int y)>& pixel,
                           const std::vector<std::uint32_t>& palette) {
  const int colors = bitCount <= 8 ? 1 << bitCount : 0;
  const int storageBits = bitCount == 15 ? 16 : bitCount;
  const std::int64_t stride = DibStride(width, bitCount);
  const std::size_t size =
      40 + 4 * static_cast<std::size_t>(colors) + static_cast<std::size_t>(height * stride);
  TOwnedHandle handle(GlobalAllocZeroed(size));
  auto* base = static_cast<std::uint8_t*>(GlobalLock(handle.get()));
  TBitmapInfoHeader header{40,
                           width,
                           height,
                           1,
                           static_cast<std::uint16_t>(bitCount),
                           0,
                           static_cast<std::uint32_t>(height * stride),
                           11811,
                           11811,
                           static_cast<std::uint32_t>(colors),
                           0};
  std::memcpy(base, &header, 40);
  for (int i = 0; i < colors; ++i) {
    std::uint32_t entry;
    if (i < static_cast<int>(palette.size()))
      entry = palette[i];
    else {
      const std::uint32_t g =
          colors == 2 ? (i ? 255u : 0u) : static_cast<std::uint32_t>(i * 255 / (colors - 1));
      entry = g | (g << 8) | (g << 16);
    }
    std::memcpy(base + 40 + 4 * i, &entry, 4);
  }
  std::uint8_t* bits = base + 40 + 4 * colors;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = bits + static_cast<std::int64_t>(height - 1 - y) * stride;
    for (int x = 0; x < width; ++x) {
      const std::uint32_t v = pixel(x, y);
      switch (storageBits) {
        case 1:
          if (v) row[x >> 3] |= static_cast<std::uint8_t>(0x80 >> (x & 7));
          break;
        case 4: row[x >> 1] |= static_cast<std::uint8_t>((x & 1) ? (v & 15) : ((v & 15) << 4)); break;
        case 8: row[x] = static_cast<std::uint8_t>(v); break;
        case 16:
          if (2 * x + 1 < stride) {
            row[2 * x] = static_cast<std::uint8_t>(v);
            row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          }
          break;
        case 24:  // v = blue << 16 | green << 8 | red, stored blue, green, red
          row[3 * x] = static_cast<std::uint8_t>(v >> 16);
          row[3 * x + 1] = static_cast<std::uint8_t>(v >> 8);
          row[3 * x + 2] = static_cast<std::uint8_t>(v);
          break;
      }
    }
  }
  GlobalUnlock(handle.get());
  return handle;
}

std::vector<std::uint8_t> BlockBytes(TGlobalHandle handle) {
  std::vector<std::uint8_t> bytes(GlobalSize(handle));
  const void* data = GlobalLock(handle);
  std::memcpy(bytes.data(), data, bytes.size());
  GlobalUnlock(handle);
  return bytes;
}

}  // namespace omniocr::test
