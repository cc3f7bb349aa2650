#pragma once

// Text-line search over a given set of candidates: the list positions, in
// ascending order, of characters that include every character with
// y0 <= Top <= y0 + height (every one the search of that region can look at).
// TOmnifontOCR::FindLinesInRegion is this search over the whole list; region
// cutting hands in the characters of a block's rows only.

#include <vector>

namespace omniocr {

class TOmnifontOCR;

int FindLinesAmong(TOmnifontOCR& engine, const std::vector<int>& positions, int x0, int y0, int width,
                   int height);

}  // namespace omniocr
