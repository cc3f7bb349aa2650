#include "engine/classify/probes.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

int CountCrossings(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  const int n = std::max(std::abs(x1 - x0), std::abs(y1 - y0));
  if (n == 0) return InkAt(bitmap, x0, y0, threshold) ? 1 : 0;
  const int dx = x1 - x0, dy = y1 - y0;
  int count = 0;
  bool previousInk = false;
  if (dy == 0 && y0 >= 0 && y0 < bitmap.Height()) {
    // A row: the samples are the columns themselves.
    const std::uint8_t* row = bitmap.Row(y0);
    const int w = bitmap.Width();
    const int step = dx > 0 ? 1 : -1;
    for (int k = 0, x = x0; k <= n; ++k, x += step) {
      const bool ink = x >= 0 && x < w && IsInkByte(row[x], threshold);
      if (ink && !previousInk) ++count;
      previousInk = ink;
    }
    return count;
  }
  for (int k = 0; k <= n; ++k) {
    const int x = x0 + dx * k / n;
    const int y = y0 + dy * k / n;
    const bool ink = InkAt(bitmap, x, y, threshold);
    if (ink && !previousInk) ++count;
    previousInk = ink;
  }
  return count;
}

std::uint8_t ProbeRect(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, std::uint8_t mask) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, bitmap.Width() - 1);
  y0 = std::max(y0, 0);
  y1 = std::min(y1, bitmap.Height() - 1);
  if (y1 < y0 || x1 < x0) return 0;
  std::uint8_t bits = 0;
  for (int y = y0; y <= y1; ++y) {
    const std::uint8_t* row = bitmap.Row(y);
    for (int x = x0; x <= x1; ++x) {
      bits |= IsInkByte(row[x], threshold) ? 1 : 2;
      if ((bits & mask) == mask) return bits & mask;
    }
  }
  return bits & mask;
}

int InkCoverage(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, int scale) {
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const bool xMajor = dx > dy;
  // Walk toward increasing major coordinate.
  if ((xMajor && x1 < x0) || (!xMajor && y1 < y0)) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  const int major = xMajor ? dx : dy;
  const int minor = xMajor ? dy : dx;
  const int minorStep = xMajor ? (y1 >= y0 ? 1 : -1) : (x1 >= x0 ? 1 : -1);
  int d = 2 * minor - major;
  int x = x0, y = y0;
  int covered = 0, uncovered = 0;
  unsigned flags = 3;  // bit 0: side A has had ink, bit 1: side B
  const int end = xMajor ? x1 : y1;
  auto paperInside = [&](int px, int py) {
    return bitmap.Inside(px, py) && !IsInkByte(bitmap.PixelByte(px, py), threshold);
  };
  while ((xMajor ? x : y) <= end) {
    if (InkAt(bitmap, x, y, threshold)) {
      flags = 3;
    } else {
      const int ax = xMajor ? x : x + 1, ay = xMajor ? y + 1 : y;
      const int bx = xMajor ? x : x - 1, by = xMajor ? y - 1 : y;
      if (paperInside(ax, ay)) flags &= ~1u;
      if (paperInside(bx, by)) flags &= ~2u;
    }
    if (flags != 0)
      ++covered;
    else
      ++uncovered;
    if (xMajor)
      ++x;
    else
      ++y;
    if (d > 0) {
      d += 2 * (minor - major);
      if (xMajor)
        y += minorStep;
      else
        x += minorStep;
    } else {
      d += 2 * minor;
    }
  }
  return covered * scale / (covered + uncovered);
}

void WalkProbe(const TDIB& bitmap, int& x, int& y, int minX, int maxX, int minY, int maxY, int threshold,
               int inkAction, int paperAction) {
  if (!bitmap.Inside(minX, minY)) return;
  maxX = std::min(maxX, bitmap.Width() - 1);
  maxY = std::min(maxY, bitmap.Height() - 1);
  while (x >= minX && x <= maxX && y >= minY && y <= maxY) {
    const int action = IsInkByte(bitmap.PixelByte(x, y), threshold) ? inkAction : paperAction;
    switch (action) {
      case waUp: --y; break;
      case waDown: ++y; break;
      case waLeft: --x; break;
      case waRight: ++x; break;
      case waStop: return;
      default: throw EOCRError("error...");
    }
  }
}

bool PathConnects(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  if (x0 == x1 && y0 == y1) return true;
  if (!bitmap.Inside(x0, y0)) return false;
  const int minX = std::min(x0, x1), maxX = std::max(x0, x1);
  const int minY = std::min(y0, y1), maxY = std::max(y0, y1);
  const bool startInk = IsInkByte(bitmap.PixelByte(x0, y0), threshold);
  auto open = [&](int px, int py) {
    return px >= minX && px <= maxX && py >= minY && py <= maxY && bitmap.Inside(px, py) &&
           IsInkByte(bitmap.PixelByte(px, py), threshold) == startInk;
  };
  // Headings in left-turn order: up, left, down, right.
  static constexpr int kDx[4] = {0, -1, 0, 1};
  static constexpr int kDy[4] = {-1, 0, 1, 0};
  int px = x0, py = y0, heading = 0;
  // Every state lies on one cycle through the start; the cap only guards it.
  const std::int64_t states = 4 * static_cast<std::int64_t>(maxX - minX + 1) * (maxY - minY + 1) + 4;
  for (std::int64_t step = 0; step < states; ++step) {
    const int qx = px + kDx[heading], qy = py + kDy[heading];
    if (open(qx, qy)) {
      px = qx;
      py = qy;
      heading = (heading + 1) & 3;
    } else {
      heading = (heading + 3) & 3;
    }
    if (px == x1 && py == y1) return true;
    if (px == x0 && py == y0 && heading == 0) return false;
  }
  return false;
}

int FillRegion(const TOmnifontOCR& engine, TDIB& bitmap, int x, int y, int threshold, int mark) {
  TBox box;
  return TraceComponent(bitmap, x, y, threshold, mark, (engine.FillPass & 1) != 0, box);
}

namespace {

// A W x H copy of the rectangle at (left, top); positions outside the source
// read as paper (248, unmarked).
std::unique_ptr<TDIB> ScratchCopy(const TDIB& source, int left, int top, int w, int h, bool clearMarks) {
  auto scratch = std::make_unique<TDIB>();
  scratch->CreateNew(w, h, df8Bit, 0, 0);
  const std::uint8_t keep = clearMarks ? 0xF8 : 0xFF;
  for (int j = 0; j < h; ++j) {
    std::uint8_t* dst = scratch->Row(j);
    const int sy = top + j;
    for (int k = 0; k < w; ++k) {
      const int sx = left + k;
      dst[k] = source.Inside(sx, sy) ? static_cast<std::uint8_t>(source.PixelByte(sx, sy) & keep) : 248;
    }
  }
  return scratch;
}

}  // namespace

int CountHoles(const TOmnifontOCR& engine, const TDIB& bitmap, int left, int top, int right, int bottom,
               int threshold, THoleList* list) {
  THoleList scratchList;
  THoleList& holes = list != nullptr ? *list : scratchList;
  holes.HoleCount = 0;
  const int w = right - left + 1, h = bottom - top + 1;
  if (w < 3 || h < 3) return 0;
  std::unique_ptr<TDIB> scratch = ScratchCopy(bitmap, left, top, w, h, false);
  TDIB& s = *scratch;
  const bool eight = (engine.FillPass & 1) != 0;
  TBox box;
  auto floodIfPaper = [&](int x, int y) {
    if (!IsInkByte(s.PixelByte(x, y), threshold)) TraceComponent(s, x, y, threshold, 7, eight, box);
  };
  for (int x = 0; x < w; ++x) {
    floodIfPaper(x, 0);
    floodIfPaper(x, h - 1);
  }
  for (int y = 0; y < h; ++y) {
    floodIfPaper(0, y);
    floodIfPaper(w - 1, y);
  }
  int n = 0;
  for (int x = 0; x < w; ++x) {
    for (int y = 0; y < h; ++y) {
      const std::uint8_t b = s.PixelByte(x, y);
      if ((b & 7) != 0 || IsInkByte(b, threshold)) continue;
      const int size = TraceComponent(s, x, y, threshold, 7, eight, box);
      if ((size <= 1 && w * h > 40) || n == kMaxHoles) continue;
      int at = 0;
      while (at < n && holes.Holes[at].Size >= size) ++at;
      for (int k = n; k > at; --k) holes.Holes[k] = holes.Holes[k - 1];
      holes.Holes[at] = {size, x, y, box.Left, box.Top, box.Right, box.Bottom};
      ++n;
      holes.HoleCount = n;
    }
  }
  if (n == 0) return 0;
  const int largest = holes.Holes[0].Size;
  for (;;) {
    int small = -1;
    for (int k = 0; k < n; ++k)
      if (holes.Holes[k].Size < largest / 5) {
        small = k;
        break;
      }
    if (small < 0) break;
    for (int k = small; k < n - 1; ++k) holes.Holes[k] = holes.Holes[k + 1];
    --n;
  }
  return n;
}

int CountBlobs(const TOmnifontOCR& engine, const TDIB& bitmap, int x0, int y0, int x1, int y1,
               int threshold) {
  if (x0 > x1 || y0 > y1) return 0;
  const int w = x1 - x0 + 1, h = y1 - y0 + 1;
  std::unique_ptr<TDIB> scratch = ScratchCopy(bitmap, x0, y0, w, h, true);
  TDIB& s = *scratch;
  const bool eight = (engine.FillPass & 1) != 0;
  TBox box;
  int count = 0;
  for (int x = 0; x < w; ++x)
    for (int y = 0; y < h; ++y) {
      const std::uint8_t b = s.PixelByte(x, y);
      if ((b & 7) == 0 && IsInkByte(b, threshold)) {
        ++count;
        TraceComponent(s, x, y, threshold, 7, eight, box);
      }
    }
  return count;
}

}  // namespace omniocr
