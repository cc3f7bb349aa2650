// Whole-bitmap operations of TDIB: histogram, region copy, duplication, the
// two-level cleaning filters and column profiles.

#include <cstring>
#include <memory>
#include <string>

#include "dibunit/byte_counts.h"
#include "dibunit/dib.h"
#include "dibunit/errors.h"

namespace omniocr {

bool TDIB::IsGreyRamp() const {
  if (Format != df8Bit || Empty()) return false;
  for (int i = 0; i < 256; ++i) {
    const std::uint8_t* e = Palette + 4 * i;
    if (e[0] != i || e[1] != i || e[2] != i) return false;
  }
  return true;
}

void TDIB::Histogram(THistogram& histogram) const {
  if (Format != df8Bit) throw EOCRError("This operation requires 8 bit per pixel bitmap !");
  histogram.fill(0);
  // The bytes are counted first; each byte's level is the blue of its table
  // entry, which for a grey ramp is the byte itself.
  TByteCounter counter;
  for (int y = 0; y < Height(); ++y) counter.Add(Rows[y], static_cast<std::size_t>(Width()));
  if (IsGreyRamp()) {
    counter.AddTo(histogram);
    return;
  }
  THistogram byteCounts{};
  counter.AddTo(byteCounts);
  for (int i = 0; i < 256; ++i) histogram[Palette[4 * i]] += byteCounts[i];
}

void TDIB::RequireRectInside(int left, int top, int right, int bottom) const {
  if (Empty() || left > right || top > bottom || left < 0 || top < 0 || right >= Width() ||
      bottom >= Height())
    throw EOCRError("CopyRect: rectangle (" + std::to_string(left) + ", " + std::to_string(top) + ")-(" +
                    std::to_string(right) + ", " + std::to_string(bottom) + ") is not inside the bitmap");
}

TDIB* TDIB::CopyRect(int left, int top, int right, int bottom) const {
  RequireRectInside(left, top, right, bottom);
  auto copy = std::make_unique<TDIB>();
  const int w = right - left + 1, h = bottom - top + 1;
  copy->CreateNew(w, h, Format, XResolution(), YResolution());
  if (Colors > 0) std::memcpy(copy->Palette, Palette, static_cast<std::size_t>(Colors) * 4);
  if (Format == df8Bit) {
    for (int j = 0; j < h; ++j) std::memcpy(copy->Rows[j], Rows[top + j] + left, static_cast<std::size_t>(w));
  } else {
    for (int j = 0; j < h; ++j)
      for (int k = 0; k < w; ++k) copy->SetPixel(k, j, GetPixel(left + k, top + j));
  }
  return copy.release();
}

TDIB* TDIB::Duplicate() const {
  auto copy = std::make_unique<TDIB>();
  copy->CreateNew(Width(), Height(), Format, XResolution(), YResolution());
  if (copy->DataSize != DataSize) throw EOCRError("DIB Duplicate error !");
  std::memcpy(copy->Header, Header, static_cast<std::size_t>(DataSize));
  copy->FileHeader = TBitmapFileHeader{};
  copy->ParseHeader();
  copy->BuildRows();
  return copy.release();
}

std::int32_t TDIB::WhiteIndex() const {
  std::int32_t index = BitCount() == 8 ? 255 : BitCount() == 24 ? 16777215 : 0;
  for (int i = 0; i < Colors; ++i) {
    const std::uint8_t* e = Palette + 4 * i;
    if (e[0] == 255 && e[1] == 255 && e[2] == 255) return i;
  }
  return index;
}

std::int32_t TDIB::BlackIndex() const {
  std::int32_t index = (BitCount() == 8 || BitCount() == 24) ? 0 : 1;
  for (int i = 0; i < Colors; ++i) {
    const std::uint8_t* e = Palette + 4 * i;
    if (e[0] == 0 && e[1] == 0 && e[2] == 0) return i;
  }
  return index;
}

// Every pixel that is not `value` but has `value` on both sides, horizontally
// or vertically, in the bitmap as it was before, becomes `value`.
void TDIB::SetBetweenEqualNeighbours(std::int32_t value) {
  std::unique_ptr<TDIB> copy(Duplicate());
  const int w = Width(), h = Height();
  if (w >= 3) {
    for (int x = 1; x <= w - 2; ++x)
      for (int y = 0; y < h; ++y)
        if (copy->GetPixel(x, y) != value && copy->GetPixel(x - 1, y) == value &&
            copy->GetPixel(x + 1, y) == value)
          SetPixel(x, y, value);
  }
  if (h >= 3) {
    for (int y = 1; y <= h - 2; ++y)
      for (int x = 0; x < w; ++x)
        if (copy->GetPixel(x, y) != value && copy->GetPixel(x, y - 1) == value &&
            copy->GetPixel(x, y + 1) == value)
          SetPixel(x, y, value);
  }
}

void TDIB::EraseThinInk() { SetBetweenEqualNeighbours(WhiteIndex()); }

void TDIB::FillThinGaps() { SetBetweenEqualNeighbours(BlackIndex()); }

void TDIB::SmoothBilevel() {
  if (Format != df1Bit) return;
  const int w = Width(), h = Height();
  std::vector<int> above(static_cast<std::size_t>(w), 0), current(static_cast<std::size_t>(w), 0);
  for (int y = 1; y <= h - 2; ++y) {
    for (int x = 1; x <= w - 2; ++x) current[x] = GetPixel(x, y);
    for (int x = 1; x <= w - 2; ++x) {
      const int d = current[x];
      const int c = GetPixel(x, y + 1) + current[x - 1] + current[x + 1] + above[x];
      if ((d == 1 && c < 2) || (d == 0 && 4 - c < 2)) SetPixel(x, y, 1 - d);
    }
    above = current;
  }
}

std::vector<std::int32_t> TDIB::ColumnProfile(int low, int high, int left, int top, int right,
                                              int bottom) const {
  if (top > Height() - 1) throw EOCRError("Invalid start line");
  if (bottom > Height() - 1) throw EOCRError("Invalid end line");
  if (left < 0 || right >= Width() || left > right || top < 0 || top > bottom)
    throw EOCRError("Invalid profile rectangle");
  std::vector<std::int32_t> counts(static_cast<std::size_t>(right - left + 1), 0);
  bool flagged[256] = {};
  for (int v = low < 0 ? 0 : low; v <= high && v <= 255; ++v) flagged[v] = true;
  for (int j = top; j <= bottom; ++j) {
    const std::uint8_t* row = Rows[j];
    for (int i = left; i <= right; ++i) counts[i - left] += flagged[row[i]];
  }
  return counts;
}

}  // namespace omniocr
