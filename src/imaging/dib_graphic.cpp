#include "imaging/dib_graphic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "dibunit/dib.h"
#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {

std::vector<std::uint32_t> GreyRampPalette(int entries) {
  std::vector<std::uint32_t> palette(static_cast<std::size_t>(entries));
  for (int i = 0; i < entries; ++i)
    palette[static_cast<std::size_t>(i)] = GreyColor(static_cast<unsigned>(i * 255 / (entries - 1)));
  return palette;
}

bool IsGreyRamp(const std::vector<std::uint32_t>& palette) {
  if (palette.size() != 256) return false;
  for (unsigned i = 0; i < 256; ++i)
    if ((palette[i] & 0xFFFFFFu) != GreyColor(i)) return false;
  return true;
}

bool IsBlackWhite(const std::vector<std::uint32_t>& palette) {
  return palette.size() == 2 && (palette[0] & 0xFFFFFFu) == 0 && (palette[1] & 0xFFFFFFu) == 0xFFFFFFu;
}

int LightestEntry(const std::vector<std::uint32_t>& palette) {
  int lightest = 0;
  for (std::size_t i = 1; i < palette.size(); ++i)
    if (GreyOf(palette[i]) > GreyOf(palette[static_cast<std::size_t>(lightest)]))
      lightest = static_cast<int>(i);
  return lightest;
}

void TDibGraphic::SetSize(int width, int height, int bitCount) {
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
    throw EImageError("unsupported pixel format of " + std::to_string(bitCount) + " bits");
  if (width < 0 || height < 0 || static_cast<std::int64_t>(width) * height > kMaxImagePixels)
    throw EImageError("image of " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels is too large");
  Clear();
  const std::int64_t stride = DibStride(width, bitCount);
  Pixels_.assign(static_cast<std::size_t>(stride * height), 0);
  Width_ = width;
  Height_ = height;
  BitCount_ = bitCount;
  Stride_ = stride;
  if (bitCount <= 8) Palette_ = GreyRampPalette(1 << bitCount);
}

void TDibGraphic::Clear() {
  Width_ = Height_ = BitCount_ = 0;
  Stride_ = 0;
  Pixels_.clear();
  Pixels_.shrink_to_fit();
  Palette_.clear();
}

namespace {

std::int32_t DpiToPelsPerMetre(int dpi) { return static_cast<std::int32_t>(std::lround(dpi * 39.37)); }

// How the stored index of a 1- or 8-bit image is rewritten so that the engine,
// which reads 1-bit values and 8-bit indices without the colour table, sees
// black as 0 and the true grey levels.
std::vector<std::uint8_t> EngineIndexMap(const TDibGraphic& image) {
  const std::vector<std::uint32_t>& palette = image.Palette();
  std::vector<std::uint8_t> map(palette.size());
  if (image.BitCount() == 1) {
    const bool reversed = palette.size() == 2 && GreyOf(palette[0]) > GreyOf(palette[1]);
    map = {static_cast<std::uint8_t>(reversed ? 1 : 0), static_cast<std::uint8_t>(reversed ? 0 : 1)};
  } else {
    for (std::size_t i = 0; i < palette.size(); ++i) map[i] = static_cast<std::uint8_t>(GreyOf(palette[i]));
  }
  return map;
}

bool IsIdentity(const std::vector<std::uint8_t>& map) {
  for (std::size_t i = 0; i < map.size(); ++i)
    if (map[i] != i) return false;
  return true;
}

}  // namespace

TGlobalHandle TDibGraphic::GetPackedDib() const {
  if (Empty()) throw EImageError("the image is empty");
  const int colors = BitCount_ <= 8 ? 1 << BitCount_ : 0;
  const std::size_t paletteBytes = 4u * static_cast<std::size_t>(colors);
  const std::size_t pixelBytes = static_cast<std::size_t>(Stride_ * Height_);
  TGlobalHandle handle = GlobalAllocZeroed(40 + paletteBytes + pixelBytes);
  auto* base = static_cast<std::uint8_t*>(GlobalLock(handle));

  TBitmapInfoHeader header{40,
                           Width_,
                           Height_,
                           1,
                           static_cast<std::uint16_t>(BitCount_),
                           0,
                           static_cast<std::uint32_t>(pixelBytes),
                           DpiToPelsPerMetre(XDpi),
                           DpiToPelsPerMetre(YDpi),
                           static_cast<std::uint32_t>(colors),
                           static_cast<std::uint32_t>(colors)};
  std::memcpy(base, &header, sizeof header);

  // 1- and 8-bit images go out as black/white and grey ramp; 4-bit ones keep
  // their table, which the engine consults.
  std::vector<std::uint32_t> palette = Palette_;
  palette.resize(static_cast<std::size_t>(colors), 0);
  std::vector<std::uint8_t> map;
  if (BitCount_ == 1 || BitCount_ == 8) {
    map = EngineIndexMap(*this);
    map.resize(static_cast<std::size_t>(colors), 0);
    palette = GreyRampPalette(colors);
  }
  for (int i = 0; i < colors; ++i) std::memcpy(base + 40 + 4 * i, &palette[static_cast<std::size_t>(i)], 4);

  std::uint8_t* bits = base + 40 + paletteBytes;
  const bool remap = !map.empty() && !IsIdentity(map);
  for (int y = 0; y < Height_; ++y) {
    std::uint8_t* target =
        bits + static_cast<std::size_t>(Height_ - 1 - y) * static_cast<std::size_t>(Stride_);
    const std::uint8_t* source = ScanLine(y);
    if (!remap) {
      std::memcpy(target, source, static_cast<std::size_t>(Stride_));
    } else if (BitCount_ == 8) {
      for (int x = 0; x < Width_; ++x) target[x] = map[source[x]];
    } else {
      for (int x = 0; x < Width_; ++x) SetIndex(target, x, 1, map[GetIndex(source, x, 1)]);
    }
  }
  GlobalUnlock(handle);
  return handle;
}

}  // namespace omniocr
