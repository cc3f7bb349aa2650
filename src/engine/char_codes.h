#pragma once

// Character codes as text. The engine's codes are UTF-16 code units; the few
// signs it reports at their Windows-1252 positions (the euro sign at 128, for
// one) are mapped to their Unicode characters here.

#include <string>

#include "engine/ocr_types.h"

namespace omniocr {

// The Unicode scalar value of an engine character code.
char32_t CodeToUnicode(TCharCode code);

// UTF-8 encoding of a Unicode scalar value.
std::string Utf8Encode(char32_t value);

// The text a record stands for: its reading as UTF-8, "\n" for a line break,
// "~" when it has no reading or is no character.
std::string RecordText(const TOCRChar& record);

// UTF-8 to engine codes (for allowed-character strings given as text).
// Characters with no 16-bit code are skipped.
std::u16string Utf8ToCodes(const std::string& text);

}  // namespace omniocr
