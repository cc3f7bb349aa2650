#pragma once

// The PDF modules' side of their boundary: nothing may be thrown across it,
// so each entry runs its work through Guarded, which turns what the work
// throws into a status and a message.

#include <cstdio>
#include <new>
#include <stdexcept>

#include "imaging/pdf_module.h"

namespace omniocr {

// A failure with its message for the caller.
struct EPdfFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The caller's sink refused what it was given; the caller knows why.
struct ECallerFailed {};

// `fallback` is the message for a failure that carries none.
template <typename TWork>
int Guarded(TPdfModuleError* error, const char* fallback, TWork&& work) {
  try {
    work();
    return kPdfModuleOk;
  } catch (const ECallerFailed&) {
    return kPdfModuleCallerFailed;
  } catch (const std::bad_alloc&) {
    return kPdfModuleOutOfMemory;
  } catch (const std::exception& e) {
    std::snprintf(error->Message, sizeof error->Message, "%s", e.what());
  } catch (...) {
    std::snprintf(error->Message, sizeof error->Message, "%s", fallback);
  }
  return kPdfModuleFailed;
}

}  // namespace omniocr
