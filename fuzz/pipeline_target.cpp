// Small bitmaps of every depth with every parameter set through the whole
// pipeline, letters on. A run ends with records or with the engine's own
// refusal, and the records it leaves lie on the page.

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "dibunit/dib.h"
#include "dibunit/errors.h"
#include "dibunit/global_memory.h"
#include "engine/omnifont_ocr.h"
#include "fuzz/fuzz_targets.h"

namespace omniocr::fuzz {

namespace {

constexpr int kBitCounts[] = {1, 4, 8, 24};

// The pixels of the page, before zooming, cycle through the bytes after the
// header; each stored pixel becomes a Zoom x Zoom square, so that a short
// input still draws characters of a readable size.
std::vector<std::uint8_t> PackedPage(const TPipelineHeader& h, const std::uint8_t* pixels, std::size_t count,
                                     bool reversedPalette) {
  const int colors = h.BitCount <= 8 ? 1 << h.BitCount : 0;
  const std::int64_t stride = DibStride(h.Width, h.BitCount);
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(DibDataSize(h.Width, h.Height, h.BitCount)), 0);
  TBitmapInfoHeader info{};
  info.Size = 40;
  info.Width = h.Width;
  info.Height = h.Height;
  info.Planes = 1;
  info.BitCount = static_cast<std::uint16_t>(h.BitCount);
  info.ImageSize = static_cast<std::uint32_t>(stride * h.Height);
  info.ColorsUsed = info.ColorsImportant = static_cast<std::uint32_t>(colors);
  std::memcpy(packed.data(), &info, sizeof info);
  for (int i = 0; i < colors; ++i) {
    int grey = colors == 2 ? i * 255 : i * 255 / (colors - 1);
    if (reversedPalette) grey = 255 - grey;
    std::memset(packed.data() + 40 + 4 * i, grey, 3);
  }
  if (count == 0) return packed;
  const int sourceWidth = (h.Width + h.Zoom - 1) / h.Zoom;
  const std::int64_t sourceStride = (static_cast<std::int64_t>(sourceWidth) * h.BitCount + 7) / 8;
  std::uint8_t* bits = packed.data() + 40 + 4 * colors;
  const int bytesPerPixel = h.BitCount == 24 ? 3 : 1;
  for (int y = 0; y < h.Height; ++y) {
    std::uint8_t* row = bits + static_cast<std::int64_t>(h.Height - 1 - y) * stride;
    const std::int64_t source = static_cast<std::int64_t>(y / h.Zoom) * sourceStride;
    for (int x = 0; x < h.Width; ++x) {
      const int sx = x / h.Zoom;
      if (h.BitCount >= 8) {
        for (int b = 0; b < bytesPerPixel; ++b)
          row[x * bytesPerPixel + b] = pixels[(source + sx * bytesPerPixel + b) % count];
        continue;
      }
      const int perByte = 8 / h.BitCount;
      const std::uint8_t byte = pixels[(source + sx / perByte) % count];
      const int shift = 8 - h.BitCount * (sx % perByte + 1);
      const int value = (byte >> shift) & ((1 << h.BitCount) - 1);
      row[x / perByte] |= static_cast<std::uint8_t>(value << (8 - h.BitCount * (x % perByte + 1)));
    }
  }
  return packed;
}

void CheckRecords(const TOmnifontOCR& engine, int width, int height) {
  for (int i = 0; i < engine.Chars.Count(); ++i) {
    const TOCRChar& c = *engine.Chars[i];
    if (c.CandCount < 0 || c.CandCount >= kMaxCandidates) std::abort();
    if (c.Page != nullptr) std::abort();
    if (c.BestChar == SpaceChar || c.BestChar == LineBreakChar) continue;
    if (c.Left < 0 || c.Top < 0 || c.Right >= width || c.Bottom >= height) std::abort();
    if (c.Left > c.Right || c.Top > c.Bottom) std::abort();
  }
}

}  // namespace

TPipelineHeader ParsePipelineHeader(const std::uint8_t* data, std::size_t size) {
  std::uint8_t b[kPipelineHeaderBytes] = {};
  std::memcpy(b, data, std::min(size, kPipelineHeaderBytes));
  TPipelineHeader h;
  h.Width = b[0] + 1;
  h.Height = b[1] + 1;
  h.BitCount = kBitCounts[b[2] & 3];
  h.Zoom = ((b[2] >> 2) & 3) + 1;
  h.CutRegions = (b[2] & 0x10) != 0;
  h.Similarity = (b[2] & 0x20) == 0;
  h.Context = (b[2] & 0x40) == 0;
  h.RestrictAllowed = (b[2] & 0x80) != 0;
  h.AreaType = b[3] % 5;
  static constexpr int kSpotModes[] = {srNone, srSmart, srAlways, 5};
  h.SpotRemoval = kSpotModes[(b[3] / 5) % 4];
  h.MaxSpotSize = static_cast<std::int8_t>(b[4]) < 0 ? -1 : b[4];
  h.SplitTouching = b[5] % 3;
  return h;
}

void PipelineTarget(const std::uint8_t* data, std::size_t size) {
  const TPipelineHeader h = ParsePipelineHeader(data, size);
  const std::size_t offset = std::min(size, kPipelineHeaderBytes);
  const std::vector<std::uint8_t> packed =
      PackedPage(h, data + offset, size - offset, size > 6 && (data[6] & 1) != 0);
  TGlobalHandle handle = GlobalAllocZeroed(packed.size());
  std::memcpy(GlobalLock(handle), packed.data(), packed.size());
  GlobalUnlock(handle);

  // One engine for every input: a run must leave it usable for the next.
  static TOmnifontOCR engine;
  engine.NumericOnly = false;
  engine.AllowedChars = h.RestrictAllowed ? u"0123456789aeiouAEIOU.,;:!?()-/" : u"";
  engine.SpotRemoval = static_cast<std::uint8_t>(h.SpotRemoval);
  engine.MaxSpotSize = h.MaxSpotSize;
  engine.SplitTouching = static_cast<std::uint8_t>(h.SplitTouching);
  engine.SimilarityCorrection = h.Similarity;
  engine.ContextCorrection = h.Context;
  engine.CutRegions = h.CutRegions;
  try {
    engine.Recognize(handle, static_cast<TAreaType>(h.AreaType));
    CheckRecords(engine, h.Width, h.Height);
  } catch (const EOCRError&) {
  }
  // The caller's block is only read.
  if (std::memcmp(GlobalLock(handle), packed.data(), packed.size()) != 0) std::abort();
  GlobalUnlock(handle);
  GlobalFree(handle);
}

}  // namespace omniocr::fuzz
