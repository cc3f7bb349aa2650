#pragma once

#include <stdexcept>
#include <string>

namespace omniocr {

// Every failure inside the engine and the bitmap layer is raised as this
// exception; its message is the text a caller shows to the user.
class EOCRError : public std::runtime_error {
 public:
  explicit EOCRError(const std::string& message) : std::runtime_error(message) {}
};

// Raises the operating system's text for the error number (errno values).
[[noreturn]] void RaiseSystemError(int errorNumber);

}  // namespace omniocr
