#pragma once

// Small image files built in memory for the reader tests: the library-backed
// formats through their libraries, the others byte by byte.

#include <cstdint>
#include <string>
#include <vector>

namespace omniocr::test {

using TBytes = std::vector<std::uint8_t>;

// PNG of any colour type and bit depth; `samples` holds the packed rows as
// libpng takes them (rowBytes per row).
struct TPngSpec {
  int Width = 0, Height = 0, ColorType = 0, BitDepth = 8;
  bool Interlaced = false;
  std::vector<std::uint8_t> Palette;       // RGB triples
  std::vector<std::uint8_t> Transparency;  // tRNS bytes (palette alpha or a grey/RGB key)
  TBytes Rows;
};
TBytes EncodePng(const TPngSpec& spec);

// TIFF pages; each page's rows are packed as libtiff takes them.
struct TTiffPageSpec {
  int Width = 0, Height = 0, Bits = 8, Samples = 1, Photometric = 1, Compression = 1;
  bool Tiled = false;
  std::vector<std::uint16_t> ColourMap;  // 3 << Bits entries (red, green, blue)
  TBytes Rows;
};
TBytes EncodeTiff(const std::vector<TTiffPageSpec>& pages);

// JPEG of 1 (grey) or 3 (RGB) components, quality 95.
TBytes EncodeJpeg(int width, int height, int components, const TBytes& samples);

// A BMP file: header of the given size (12, 40, 108 or 124), the colour table,
// optional bit-field masks after a 40-byte header, then `pixels` as stored.
struct TBmpSpec {
  int HeaderSize = 40, Width = 0, Height = 0, BitCount = 24;
  std::uint32_t Compression = 0;
  std::vector<std::uint32_t> Palette;
  std::vector<std::uint32_t> Masks;  // red, green, blue (and alpha)
  TBytes Pixels;
};
TBytes EncodeBmp(const TBmpSpec& spec);

// Rows of a bottom-up DIB from top-down rows, each padded to 4 bytes.
TBytes BottomUpRows(const std::vector<TBytes>& topDownRows);

// A PCX file with run-length coded lines; `lines` are the decoded scan lines
// (all planes), top first.
TBytes EncodePcx(int width, int height, int bitsPerPixel, int planes, int bytesPerLine,
                 const std::vector<TBytes>& lines, const std::vector<std::uint8_t>& palette256 = {});

// An icon directory over images given as (width, height, bits, data).
struct TIconImage {
  int Width, Height, BitCount;
  TBytes Data;
};
TBytes EncodeIcon(const std::vector<TIconImage>& images);

TBytes FromString(const std::string& text);

}  // namespace omniocr::test
