#pragma once

#include <string>

namespace omniocr::cli {

// A TSV field: valid UTF-8 without tabs or line ends, which are written as
// \t, \n and \r (and a backslash as \\).
std::string TsvField(const std::string& text);

}  // namespace omniocr::cli
