#include "cli/tsv_field.h"

#include "cli/utf8_text.h"

namespace omniocr::cli {

std::string TsvField(const std::string& text) {
  std::string out;
  for (const char c : ValidUtf8(text)) {
    switch (c) {
      case '\t': out += "\\t"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\\': out += "\\\\"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace omniocr::cli
