#pragma once

// Accent detection: a separate mark above the character body (an accent, a
// dot, or the two dots of a diaeresis).

#include <cstdint>

#include "engine/ocr_types.h"

namespace omniocr {

class TOmnifontOCR;

// Looks for a mark above the body of `glyph` on its page. Returns 0 (no
// mark), 1 (one mark) or 2 (two marks). A non-zero mode records MarkAbove and
// Accent in the glyph; mode bit 1 (value 2) also moves Top below the mark.
// `accent` receives the mark's code on the paths that classify one.
int DetectAccent(const TOmnifontOCR& engine, TOCRChar& glyph, int threshold, int mode, TCharCode& accent);

}  // namespace omniocr
