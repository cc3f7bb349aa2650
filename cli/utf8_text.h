#pragma once

// Making arbitrary bytes (file names, mostly) safe for structured output.

#include <string>

namespace omniocr::cli {

// The text with every byte sequence that is not well-formed UTF-8 replaced
// by U+FFFD.
std::string ValidUtf8(const std::string& text);

// Text for XML content and attribute values: valid UTF-8, the five special
// characters escaped, and control characters that XML 1.0 forbids dropped.
std::string XmlEscape(const std::string& text);

}  // namespace omniocr::cli
