#include "engine/classify/region_labelling.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <utility>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/probe_scratch.h"

namespace omniocr {

TRunJoiner::TRunJoiner(TProbeScratch& scratch, bool eightConnected)
    : Regions(scratch.Regions),
      Previous(&scratch.PreviousRuns),
      Current(&scratch.CurrentRuns),
      Reach(eightConnected ? 1 : 0) {
  Regions.clear();
  Previous->clear();
  Current->clear();
}

void TRunJoiner::StartRow(int y) {
  // A row after a gap of rows meets nothing above it.
  if (y == Y + 1)
    std::swap(Previous, Current);
  else
    Previous->clear();
  Current->clear();
  Y = y;
  Next = Previous->data();
  AboveEnd = Next + Previous->size();
}

int TRunJoiner::RootOf(int i) {
  while (Regions[i].Parent != i) {
    Regions[i].Parent = Regions[Regions[i].Parent].Parent;
    i = Regions[i].Parent;
  }
  return i;
}

// Joins two roots into the lower-numbered one and returns it.
int TRunJoiner::JoinRoots(int a, int b) {
  if (b < a) std::swap(a, b);
  TLabelRegion& keep = Regions[a];
  const TLabelRegion& gone = Regions[b];
  keep.Size += gone.Size;
  if (gone.SeedX < keep.SeedX || (gone.SeedX == keep.SeedX && gone.SeedY < keep.SeedY)) {
    keep.SeedX = gone.SeedX;
    keep.SeedY = gone.SeedY;
  }
  keep.MinX = std::min(keep.MinX, gone.MinX);
  keep.MinY = std::min(keep.MinY, gone.MinY);
  keep.MaxX = std::max(keep.MaxX, gone.MaxX);
  keep.MaxY = std::max(keep.MaxY, gone.MaxY);
  keep.TouchesBorder = keep.TouchesBorder || gone.TouchesBorder;
  Regions[b].Parent = a;
  --Roots;
  return a;
}

// The common run meets one run of the row above, or none; joining several
// and starting a region are left out of line, so that the common case keeps
// to few registers.
int TRunJoiner::AddRun(int x0, int x1, bool border) {
  const int from = x0 - Reach, to = x1 + Reach;
  const TLabelRun* next = Next;
  while (next != AboveEnd && next->X1 < from) ++next;
  int root;
  if (next == AboveEnd || next->X0 > to) {
    Next = next;
    root = NewRegion(x0, x1, border);
  } else {
    root = RootOf(next->Label);
    if (next + 1 != AboveEnd && next[1].X0 <= to) root = JoinAll(root, next + 1, to);
    Next = next;  // the last run met may also meet the next run
    while (Next + 1 != AboveEnd && Next[1].X0 <= to) ++Next;
    TLabelRegion& r = Regions[static_cast<std::size_t>(root)];
    r.Size += x1 - x0 + 1;
    if (x0 < r.SeedX) {  // rows come in order: an equal column keeps its upper seed
      r.SeedX = x0;
      r.SeedY = Y;
    }
    r.MinX = std::min(r.MinX, x0);
    r.MaxX = std::max(r.MaxX, x1);
    r.MaxY = Y;
    r.TouchesBorder |= border;
  }
  Current->push_back({x0, x1, root});
  return root;
}

// Joins the region `root` with those of the runs from `met` on that start by
// column `to`; returns the root of the whole.
int TRunJoiner::JoinAll(int root, const TLabelRun* met, int to) {
  for (; met != AboveEnd && met->X0 <= to; ++met) {
    const int r = RootOf(met->Label);
    if (r != root) root = JoinRoots(root, r);
  }
  return root;
}

int TRunJoiner::NewRegion(int x0, int x1, bool border) {
  const int root = static_cast<int>(Regions.size());
  Regions.push_back({root, x1 - x0 + 1, x0, Y, x0, Y, x0, Y, x1, Y, border});
  ++Roots;
  return root;
}

namespace {

constexpr std::uint8_t kOutsideByte = 248;

// The rectangle's row as w bytes: the bitmap row itself when it lies wholly
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

template <TLabelClass kClass>
int Label(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, bool eight, int threshold) {
  const int t = threshold & 0xFF;
  const std::uint64_t limits = byte_scan::kOnes * static_cast<std::uint64_t>(t);
  auto member = [t](std::uint8_t b) {
    return kClass == TLabelClass::Ink ? (b & 0xF8) < t : (b & 7) == 0 && b >= t;
  };
  TRunJoiner joiner(s, eight);
  for (int y = 0; y < h; ++y) {
    const std::uint8_t* src = SourceRow(s, bitmap, left, top + y, w);
    const bool edgeRow = y == 0 || y == h - 1;
    joiner.StartRow(y);
    if (w <= 64) {
      // The runs of a narrow row from its bits, a run at a time.
      std::uint64_t m = RowBits(src, w, [limits](const std::uint8_t* p) {
        if constexpr (kClass == TLabelClass::Ink)
          return InkBits8(p, limits);
        else
          return UnmarkedPaperBits8(p, limits);
      });
      while (m != 0) {
        const int x0 = std::countr_zero(m);
        const std::uint64_t rest = ~(m >> x0);
        const int length = rest == 0 ? 64 - x0 : std::countr_zero(rest);
        const int x1 = x0 + length - 1;
        joiner.AddRun(x0, x1, edgeRow || x0 == 0 || x1 == w - 1);
        m &= x1 >= 63 ? 0 : ~std::uint64_t{0} << (x1 + 1);
      }
      continue;
    }
    int x = 0;
    while (x < w) {
      while (x < w && !member(src[x])) ++x;
      if (x == w) break;
      const int x0 = x;
      while (x < w && member(src[x])) ++x;
      joiner.AddRun(x0, x - 1, edgeRow || x0 == 0 || x == w);
    }
  }
  return joiner.Count();
}

}  // namespace

int LabelRegions(TProbeScratch& scratch, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                 bool eightConnected, TLabelClass labelClass) {
  if (labelClass == TLabelClass::UnmarkedPaper)
    return Label<TLabelClass::UnmarkedPaper>(scratch, bitmap, left, top, w, h, eightConnected, threshold);
  return Label<TLabelClass::Ink>(scratch, bitmap, left, top, w, h, eightConnected, threshold);
}

}  // namespace omniocr
