#pragma once

// Bridges between the imaging layer's TDibGraphic and Qt's QImage.

#include <QImage>

#include "imaging/dib_graphic.h"

namespace omniocr::demo {

// A QImage over the pixels of a 24-bit graphic, sharing its memory: painting
// on it paints on the graphic. Valid while the graphic is neither resized nor
// destroyed. Raises EImageError for another pixel format.
QImage TrueColorView(TDibGraphic& graphic);

// A screen-ready copy (32-bit RGB) of a graphic of any pixel format; a null
// image for an empty graphic.
QImage DisplayImage(const TDibGraphic& graphic);

}  // namespace omniocr::demo
