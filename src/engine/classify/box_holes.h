#pragma once

// The holes of a page rectangle inside the glyph's box, read off the holes
// the dispatch counted over the whole box where they tell them exactly.
//
// A paper region of the rectangle that keeps off the rectangle's edge has
// every neighbour of its pixels inside the rectangle, so it is a whole paper
// region of the box too, and off the box's edge: a hole of the box. Each hole
// of the box that keeps off the rectangle's edge is, the other way round, a
// hole of the rectangle. The box's list then gives the rectangle's holes,
// with their sizes, provided that it holds every hole of the box (fewer than
// it can keep, none pruned away: pruning leaves moved entries behind it) and
// that both rectangles drop one-pixel holes alike (both larger than 40
// pixels). A smaller rectangle keeps the one-pixel holes the box's list
// dropped; it has no hole at all, though, when no pixel off its edge is
// paper, as a hole is paper off the edge (in either neighbourhood, marked
// or not). Otherwise the rectangle is counted on the page.

#include "engine/classify/notation.h"

namespace omniocr {

namespace box_holes {

// Whether `box` holds every hole of its rectangle as found.
inline bool ListComplete(const THoleList& box) {
  const int n = box.HoleCount;
  if (n >= kMaxHoles) return false;
  for (int k = 0; k < n; ++k)
    if (box.Holes[k].Size < box.Holes[0].Size / 5) return false;
  return true;
}

// Whether any pixel of the rectangle off its edge is paper.
inline bool PaperOffEdge(const TPageProbes& P, int x1, int x2, int y1, int y2) {
  return P.paperIn(x1 + 1, x2 - 1, y1 + 1, y2 - 1);
}

}  // namespace box_holes

namespace box_holes {

// HolesInBox for a rectangle of at least 3 x 3 pixels.
[[gnu::noinline]] inline int Count(const TPageProbes& P, const THoleList& box, int x1, int x2, int y1,
                                   int y2) {
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  const bool inside = x1 >= P.L && x2 <= P.R && y1 >= P.T && y2 <= P.B;
  if (!inside) return P.holes(x1, x2, y1, y2);
  if (w * h <= 40) return PaperOffEdge(P, x1, x2, y1, y2) ? P.holes(x1, x2, y1, y2) : 0;
  if (!ListComplete(box)) return P.holes(x1, x2, y1, y2);
  // The box's holes off the rectangle's edge (box-relative coordinates).
  const int left = x1 - P.L, right = x2 - P.L, top = y1 - P.T, bottom = y2 - P.T;
  int sizes[kMaxHoles];
  int n = 0, largest = 0;
  for (int k = 0; k < box.HoleCount; ++k) {
    const TGlyphHole& hole = box.Holes[k];
    if (hole.MinX > left && hole.MaxX < right && hole.MinY > top && hole.MaxY < bottom) {
      sizes[n++] = hole.Size;
      largest = std::max(largest, hole.Size);
    }
  }
  // Significant: at least a fifth of the largest.
  int significant = 0;
  for (int k = 0; k < n; ++k)
    if (sizes[k] >= largest / 5) ++significant;
  return significant;
}

}  // namespace box_holes

// P.holes(x1, x2, y1, y2) (page coordinates) for a glyph whose box holes, as
// counted at the start of the dispatch, are `box`. The commonest case, a box
// without holes and a rectangle inside it that the list tells, is answered
// where it is asked.
[[gnu::always_inline]] inline int HolesInBox(const TPageProbes& P, const THoleList& box, int x1, int x2,
                                             int y1, int y2) {
  const int w = x2 - x1 + 1, h = y2 - y1 + 1;
  if (w < 3 || h < 3) return 0;
  if (box.HoleCount == 0 && w * h > 40 && x1 >= P.L && x2 <= P.R && y1 >= P.T && y2 <= P.B) return 0;
  return box_holes::Count(P, box, x1, x2, y1, y2);
}

}  // namespace omniocr
