#pragma once

// Conversion between TDibGraphic and Leptonica's image, without loss: the
// same pixels, the same colour table and the same resolution come back.
//
//   1 bit, table black/white   <-> 1 bpp without colour map (1 = black)
//   1 bit, any other table     <-> 1 bpp with that colour map
//   4 bits                     <-> 4 bpp with the table as colour map
//   8 bits, grey ramp          <-> 8 bpp grey without colour map
//   8 bits, any other table    <-> 8 bpp with that colour map
//   24 bits                    <-> 32 bpp RGB
//
// From Leptonica, 2 bpp images become 4-bit ones with the same colours and
// grey images without a colour map get a grey table; 16 bpp is refused.

#include <memory>

#include "imaging/dib_graphic.h"

struct Pix;

namespace omniocr {

struct TPixDeleter {
  void operator()(Pix* pix) const;
};
using TPixPtr = std::unique_ptr<Pix, TPixDeleter>;

// Raises EImageError for an empty image; std::bad_alloc when Leptonica
// cannot allocate.
TPixPtr ToLeptonica(const TDibGraphic& image);
TDibGraphic FromLeptonica(const Pix& pix);

// Columns and rows added around an image.
struct TBorder {
  int Left = 0, Right = 0, Top = 0, Bottom = 0;
};

// An 8-bit grey image (grey ramp table) inside a white border, as
// pixAddBlackOrWhiteBorder(ToLeptonica(image), ..., L_GET_WHITE_VAL) makes
// it, byte for byte, but in one pass over the pixels; null for any other
// image. std::bad_alloc when Leptonica cannot allocate.
TPixPtr WhiteFramedGrey(const TDibGraphic& image, const TBorder& border);

// Leptonica reports its own failures on standard error unless told not to;
// the callers here report them as exceptions instead. Safe to call often.
void SilenceLeptonica();

}  // namespace omniocr
