#include "engine/classify/ink_rows.h"

#include <algorithm>

#include "engine/byte_scan.h"

namespace omniocr {

constinit thread_local TDispatchInkRows* activeInkRows = nullptr;

void TInkRows::Reset(const TDIB& bitmap, int threshold, int left, int top, int right, int bottom) {
  Bitmap = &bitmap;
  Threshold = threshold & 0xFF;
  Left = std::max(left, 0);
  Top = std::max(top, 0);
  Right = std::min(right, bitmap.Width() - 1);
  Bottom = std::min(bottom, bitmap.Height() - 1);
  if (Right - Left + 1 > 64 || Right < Left || Bottom < Top) {
    Right = Left - 1;  // covers nothing
    Bottom = Top - 1;
  }
  Read = false;
}

void TInkRows::ReadRows() {
  Read = true;
  const int w = Right - Left + 1, h = Bottom - Top + 1;
  Rows.assign(static_cast<std::size_t>(std::max(h, 0)), 0);
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(Threshold);
  for (int j = 0; j < h; ++j)
    Rows[static_cast<std::size_t>(j)] = RowBits(
        Bitmap->Row(Top + j) + Left, w, [limits](const std::uint8_t* p) { return InkBits8(p, limits); });
}

void TDispatchInkRows::Open(const TDIB& glyphBitmap, const TDIB& page, int threshold, int left, int top,
                            int right, int bottom) {
  Active = true;
  Threshold = threshold;
  GlyphBitmap = &glyphBitmap;
  Page = &page;
  GlyphRows.Reset(glyphBitmap, threshold, 0, 0, glyphBitmap.Width() - 1, glyphBitmap.Height() - 1);
  PageRows.Reset(page, threshold, left - 1, top - 1, right + 1, bottom + 1);
}

TInkRowsScope::TInkRowsScope(TDispatchInkRows& rows, const TDIB& glyphBitmap, const TDIB& page, int threshold,
                             int left, int top, int right, int bottom)
    : Rows(rows), Outer(activeInkRows) {
  if (Outer != nullptr) {
    activeInkRows = nullptr;
    return;
  }
  Rows.Open(glyphBitmap, page, threshold, left, top, right, bottom);
  activeInkRows = &Rows;
}

TInkRowsScope::~TInkRowsScope() {
  if (Outer == nullptr) Rows.Close();
  activeInkRows = Outer;
}

}  // namespace omniocr
