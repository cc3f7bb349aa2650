#include <cstring>

#include "imaging/pixel_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

struct TPcxHeader {
  int Encoding = 0;
  int BitsPerPixel = 0;
  int Planes = 0;
  std::int64_t Width = 0;
  std::int64_t Height = 0;
  std::size_t BytesPerLine = 0;
  int XDpi = 0;
  int YDpi = 0;
  std::vector<std::uint32_t> HeaderPalette;  // 16 entries
};

TPcxHeader ReadHeader(TByteReader& r) {
  TPcxHeader h;
  r.Skip(2);
  h.Encoding = r.U8();
  h.BitsPerPixel = r.U8();
  const int xMin = r.U16LE(), yMin = r.U16LE(), xMax = r.U16LE(), yMax = r.U16LE();
  h.XDpi = r.U16LE();
  h.YDpi = r.U16LE();
  const std::uint8_t* colours = r.Bytes(48);
  for (int i = 0; i < 16; ++i)
    h.HeaderPalette.push_back(MakeColor(colours[3 * i], colours[3 * i + 1], colours[3 * i + 2]));
  r.Skip(1);
  h.Planes = r.U8();
  h.BytesPerLine = r.U16LE();
  r.Seek(128);
  h.Width = static_cast<std::int64_t>(xMax) - xMin + 1;
  h.Height = static_cast<std::int64_t>(yMax) - yMin + 1;
  return h;
}

// Decodes the run-length stream one scan line (all planes) at a time; a run
// may continue across lines.
class TPcxLines {
 public:
  TPcxLines(TByteReader& reader, const TPcxHeader& header)
      : R(reader),
        Encoded(header.Encoding == 1),
        Line(header.BytesPerLine * static_cast<std::size_t>(header.Planes)) {}
  const std::uint8_t* Next() {
    for (std::uint8_t& byte : Line) {
      if (Pending == 0) {
        if (R.Remaining() == 0) R.Truncated();
        const std::uint8_t b = R.U8();
        if (Encoded && (b & 0xC0) == 0xC0) {
          Pending = b & 0x3F;
          Value = R.U8();
        } else {
          Pending = 1;
          Value = b;
        }
        if (Pending == 0) continue;  // an empty run: the byte stays as it was
      }
      byte = Value;
      --Pending;
    }
    return Line.data();
  }

 private:
  TByteReader& R;
  bool Encoded;
  std::vector<std::uint8_t> Line;
  unsigned Pending = 0;
  std::uint8_t Value = 0;
};

std::vector<std::uint32_t> TrailingPalette(const std::uint8_t* data, std::size_t size) {
  if (size < 128 + 769 || data[size - 769] != 0x0C) return GreyRampPalette(256);
  std::vector<std::uint32_t> palette;
  const std::uint8_t* p = data + size - 768;
  for (int i = 0; i < 256; ++i) palette.push_back(MakeColor(p[3 * i], p[3 * i + 1], p[3 * i + 2]));
  return palette;
}

}  // namespace

TDibGraphic ReadPcx(const std::uint8_t* data, std::size_t size) {
  TByteReader r(data, size, "PCX");
  TPcxHeader h = ReadHeader(r);
  const int bpp = h.BitsPerPixel, planes = h.Planes;
  const bool indexed = (planes == 1 && (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8)) ||
                       (bpp == 1 && planes >= 1 && planes <= 4);
  const bool colour = bpp == 8 && (planes == 3 || planes == 4);
  if (!indexed && !colour)
    throw EImageError("PCX with " + std::to_string(planes) + " planes of " + std::to_string(bpp) + " bits");
  CheckImageSize(h.Width, h.Height, "PCX");
  if (h.BytesPerLine * 8 < static_cast<std::size_t>(h.Width) * static_cast<std::size_t>(bpp))
    throw EImageError("PCX line of " + std::to_string(h.BytesPerLine) + " bytes is too short");
  // Every encoded byte yields at most 63 pixels' bytes: refuse before allocating.
  if (static_cast<double>(h.BytesPerLine) * planes * static_cast<double>(h.Height) >
      63.0 * static_cast<double>(size))
    throw EImageError("truncated PCX data");

  const int w = static_cast<int>(h.Width), height = static_cast<int>(h.Height);
  const bool bilevel = bpp == 1 && planes == 1;
  TDibGraphic image;
  image.SetSize(w, height, colour ? 24 : bilevel ? 1 : 8);
  image.XDpi = h.XDpi;
  image.YDpi = h.YDpi;
  TPcxLines lines(r, h);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* line = lines.Next();
    std::uint8_t* target = image.ScanLine(y);
    for (int x = 0; x < w; ++x) {
      if (colour) {
        const std::size_t n = h.BytesPerLine;
        unsigned red = line[x], green = line[n + x], blue = line[2 * n + x];
        if (planes == 4) {
          const unsigned a = line[3 * n + x];
          red = OverWhite(red, a), green = OverWhite(green, a), blue = OverWhite(blue, a);
        }
        SetColor24(target, x, MakeColor(red, green, blue));
      } else if (bpp == 1) {
        unsigned index = 0;
        for (int p = 0; p < planes; ++p) index |= GetIndex(line + p * h.BytesPerLine, x, 1) << p;
        SetIndex(target, x, bilevel ? 1 : 8, index);
      } else if (bpp == 2) {
        target[x] = static_cast<std::uint8_t>((line[x >> 2] >> (6 - 2 * (x & 3))) & 3);
      } else {
        target[x] = static_cast<std::uint8_t>(GetIndex(line, x, bpp));
      }
    }
  }
  if (bilevel)
    image.Palette() = {GreyColor(0), GreyColor(255)};
  else if (!colour)
    image.Palette() = bpp == 8 ? TrailingPalette(data, size) : h.HeaderPalette;
  NormaliseIndexed(image);
  return image;
}

}  // namespace omniocr
