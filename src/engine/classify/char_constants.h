#pragma once

// Engine codes of the signs outside ASCII that the recognisers offer. The
// euro sign keeps its Windows-1252 position; the text output maps it to
// U+20AC.

#include "engine/ocr_types.h"

namespace omniocr {

constexpr TCharCode SharpSChar = 223;   // U+00DF
constexpr TCharCode SectionChar = 167;  // U+00A7
constexpr TCharCode EuroChar = 128;     // U+20AC in the output

}  // namespace omniocr
