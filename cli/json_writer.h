#pragma once

// A small streaming JSON emitter: objects, arrays, strings, integers,
// fixed-point numbers and null, with commas placed by the writer. Strings are written as valid UTF-8
// with quotes, backslashes and control characters escaped.

#include <cstdint>
#include <string>
#include <vector>

namespace omniocr::cli {

class TJsonWriter {
 public:
  TJsonWriter& BeginObject();
  TJsonWriter& EndObject();
  TJsonWriter& BeginArray();
  TJsonWriter& EndArray();
  TJsonWriter& Key(const std::string& name);
  TJsonWriter& String(const std::string& value);
  TJsonWriter& Int(std::int64_t value);
  TJsonWriter& Bool(bool value);
  // A number with a fixed count of decimals (no exponent).
  TJsonWriter& Fixed(double value, int decimals);
  TJsonWriter& Null();

  const std::string& Text() const { return Out; }

 private:
  void BeforeValue();
  std::string Out;
  std::vector<bool> HasItems;  // per open container: something written already
  bool AfterKey = false;
};

// The JSON string literal of a text, quotes included.
std::string JsonQuote(const std::string& text);

}  // namespace omniocr::cli
