#include "dibunit/global_memory.h"

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <system_error>

#include "dibunit/errors.h"
#include "dibunit/prefault.h"

namespace omniocr {

namespace {

constexpr unsigned kBlockMagic = 0x474d454du;  // "GMEM"

std::atomic<int> failuresToInject{0};

bool InjectFailure() {
  int pending = failuresToInject.load();
  while (pending > 0) {
    if (failuresToInject.compare_exchange_weak(pending, pending - 1)) return true;
  }
  return false;
}

}  // namespace

struct TGlobalBlock {
  unsigned magic = kBlockMagic;
  unsigned char* data = nullptr;
  std::size_t size = 0;
  int lockCount = 0;
};

[[noreturn]] void RaiseSystemError(int errorNumber) {
  throw EOCRError(std::system_category().message(errorNumber));
}

namespace {

TGlobalBlock* Valid(TGlobalHandle handle) {
  if (handle == nullptr || handle->magic != kBlockMagic) return nullptr;
  return handle;
}

// calloc(0) may return null; keep every block's data pointer non-null.
// Blocks are written whole once made (bitmaps, copies).
unsigned char* AllocateZeroed(std::size_t size) {
  if (InjectFailure()) return nullptr;
  auto* data = static_cast<unsigned char*>(std::calloc(size == 0 ? 1 : size, 1));
  PrefaultForWriting(data, size);
  return data;
}

}  // namespace

TGlobalHandle GlobalAllocZeroed(std::size_t size) {
  unsigned char* data = AllocateZeroed(size);
  if (data == nullptr) RaiseSystemError(ENOMEM);
  auto* block = new (std::nothrow) TGlobalBlock;
  if (block == nullptr) {
    std::free(data);
    RaiseSystemError(ENOMEM);
  }
  block->data = data;
  block->size = size;
  return block;
}

TGlobalHandle GlobalAdopt(void* data, std::size_t size) {
  auto* block = InjectFailure() ? nullptr : new (std::nothrow) TGlobalBlock;
  if (block == nullptr) {
    std::free(data);
    RaiseSystemError(ENOMEM);
  }
  block->data = static_cast<unsigned char*>(data);
  block->size = size;
  return block;
}

void* GlobalLock(TGlobalHandle handle) {
  TGlobalBlock* block = Valid(handle);
  if (block == nullptr) RaiseSystemError(EINVAL);
  ++block->lockCount;
  return block->data;
}

bool GlobalUnlock(TGlobalHandle handle) {
  TGlobalBlock* block = Valid(handle);
  if (block == nullptr || block->lockCount == 0) return false;
  --block->lockCount;
  return block->lockCount > 0;
}

std::size_t GlobalSize(TGlobalHandle handle) {
  TGlobalBlock* block = Valid(handle);
  return block == nullptr ? 0 : block->size;
}

int GlobalLockCount(TGlobalHandle handle) {
  TGlobalBlock* block = Valid(handle);
  return block == nullptr ? 0 : block->lockCount;
}

TGlobalHandle GlobalReAlloc(TGlobalHandle handle, std::size_t size) {
  TGlobalBlock* block = Valid(handle);
  if (block == nullptr) RaiseSystemError(EINVAL);
  if (block->lockCount > 0) RaiseSystemError(EBUSY);
  if (size == block->size) return block;
  unsigned char* data = AllocateZeroed(size);
  if (data == nullptr) RaiseSystemError(ENOMEM);
  std::memcpy(data, block->data, size < block->size ? size : block->size);
  std::free(block->data);
  block->data = data;
  block->size = size;
  return block;
}

void GlobalFree(TGlobalHandle handle) {
  TGlobalBlock* block = Valid(handle);
  if (block == nullptr) return;
  std::free(block->data);
  block->magic = 0;
  delete block;
}

void GlobalFailNextAllocations(int count) { failuresToInject.store(count < 0 ? 0 : count); }

}  // namespace omniocr
