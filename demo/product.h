#pragma once

// The product's name as the program shows it.

namespace omniocr::demo {

inline constexpr char kProductName[] = "omniocr";
inline constexpr char kApplicationTitle[] = "omniocr Demo";
inline constexpr char kMainWindowCaption[] = "omniocr - Omnifont OCR Demo";

// The version the program was built as.
const char* ProductVersion();

}  // namespace omniocr::demo
