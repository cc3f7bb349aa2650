#pragma once

// Movable global memory blocks: the container in which packed bitmaps travel
// between the caller and the engine, and in which every TDIB keeps its pixels.
//
// A block is allocated zero-filled, locked to an address (with a nesting
// count), unlocked, queried for its size, resized and freed. While a block is
// locked its address is stable; a resize needs the block unlocked and may move
// it. Failures raise EOCRError carrying the system's error text.

#include <cstddef>

namespace omniocr {

struct TGlobalBlock;
using TGlobalHandle = TGlobalBlock*;

// A new zero-filled block of the given size (0 is allowed). Raises on failure.
TGlobalHandle GlobalAllocZeroed(std::size_t size);

// A block holding `data`, `size` bytes from the C allocator (malloc, calloc,
// realloc), which the block owns from now on. When no block can be made the
// data is freed and the error raised.
TGlobalHandle GlobalAdopt(void* data, std::size_t size);

// Locks the block and returns its address; nests. Raises on an invalid handle.
void* GlobalLock(TGlobalHandle handle);

// Undoes one GlobalLock. Returns true while the block stays locked.
bool GlobalUnlock(TGlobalHandle handle);

// The block's size in bytes; 0 for an invalid handle.
std::size_t GlobalSize(TGlobalHandle handle);

// The block's current lock nesting count; 0 for an invalid handle.
int GlobalLockCount(TGlobalHandle handle);

// Resizes an unlocked block; new bytes are zero. Returns the handle (which
// stays the same). Raises when the block is locked, invalid, or memory runs out.
TGlobalHandle GlobalReAlloc(TGlobalHandle handle, std::size_t size);

// Frees the block (even when locked). A null handle is ignored.
void GlobalFree(TGlobalHandle handle);

// Test hook: makes the next `count` allocations or resizes fail with ENOMEM,
// so that callers' failure paths can be exercised. 0 switches it off.
void GlobalFailNextAllocations(int count);

}  // namespace omniocr
