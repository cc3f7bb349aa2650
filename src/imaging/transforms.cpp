#include "imaging/transforms.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

// Copies columns left..left+width-1 of a row of any bit count to column 0.
void CopyRowSpan(const std::uint8_t* source, int left, int width, int bitCount, std::uint8_t* target) {
  if (bitCount >= 8) {
    const std::size_t bytesPerPixel = static_cast<std::size_t>(bitCount / 8);
    std::memcpy(target, source + bytesPerPixel * static_cast<std::size_t>(left),
                bytesPerPixel * static_cast<std::size_t>(width));
    return;
  }
  for (int x = 0; x < width; ++x) SetIndex(target, x, bitCount, GetIndex(source, left + x, bitCount));
}

TDibGraphic BlankLike(const TDibGraphic& source, int width, int height, int bitCount) {
  TDibGraphic result;
  result.SetSize(width, height, bitCount);
  result.XDpi = source.XDpi;
  result.YDpi = source.YDpi;
  return result;
}

TDibGraphic ToTrueColor(const TDibGraphic& image) {
  TDibGraphic result = BlankLike(image, image.Width(), image.Height(), 24);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    std::uint8_t* target = result.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x)
      SetColor24(target, x, GetColor(source, x, image.BitCount(), image.Palette()));
  }
  return result;
}

TDibGraphic ToGrey(const TDibGraphic& image) {
  TDibGraphic result = BlankLike(image, image.Width(), image.Height(), 8);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    std::uint8_t* target = result.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x)
      target[x] = static_cast<std::uint8_t>(GreyOf(GetColor(source, x, image.BitCount(), image.Palette())));
  }
  return result;
}

// Two levels: a pixel darker than mid-grey becomes black (index 0).
TDibGraphic ToBilevel(const TDibGraphic& image) {
  TDibGraphic result = BlankLike(image, image.Width(), image.Height(), 1);
  for (int y = 0; y < image.Height(); ++y) {
    const std::uint8_t* source = image.ScanLine(y);
    std::uint8_t* target = result.ScanLine(y);
    for (int x = 0; x < image.Width(); ++x)
      SetIndex(target, x, 1, GreyOf(GetColor(source, x, image.BitCount(), image.Palette())) >= 128 ? 1 : 0);
  }
  return result;
}

}  // namespace

void TCropTransform::ApplyOnDest(const TDibGraphic& source, TDibGraphic& destination) const {
  if (Left >= Right || Top >= Bottom) throw EImageError("Invalid crop parameters");
  // Clipped to the source on every side: a crop never reads outside it, and
  // one that holds no pixel of the source is as invalid as an empty one.
  const int left = std::max(Left, 0);
  const int top = std::max(Top, 0);
  const int right = std::min(Right, source.Width());
  const int bottom = std::min(Bottom, source.Height());
  if (left >= right || top >= bottom) throw EImageError("Invalid crop parameters");

  TDibGraphic result = BlankLike(source, right - left, bottom - top, source.BitCount());
  result.Palette() = source.Palette();
  for (int y = top; y < bottom; ++y)
    CopyRowSpan(source.ScanLine(y), left, right - left, source.BitCount(), result.ScanLine(y - top));
  destination = std::move(result);
}

void TImageFormatTransform::Apply(TDibGraphic& image) const {
  if (BitCount != 1 && BitCount != 8 && BitCount != 24)
    throw EImageError("cannot convert to " + std::to_string(BitCount) + " bits per pixel");
  if (image.Empty()) return;
  if (BitCount == 24) {
    if (image.BitCount() != 24) image = ToTrueColor(image);
  } else if (BitCount == 8) {
    if (image.BitCount() != 8 || !IsGreyRamp(image.Palette())) image = ToGrey(image);
  } else if (image.BitCount() != 1) {
    image = ToBilevel(image);
  }
}

void TResizeTransform::Apply(TDibGraphic& image) const {
  if (Width <= 0 || Height <= 0)
    throw EImageError("Invalid resize parameters " + std::to_string(Width) + " x " + std::to_string(Height));
  if (image.Empty()) return;
  TDibGraphic result = BlankLike(image, Width, Height, image.BitCount());
  result.Palette() = image.Palette();
  const int bitCount = image.BitCount();
  const std::int64_t sourceWidth = image.Width();
  const std::int64_t sourceHeight = image.Height();
  for (int y = 0; y < Height; ++y) {
    const std::uint8_t* source = image.ScanLine(static_cast<int>(y * sourceHeight / Height));
    std::uint8_t* target = result.ScanLine(y);
    for (int x = 0; x < Width; ++x) {
      const int sx = static_cast<int>(x * sourceWidth / Width);
      if (bitCount == 24)
        std::memcpy(target + 3 * x, source + 3 * sx, 3);
      else
        SetIndex(target, x, bitCount, GetIndex(source, sx, bitCount));
    }
  }
  image = std::move(result);
}

}  // namespace omniocr
