#pragma once

// The per-character driver: tightens a record's box, detects an accent, cuts
// the character out of the page into a glyph bitmap of its own and
// dispatches it under varied conditions until a reading is confident.

#include <memory>

#include "engine/ocr_types.h"

namespace omniocr {

class TOmnifontOCR;
class TDIB;

// Reads one record: returns the character settled on (NoChar when none,
// RejectedChar for a box of more than 20000 pixels). Level 0 from the
// recognition pass; level 1 when the driver runs again with the accent cut
// away.
TCharCode RecognizeGlyph(TOmnifontOCR& engine, TOCRChar& glyph, int threshold, int level);

// The fill seed of a tightened record: its extraction seed while that lies on
// ink inside the box and no mark stands above; otherwise the first ink pixel
// with ink to its right or below, searched from the bottom row up and from
// the centre column outward (so a dot above never becomes the glyph).
void ChooseGlyphSeed(const TOCRChar& glyph, int threshold, int& seedX, int& seedY);

// The glyph bitmap of a record whose box is already tightened: the page
// pixels of the character's region (marked 1) and 248 everywhere else.
// (seedX, seedY) is the fill seed in page coordinates. The first form cuts
// into a bitmap the caller keeps (its block is reused when large enough).
void CutGlyphBitmap(TOmnifontOCR& engine, const TOCRChar& glyph, int seedX, int seedY, int threshold,
                    TDIB& bitmap);
std::unique_ptr<TDIB> CutGlyphBitmap(TOmnifontOCR& engine, const TOCRChar& glyph, int seedX, int seedY,
                                     int threshold);

// The thresholds of the grey retries, kept where paper (248) stays paper.
int RetryThreshold(int threshold, int delta);

}  // namespace omniocr
