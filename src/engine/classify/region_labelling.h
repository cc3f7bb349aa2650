#pragma once

// Connected regions of one pixel class inside a rectangle, found in a single
// pass over its rows without touching the bitmap: runs of the class are
// joined to the runs they meet on the row above (4 or 8 neighbours), and
// each region keeps its size, box, first pixel in column-major order and
// whether it reaches the rectangle's edge. Positions outside the bitmap read
// as unmarked paper (248).

#include "dibunit/dib.h"

namespace omniocr {

class TProbeScratch;

enum class TLabelClass {
  UnmarkedPaper,  // paper whose mark bits are 0
  Ink,            // ink, whatever its mark bits
};

// Labels the rectangle of w x h pixels at (left, top); the regions are left
// in scratch.Regions, the roots (Parent equal to their own index) being the
// regions, with coordinates relative to the rectangle. Returns the number of
// regions.
int LabelRegions(TProbeScratch& scratch, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                 bool eightConnected, TLabelClass labelClass);

}  // namespace omniocr
