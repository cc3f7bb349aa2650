#pragma once

// Which pixels of an image are ink, decided as the engine decides it: grey
// levels below the threshold from Otsu's split of the grey histogram.

#include <cstdint>

#include "dibunit/dib.h"
#include "imaging/dib_graphic.h"
#include "imaging/leptonica_image.h"

namespace omniocr {

// How many pixels of the image have each grey level.
THistogram GreyHistogram(const TDibGraphic& image);

// The ink threshold of an image of that histogram: a level below it is ink.
int InkThreshold(const THistogram& histogram);

// The number of ink pixels of an image of that histogram.
std::uint64_t InkPixels(const THistogram& histogram);

// A 1 bpp Leptonica image of the same size with 1 where `image` holds ink;
// the second form for a caller that has the image's grey histogram at hand.
TPixPtr InkMask(const TDibGraphic& image);
TPixPtr InkMask(const TDibGraphic& image, const THistogram& greyHistogram);

}  // namespace omniocr
