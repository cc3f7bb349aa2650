#pragma once

// The library's side of the PDF modules: one loaded with its version
// checked, and a module's status turned into the library's exceptions.

#include <new>
#include <string>

#include "imaging/image_error.h"
#include "imaging/module_loading.h"
#include "imaging/pdf_module.h"

namespace omniocr {

// The table of module `file` from the program's folder; EImageError naming
// `purpose` when it cannot be loaded or is of another version.
template <class TModule>
const TModule& LoadPdfModule(const char* file, const char* entry, const char* purpose) {
  using TEntry = const TModule* (*)();
  const auto tableOf = reinterpret_cast<TEntry>(LoadModuleEntry(ProgramFolder(), file, entry, purpose));
  const TModule* module = tableOf();
  if (module == nullptr || module->Version != kPdfModuleVersion)
    throw EImageError(std::string(purpose) + " needs " + file + " of this program's version");
  return *module;
}

inline void CheckPdfStatus(int status, const TPdfModuleError& error) {
  if (status == kPdfModuleOk) return;
  if (status == kPdfModuleOutOfMemory) throw std::bad_alloc();
  throw EImageError(error.Message);
}

}  // namespace omniocr
