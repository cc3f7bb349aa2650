#pragma once

// Page operations on the three low bits of each 8-bit pixel, which serve as a
// fill mark during a run (0 = unmarked), and the region fill that sets them.

#include <cstdint>
#include <vector>

#include "dibunit/dib.h"

namespace omniocr {

inline bool PixelOutside(const TDIB& page, int x, int y) { return !page.Inside(x, y); }

inline int PixelMark(const TDIB& page, int x, int y) {
  return page.Inside(x, y) ? page.PixelByte(x, y) & 7 : 0;
}

inline void SetPixelMasked(TDIB& page, int x, int y, std::uint8_t mask, std::uint8_t value) {
  if (page.Inside(x, y)) page.Row(y)[x] = static_cast<std::uint8_t>((page.Row(y)[x] & mask) | value);
}

// Clears the marks of the rectangle x0..x1 by y0..y1 (clipped to the page).
void ClearMarks(TDIB& page, int x0, int x1, int y0, int y1);

struct TBox {
  int Left = 0;
  int Right = 0;
  int Top = 0;
  int Bottom = 0;
};

// A span still to fill: the pixel (X, Y) and the run of its row around it.
struct TFillSeed {
  std::int32_t X;
  std::int32_t Y;
};

// Region fill from (x, y): every unmarked pixel of the seed's class (ink or
// paper) connected to the seed gets `mark` ORed into its low bits. Returns the
// number of pixels marked and sets the region's bounding box; returns 0 and
// leaves the box alone when the seed is outside, already marked, or the mark
// has no low bits set. `seeds` is the work list, emptied first; a caller that
// fills often keeps it, so that its storage is reused.
int TraceComponent(TDIB& page, int x, int y, int threshold, int mark, bool eightConnected, TBox& box,
                   std::vector<TFillSeed>& seeds);
// The same with a work list of the calling thread.
int TraceComponent(TDIB& page, int x, int y, int threshold, int mark, bool eightConnected, TBox& box);

}  // namespace omniocr
