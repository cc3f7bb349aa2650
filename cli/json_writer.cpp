#include "cli/json_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "cli/utf8_text.h"

namespace omniocr::cli {

std::string JsonQuote(const std::string& text) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char c : ValidUtf8(text)) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '\b': out += "\\b"; break;
      case '\f': out += "\\f"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          out += "\\u00";
          out += kHex[byte >> 4];
          out += kHex[byte & 15];
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void TJsonWriter::BeforeValue() {
  if (AfterKey) {
    AfterKey = false;
    return;
  }
  if (!HasItems.empty()) {
    if (HasItems.back()) Out += ',';
    HasItems.back() = true;
  }
}

TJsonWriter& TJsonWriter::BeginObject() {
  BeforeValue();
  Out += '{';
  HasItems.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndObject() {
  Out += '}';
  HasItems.pop_back();
  return *this;
}

TJsonWriter& TJsonWriter::BeginArray() {
  BeforeValue();
  Out += '[';
  HasItems.push_back(false);
  return *this;
}

TJsonWriter& TJsonWriter::EndArray() {
  Out += ']';
  HasItems.pop_back();
  return *this;
}

TJsonWriter& TJsonWriter::Key(const std::string& name) {
  BeforeValue();
  Out += JsonQuote(name);
  Out += ':';
  AfterKey = true;
  return *this;
}

TJsonWriter& TJsonWriter::String(const std::string& value) {
  BeforeValue();
  Out += JsonQuote(value);
  return *this;
}

TJsonWriter& TJsonWriter::Int(std::int64_t value) {
  BeforeValue();
  Out += std::to_string(value);
  return *this;
}

TJsonWriter& TJsonWriter::Bool(bool value) {
  BeforeValue();
  Out += value ? "true" : "false";
  return *this;
}

TJsonWriter& TJsonWriter::Fixed(double value, int decimals) {
  if (!std::isfinite(value)) return Null();
  BeforeValue();
  // Room for the 309 integer digits of the largest double.
  char text[352];
  std::snprintf(text, sizeof text, "%.*f", std::clamp(decimals, 0, 17), value);
  // A value that rounds to zero is written without a sign.
  Out += std::strtod(text, nullptr) == 0 && text[0] == '-' ? text + 1 : text;
  return *this;
}

TJsonWriter& TJsonWriter::Null() {
  BeforeValue();
  Out += "null";
  return *this;
}

}  // namespace omniocr::cli
