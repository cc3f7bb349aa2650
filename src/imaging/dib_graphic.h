#pragma once

// TDibGraphic: an in-memory image in the pixel formats of a packed
// device-independent bitmap (1, 4, 8 or 24 bits per pixel, rows padded to 4
// bytes), stored top row first unless made to go to the engine as it is
// (bottom row first, as a packed bitmap stores them; ScanLine hides which).
// Images read from files arrive normalised to the three forms the engine
// reads as they are: 1 bit with entry 0 black and entry 1 white, 8 bits with
// a grey-ramp colour table, or 24-bit colour.

#include <cstdint>
#include <optional>
#include <vector>

#include "dibunit/dib.h"
#include "dibunit/global_memory.h"
#include "imaging/pixel_buffer.h"

namespace omniocr {

class TDibGraphic {
 public:
  TDibGraphic() = default;

  // A blank image (all pixel bytes 0); 1- and 8-bit images get the default
  // table (black/white, grey ramp), 4-bit a 16-step grey ramp.
  void SetSize(int width, int height, int bitCount);
  // The same for a caller that writes every row's pixel bytes (the first
  // (width x bits + 7) / 8) before reading any: those start undefined, the
  // padding after them 0. An image stored bottom row first goes to the
  // engine without its rows turned over (TakePackedDib); it is written and
  // read through ScanLine alone, never as one block of rows from ScanLine(0).
  enum class TRowOrder : std::uint8_t { TopFirst, BottomFirst };
  void SetSizeForOverwrite(int width, int height, int bitCount, TRowOrder order = TRowOrder::TopFirst);
  void Clear();
  bool Empty() const { return Width_ == 0 || Height_ == 0; }

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  int BitCount() const { return BitCount_; }
  std::int64_t Stride() const { return Stride_; }

  // Row y from the top; 24-bit pixels are stored blue, green, red.
  std::uint8_t* ScanLine(int y) { return Pixels_.Data() + TopRow_ + y * RowStep_; }
  const std::uint8_t* ScanLine(int y) const { return Pixels_.Data() + TopRow_ + y * RowStep_; }
  TRowOrder RowOrder() const { return RowStep_ < 0 ? TRowOrder::BottomFirst : TRowOrder::TopFirst; }

  // Colour table entries, blue in the low byte, then green, red (empty for 24 bits).
  std::vector<std::uint32_t>& Palette() { return Palette_; }
  const std::vector<std::uint32_t>& Palette() const { return Palette_; }

  // Resolution in dots per inch (0 when unknown).
  int XDpi = 0;
  int YDpi = 0;

  void Assign(const TDibGraphic& source) { *this = source; }

  // A new movable global memory block holding the image as a packed DIB
  // (40-byte header, colour table, rows bottom-up); the caller frees it.
  TGlobalHandle GetPackedDib() const;
  // The same block made in the image's own memory, for an image that is no
  // longer needed: no second copy of the pixels. The image is left empty,
  // also when this raises.
  TGlobalHandle TakePackedDib();

 private:
  void Allocate(int width, int height, int bitCount, bool zeroed, TRowOrder order);

  int Width_ = 0;
  int Height_ = 0;
  int BitCount_ = 0;
  std::int64_t Stride_ = 0;
  // Where the top row starts in the pixels, and how far on the next one.
  std::int64_t TopRow_ = 0;
  std::int64_t RowStep_ = 0;
  TPixelBuffer Pixels_;
  std::vector<std::uint32_t> Palette_;
};

// The histogram the engine counts on the packed bitmap of `image` (its grey
// levels once in 8 bits), from the image's own grey histogram
// (GreyHistogram): the two are the same for 8-bit images, whose indices go
// out as their grey levels, and for bilevel ones whose table is black and
// white. Empty for the others, which the engine turns grey its own way.
std::optional<THistogram> PackedDibHistogram(const TDibGraphic& image, const THistogram& greyHistogram);

}  // namespace omniocr
