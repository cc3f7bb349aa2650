#include "engine/classify/grey_band.h"

#include <algorithm>

#include "engine/byte_scan.h"

namespace omniocr {

namespace {

// The smallest byte whose grey level (low three bits cleared) is not below
// the threshold's low byte, as the pixel test compares them.
int FirstPaperByte(int threshold) { return ((threshold & 0xFF) + 7) & ~7; }

}  // namespace

TGreyBand::TGreyBand(int t1, int t2) {
  const int a = FirstPaperByte(t1), b = FirstPaperByte(t2);
  Lo = std::min(a, b);
  Hi = std::max(a, b);
}

bool AnyPixelIn(const std::uint8_t* pixels, std::size_t n, const TGreyBand& band) {
  if (band.Empty()) return false;
  return AnyByteIn(pixels, static_cast<int>(n), band.Lo, band.Hi);
}

bool TPageGreyBands::AnyPixelIn(const TDIB& page, const TGreyBand& band, int top, int bottom) {
  if (band.Empty()) return false;
  for (const TAnswer& a : Answers)
    if (a.Page == &page && a.Lo == band.Lo && a.Hi == band.Hi) return a.Any;
  auto rowHolds = [&](int y) { return AnyByteIn(page.Row(y), page.Width(), band.Lo, band.Hi); };
  top = std::max(top, 0);
  bottom = std::min(bottom, page.Height() - 1);
  bool any = false;
  for (int y = top; y <= bottom && !any; ++y) any = rowHolds(y);
  for (int y = 0; y < page.Height() && !any; ++y)
    if (y < top || y > bottom) any = rowHolds(y);
  Answers.push_back({&page, band.Lo, band.Hi, any});
  return any;
}

}  // namespace omniocr
