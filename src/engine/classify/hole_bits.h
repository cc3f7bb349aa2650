#pragma once

// The holes of a rectangle at most a word wide, found on bits: the unmarked
// paper of each row as one word; of the paper not on a run from the edge of
// its row, what meets such a run flooded away row by row; and only what is
// left (the holes) labelled.

#include <cstdint>

#include "dibunit/dib.h"

namespace omniocr {

class TProbeScratch;

// Labels the regions of unmarked paper of the w x h rectangle at (left, top)
// (w at most 64; positions outside the bitmap read as unmarked paper, 248)
// that do not reach its edge; they are left in scratch.Regions, each once as
// a root, with the size, box and first pixels LabelRegions gives it, in the
// order of their first pixels in row-major order.
// Returns true when the regions are the same in either neighbourhood (no two
// paper pixels touch only at a corner).
bool LabelHolesOnBits(TProbeScratch& scratch, const TDIB& bitmap, int left, int top, int w, int h,
                      int threshold, bool eightConnected);

}  // namespace omniocr
