#pragma once

// Shared pieces of the image readers: bounded byte access, size checks and
// the normalisation of palette images to the forms the engine reads.

#include <cstdint>
#include <string>

#include "imaging/dib_graphic.h"
#include "imaging/image_error.h"

namespace omniocr {

// Raises when a declared size is zero, negative or beyond kMaxImagePixels.
void CheckImageSize(std::int64_t width, std::int64_t height, const char* format);

// Compressed data needs some stored bytes for every area it describes, even
// where it codes blank paper. A declared size whose decoded bytes exceed what
// `storedBytes` can expand to at the codec's best ratio `maxRatio` is refused
// as truncated, before anything is allocated for it. Pages of up to
// kFreeDecodedBytes are never refused on these grounds: their allocation is
// harmless and the decoder finds any missing data itself.
constexpr std::uint64_t kFreeDecodedBytes = std::uint64_t{1} << 20;
void CheckExpansion(std::uint64_t decodedBytes, std::uint64_t storedBytes, std::uint64_t maxRatio,
                    const char* format);

// Reads little- or big-endian fields from a byte range; every read past the
// end raises "truncated FORMAT data".
class TByteReader {
 public:
  TByteReader(const std::uint8_t* data, std::size_t size, const char* format)
      : Data(data), Size(size), Format(format) {}

  std::size_t Position() const { return Pos; }
  std::size_t Remaining() const { return Size - Pos; }
  void Seek(std::size_t position);
  void Skip(std::size_t count) {
    Need(count);
    Pos += count;
  }
  std::uint8_t U8() {
    Need(1);
    return Data[Pos++];
  }
  std::uint16_t U16LE();
  std::uint32_t U32LE();
  const std::uint8_t* Bytes(std::size_t count) {
    Need(count);
    const std::uint8_t* p = Data + Pos;
    Pos += count;
    return p;
  }
  [[noreturn]] void Truncated() const;

 private:
  std::size_t Need(std::size_t count) const {
    if (count > Size - Pos) Truncated();
    return count;
  }
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t Pos = 0;
  const char* Format;
};

// Turns a 1-, 4- or 8-bit image with any colour table (possibly shorter than
// its bit count allows) into a normalised form: 1 bit with entry 0 black and
// entry 1 white for a black-and-white table, 8-bit grey ramp for other grey
// tables, 24-bit colour for colour tables. Indices past the table read black.
void NormaliseIndexed(TDibGraphic& image);

// A colour component composited over white paper with the given opacity.
inline std::uint8_t OverWhite(unsigned value, unsigned alpha) {
  return static_cast<std::uint8_t>((value * alpha + 255u * (255u - alpha) + 127u) / 255u);
}

// Dots per inch from a resolution in dots per metre, 0 when unknown.
int DpiFromPerMetre(double perMetre);

}  // namespace omniocr
