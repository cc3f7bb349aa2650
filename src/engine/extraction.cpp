// Character extraction: one record per connected group of ink pixels, in the
// raster order of the components' first pixels.

#include <cstdint>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/probe_scratch.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

namespace {

// Boxes of this many pixels or more are no characters.
constexpr std::int64_t kRejectedBoxArea = 20000;

bool RejectedBySize(int width, int height) {
  return static_cast<std::int64_t>(width) * height >= kRejectedBoxArea;
}

}  // namespace

void TOmnifontOCR::ExtractCharacters() {
  const int thr = Threshold;
  WidthSum = HeightSum = CharCount = 0;
  TDIB& page = *Page;
  const int w = page.Width(), h = page.Height();
  ClearMarks(page, 0, w - 1, 0, h - 1);
  std::vector<TFillSeed>& seeds = Scratch().Seeds;
  // Unmarked ink is a byte below the threshold with its mark bits clear:
  // the scan passes over paper a word at a time.
  const int limit = thr & 0xFF;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* row = page.Row(y);
    for (int x = FirstByteBelow(row, 0, w, limit); x < w; x = FirstByteBelow(row, x + 1, w, limit)) {
      if ((row[x] & 7) != 0) continue;
      TBox box;
      TraceComponent(page, x, y, thr, 7, true, box, seeds);
      const int bw = box.Right - box.Left + 1, bh = box.Bottom - box.Top + 1;
      ++CharCount;
      WidthSum += bw;
      HeightSum += bh;
      TOCRChar* record = NewRecord();
      record->Left = box.Left;
      record->Right = box.Right;
      record->Top = box.Top;
      record->Bottom = box.Bottom;
      record->StartX = x;
      record->StartY = y;
      record->BestChar = RejectedBySize(bw, bh) ? RejectedChar : NoChar;
      record->Id = CharCount;
    }
  }
}

void TOmnifontOCR::AddZoneAsChar(int left, int top, int right, int bottom) {
  WidthSum = HeightSum = CharCount = 0;
  // Mark the zone's ink as extraction would, so that the probes that read the
  // page (hole counting among them) see the same marks in this area type.
  TDIB& page = *Page;
  ClearMarks(page, left, right, top, bottom);
  for (int y = top; y <= bottom; ++y) {
    std::uint8_t* row = page.Row(y);
    for (int x = left; x <= right; ++x)
      if (IsInkByte(row[x], Threshold)) row[x] |= 7;
  }
  TOCRChar* record = NewRecord();
  record->Left = left;
  record->Top = top;
  record->Right = right;
  record->Bottom = bottom;
  record->Id = 0;
  record->BestChar = NoChar;
  CharCount = 1;
  WidthSum = right - left + 1;
  HeightSum = bottom - top + 1;
}

}  // namespace omniocr
