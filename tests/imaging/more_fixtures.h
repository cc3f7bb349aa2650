#pragma once

// Fixtures of the formats read through giflib, libwebp and poppler, written
// with giflib, libwebp and libharu.

#include <string>
#include <vector>

#include "imaging/image_fixtures.h"

namespace omniocr::test {

// A GIF of one image of `indices` (one byte per pixel, rows top first)
// placed at Left, Top of a screen of ScreenW x ScreenH.
struct TGifSpec {
  int ScreenW = 0, ScreenH = 0, Left = 0, Top = 0, Width = 0, Height = 0;
  std::vector<std::uint8_t> Palette;  // RGB triples; the count is rounded up to a power of two
  TBytes Indices;
  bool Interlaced = false;
  int Transparent = -1;  // colour index, -1 for none
};
TBytes EncodeGif(const TGifSpec& spec);

// A lossless WebP of RGB (3 bytes per pixel) or RGBA (4) samples.
TBytes EncodeWebp(int width, int height, int channels, const TBytes& samples);

// A PDF page in points with black rectangles (left, bottom, width, height in
// points, PDF's upward y) and lines of Helvetica text at (x, y) and a size.
struct TPdfRect {
  double X, Y, W, H;
};
struct TPdfText {
  double X, Y, Size;
  std::string Text;
};
struct TPdfPageSpec {
  double Width = 0, Height = 0;
  std::vector<TPdfRect> Rects;
  std::vector<TPdfText> Texts;
};
TBytes EncodePdf(const std::vector<TPdfPageSpec>& pages, const std::string& ownerPassword = "",
                 const std::string& userPassword = "");

}  // namespace omniocr::test
