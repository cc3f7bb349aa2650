#include "imaging/reader_support.h"

#include <cmath>

#include "imaging/pixel_access.h"

namespace omniocr {

void CheckImageSize(std::int64_t width, std::int64_t height, const char* format) {
  const std::string size = std::to_string(width) + " x " + std::to_string(height);
  if (width <= 0 || height <= 0) throw EImageError(std::string(format) + " image of size " + size);
  if (width > kMaxImagePixels || height > kMaxImagePixels || width * height > kMaxImagePixels)
    throw EImageError(std::string(format) + " image of " + size + " pixels exceeds the limit of " +
                      std::to_string(kMaxImagePixels) + " pixels");
}

void CheckExpansion(std::uint64_t decodedBytes, std::uint64_t storedBytes, std::uint64_t maxRatio,
                    const char* format) {
  if (decodedBytes <= kFreeDecodedBytes) return;
  if (storedBytes >= (decodedBytes + maxRatio - 1) / maxRatio) return;
  throw EImageError(std::string("truncated ") + format + " data");
}

void TByteReader::Seek(std::size_t position) {
  if (position > Size) Truncated();
  Pos = position;
}

std::uint16_t TByteReader::U16LE() {
  const std::uint8_t* p = Bytes(2);
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t TByteReader::U32LE() {
  const std::uint8_t* p = Bytes(4);
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void TByteReader::Truncated() const { throw EImageError(std::string("truncated ") + Format + " data"); }

namespace {

bool IsGrey(std::uint32_t color) { return RedOf(color) == GreenOf(color) && GreenOf(color) == BlueOf(color); }

void ToBlackWhite(TDibGraphic& image, bool invert) {
  if (invert) {
    for (int y = 0; y < image.Height(); ++y) {
      std::uint8_t* row = image.ScanLine(y);
      for (std::int64_t i = 0; i < image.Stride(); ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
    }
  }
  image.Palette() = {GreyColor(0), GreyColor(255)};
}

TDibGraphic ExpandIndexed(const TDibGraphic& image, bool grey, const std::vector<std::uint32_t>& palette) {
  TDibGraphic result;
  result.SetSize(image.Width(), image.Height(), grey ? 8 : 24);
  result.XDpi = image.XDpi;
  result.YDpi = image.YDpi;
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    std::uint8_t* target = result.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x) {
      const std::uint32_t color = GetColor(source, x, image.BitCount(), palette);
      if (grey)
        target[x] = static_cast<std::uint8_t>(BlueOf(color));
      else
        SetColor24(target, x, color);
    }
  }
  return result;
}

}  // namespace

void NormaliseIndexed(TDibGraphic& image) {
  if (image.BitCount() == 24 || image.Empty()) return;
  std::vector<std::uint32_t> palette = image.Palette();
  const std::size_t entries = std::size_t{1} << image.BitCount();
  palette.resize(entries, 0);
  for (std::uint32_t& entry : palette) entry &= 0xFFFFFFu;
  if (image.BitCount() == 1 && palette[0] == 0 && palette[1] == 0xFFFFFFu) return ToBlackWhite(image, false);
  if (image.BitCount() == 1 && palette[0] == 0xFFFFFFu && palette[1] == 0) return ToBlackWhite(image, true);
  if (image.BitCount() == 8 && IsGreyRamp(palette)) {
    image.Palette() = palette;
    return;
  }
  bool grey = true;
  for (std::uint32_t entry : palette) grey = grey && IsGrey(entry);
  image = ExpandIndexed(image, grey, palette);
}

int DpiFromPerMetre(double perMetre) {
  if (!(perMetre > 0) || perMetre > 1e7) return 0;
  return static_cast<int>(std::lround(perMetre * 0.0254));
}

}  // namespace omniocr
