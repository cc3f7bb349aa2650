#include "imaging/ink_mask.h"

#include <leptonica/allheaders.h>

#include <new>

#include "dibunit/threshold.h"
#include "imaging/pixel_access.h"

namespace omniocr {

std::vector<std::uint8_t> GreyLevels(const TDibGraphic& image) {
  const int width = image.Width(), height = image.Height(), bits = image.BitCount();
  std::vector<std::uint8_t> grey(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  std::vector<std::uint8_t> greyOfIndex;
  if (bits <= 8) {
    greyOfIndex.assign(std::size_t{1} << bits, 0);
    for (std::size_t i = 0; i < greyOfIndex.size() && i < image.Palette().size(); ++i)
      greyOfIndex[i] = static_cast<std::uint8_t>(GreyOf(image.Palette()[i] & 0xFFFFFFu));
  }
  std::uint8_t* out = grey.data();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* row = image.ScanLine(y);
    for (int x = 0; x < width; ++x)
      *out++ = bits == 24 ? static_cast<std::uint8_t>(GreyOf(GetColor(row, x, 24, image.Palette())))
                          : greyOfIndex[GetIndex(row, x, bits)];
  }
  return grey;
}

int InkThreshold(const std::vector<std::uint8_t>& grey) {
  THistogram histogram{};
  for (const std::uint8_t level : grey) ++histogram[level];
  return InkThresholdFromOtsu(OtsuThreshold(histogram), histogram);
}

TPixPtr InkMask(const TDibGraphic& image) {
  SilenceLeptonica();
  const std::vector<std::uint8_t> grey = GreyLevels(image);
  const int threshold = InkThreshold(grey);
  TPixPtr mask(pixCreate(image.Width(), image.Height(), 1));
  if (!mask) throw std::bad_alloc();
  pixSetResolution(mask.get(), image.XDpi, image.YDpi);
  const l_int32 wpl = pixGetWpl(mask.get());
  l_uint32* data = pixGetData(mask.get());
  const std::uint8_t* level = grey.data();
  for (int y = 0; y < image.Height(); ++y) {
    l_uint32* line = data + static_cast<std::ptrdiff_t>(y) * wpl;
    for (int x = 0; x < image.Width(); ++x, ++level)
      if (*level < threshold) SET_DATA_BIT(line, x);
  }
  return mask;
}

}  // namespace omniocr
