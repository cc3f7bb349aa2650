#include <cstring>

#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

struct TIconEntry {
  int Width = 0;
  int Height = 0;
  int BitCount = 0;
  std::size_t Offset = 0;
  std::size_t Bytes = 0;
};

// The largest image of the directory, the deepest colour among equals.
TIconEntry PickLargest(TByteReader& r, unsigned count, std::size_t fileSize) {
  TIconEntry best;
  bool found = false;
  for (unsigned i = 0; i < count; ++i) {
    TIconEntry e;
    e.Width = r.U8();
    e.Height = r.U8();
    r.Skip(4);  // colour count, reserved, planes (hot spot for cursors)
    e.BitCount = r.U16LE();
    e.Bytes = r.U32LE();
    e.Offset = r.U32LE();
    if (e.Width == 0) e.Width = 256;
    if (e.Height == 0) e.Height = 256;
    if (e.Offset >= fileSize || e.Bytes == 0) continue;
    e.Bytes = std::min(e.Bytes, fileSize - e.Offset);
    const long area = static_cast<long>(e.Width) * e.Height,
               bestArea = static_cast<long>(best.Width) * best.Height;
    if (!found || area > bestArea || (area == bestArea && e.BitCount > best.BitCount)) best = e, found = true;
  }
  if (!found) throw EImageError("icon holds no readable image");
  return best;
}

}  // namespace

TDibGraphic ReadIcon(const std::uint8_t* data, std::size_t size) {
  TByteReader r(data, size, "icon");
  r.Skip(4);
  const unsigned count = r.U16LE();
  const TIconEntry entry = PickLargest(r, count, size);
  const std::uint8_t* image = data + entry.Offset;
  if (entry.Bytes >= 8 && std::memcmp(image, "\x89PNG\r\n\x1A\n", 8) == 0) return ReadPng(image, entry.Bytes);
  return DecodeDib(image, entry.Bytes, 0, true);
}

}  // namespace omniocr
