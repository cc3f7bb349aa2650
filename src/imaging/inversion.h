#pragma once

// White text on black: a page (or zone) that is mostly ink is a negative,
// and the engine reads dark characters on light paper.

#include "dibunit/dib.h"
#include "imaging/dib_graphic.h"

namespace omniocr {

// True when more than half of the pixels are ink by the image's own ink
// threshold; the second form from the image's grey histogram (GreyHistogram).
bool IsMostlyDark(const TDibGraphic& image);
bool IsMostlyDark(const THistogram& greyHistogram);

// The negative of an image, in place and in its own pixel format: the colour
// table is inverted for 1-, 4- and 8-bit images, the pixels for 24-bit ones.
void InvertImage(TDibGraphic& image);

}  // namespace omniocr
