#pragma once

// The candidate list of a record: SetAC offers a character with a confidence,
// keeps the list sorted best first and each character once, enforces the
// caller's allowed characters and composes an accent found above the glyph.

#include <cstdint>

#include "engine/ocr_types.h"

namespace omniocr {

class TOmnifontOCR;

// Spacing accent marks found above a character.
constexpr TCharCode acCircumflex = 94;
constexpr TCharCode acGrave = 96;
constexpr TCharCode acTilde = 126;
constexpr TCharCode acDiaeresis = 168;
constexpr TCharCode acMacron = 175;
constexpr TCharCode acAcute = 180;
constexpr TCharCode acCaron = 711;
constexpr TCharCode acBreve = 728;
constexpr TCharCode acDotAbove = 729;
constexpr TCharCode acRingAbove = 730;

// Offers `ch` with `confidence` to the glyph's candidate list. Raises
// "Something wrong in setac()!" on a corrupt count and "SetAC called with bad
// parameters" for NoChar.
void SetAC(const TOmnifontOCR& engine, TOCRChar& glyph, TCharCode ch, int confidence);

// The precomposed character of `ch` with the spacing accent `accent`, or `ch`
// unchanged when the pair does not compose.
TCharCode ComposeAccent(TCharCode ch, TCharCode accent);

// Gives a space or line-break record its one candidate directly, so that an
// allowed-character set never drops it.
void SetSeparatorCandidate(TOCRChar& record, TCharCode separator);

}  // namespace omniocr
