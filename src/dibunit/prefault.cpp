#include "dibunit/prefault.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace omniocr {

void PrefaultForWriting(void* data, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  if (data == nullptr || size < kPrefaultMinBytes) return;
  static const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  // Only the whole pages inside the block: those around it are not ours.
  const auto start = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (start + pageSize - 1) / pageSize * pageSize;
  const std::uintptr_t end = (start + size) / pageSize * pageSize;
  if (end <= first) return;
  // A block the allocator hands out again lies in memory it has touched
  // before; its last page, the newest, then stands for the whole block.
  unsigned char resident = 0;
  if (mincore(reinterpret_cast<void*>(end - pageSize), pageSize, &resident) == 0 && (resident & 1) != 0)
    return;
  madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
  (void)data;
  (void)size;
#endif
}

}  // namespace omniocr
