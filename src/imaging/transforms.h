#pragma once

// Transforms of a TDibGraphic: crop, pixel format and resize.

#include "imaging/dib_graphic.h"

namespace omniocr {

// Cuts the columns Left..Right-1 and rows Top..Bottom-1 (clipped at the
// source's right and bottom edges) out of a source, in the source's format.
// Raises "Invalid crop parameters" when Left >= Right or Top >= Bottom.
class TCropTransform {
 public:
  enum TCropMode { cmAbsolute };
  TCropTransform() = default;
  TCropTransform(int left, int top, int right, int bottom)
      : Left(left), Top(top), Right(right), Bottom(bottom) {}
  void ApplyOnDest(const TDibGraphic& source, TDibGraphic& destination) const;

  TCropMode Mode = cmAbsolute;
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
};

// Converts an image in place to another bit count (24 = true colour).
class TImageFormatTransform {
 public:
  explicit TImageFormatTransform(int bitCount = 24) : BitCount(bitCount) {}
  void Apply(TDibGraphic& image) const;
  int BitCount;
};

// Stretches an image in place to a new size without interpolation.
class TResizeTransform {
 public:
  TResizeTransform(int width, int height) : Width(width), Height(height) {}
  void Apply(TDibGraphic& image) const;
  int Width;
  int Height;
};

}  // namespace omniocr
