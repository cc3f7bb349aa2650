#include "engine/classify/hole_bits.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/bit_flood.h"
#include "engine/classify/bit_spans.h"
#include "engine/classify/page_row_ink.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/region_labelling.h"

namespace omniocr {

namespace {

constexpr std::uint8_t kOutsideByte = 248;

// The unmarked paper of a rectangle row as bits.
std::uint64_t PaperBits(const TDIB& bitmap, int left, int y, int w, const TSixteenPixels& pixels) {
  std::uint64_t bits = 0;
  auto paper = [&pixels](const std::uint8_t* p) { return pixels.UnmarkedPaper(p); };
  if (y >= 0 && y < bitmap.Height() && left >= 0 && left + w <= bitmap.Width()) {
    BitsOfRow(bitmap.Row(y) + left, w, &bits, paper);
    return bits;
  }
  std::uint8_t row[64];
  for (int k = 0; k < w; ++k)
    row[k] = bitmap.Inside(left + k, y) ? bitmap.PixelByte(left + k, y) : kOutsideByte;
  BitsOfRow(row, w, &bits, paper);
  return bits;
}

// Whether two rows of a line's bits hold a pair of set bits that touch only
// at a corner: diagonal neighbours set, the other two of their square clear.
bool CornerOnly(std::uint64_t above, std::uint64_t below, std::uint64_t pairs) {
  const std::uint64_t aboveNext = above >> 1, belowNext = below >> 1;
  const std::uint64_t falling = above & belowNext & ~(aboveNext | below);
  const std::uint64_t rising = aboveNext & below & ~(above | belowNext);
  return ((falling | rising) & pairs) != 0;
}

// Whether rows of bits, none empty, form one region: each a single run that
// meets the run of the row before (the commonest hole, a bowl's inside).
bool OneRegion(const std::uint64_t* rows, int n, bool eight, std::uint64_t full) {
  for (int j = 0; j < n; ++j) {
    const std::uint64_t v = rows[j], starts = v & ~(v << 1);
    if ((starts & (starts - 1)) != 0) return false;
    if (j > 0) {
      const std::uint64_t above = rows[j - 1];
      const std::uint64_t reach = eight ? (above | above << 1 | above >> 1) & full : above;
      if ((reach & v) == 0) return false;
    }
  }
  return true;
}

// The region of the first hole pixel in row-major order, grown through the
// holes and taken out of them, again and again: each hole once, as a root,
// with what a run labelling keeps of it (its size, box, first pixel in
// row-major and in column-major order), all of which depend only on its
// pixels. A hole lies within the block of rows with hole pixels where its
// first pixel is.
void TakeHoleRegions(std::vector<TLabelRegion>& regions, std::uint64_t* holes, std::uint64_t* region, int h,
                     bool eight, std::uint64_t full) {
  regions.clear();
  int first = 0;
  for (;;) {
    while (first < h && holes[first] == 0) ++first;
    if (first == h) return;
    int end = first + 1;
    while (end < h && holes[end] != 0) ++end;
    const int startX = std::countr_zero(holes[first]);
    if (OneRegion(holes + first, end - first, eight, full)) {
      std::copy(holes + first, holes + end, region + first);
    } else {
      region[first] = bit_flood::FillRuns(std::uint64_t{1} << startX, holes[first]);
      std::fill(region + first + 1, region + end, 0);
      bit_flood::Spread(region + first, holes + first, end - first, eight, full);
    }
    const std::int32_t index = static_cast<std::int32_t>(regions.size());
    TLabelRegion r{index, 0, startX, first, startX, first, startX, first, 0, first, false};
    for (int j = first; j < end; ++j) {
      const std::uint64_t v = region[j];
      if (v == 0) continue;
      holes[j] &= ~v;
      r.Size += bit_spans::BitCount(v);
      const int x0 = std::countr_zero(v), x1 = 63 - std::countl_zero(v);
      if (x0 < r.SeedX) {  // rows in order: an equal column keeps its upper row
        r.SeedX = r.MinX = x0;
        r.SeedY = j;
      }
      r.MaxX = std::max(r.MaxX, x1);
      r.MaxY = j;
    }
    regions.push_back(r);
  }
}

}  // namespace

bool LabelHolesOnBits(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                      bool eight) {
  std::vector<std::uint64_t>& paper = s.HolePaper;
  std::vector<std::uint64_t>& outside = s.HoleOutside;
  paper.resize(static_cast<std::size_t>(h));
  outside.resize(static_cast<std::size_t>(h));
  const TSixteenPixels pixels(threshold);
  const std::uint64_t full = bit_spans::LowBits(w);
  const bool inside = top >= 0 && top + h <= bitmap.Height() && left >= 0 && left + w <= bitmap.Width();
  const TSpanPaper span(bitmap, left, w, threshold);  // read only when inside
  for (int j = 0; j < h; ++j) {
    paper[j] = inside ? span.Row(top + j) : PaperBits(bitmap, left, top + j, w, pixels);
    outside[j] = j == 0 || j == h - 1 ? paper[j] : bit_flood::EdgeRuns(paper[j], full, w - 1);
  }
  // Squares of two columns: x and x + 1 both inside.
  const std::uint64_t pairs = w > 1 ? bit_spans::LowBits(w - 1) : 0;
  bool cornerOnly = false;
  for (int j = 1; j < h && !cornerOnly; ++j) cornerOnly = CornerOnly(paper[j - 1], paper[j], pairs);
  // Paper not on a run from the edge of its row could be a hole; without
  // any there is none.
  std::uint64_t inner = 0;
  for (int j = 0; j < h; ++j) inner |= paper[j] & ~outside[j];
  if (inner == 0) {
    s.Regions.clear();
    return !cornerOnly;
  }
  // The paper reached from the edge, row to row.
  bit_flood::Spread(outside.data(), paper.data(), h, eight, full);
  for (int j = 0; j < h; ++j) paper[j] &= ~outside[j];
  TakeHoleRegions(s.Regions, paper.data(), outside.data(), h, eight, full);
  return !cornerOnly;
}

}  // namespace omniocr
