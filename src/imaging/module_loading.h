#pragma once

// Shared modules of the program, loaded when first needed from the folder
// that holds the running program's file.

#include <string>

namespace omniocr {

// The folder of the running program's file ("" when it cannot be told).
std::string ProgramFolder();

// Loads `file` from `folder` (once per process; it stays loaded) and returns
// the address of its symbol `entry`. Raises EImageError saying that `purpose`
// needs the module, and why it could not be loaded, when it is missing or
// lacks the symbol.
void* LoadModuleEntry(const std::string& folder, const char* file, const char* entry, const char* purpose);

}  // namespace omniocr
