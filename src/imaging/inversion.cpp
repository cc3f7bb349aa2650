#include "imaging/inversion.h"

#include <cstdint>
#include <numeric>

#include "imaging/ink_mask.h"

namespace omniocr {

bool IsMostlyDark(const TDibGraphic& image) {
  if (image.Empty()) return false;
  return IsMostlyDark(GreyHistogram(image));
}

bool IsMostlyDark(const THistogram& greyHistogram) {
  const std::uint64_t pixels = std::accumulate(greyHistogram.begin(), greyHistogram.end(), std::uint64_t{0});
  return 2 * InkPixels(greyHistogram) > pixels;
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
