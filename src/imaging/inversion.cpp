#include "imaging/inversion.h"

#include <cstdint>

#include "imaging/ink_mask.h"

namespace omniocr {

bool IsMostlyDark(const TDibGraphic& image) {
  if (image.Empty()) return false;
  const std::uint64_t pixels =
      static_cast<std::uint64_t>(image.Width()) * static_cast<std::uint64_t>(image.Height());
  return 2 * InkPixels(GreyHistogram(image)) > pixels;
}

void InvertImage(TDibGraphic& image) {
  if (image.BitCount() <= 8) {
    // The reserved byte of each entry stays as it was.
    for (std::uint32_t& entry : image.Palette()) entry ^= 0xFFFFFFu;
    return;
  }
  const std::size_t bytes = static_cast<std::size_t>(image.Width()) * 3;
  for (int y = 0; y < image.Height(); ++y) {
    std::uint8_t* row = image.ScanLine(y);
    for (std::size_t i = 0; i < bytes; ++i) row[i] = static_cast<std::uint8_t>(~row[i]);
  }
}

}  // namespace omniocr
