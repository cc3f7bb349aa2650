#pragma once

// The dispatcher: one pass of every rule and recogniser over a glyph.

#include "engine/classify/notation.h"

namespace omniocr {

// The record's Tall and Descends flags from its box and guide lines.
bool IsTall(const TOCRChar& glyph);
bool IsDescending(const TOCRChar& glyph);

// Runs one recogniser; an exception it raises is discarded (its candidates
// added so far stay).
void RunGuarded(TRecogniser recogniser, const TOmnifontOCR& engine, const TRecogContext& context);

// Builds the context, applies the punctuation rules and runs the recognisers
// (the letter, bracket and sign recognisers only when NumericOnly is off, or
// when the allowed characters hold one they offer), each inside its own
// exception guard. Returns the glyph's BestChar, or the character of a
// punctuation rule that ended the dispatch. Counts itself in the engine's
// DispatchCount.
TCharCode DispatchGlyph(TOmnifontOCR& engine, TOCRChar& glyph, const TDIB& bitmap, int threshold);

}  // namespace omniocr
