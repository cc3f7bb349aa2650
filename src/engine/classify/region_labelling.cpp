#include "engine/classify/region_labelling.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "engine/classify/probe_scratch.h"

namespace omniocr {

namespace {

constexpr std::uint8_t kOutsideByte = 248;

// The root of a region, halving the path on the way.
int FindRoot(std::vector<TLabelRegion>& regions, int i) {
  while (regions[i].Parent != i) {
    regions[i].Parent = regions[regions[i].Parent].Parent;
    i = regions[i].Parent;
  }
  return i;
}

bool SeedBefore(int ax, int ay, int bx, int by) { return ax < bx || (ax == bx && ay < by); }

// Joins two roots into the lower-numbered one and returns it.
int JoinRoots(std::vector<TLabelRegion>& regions, int a, int b) {
  if (a == b) return a;
  if (b < a) std::swap(a, b);
  TLabelRegion& keep = regions[a];
  const TLabelRegion& gone = regions[b];
  keep.Size += gone.Size;
  if (SeedBefore(gone.SeedX, gone.SeedY, keep.SeedX, keep.SeedY)) {
    keep.SeedX = gone.SeedX;
    keep.SeedY = gone.SeedY;
  }
  keep.MinX = std::min(keep.MinX, gone.MinX);
  keep.MinY = std::min(keep.MinY, gone.MinY);
  keep.MaxX = std::max(keep.MaxX, gone.MaxX);
  keep.MaxY = std::max(keep.MaxY, gone.MaxY);
  keep.TouchesBorder = keep.TouchesBorder || gone.TouchesBorder;
  regions[b].Parent = a;
  return a;
}

// The rectangle's row y as w bytes: the bitmap row itself when it lies wholly
// inside, otherwise a copy with the outside read as unmarked paper.
const std::uint8_t* SourceRow(TProbeScratch& s, const TDIB& bitmap, int left, int sy, int w) {
  const int bw = bitmap.Width();
  const bool rowInside = sy >= 0 && sy < bitmap.Height();
  if (rowInside && left >= 0 && left + w <= bw) return bitmap.Row(sy) + left;
  s.EdgeRow.assign(static_cast<std::size_t>(w), kOutsideByte);
  if (rowInside) {
    const std::uint8_t* row = bitmap.Row(sy);
    for (int k = std::max(0, -left); k < w && left + k < bw; ++k)
      s.EdgeRow[static_cast<std::size_t>(k)] = row[left + k];
  }
  return s.EdgeRow.data();
}

template <class TIsMember>
int Label(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, bool eight,
          TIsMember member) {
  std::vector<TLabelRegion>& regions = s.Regions;
  std::vector<TLabelRun>* previous = &s.PreviousRuns;
  std::vector<TLabelRun>* current = &s.CurrentRuns;
  regions.clear();
  previous->clear();
  int roots = 0;
  const int reach = eight ? 1 : 0;
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = SourceRow(s, bitmap, left, top + y, w);
    const bool edgeRow = y == 0 || y == h - 1;
    current->clear();
    std::size_t j = 0;
    int x = 0;
    while (x < w) {
      while (x < w && !member(src[x])) ++x;
      if (x == w) break;
      const int x0 = x;
      while (x < w && member(src[x])) ++x;
      const int x1 = x - 1;
      // Join the runs of the row above that this run meets.
      while (j < previous->size() && (*previous)[j].X1 < x0 - reach) ++j;
      int root = -1;
      std::size_t k = j;
      for (; k < previous->size() && (*previous)[k].X0 <= x1 + reach; ++k) {
        const int r = FindRoot(regions, (*previous)[k].Label);
        if (root < 0) {
          root = r;
        } else if (r != root) {
          root = JoinRoots(regions, root, r);
          --roots;
        }
      }
      if (k > j) j = k - 1;  // the last run met may also meet the next run
      const bool border = edgeRow || x0 == 0 || x1 == w - 1;
      if (root < 0) {
        root = static_cast<int>(regions.size());
        regions.push_back({root, x1 - x0 + 1, x0, y, x0, y, x1, y, border});
        ++roots;
      } else {
        TLabelRegion& r = regions[static_cast<std::size_t>(root)];
        r.Size += x1 - x0 + 1;
        if (x0 < r.SeedX) {  // rows come in order: an equal column keeps its upper seed
          r.SeedX = x0;
          r.SeedY = y;
        }
        r.MinX = std::min(r.MinX, x0);
        r.MaxX = std::max(r.MaxX, x1);
        r.MaxY = y;
        r.TouchesBorder = r.TouchesBorder || border;
      }
      current->push_back({x0, x1, root});
    }
    std::swap(previous, current);
  }
  return roots;
}

}  // namespace

int LabelRegions(TProbeScratch& scratch, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                 bool eightConnected, TLabelClass labelClass) {
  const int t = threshold & 0xFF;
  if (labelClass == TLabelClass::UnmarkedPaper)
    return Label(scratch, bitmap, left, top, w, h, eightConnected,
                 [t](std::uint8_t b) { return (b & 7) == 0 && b >= t; });
  return Label(scratch, bitmap, left, top, w, h, eightConnected,
               [t](std::uint8_t b) { return (b & 0xF8) < t; });
}

}  // namespace omniocr
