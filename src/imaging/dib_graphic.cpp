#include "imaging/dib_graphic.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "dibunit/dib.h"
#include "imaging/image_error.h"
#include "imaging/pixel_access.h"

namespace omniocr {

namespace {

// The packed bitmap's info header, before its colour table.
constexpr std::size_t kInfoHeaderBytes = 40;

}  // namespace

std::vector<std::uint32_t> GreyRampPalette(int entries) {
  std::vector<std::uint32_t> palette(static_cast<std::size_t>(entries));
  // Of 256 entries each is its own level (i * 255 / 255): no division.
  for (int i = 0; i < entries; ++i)
    palette[static_cast<std::size_t>(i)] =
        GreyColor(static_cast<unsigned>(entries == 256 ? i : i * 255 / (entries - 1)));
  return palette;
}

bool IsGreyRamp(const std::vector<std::uint32_t>& palette) {
  if (palette.size() != 256) return false;
  for (unsigned i = 0; i < 256; ++i)
    if ((palette[i] & 0xFFFFFFu) != GreyColor(i)) return false;
  return true;
}

bool IsBlackWhite(const std::vector<std::uint32_t>& palette) {
  return palette.size() == 2 && (palette[0] & 0xFFFFFFu) == 0 && (palette[1] & 0xFFFFFFu) == 0xFFFFFFu;
}

int LightestEntry(const std::vector<std::uint32_t>& palette) {
  int lightest = 0;
  for (std::size_t i = 1; i < palette.size(); ++i)
    if (GreyOf(palette[i]) > GreyOf(palette[static_cast<std::size_t>(lightest)]))
      lightest = static_cast<int>(i);
  return lightest;
}

void TDibGraphic::SetSize(int width, int height, int bitCount) {
  Allocate(width, height, bitCount, true, TRowOrder::TopFirst);
}

void TDibGraphic::SetSizeForOverwrite(int width, int height, int bitCount, TRowOrder order) {
  Allocate(width, height, bitCount, false, order);
  const std::size_t rowBytes = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bitCount) + 7) / 8;
  const std::size_t padding = static_cast<std::size_t>(Stride_) - rowBytes;
  if (padding == 0) return;
  for (int y = 0; y < height; ++y) std::memset(ScanLine(y) + rowBytes, 0, padding);
}

void TDibGraphic::Allocate(int width, int height, int bitCount, bool zeroed, TRowOrder order) {
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24)
    throw EImageError("unsupported pixel format of " + std::to_string(bitCount) + " bits");
  if (width < 0 || height < 0 || static_cast<std::int64_t>(width) * height > kMaxImagePixels)
    throw EImageError("image of " + std::to_string(width) + " x " + std::to_string(height) +
                      " pixels is too large");
  Clear();
  const std::int64_t stride = DibStride(width, bitCount);
  // Room for the packed bitmap's header and table, which TakePackedDib writes.
  const std::size_t tableBytes = bitCount <= 8 ? std::size_t{4} << bitCount : 0;
  const std::size_t pixelBytes = static_cast<std::size_t>(stride * height),
                    room = kInfoHeaderBytes + tableBytes;
  Pixels_ = zeroed ? TPixelBuffer(pixelBytes, room) : TPixelBuffer::ForOverwrite(pixelBytes, room);
  Width_ = width;
  Height_ = height;
  BitCount_ = bitCount;
  Stride_ = stride;
  const bool bottomFirst = order == TRowOrder::BottomFirst && height > 0;
  TopRow_ = bottomFirst ? (height - 1) * stride : 0;
  RowStep_ = bottomFirst ? -stride : stride;
  if (bitCount <= 8) Palette_ = GreyRampPalette(1 << bitCount);
}

void TDibGraphic::Clear() {
  Width_ = Height_ = BitCount_ = 0;
  Stride_ = TopRow_ = RowStep_ = 0;
  Pixels_ = TPixelBuffer();
  Palette_.clear();
}

namespace {

std::int32_t DpiToPelsPerMetre(int dpi) { return static_cast<std::int32_t>(std::lround(dpi * 39.37)); }

// How the stored index of a 1- or 8-bit image is rewritten so that the engine,
// which reads 1-bit values and 8-bit indices without the colour table, sees
// black as 0 and the true grey levels.
std::vector<std::uint8_t> EngineIndexMap(const TDibGraphic& image) {
  const std::vector<std::uint32_t>& palette = image.Palette();
  std::vector<std::uint8_t> map(palette.size());
  if (image.BitCount() == 1) {
    const bool reversed = palette.size() == 2 && GreyOf(palette[0]) > GreyOf(palette[1]);
    map = {static_cast<std::uint8_t>(reversed ? 1 : 0), static_cast<std::uint8_t>(reversed ? 0 : 1)};
  } else {
    for (std::size_t i = 0; i < palette.size(); ++i) map[i] = static_cast<std::uint8_t>(GreyOf(palette[i]));
  }
  return map;
}

bool IsIdentity(const std::vector<std::uint8_t>& map) {
  for (std::size_t i = 0; i < map.size(); ++i)
    if (map[i] != i) return false;
  return true;
}

}  // namespace

namespace {

// The image in the form the engine reads: the header, the colour table, and
// how each stored index is rewritten. 1- and 8-bit images go out as
// black/white and grey ramp; 4-bit ones keep their table, which the engine
// consults.
struct TEngineForm {
  TBitmapInfoHeader Header{};
  std::vector<std::uint32_t> Palette;
  std::vector<std::uint8_t> Map;  // empty when the indices stay as they are
  std::size_t HeaderBytes() const { return kInfoHeaderBytes + 4 * Palette.size(); }
  std::size_t PixelBytes() const { return Header.ImageSize; }
};

TEngineForm EngineFormOf(const TDibGraphic& image) {
  TEngineForm form;
  const int bits = image.BitCount();
  const int colors = bits <= 8 ? 1 << bits : 0;
  const std::size_t pixelBytes = static_cast<std::size_t>(image.Stride() * image.Height());
  form.Header = {40,
                 image.Width(),
                 image.Height(),
                 1,
                 static_cast<std::uint16_t>(bits),
                 0,
                 static_cast<std::uint32_t>(pixelBytes),
                 DpiToPelsPerMetre(image.XDpi),
                 DpiToPelsPerMetre(image.YDpi),
                 static_cast<std::uint32_t>(colors),
                 static_cast<std::uint32_t>(colors)};
  form.Palette = image.Palette();
  form.Palette.resize(static_cast<std::size_t>(colors), 0);
  if (bits == 1 || bits == 8) {
    std::vector<std::uint8_t> map = EngineIndexMap(image);
    map.resize(static_cast<std::size_t>(colors), 0);
    if (!IsIdentity(map)) form.Map = std::move(map);
    form.Palette = GreyRampPalette(colors);
  }
  return form;
}

void WriteHeaderAndPalette(const TEngineForm& form, std::uint8_t* base) {
  std::memcpy(base, &form.Header, sizeof form.Header);
  for (std::size_t i = 0; i < form.Palette.size(); ++i) std::memcpy(base + 40 + 4 * i, &form.Palette[i], 4);
}

// A row in the engine's indices; `source` may be `target`. A rewritten row's
// padding is 0.
void WriteEngineRow(const TEngineForm& form, const std::uint8_t* source, std::uint8_t* target) {
  const int width = form.Header.Width;
  const std::size_t stride = form.PixelBytes() / static_cast<std::size_t>(form.Header.Height);
  if (form.Map.empty()) {
    if (source != target) std::memcpy(target, source, stride);
    return;
  }
  std::size_t used = static_cast<std::size_t>(width);
  if (form.Header.BitCount == 8) {
    for (int x = 0; x < width; ++x) target[x] = form.Map[source[x]];
  } else {
    for (int x = 0; x < width; ++x) SetIndex(target, x, 1, form.Map[GetIndex(source, x, 1)]);
    used = static_cast<std::size_t>(width + 7) / 8;
    if (width % 8 != 0) target[used - 1] &= static_cast<std::uint8_t>(0xFF00u >> (width % 8));
  }
  std::memset(target + used, 0, stride - used);
}

// Rows top-down turned bottom-up where they are.
// Two rows traded sixteen bytes at a time, in one pass over each; unrolled,
// since the loop's own count and test cost nearly as much as a trade.
void SwapRows(std::uint8_t* a, std::uint8_t* b, std::size_t bytes) {
  std::size_t i = 0;
#pragma GCC unroll 4
  for (; i + 16 <= bytes; i += 16) {
    std::uint8_t fromA[16], fromB[16];
    std::memcpy(fromA, a + i, 16);
    std::memcpy(fromB, b + i, 16);
    std::memcpy(a + i, fromB, 16);
    std::memcpy(b + i, fromA, 16);
  }
  for (; i < bytes; ++i) std::swap(a[i], b[i]);
}

void TurnRowsOver(std::uint8_t* rows, std::size_t stride, int height) {
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
    SwapRows(rows + static_cast<std::size_t>(top) * stride, rows + static_cast<std::size_t>(bottom) * stride,
             stride);
}

}  // namespace

std::optional<THistogram> PackedDibHistogram(const TDibGraphic& image, const THistogram& greyHistogram) {
  if (image.BitCount() == 8) return greyHistogram;
  if (image.BitCount() != 1) return std::nullopt;
  // The engine reads a packed bilevel pixel as black or white, whatever the
  // grey of its table entry was.
  const std::vector<std::uint8_t> map = EngineIndexMap(image);
  const std::vector<std::uint32_t>& palette = image.Palette();
  for (std::size_t i = 0; i < 2; ++i) {
    const unsigned grey = i < palette.size() ? GreyOf(palette[i]) : 0;
    if (grey != (map[i] != 0 ? 255u : 0u)) return std::nullopt;
  }
  return greyHistogram;
}

TGlobalHandle TDibGraphic::GetPackedDib() const {
  if (Empty()) throw EImageError("the image is empty");
  const TEngineForm form = EngineFormOf(*this);
  TGlobalHandle handle = GlobalAllocZeroed(form.HeaderBytes() + form.PixelBytes());
  auto* base = static_cast<std::uint8_t*>(GlobalLock(handle));
  WriteHeaderAndPalette(form, base);
  std::uint8_t* bits = base + form.HeaderBytes();
  for (int y = 0; y < Height_; ++y)
    WriteEngineRow(form, ScanLine(y),
                   bits + static_cast<std::size_t>(Height_ - 1 - y) * static_cast<std::size_t>(Stride_));
  GlobalUnlock(handle);
  return handle;
}

TGlobalHandle TDibGraphic::TakePackedDib() {
  if (Empty()) throw EImageError("the image is empty");
  const TEngineForm form = EngineFormOf(*this);
  const std::size_t headerBytes = form.HeaderBytes(), pixelBytes = form.PixelBytes();
  const std::size_t stride = static_cast<std::size_t>(Stride_);
  const int height = Height_;
  const bool topFirst = RowOrder() == TRowOrder::TopFirst;
  // The pixels stay where they are when the room in front fits the header.
  const std::size_t room = Pixels_.Room();
  std::uint8_t* block = nullptr;
  try {
    block = Pixels_.Release(std::max(room, headerBytes) + pixelBytes);
  } catch (...) {
    Clear();
    throw;
  }
  Clear();
  if (topFirst) TurnRowsOver(block + room, stride, height);
  if (room != headerBytes) std::memmove(block + headerBytes, block + room, pixelBytes);
  WriteHeaderAndPalette(form, block);
  // Rows whose indices stay as they are stay as they are.
  if (!form.Map.empty()) {
    for (int y = 0; y < height; ++y) {
      std::uint8_t* row = block + headerBytes + static_cast<std::size_t>(y) * stride;
      WriteEngineRow(form, row, row);
    }
  }
  return GlobalAdopt(block, headerBytes + pixelBytes);
}

}  // namespace omniocr
