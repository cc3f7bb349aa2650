#pragma once

// Which pixels of an image are ink, decided as the engine decides it: grey
// levels below the threshold from Otsu's split of the grey histogram.

#include <cstdint>
#include <vector>

#include "imaging/dib_graphic.h"
#include "imaging/leptonica_image.h"

namespace omniocr {

// The grey level of every pixel, row by row from the top.
std::vector<std::uint8_t> GreyLevels(const TDibGraphic& image);

// The ink threshold of grey levels: a level below it is ink.
int InkThreshold(const std::vector<std::uint8_t>& grey);

// A 1 bpp Leptonica image of the same size with 1 where `image` holds ink.
TPixPtr InkMask(const TDibGraphic& image);

}  // namespace omniocr
