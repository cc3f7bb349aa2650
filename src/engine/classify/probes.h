#pragma once

// The glyph probes: small measuring operations that the layout stages and
// every recogniser put onto a bitmap's pixels. They read 8-bit pixels through
// the one ink predicate; every position outside the bitmap reads as paper.

#include <algorithm>
#include <cstdint>

#include "dibunit/dib.h"
#include "engine/classify/ink_plane.h"

namespace omniocr {

class TOmnifontOCR;

enum TProbeDirection : int { dirUp = 0, dirDown = 1, dirLeft = 2, dirRight = 3 };
enum TWalkAction : int { waUp = 0, waDown = 1, waLeft = 2, waRight = 3, waStop = 4 };
enum TProbeTarget : int { tgInk = 0, tgPaper = 1 };

struct TGlyphHole {
  std::int32_t Size = 0;
  std::int32_t SeedX = 0;
  std::int32_t SeedY = 0;
  std::int32_t MinX = 0;
  std::int32_t MinY = 0;
  std::int32_t MaxX = 0;
  std::int32_t MaxY = 0;
};

constexpr int kMaxHoles = 16;

struct THoleList {
  std::int32_t HoleCount = 0;  // holes accepted before pruning
  TGlyphHole Holes[kMaxHoles] = {};
};

// True when (x, y) lies inside and its pixel is ink.
inline bool InkAt(const TDIB& bitmap, int x, int y, int threshold) {
  return bitmap.Inside(x, y) && IsInkByte(bitmap.PixelByte(x, y), threshold);
}

// ScanRun read from the pixels.
inline int ScanRunOnPixels(const TDIB& bitmap, int x, int y, int direction, int target, int threshold,
                           int maxSteps) {
  if (!bitmap.Inside(x, y)) return 0;
  const bool wantInk = target == tgInk;
  const int t = threshold & 0xFF;
  auto hit = [t, wantInk](std::uint8_t byte) { return ((byte & 0xF8) < t) == wantInk; };
  // n: the pixels the scan may examine, up to the bitmap's edge.
  switch (direction) {
    case dirUp: {
      const int n = std::min(maxSteps, y + 1);
      for (int k = 0; k < n; ++k)
        if (hit(bitmap.PixelByte(x, y - k))) return k;
      return std::max(n, 0);
    }
    case dirDown: {
      const int n = std::min(maxSteps, bitmap.Height() - y);
      for (int k = 0; k < n; ++k)
        if (hit(bitmap.PixelByte(x, y + k))) return k;
      return std::max(n, 0);
    }
    case dirLeft: {
      const std::uint8_t* p = bitmap.Row(y) + x;
      const int n = std::min(maxSteps, x + 1);
      for (int k = 0; k < n; ++k)
        if (hit(p[-k])) return k;
      return std::max(n, 0);
    }
    case dirRight: {
      const std::uint8_t* p = bitmap.Row(y) + x;
      const int n = std::min(maxSteps, bitmap.Width() - x);
      for (int k = 0; k < n; ++k)
        if (hit(p[k])) return k;
      return std::max(n, 0);
    }
    default: return 0;
  }
}

// Pixels passed from (x, y) in `direction` before the first pixel of class
// `target`, examining at most maxSteps; 0 when the start lies outside.
// `plane` is ActivePlane(bitmap, threshold), looked up by the caller (a view
// asks it once for all its probes).
[[gnu::always_inline]] inline int ScanRunIn(const TInkPlane* plane, const TDIB& bitmap, int x, int y,
                                            int direction, int target, int threshold, int maxSteps) {
  if (plane != nullptr) {
    int steps;
    if (plane->QuickRun(x, y, direction, target == tgInk, maxSteps, steps)) return steps;
  }
  return ScanRunOnPixels(bitmap, x, y, direction, target, threshold, maxSteps);
}
inline int ScanRun(const TDIB& bitmap, int x, int y, int direction, int target, int threshold, int maxSteps) {
  return ScanRunIn(ActivePlane(bitmap, threshold), bitmap, x, y, direction, target, threshold, maxSteps);
}

// The two probes below in full; their common case, a row or a column of the
// running dispatch's planes, is answered inline where they are asked.
int CountCrossingsInFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold);
std::uint8_t ProbeRectInFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold,
                             std::uint8_t mask);

// Number of separate ink runs met along the segment, both ends included.
[[gnu::always_inline]] inline int CountCrossingsIn(const TInkPlane* plane, const TDIB& bitmap, int x0, int y0,
                                                   int x1, int y1, int threshold) {
  if (plane != nullptr) {
    int runs;
    if (y0 == y1) {  // either way along the row
      if (plane->QuickRowRuns(y0, std::min(x0, x1), std::max(x0, x1), runs)) return runs;
    } else if (x0 == x1) {  // either way down the column
      if (plane->QuickColumnRuns(x0, std::min(y0, y1), std::max(y0, y1), runs)) return runs;
    }
  }
  return CountCrossingsInFull(bitmap, x0, y0, x1, y1, threshold);
}
inline int CountCrossings(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold) {
  return CountCrossingsIn(ActivePlane(bitmap, threshold), bitmap, x0, y0, x1, y1, threshold);
}

// 1 when the (clipped) rectangle holds ink, 2 when it holds paper, ANDed with mask.
[[gnu::always_inline]] inline std::uint8_t ProbeRectIn(const TInkPlane* plane, const TDIB& bitmap, int x0,
                                                       int y0, int x1, int y1, int threshold,
                                                       std::uint8_t mask) {
  if (plane != nullptr) {
    unsigned classes;
    if (plane->QuickClasses(x0, y0, x1, y1, mask, classes)) return static_cast<std::uint8_t>(classes);
  }
  return ProbeRectInFull(bitmap, x0, y0, x1, y1, threshold, mask);
}
inline std::uint8_t ProbeRect(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold,
                              std::uint8_t mask) {
  return ProbeRectIn(ActivePlane(bitmap, threshold), bitmap, x0, y0, x1, y1, threshold, mask);
}

// Whether the segment meets ink: CountCrossings' samples, stopping at the
// first ink one (some run is met exactly when some sample is ink). A row or a
// column is a rectangle one line thick.
bool SegmentMeetsInkFull(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold);
[[gnu::always_inline]] inline bool SegmentMeetsInkIn(const TInkPlane* plane, const TDIB& bitmap, int x0,
                                                     int y0, int x1, int y1, int threshold) {
  if (x0 == x1 || y0 == y1)
    return ProbeRectIn(plane, bitmap, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1),
                       threshold, 1) != 0;
  return SegmentMeetsInkFull(bitmap, x0, y0, x1, y1, threshold);
}

// The first row y of y0..y1 whose columns x0..x1 give ProbeRect with `mask`
// non-zero (`holds`) or zero (!holds); y1 + 1 when no row does, y0 when the
// range is empty: where a scan of that test row by row would stop.
int NextRowWhere(const TDIB& bitmap, int x0, int x1, int y0, int y1, int threshold, std::uint8_t mask,
                 bool holds);
// The same with `plane` (ActivePlane(bitmap, threshold), or null) looked up
// by the caller; rows of the running dispatch's planes are scanned there.
[[gnu::always_inline]] inline int NextRowWhereIn(const TInkPlane* plane, const TDIB& bitmap, int x0, int x1,
                                                 int y0, int y1, int threshold, std::uint8_t mask,
                                                 bool holds) {
  if (plane != nullptr) {
    const int y = plane->QuickNextRow(x0, x1, y0, y1, mask, holds);
    if (y != TInkPlane::kNoQuickRow) return y;
  }
  return NextRowWhere(bitmap, x0, x1, y0, y1, threshold, mask, holds);
}

// Covered pixels of the segment times scale over all its pixels; a paper pixel
// still counts as covered while one side has had ink beside every paper pixel
// since the last ink pixel.
int InkCoverage(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, int scale);

// Moves (x, y) by the action for each pixel's class until an action says stop
// or the point leaves the rectangle (clipped to the bitmap). Two opposite
// moves stop on the first pixel of the class the walk did not start on, where
// they would turn back and forth for ever. Raises "error..." on an action code
// outside 0 to 4.
void WalkProbe(const TDIB& bitmap, int& x, int& y, int minX, int maxX, int minY, int maxY, int threshold,
               int inkAction, int paperAction);

// Left-hand wall follower from (x0, y0) through pixels of its class inside the
// rectangle spanned by the two points: true when it reaches (x1, y1).
bool PathConnects(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold);

// Region fill of the seed's class with `mark`, 8 neighbours on odd FillPass,
// 4 on even. Returns the number of pixels marked.
int FillRegion(const TOmnifontOCR& engine, TDIB& bitmap, int x, int y, int threshold, int mark);

// Holes of the rectangle (the bitmap is only read): returns how many are at
// least a fifth of the largest; fills `list` (when given) largest first. The
// engine's working memory serves, and within a dispatch a rectangle asked for
// again is not counted again.
int CountHoles(const TOmnifontOCR& engine, const TDIB& bitmap, int left, int top, int right, int bottom,
               int threshold, THoleList* list);

// Separate ink regions in the rectangle, whatever their marks (the bitmap is
// only read).
int CountBlobs(const TOmnifontOCR& engine, const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold);

}  // namespace omniocr
