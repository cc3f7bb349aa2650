#pragma once

// Inputs that can be read only once: standard input ("-"), and a path that
// names no regular file (a pipe, as from a shell's process substitution, or
// a device). Reading such an input's pages one after another from its path
// would find the bytes gone that counting its pages already took, so they
// are read whole before any page, and every later look goes to these bytes.

#include <cstdint>
#include <string>
#include <vector>

namespace omniocr::cli {

struct THeldInput {
  std::vector<std::uint8_t> Bytes;
  std::string Error;  // why the input could not be read; empty when it was
};

class THeldInputs {
 public:
  THeldInputs() = default;
  explicit THeldInputs(const std::vector<std::string>& inputs);
  // Input `index`'s bytes when it is held; null for a regular file, which is
  // read from its path.
  const THeldInput* Find(std::size_t index) const {
    return index < Held.size() && Held[index].Holds ? &Held[index].Input : nullptr;
  }

 private:
  struct TEntry {
    bool Holds = false;
    THeldInput Input;
  };
  std::vector<TEntry> Held;
};

}  // namespace omniocr::cli
