#pragma once

// The failure type of the imaging layer and its size limit.

#include <cstdint>
#include <stdexcept>
#include <string>

namespace omniocr {

// A file that cannot be read: missing, unreadable, unknown format, corrupt,
// or with dimensions beyond what can be held; also an invalid transform. The
// message says why.
class EImageError : public std::runtime_error {
 public:
  explicit EImageError(const std::string& message) : std::runtime_error(message) {}
};

// Largest pixel count a reader accepts, so that an absurd size in a header
// cannot exhaust memory.
constexpr std::int64_t kMaxImagePixels = 400LL * 1000 * 1000;

}  // namespace omniocr
