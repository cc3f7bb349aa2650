#include "engine/char_codes.h"

namespace omniocr {

namespace {

// Unicode of the Windows-1252 codes 0x80 to 0x9F; 0 where the code page has none.
constexpr char16_t kWindows1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                           0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                           0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                           0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

char32_t CodeToUnicode(TCharCode code) {
  if (code >= 0x80 && code <= 0x9F && kWindows1252High[code - 0x80] != 0)
    return kWindows1252High[code - 0x80];
  return code;
}

std::string Utf8Encode(char32_t v) {
  std::string out;
  if (v < 0x80) {
    out += static_cast<char>(v);
  } else if (v < 0x800) {
    out += static_cast<char>(0xC0 | (v >> 6));
    out += static_cast<char>(0x80 | (v & 0x3F));
  } else if (v < 0x10000) {
    if (v >= 0xD800 && v <= 0xDFFF) v = 0xFFFD;  // a lone surrogate is no character
    out += static_cast<char>(0xE0 | (v >> 12));
    out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (v & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (v >> 18));
    out += static_cast<char>(0x80 | ((v >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((v >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (v & 0x3F));
  }
  return out;
}

std::string RecordText(const TOCRChar& record) {
  if (record.BestChar == NoChar || record.BestChar == RejectedChar) return "~";
  if (record.BestChar == LineBreakChar) return "\n";
  return Utf8Encode(CodeToUnicode(record.BestChar));
}

std::u16string Utf8ToCodes(const std::string& text) {
  std::u16string codes;
  for (std::size_t i = 0; i < text.size();) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    char32_t v;
    int extra;
    if (c < 0x80) {
      v = c;
      extra = 0;
    } else if ((c & 0xE0) == 0xC0) {
      v = c & 0x1F;
      extra = 1;
    } else if ((c & 0xF0) == 0xE0) {
      v = c & 0x0F;
      extra = 2;
    } else if ((c & 0xF8) == 0xF0) {
      v = c & 0x07;
      extra = 3;
    } else {
      ++i;
      continue;
    }
    bool valid = true;
    for (int k = 1; k <= extra; ++k) {
      if (i + k >= text.size() || (static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
        valid = false;
        break;
      }
      v = (v << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    i += valid ? extra + 1 : 1;
    if (!valid || v > 0xFFFF || (v >= 0xD800 && v <= 0xDFFF)) continue;
    // The euro sign and the other Windows-1252 signs are the engine's codes 0x80..0x9F.
    char16_t code = static_cast<char16_t>(v);
    for (int k = 0; k < 32; ++k)
      if (kWindows1252High[k] == v) code = static_cast<char16_t>(0x80 + k);
    codes += code;
  }
  return codes;
}

}  // namespace omniocr
