// Any bytes through the reader the tools use: a page comes out, or the
// reader's own refusal. A page that comes out must also make a packed bitmap
// that the engine's loader accepts, unless it is wider or taller than the
// engine reads (the imaging layer takes larger pages for viewing and cropping).

#include <cstdlib>
#include <new>

#include "dibunit/dib.h"
#include "dibunit/errors.h"
#include "fuzz/fuzz_targets.h"
#include "imaging/image_io.h"

namespace omniocr::fuzz {

namespace {

void ExpectLoadable(const TDibGraphic& image) {
  if (image.Width() <= 0 || image.Height() <= 0) std::abort();
  if (image.Width() > TDIB::kMaxDimension || image.Height() > TDIB::kMaxDimension) return;
  TGlobalHandle packed = image.GetPackedDib();
  TDIB dib;
  dib.LoadFromHandle(packed);  // owns the block from here on
  dib.ConvertTo(df8Bit);
  if (dib.Width() != image.Width() || dib.Height() != image.Height()) std::abort();
}

}  // namespace

void ReadImageTarget(const std::uint8_t* data, std::size_t size) {
  try {
    if (DetectImageFormat(data, size) == TImageFormat::Tiff && CountImages(data, size) > 1)
      ExpectLoadable(ReadImageMemory(data, size, 2));
  } catch (const EImageError&) {
  }
  try {
    ExpectLoadable(ReadImageMemory(data, size));
  } catch (const EImageError&) {
  }
}

}  // namespace omniocr::fuzz
