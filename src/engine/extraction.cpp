// Character extraction: one record per connected group of ink pixels, in the
// raster order of the components' first pixels.

#include <cstdint>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/ink_components.h"
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

// One pass over the page: each row has its marks cleared, its ink runs
// found a word at a time, marked 7 and joined to the runs they meet on the
// row above (8 neighbours). A component's record takes its first pixel in
// raster order as the seed, and the records come in the order of those
// pixels, as filling each component from its first pixel would give them.
void TOmnifontOCR::ExtractCharacters() {
  const int thr = Threshold;
  WidthSum = HeightSum = CharCount = 0;
  TDIB& page = *Page;
  const int w = page.Width(), h = page.Height();
  TInkComponents& joiner = InkComponents();
  joiner.StartPage(w);
  for (int y = 0; y < h; ++y) {
    TInkComponents::TRun* const runs = joiner.StartRow();
    TInkComponents::TRun* end = runs;
    // The joiner labels every run itself.
    MarkInkRuns(page.Row(y), w, thr, [&end](int x0, int x1) {
      end->X0 = x0;
      end->X1 = x1;
      ++end;
    });
    joiner.EndRow(static_cast<std::size_t>(end - runs));
  }
  const std::vector<TInkComponent>& groups = joiner.Groups();
  ExtractedInk.clear();
  for (int i = 0; i < static_cast<int>(groups.size()); ++i) {
    const TInkComponent& r = groups[static_cast<std::size_t>(i)];
    if (r.Parent != i) continue;
    const int bw = r.MaxX - r.MinX + 1, bh = r.MaxY - r.StartY + 1;
    ++CharCount;
    WidthSum += bw;
    HeightSum += bh;
    TOCRChar* record = NewRecord();
    record->Left = r.MinX;
    record->Right = r.MaxX;
    record->Top = r.StartY;
    record->Bottom = r.MaxY;
    record->StartX = r.StartX;
    record->StartY = r.StartY;
    record->BestChar = RejectedBySize(bw, bh) ? RejectedChar : NoChar;
    record->Id = CharCount;
    ExtractedInk.push_back({record, record->Left, record->Top, record->Right, record->Bottom, r.Ink});
  }
}

void TOmnifontOCR::AddZoneAsChar(int left, int top, int right, int bottom) {
  WidthSum = HeightSum = CharCount = 0;
  ExtractedInk.clear();
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
