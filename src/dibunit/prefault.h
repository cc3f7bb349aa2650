#pragma once

// Backing a large, freshly allocated block with memory in one call before it
// is written whole: the system then maps its pages together instead of
// stopping the program once for every page it first touches.

#include <cstddef>

namespace omniocr {

// Blocks smaller than this come from memory the allocator has touched before.
constexpr std::size_t kPrefaultMinBytes = 256 * 1024;

// A hint only: nothing happens for a smaller block, for one whose last page
// is in memory already (a block the allocator hands out again), or where the
// system cannot do it; the contents stay as they are.
void PrefaultForWriting(void* data, std::size_t size);

}  // namespace omniocr
