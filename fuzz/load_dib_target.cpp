// Raw blocks as packed bitmaps: the loader accepts exactly the layouts it
// reads and refuses every other one, and what it accepts converts to the
// 8-bit page every run works on.

#include <cstdlib>
#include <cstring>

#include "dibunit/dib.h"
#include "dibunit/errors.h"
#include "dibunit/global_memory.h"
#include "fuzz/fuzz_targets.h"

namespace omniocr::fuzz {

void LoadDibTarget(const std::uint8_t* data, std::size_t size) {
  TGlobalHandle block = GlobalAllocZeroed(size);
  if (size > 0) {
    std::memcpy(GlobalLock(block), data, size);
    GlobalUnlock(block);
  }
  TDIB dib;
  try {
    dib.LoadFromHandle(block);  // frees the block itself when it refuses
  } catch (const EOCRError&) {
    return;
  }
  const int width = dib.Width(), height = dib.Height();
  std::int64_t sum = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) sum += dib.GetPixel(x, y);
  dib.ConvertTo(df8Bit);
  if (dib.Width() != width || dib.Height() != height) std::abort();
  if (dib.Format != df8Bit) {
    if (dib.Format != df15Bit && dib.Format != df16Bit) std::abort();
    return;
  }
  THistogram histogram;
  dib.Histogram(histogram);
  std::uint64_t counted = 0;
  for (std::uint64_t n : histogram) counted += n;
  if (counted != static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height)) std::abort();
  dib.ConvertTo(df1Bit);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) sum += dib.GetPixel(x, y);
  if (sum < 0) std::abort();
}

}  // namespace omniocr::fuzz
