#include "engine/classify/probes.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdlib>
#include <vector>

#include "dibunit/errors.h"
#include "engine/byte_scan.h"
#include "engine/classify/bit_spans.h"
#include "engine/classify/hole_bits.h"
#include "engine/classify/ink_plane.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/region_labelling.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

namespace {

// A segment with an end outside the bitmap: every sample is tested.
int CountCrossingsClipped(const TDIB& bitmap, int x0, int y0, int x1, int y1, int n, int threshold) {
  const int dx = x1 - x0, dy = y1 - y0;
  int count = 0;
  bool previousInk = false;
  for (int k = 0; k <= n; ++k) {
    const int x = x0 + dx * k / n;
    const int y = y0 + dy * k / n;
    const bool ink = InkAt(bitmap, x, y, threshold);
    if (ink && !previousInk) ++count;
    previousInk = ink;
  }
  return count;
}

// Counts the ink runs of a sequence of pixel bytes.
class TRunCounter {
 public:
  explicit TRunCounter(int threshold) : Thr(threshold & 0xFF) {}
  void Sample(std::uint8_t byte) {
    const bool ink = (byte & 0xF8) < Thr;
    Count += ink && !PreviousInk;
    PreviousInk = ink;
  }
  int Count = 0;

 private:
  int Thr;
  bool PreviousInk = false;
};

// Bits set in each byte value (a table: the processors the engine is built
// for need not count bits in one instruction).
constexpr auto kBitsSet = [] {
  std::array<std::uint8_t, 256> table{};
  for (int v = 0; v < 256; ++v) table[v] = static_cast<std::uint8_t>(std::popcount(static_cast<unsigned>(v)));
  return table;
}();

// Ink runs along row[xa..xb] (xa <= xb): eight pixels at a time as bits, a
// run starting at each ink bit whose left neighbour is paper.
int RowRuns(const std::uint8_t* row, int xa, int xb, int threshold) {
  const int t = threshold & 0xFF;
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(t);
  int count = 0;
  unsigned previous = 0;  // the pixel before is ink (1) or paper (0)
  int x = xa;
  for (; x + 8 <= xb + 1; x += 8) {
    const unsigned ink = InkBits8(row + x, limits);
    count += kBitsSet[ink & ~((ink << 1) | previous) & 0xFFu];
    previous = ink >> 7;
  }
  for (; x <= xb; ++x) {
    const unsigned ink = (row[x] & 0xF8) < t ? 1 : 0;
    count += static_cast<int>(ink & ~previous);
    previous = ink;
  }
  return count;
}

// The classes of a rectangle inside the bitmap, pixel by pixel.
[[gnu::noinline]] std::uint8_t PixelClasses(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold,
                                            std::uint8_t mask) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, bitmap.Width() - 1);
  y0 = std::max(y0, 0);
  y1 = std::min(y1, bitmap.Height() - 1);
  if (y1 < y0 || x1 < x0) return 0;
  const int t = threshold & 0xFF;
  switch (mask & 3) {
    case 1:  // any ink
      for (int y = y0; y <= y1; ++y) {
        const std::uint8_t* row = bitmap.Row(y);
        for (int x = x0; x <= x1; ++x)
          if ((row[x] & 0xF8) < t) return 1;
      }
      return 0;
    case 2:  // any paper
      for (int y = y0; y <= y1; ++y) {
        const std::uint8_t* row = bitmap.Row(y);
        for (int x = x0; x <= x1; ++x)
          if ((row[x] & 0xF8) >= t) return 2;
      }
      return 0;
    case 3: {
      std::uint8_t bits = 0;
      for (int y = y0; y <= y1; ++y) {
        const std::uint8_t* row = bitmap.Row(y);
        for (int x = x0; x <= x1; ++x) {
          bits |= (row[x] & 0xF8) < t ? 1 : 2;
          if (bits == 3) return 3;
        }
      }
      return bits;
    }
    default: return 0;
  }
}

}  // namespace

namespace {

// The samples of a segment whose ends both lie inside the bitmap: n + 1
// pixels from `Start`, stepping `Major` each pixel and `Minor` as well
// whenever the remainder of MinorLength * k by n comes round. Sample k lies
// at x0 + dx*k/n, y0 + dy*k/n, each truncated toward zero.
struct TSlantedWalk {
  const std::uint8_t* Start;
  int N, MinorLength;
  std::ptrdiff_t Major, Minor;
};

// The walk of a segment with dx and dy both non-zero, n the larger of |dx|
// and |dy|.
TSlantedWalk SlantedWalk(const TDIB& bitmap, int x0, int y0, int dx, int dy, int n) {
  const int ax = std::abs(dx), ay = std::abs(dy);
  const std::ptrdiff_t sx = dx > 0 ? 1 : -1;
  // A bitmap's rows lie one stride apart, so one step up or down the rows
  // moves the pixel's address by this much.
  const int sy = dy > 0 ? 1 : -1;
  const std::ptrdiff_t rowStep = bitmap.Row(y0 + sy) - bitmap.Row(y0);
  const std::uint8_t* start = bitmap.Row(y0) + x0;
  if (ax == n) return {start, n, ay, sx, rowStep};
  return {start, n, ax, rowStep, sx};
}

// Hands every sample's byte to `visit` in order until it returns false;
// whether it saw them all.
template <class TVisit>
inline bool WalkSlanted(const TSlantedWalk& walk, TVisit visit) {
  const std::uint8_t* p = walk.Start;
  if (!visit(*p)) return false;
  int r = 0;
  for (int k = walk.N; k > 0; --k) {  // never stepping past the last pixel
    p += walk.Major;
    r += walk.MinorLength;
    if (r >= walk.N) {
      r -= walk.N;
      p += walk.Minor;
    }
    if (!visit(*p)) return false;
  }
  return true;
}

// Ink runs among a walk's samples, counted from the changes of class: each
// run opens with one (from paper before the first sample) and, unless it
// reaches the last sample, closes with one.
int SlantedRuns(const TSlantedWalk& walk, int threshold) {
  const unsigned t = static_cast<unsigned>(threshold & 0xFF);
  unsigned previous = 0, changes = 0;
  WalkSlanted(walk, [&](std::uint8_t value) {
    const unsigned ink = (value & 0xF8u) < t ? 1u : 0u;
    changes += ink ^ previous;
    previous = ink;
    return true;
  });
  return static_cast<int>((changes + previous) / 2);
}

// Whether any of a walk's samples is ink.
bool SlantedMeetsInk(const TSlantedWalk& walk, int threshold) {
  const unsigned t = static_cast<unsigned>(threshold & 0xFF);
  return !WalkSlanted(walk, [t](std::uint8_t value) { return (value & 0xF8u) >= t; });
}

// Crossings read pixel by pixel.
[[gnu::noinline]] int PixelCrossings(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  const int dx = x1 - x0, dy = y1 - y0;
  const int n = std::max(std::abs(dx), std::abs(dy));
  if (n == 0) return InkAt(bitmap, x0, y0, threshold) ? 1 : 0;
  if (!bitmap.Inside(x0, y0) || !bitmap.Inside(x1, y1))
    return CountCrossingsClipped(bitmap, x0, y0, x1, y1, n, threshold);
  // Both ends inside: so is every sample between them.
  TRunCounter runs(threshold);
  if (dy == 0) {  // either way along the row
    const int xa = std::min(x0, x1), xb = std::max(x0, x1);
    return RowRuns(bitmap.Row(y0), xa, xb, threshold);
  }
  if (dx == 0) {
    const int step = dy > 0 ? 1 : -1;
    for (int k = 0, y = y0; k <= n; ++k, y += step) runs.Sample(bitmap.Row(y)[x0]);
    return runs.Count;
  }
  return SlantedRuns(SlantedWalk(bitmap, x0, y0, dx, dy, n), threshold);
}

}  // namespace

int CountCrossingsInFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  if (TInkPlane* plane = ActivePlane(bitmap, threshold)) {
    if (y0 == y1) {  // either way along the row
      const int xa = std::min(x0, x1), xb = std::max(x0, x1);
      if (plane->Covers(xa, y0, xb, y0)) return plane->RowRuns(y0, xa, xb);
    } else if (x0 == x1) {  // either way down the column
      const int ya = std::min(y0, y1), yb = std::max(y0, y1);
      if (plane->Covers(x0, ya, x0, yb)) return plane->ColumnRuns(x0, ya, yb);
    }
  }
  return PixelCrossings(bitmap, x0, y0, x1, y1, threshold);
}

bool SegmentMeetsInkFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  const int dx = x1 - x0, dy = y1 - y0;
  const int n = std::max(std::abs(dx), std::abs(dy));
  if (dx == 0 || dy == 0)
    return ProbeRect(bitmap, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1),
                     threshold, 1) != 0;
  if (!bitmap.Inside(x0, y0) || !bitmap.Inside(x1, y1)) {
    for (int k = 0; k <= n; ++k)
      if (InkAt(bitmap, x0 + dx * k / n, y0 + dy * k / n, threshold)) return true;
    return false;
  }
  // Both ends inside, so is every sample; walked as PixelCrossings walks them.
  return SlantedMeetsInk(SlantedWalk(bitmap, x0, y0, dx, dy, n), threshold);
}

namespace {

// A rectangle that reaches past the plane: clipped to the bitmap, then read
// from the plane if it lies inside it now, else pixel by pixel.
[[gnu::noinline]] std::uint8_t ClippedClasses(TInkPlane& plane, const TDIB& bitmap, int x0, int y0, int x1,
                                              int y1, int threshold, std::uint8_t mask) {
  x0 = std::max(x0, 0);
  x1 = std::min(x1, plane.BitmapWidth() - 1);
  y0 = std::max(y0, 0);
  y1 = std::min(y1, plane.BitmapHeight() - 1);
  if (y1 < y0 || x1 < x0) return 0;
  if (!plane.Covers(x0, y0, x1, y1)) return PixelClasses(bitmap, x0, y0, x1, y1, threshold, mask);
  return static_cast<std::uint8_t>(plane.Classes(x0, y0, x1, y1, mask));
}

}  // namespace

std::uint8_t ProbeRectInFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold,
                             std::uint8_t mask) {
  if (y1 < y0 || x1 < x0) return 0;  // clipping only shrinks it
  TInkPlane* plane = ActivePlane(bitmap, threshold);
  if (plane == nullptr) return PixelClasses(bitmap, x0, y0, x1, y1, threshold, mask);
  // The plane lies inside the bitmap.
  if (!plane->Covers(x0, y0, x1, y1)) return ClippedClasses(*plane, bitmap, x0, y0, x1, y1, threshold, mask);
  // ProbeRectIn, the way here, has asked the plane's quick answer already.
  return static_cast<std::uint8_t>(plane->ClassesAfterQuick(x0, y0, x1, y1, mask));
}

namespace {

// Ink (bit 1) and paper (bit 2) of row[xa..xb], at most sixteen pixels of a
// row `width` >= 8 wide (0 <= xa <= xb < width): one or two words of eight
// pixels, each lying inside the row. A span that fits in eight pixels takes
// the word from xa (moved left where the row ends sooner), its bits past xb
// dropped; a longer one starts eight pixels at xa and ends eight at xb.
unsigned ShortSpanClasses(const std::uint8_t* row, int xa, int xb, int width, int t) {
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(t);
  auto classes = [](unsigned ink, unsigned all) { return (ink != 0 ? 1u : 0u) | (ink != all ? 2u : 0u); };
  const int n = xb - xa + 1;
  const int start = std::min(xa, width - 8);
  if (start + 8 - xa >= n) {
    const unsigned all = (1u << n) - 1;
    return classes((InkBits8(row + start, limits) >> (xa - start)) & all, all);
  }
  // Here start == xa and 8 < n <= 16.
  return classes(InkBits8(row + xa, limits), 0xFFu) | classes(InkBits8(row + xb - 7, limits), 0xFFu);
}

// Ink (bit 1) and paper (bit 2) of row y, columns x0..x1 clipped to the
// bitmap, as far as `wanted` asks, read from the pixels: sixteen at a time
// along a wide row, the rest as words of eight (one by one in a row narrower
// than eight).
unsigned PixelRowClasses(const TDIB& bitmap, int x0, int x1, int y, int threshold, unsigned wanted) {
  if (y < 0 || y >= bitmap.Height()) return 0;
  x0 = std::max(x0, 0);
  x1 = std::min(x1, bitmap.Width() - 1);
  const std::uint8_t* row = bitmap.Row(y);
  unsigned found = 0;
  int x = x0;
  if (x1 - x0 >= 15) {
    const TSixteenPixels pixels(threshold);
    for (; x + 15 <= x1; x += 16) {
      const unsigned ink = pixels.Ink(row + x);
      found |= (ink != 0 ? 1u : 0u) | (ink != 0xFFFFu ? 2u : 0u);
      if ((found & wanted) == wanted) return found & wanted;
    }
  }
  const int t = threshold & 0xFF;
  if (x <= x1 && (found & wanted) != wanted && bitmap.Width() >= 8)
    return (found | ShortSpanClasses(row, x, x1, bitmap.Width(), t)) & wanted;
  for (; x <= x1 && (found & wanted) != wanted; ++x) found |= (row[x] & 0xF8) < t ? 1u : 2u;
  return found & wanted;
}

}  // namespace

int NextRowWhere(const TDIB& bitmap, int x0, int x1, int y0, int y1, int threshold, std::uint8_t mask,
                 bool holds) {
  TInkPlane* plane = x0 <= x1 ? ActivePlane(bitmap, threshold) : nullptr;
  int y = y0;
  while (y <= y1) {
    if (plane != nullptr && plane->Covers(x0, y, x1, y)) {
      // The rows the plane holds, in one go.
      const int last = std::min(y1, plane->LastRow());
      y = plane->NextRowWhere(x0, x1, y, y1, mask, holds);
      if (y <= last) return y;
      continue;
    }
    // A row the plane does not hold, from the pixels.
    if ((PixelRowClasses(bitmap, x0, x1, y, threshold, mask & 3u) != 0) == holds) return y;
    ++y;
  }
  return y;
}

namespace {

// The class of a pixel: 1 ink, 2 paper, 0 outside the bitmap; the bitmap's
// size and rows read once for a whole walk.
class TPixelClassReader {
 public:
  TPixelClassReader(const TDIB& bitmap, int threshold)
      : Rows(bitmap.Rows.data()),
        W(static_cast<unsigned>(bitmap.Width())),
        H(static_cast<unsigned>(bitmap.Height())),
        T(threshold & 0xFF) {}
  unsigned At(int x, int y) const {
    if (static_cast<unsigned>(x) >= W || static_cast<unsigned>(y) >= H) return 0;
    return (Rows[y][x] & 0xF8) < T ? 1u : 2u;
  }

 private:
  std::uint8_t* const* Rows;
  unsigned W, H;
  int T;
};

// The same for a walk whose every pixel lies inside the bitmap: no bounds.
class TInsideClassReader {
 public:
  TInsideClassReader(const TDIB& bitmap, int threshold) : Rows(bitmap.Rows.data()), T(threshold & 0xFF) {}
  unsigned At(int x, int y) const { return (Rows[y][x] & 0xF8) < T ? 1u : 2u; }

 private:
  std::uint8_t* const* Rows;
  int T;
};

// The coverage walk along the major axis (x when XMajor), from (x, y) to the
// major coordinate `end`, stepping the minor one by Bresenham's rule.
template <bool XMajor, class TReader>
int CoverageWalk(const TReader& pixels, int x, int y, int end, int major, int minor, int minorStep,
                 int scale) {
  int d = 2 * minor - major;
  int covered = 0, uncovered = 0;
  unsigned flags = 3;  // bit 0: side A has had ink, bit 1: side B
  while ((XMajor ? x : y) <= end) {
    if (pixels.At(x, y) == 1) {
      flags = 3;
    } else {
      // Side A is below (right of) the walk, side B above (left of) it.
      if (pixels.At(XMajor ? x : x + 1, XMajor ? y + 1 : y) == 2) flags &= ~1u;
      if (pixels.At(XMajor ? x : x - 1, XMajor ? y - 1 : y) == 2) flags &= ~2u;
    }
    if (flags != 0)
      ++covered;
    else
      ++uncovered;
    if (XMajor)
      ++x;
    else
      ++y;
    if (d > 0) {
      d += 2 * (minor - major);
      if (XMajor)
        y += minorStep;
      else
        x += minorStep;
    } else {
      d += 2 * minor;
    }
  }
  return covered * scale / (covered + uncovered);
}

template <class TReader>
int Coverage(const TReader& pixels, bool xMajor, int x0, int y0, int x1, int y1, int dx, int dy, int scale) {
  if (xMajor) return CoverageWalk<true>(pixels, x0, y0, x1, dx, dy, y1 >= y0 ? 1 : -1, scale);
  return CoverageWalk<false>(pixels, x0, y0, y1, dy, dx, x1 >= x0 ? 1 : -1, scale);
}

}  // namespace

int InkCoverage(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, int scale) {
  const int dx = std::abs(x1 - x0), dy = std::abs(y1 - y0);
  const bool xMajor = dx > dy;
  // Walk toward increasing major coordinate.
  if ((xMajor && x1 < x0) || (!xMajor && y1 < y0)) {
    std::swap(x0, x1);
    std::swap(y0, y1);
  }
  // The walk reads the segment's pixels (between its ends on both axes) and
  // one more on either side across it.
  const int xa = std::min(x0, x1) - (xMajor ? 0 : 1), xb = std::max(x0, x1) + (xMajor ? 0 : 1);
  const int ya = std::min(y0, y1) - (xMajor ? 1 : 0), yb = std::max(y0, y1) + (xMajor ? 1 : 0);
  if (xa >= 0 && ya >= 0 && xb < bitmap.Width() && yb < bitmap.Height())
    return Coverage(TInsideClassReader(bitmap, threshold), xMajor, x0, y0, x1, y1, dx, dy, scale);
  return Coverage(TPixelClassReader(bitmap, threshold), xMajor, x0, y0, x1, y1, dx, dy, scale);
}

namespace {

// Whether two walk actions are moves that undo each other.
bool OppositeMoves(int a, int b) {
  return (a == waUp && b == waDown) || (a == waDown && b == waUp) || (a == waLeft && b == waRight) ||
         (a == waRight && b == waLeft);
}

// A walk inside the rectangle (clipped to the bitmap) that moves one way on
// one class and stops on the other is a scan for the first pixel of the
// class it stops on: it ends there, or just past the rectangle's edge. The
// scan reads the running dispatch's planes where it can. False for any
// other walk, which goes pixel by pixel.
bool StraightWalk(const TDIB& bitmap, int& x, int& y, int minX, int maxX, int minY, int maxY, int threshold,
                  int inkAction, int paperAction) {
  int stopClass, move;
  if (inkAction == waStop) {
    stopClass = tgInk;
    move = paperAction;
  } else if (paperAction == waStop) {
    stopClass = tgPaper;
    move = inkAction;
  } else {
    return false;
  }
  if (move < waUp || move > waRight) return false;
  if (x < minX || x > maxX || y < minY || y > maxY) return true;  // no step is taken
  // The pixels from (x, y) to the rectangle's edge that way.
  const int room = move == waUp     ? y - minY + 1
                   : move == waDown ? maxY - y + 1
                   : move == waLeft ? x - minX + 1
                                    : maxX - x + 1;
  static_assert(int{waUp} == int{dirUp} && int{waDown} == int{dirDown} && int{waLeft} == int{dirLeft} &&
                    int{waRight} == int{dirRight},
                "the actions and the scan directions are numbered alike");
  const int steps = ScanRun(bitmap, x, y, move, stopClass, threshold, room);
  switch (move) {
    case waUp: y -= steps; break;
    case waDown: y += steps; break;
    case waLeft: x -= steps; break;
    default: x += steps; break;
  }
  return true;
}

}  // namespace

void WalkProbe(const TDIB& bitmap, int& x, int& y, int minX, int maxX, int minY, int maxY, int threshold,
               int inkAction, int paperAction) {
  if (!bitmap.Inside(minX, minY)) return;
  maxX = std::min(maxX, bitmap.Width() - 1);
  maxY = std::min(maxY, bitmap.Height() - 1);
  if (StraightWalk(bitmap, x, y, minX, maxX, minY, maxY, threshold, inkAction, paperAction)) return;
  const bool inside = x >= minX && x <= maxX && y >= minY && y <= maxY;
  if (inside && OppositeMoves(inkAction, paperAction)) {
    // Such a walk would step back and forth for ever once it meets the other
    // class: it stops on that pixel instead, as a walk told to stop there.
    if (IsInkByte(bitmap.PixelByte(x, y), threshold))
      StraightWalk(bitmap, x, y, minX, maxX, minY, maxY, threshold, inkAction, waStop);
    else
      StraightWalk(bitmap, x, y, minX, maxX, minY, maxY, threshold, waStop, paperAction);
    return;
  }
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
  if (TFillLog* log = engine.Scratch().FillLog) log->Unknown();
  TBox box;
  return TraceComponent(bitmap, x, y, threshold, mark, (engine.FillPass & 1) != 0, box,
                        engine.Scratch().Seeds);
}

const THoleMemoEntry* TProbeScratch::FindHoles(const THoleQuery& query) const {
  if (!MemoOpen) return nullptr;
  for (int i = 0; i < MemoCount; ++i)
    if (Memo[i].Query == query) return &Memo[i];
  return nullptr;
}

void TProbeScratch::RememberHoles(const THoleQuery& query, int result, const THoleList& holes,
                                  bool eitherNeighbourhood) {
  if (!MemoOpen) return;
  // Only the entries the count wrote are ever read back.
  THoleMemoEntry& entry = Memo[MemoNext];
  entry.Query = query;
  entry.Result = result;
  entry.Holes.HoleCount = holes.HoleCount;
  std::copy(holes.Holes, holes.Holes + holes.HoleCount, entry.Holes.Holes);
  entry.EitherNeighbourhood = eitherNeighbourhood;
  MemoNext = (MemoNext + 1) % kMemoSize;
  MemoCount = std::max(MemoCount, MemoNext == 0 ? kMemoSize : MemoNext);
}

namespace {

// Copies the entries a count wrote (HoleCount of them); later entries of the
// target keep what they held, as they would after a count.
void CopyWrittenHoles(const THoleList& from, THoleList& to) {
  to.HoleCount = from.HoleCount;
  std::copy(from.Holes, from.Holes + from.HoleCount, to.Holes);
}

// The holes of a labelled rectangle: regions of unmarked paper that do not
// reach its edge, in the order of their first pixels (column-major), ranked
// and pruned into `holes`. Returns the number of significant holes.
int RankHoles(TProbeScratch& s, int w, int h, THoleList& holes) {
  std::vector<std::int32_t>& order = s.Order;
  order.clear();
  for (int i = 0; i < static_cast<int>(s.Regions.size()); ++i) {
    const TLabelRegion& r = s.Regions[static_cast<std::size_t>(i)];
    if (r.Parent == i && !r.TouchesBorder) order.push_back(i);
  }
  std::sort(order.begin(), order.end(), [&s](int a, int b) {
    const TLabelRegion &ra = s.Regions[static_cast<std::size_t>(a)],
                       &rb = s.Regions[static_cast<std::size_t>(b)];
    return ra.SeedX < rb.SeedX || (ra.SeedX == rb.SeedX && ra.SeedY < rb.SeedY);
  });
  int n = 0;
  for (const int i : order) {
    const TLabelRegion& r = s.Regions[static_cast<std::size_t>(i)];
    const int size = r.Size;
    if ((size <= 1 && w * h > 40) || n == kMaxHoles) continue;
    int at = 0;
    while (at < n && holes.Holes[at].Size >= size) ++at;
    for (int k = n; k > at; --k) holes.Holes[k] = holes.Holes[k - 1];
    holes.Holes[at] = {size, r.SeedX, r.SeedY, r.MinX, r.MinY, r.MaxX, r.MaxY};
    ++n;
    holes.HoleCount = n;
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

}  // namespace

int CountHoles(const TOmnifontOCR& engine, const TDIB& bitmap, int left, int top, int right, int bottom,
               int threshold, THoleList* list) {
  TProbeScratch& s = engine.Scratch();
  THoleList& holes = list != nullptr ? *list : s.UnaskedHoles;
  holes.HoleCount = 0;
  const int w = right - left + 1, h = bottom - top + 1;
  if (w < 3 || h < 3) return 0;
  const bool eight = (engine.FillPass & 1) != 0;
  const THoleQuery query{&bitmap, left, top, right, bottom, threshold, eight};
  int result = 0;
  bool eitherNeighbourhood = false;
  if (const THoleMemoEntry* known = s.FindHoles(query)) {
    CopyWrittenHoles(known->Holes, holes);
    result = known->Result;
    eitherNeighbourhood = known->EitherNeighbourhood;
  } else {
    if (w <= 64)
      eitherNeighbourhood = LabelHolesOnBits(s, bitmap, left, top, w, h, threshold, eight);
    else
      LabelRegions(s, bitmap, left, top, w, h, threshold, eight, TLabelClass::UnmarkedPaper);
    result = RankHoles(s, w, h, holes);
    s.RememberHoles(query, result, holes, eitherNeighbourhood);
  }
  // Holes the same in either neighbourhood need not be asked for again.
  TFillLog* log = s.FillLog;
  if (log != nullptr && !eitherNeighbourhood)
    log->Holes(bitmap, left, top, right, bottom, threshold, result, holes, list != nullptr);
  return result;
}

int CountBlobs(const TOmnifontOCR& engine, const TDIB& bitmap, int x0, int y0, int x1, int y1,
               int threshold) {
  if (x0 > x1 || y0 > y1) return 0;
  const bool eight = (engine.FillPass & 1) != 0;
  TProbeScratch& s = engine.Scratch();
  const int result =
      LabelRegions(s, bitmap, x0, y0, x1 - x0 + 1, y1 - y0 + 1, threshold, eight, TLabelClass::Ink);
  if (TFillLog* log = s.FillLog) log->Blobs(bitmap, x0, y0, x1, y1, threshold, result);
  return result;
}

}  // namespace omniocr
