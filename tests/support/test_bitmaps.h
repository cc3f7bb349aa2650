#pragma once

// Fixtures shared by the test suites: bitmaps drawn in memory or from ASCII
// art, and packed bitmaps in global memory blocks for the engine's entry points.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "dibunit/dib.h"
#include "dibunit/global_memory.h"

namespace omniocr::test {

// Frees a global memory block when it goes out of scope.
class TOwnedHandle {
 public:
  explicit TOwnedHandle(TGlobalHandle handle = nullptr) : Handle(handle) {}
  ~TOwnedHandle() { GlobalFree(Handle); }
  TOwnedHandle(const TOwnedHandle&) = delete;
  TOwnedHandle& operator=(const TOwnedHandle&) = delete;
  TOwnedHandle(TOwnedHandle&& other) noexcept : Handle(other.Handle) { other.Handle = nullptr; }
  TGlobalHandle get() const { return Handle; }
  TGlobalHandle release() {
    TGlobalHandle h = Handle;
    Handle = nullptr;
    return h;
  }

 private:
  TGlobalHandle Handle;
};

// An 8-bit grey bitmap filled with one value.
std::unique_ptr<TDIB> MakeGrey(int width, int height, std::uint8_t fill = 255);

// An 8-bit bitmap from ASCII art: '#' is 0 (ink), '.' is 255 (paper); digits
// '1'..'9' give the grey levels 25, 50, ..., 225 for grey-level tests.
std::unique_ptr<TDIB> FromArt(const std::vector<std::string>& rows);

// Fills the inclusive rectangle with a value (clipped).
void FillRect(TDIB& bitmap, int x0, int y0, int x1, int y1, std::uint8_t value);

// A copy of a bitmap's packed bytes in a new global block.
TOwnedHandle PackBitmap(const TDIB& bitmap);

// A packed bitmap of any bit count with pixels from a function, built byte by
// byte in the documented layout (for inputs the engine must convert or refuse).
TOwnedHandle MakePackedDib(int width, int height, int bitCount,
                           const std::function<std::uint32_t(int x, int y)>& pixel,
                           const std::vector<std::uint32_t>& palette = {});

// The bytes of a global block.
std::vector<std::uint8_t> BlockBytes(TGlobalHandle handle);

}  // namespace omniocr::test
