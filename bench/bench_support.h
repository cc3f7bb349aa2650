#pragma once

// Small helpers shared by the benchmark programs.

#include <cstring>

#include "dibunit/dib.h"
#include "dibunit/global_memory.h"

namespace omniocr::bench {

// A copy of a bitmap's packed bytes in a new global block, as a caller hands
// a page to the engine; the caller frees it.
inline TGlobalHandle PackedCopy(const TDIB& page) {
  TGlobalHandle handle = GlobalAllocZeroed(static_cast<std::size_t>(page.DataSize));
  std::memcpy(GlobalLock(handle), page.Header, static_cast<std::size_t>(page.DataSize));
  GlobalUnlock(handle);
  return handle;
}

}  // namespace omniocr::bench
