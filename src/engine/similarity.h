#pragma once

// Similarity between the images of two characters on the page.

#include "engine/ocr_types.h"

namespace omniocr {

class TDIB;

// How unlike p's image is to q's, 0 (identical) to 100 (unlike in size).
int GlyphDissimilarity(const TDIB& page, const TOCRChar& p, int threshold, const TOCRChar& q);

}  // namespace omniocr
