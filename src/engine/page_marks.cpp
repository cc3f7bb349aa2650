#include "engine/page_marks.h"

#include <algorithm>
#include <vector>

#include "engine/byte_scan.h"

namespace omniocr {

void ClearMarks(TDIB& page, int x0, int x1, int y0, int y1) {
  x0 = std::max(x0, 0);
  y0 = std::max(y0, 0);
  x1 = std::min(x1, page.Width() - 1);
  y1 = std::min(y1, page.Height() - 1);
  if (x1 < x0 || y1 < y0) return;
  for (int y = y0; y <= y1; ++y) ClearLowBits(page.Row(y), x0, x1 + 1);
}

namespace {

// Seeds of spans still to fill; kept between fills so that a page of many
// small components does not allocate once per component.
thread_local std::vector<TFillSeed> fillSeeds;

}  // namespace

// A span fill: it marks whole runs of a row at once and seeds the rows above
// and below from them, so its work list holds a few seeds per run instead of
// one entry per pixel. The pixels it marks are exactly the connected region.
int TraceComponent(TDIB& page, int x, int y, int threshold, int mark, bool eightConnected, TBox& box,
                   std::vector<TFillSeed>& seeds) {
  const std::uint8_t markBits = static_cast<std::uint8_t>(mark & 7);
  if (markBits == 0 || PixelOutside(page, x, y) || PixelMark(page, x, y) != 0) return 0;
  const bool seedInk = IsInkByte(page.PixelByte(x, y), threshold);
  const int w = page.Width(), h = page.Height();
  auto fillable = [&](const std::uint8_t* row, int cx) {
    const std::uint8_t b = row[cx];
    return (b & 7) == 0 && IsInkByte(b, threshold) == seedInk;
  };

  seeds.clear();
  seeds.push_back({x, y});
  int count = 0;
  int left = x, right = x, top = y, bottom = y;
  while (!seeds.empty()) {
    const TFillSeed s = seeds.back();
    seeds.pop_back();
    std::uint8_t* row = page.Row(s.Y);
    if (!fillable(row, s.X)) continue;
    int xl = s.X, xr = s.X;
    while (xl > 0 && fillable(row, xl - 1)) --xl;
    while (xr < w - 1 && fillable(row, xr + 1)) ++xr;
    for (int cx = xl; cx <= xr; ++cx) row[cx] |= markBits;
    count += xr - xl + 1;
    left = std::min(left, xl);
    right = std::max(right, xr);
    top = std::min(top, s.Y);
    bottom = std::max(bottom, s.Y);
    const int a = eightConnected ? std::max(xl - 1, 0) : xl;
    const int b = eightConnected ? std::min(xr + 1, w - 1) : xr;
    for (int ny = s.Y - 1; ny <= s.Y + 1; ny += 2) {
      if (ny < 0 || ny >= h) continue;
      const std::uint8_t* next = page.Row(ny);
      for (int cx = a; cx <= b; ++cx) {
        if (!fillable(next, cx)) continue;
        seeds.push_back({cx, ny});
        while (cx + 1 <= b && fillable(next, cx + 1)) ++cx;
      }
    }
  }
  box = {left, right, top, bottom};
  return count;
}

int TraceComponent(TDIB& page, int x, int y, int threshold, int mark, bool eightConnected, TBox& box) {
  const int count = TraceComponent(page, x, y, threshold, mark, eightConnected, box, fillSeeds);
  if (fillSeeds.capacity() > (1u << 20)) fillSeeds = {};
  return count;
}

}  // namespace omniocr
