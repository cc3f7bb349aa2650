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

// The pairs of set bits of two rows of a line's bits that touch only at a
// corner (diagonal neighbours set, the other two of their square clear), by
// the lower column of the pair: the squares whose two pixels of a row differ
// and whose two pixels of each column differ.
std::uint64_t CornerOnlyPairs(std::uint64_t above, std::uint64_t below) {
  const std::uint64_t columnsDiffer = above ^ below;
  return (above ^ above >> 1) & columnsDiffer & columnsDiffer >> 1;
}

// Whether rows of bits, none empty, form one region: each a single run that
// meets the run of the row before (the commonest hole, a bowl's inside).
bool OneRegion(const std::uint64_t* rows, int n, bool eight) {
  for (int j = 0; j < n; ++j) {
    const std::uint64_t v = rows[j], starts = v & ~(v << 1);
    if ((starts & (starts - 1)) != 0) return false;
    if (j > 0 && (bit_flood::Reach(rows[j - 1], eight) & v) == 0) return false;
  }
  return true;
}

// The end of the block of rows with bits set that starts at `first` (a row
// without any follows it).
int BlockEnd(const std::uint64_t* rows, int first) {
  int end = first + 1;
  while (rows[end] != 0) ++end;
  return end;
}

// Appends the region of rows first..end-1 of `region` (its first pixel in
// row-major order at startX on row first) and takes it out of the holes.
// Where each of its rows is a single run, a row's pixels are its width.
template <bool kOneRunRows>
void AppendRegion(std::vector<TLabelRegion>& regions, std::uint64_t* holes, const std::uint64_t* region,
                  int first, int end, int startX) {
  const std::int32_t index = static_cast<std::int32_t>(regions.size());
  TLabelRegion r{index, 0, startX, first, startX, first, startX, first, 0, first, false};
  for (int j = first; j < end; ++j) {
    const std::uint64_t v = region[j];
    if (v == 0) continue;
    holes[j] &= ~v;
    const int x0 = std::countr_zero(v), x1 = 63 - std::countl_zero(v);
    r.Size += kOneRunRows ? x1 - x0 + 1 : bit_spans::BitCount(v);
    if (x0 < r.SeedX) {  // rows in order: an equal column keeps its upper row
      r.SeedX = r.MinX = x0;
      r.SeedY = j;
    }
    r.MaxX = std::max(r.MaxX, x1);
    r.MaxY = j;
  }
  regions.push_back(r);
}

// The region of the first hole pixel in row-major order, grown through the
// holes and taken out of them, again and again: each hole once, as a root,
// with what a run labelling keeps of it (its size, box, first pixel in
// row-major and in column-major order), all of which depend only on its
// pixels. A hole lies within the block of rows with hole pixels where its
// first pixel is. The holes of rows from..h-1 are appended.
void TakeHoleRegions(std::vector<TLabelRegion>& regions, std::uint64_t* holes, std::uint64_t* region,
                     int from, int h, bool eight, std::uint64_t full) {
  int first = from;
  for (;;) {
    while (first < h && holes[first] == 0) ++first;
    if (first == h) return;
    int end = first + 1;
    while (end < h && holes[end] != 0) ++end;
    const int startX = std::countr_zero(holes[first]);
    if (OneRegion(holes + first, end - first, eight)) {
      AppendRegion<true>(regions, holes, holes, first, end, startX);
      first = end;
      continue;
    }
    region[first] = bit_flood::FillRuns(std::uint64_t{1} << startX, holes[first]);
    std::fill(region + first + 1, region + end, 0);
    bit_flood::Spread(region + first, holes + first, end - first, eight, full);
    AppendRegion<false>(regions, holes, region, first, end, startX);
  }
}

// Appends the holes of the block of rows first..end-1 with inner paper (its
// rows of `edge` become the flood's). Paper reached from the edge is the
// edge runs and the inner paper that meets them: inner paper next to an edge
// run (never on its row, since runs are whole there; so on the row above or
// below), and the inner paper it reaches through inner paper. The rows on
// either side of the block hold no inner paper, so the block is flooded on
// its own, from those meetings: without any, its inner paper is all holes;
// when it is one region, there is none.
void TakeBlockHoles(std::vector<TLabelRegion>& regions, std::uint64_t* inner, std::uint64_t* edge, int first,
                    int end, bool eight, std::uint64_t full) {
  std::uint64_t met = 0;
  std::uint64_t edgeAbove = edge[first - 1];
  for (int j = first; j < end; ++j) {
    const std::uint64_t edgeHere = edge[j];
    const std::uint64_t meets =
        inner[j] & (bit_flood::Reach(edgeAbove, eight) | bit_flood::Reach(edge[j + 1], eight));
    edge[j] = meets == 0 ? 0 : bit_flood::FillRuns(meets, inner[j]);  // the flood's rows from here on
    met |= meets;
    edgeAbove = edgeHere;
  }
  if (met == 0) {
    TakeHoleRegions(regions, inner, edge, first, end, eight, full);
  } else if (!OneRegion(inner + first, end - first, eight)) {
    bit_flood::Spread(edge + first, inner + first, end - first, eight, full);
    for (int j = first; j < end; ++j) inner[j] &= ~edge[j];
    TakeHoleRegions(regions, inner, edge, first, end, eight, full);
  }
}

// Reads the rows of the rectangle's unmarked paper into the runs that reach
// its edge (the whole row on the first and the last) and the rest, the
// inner paper. Returns the pairs of paper pixels that touch only at a corner.
template <class TPaperRow>
std::uint64_t ReadPaper(TPaperRow paperRow, int w, int h, std::uint64_t* edge, std::uint64_t* inner) {
  const std::uint64_t full = bit_spans::LowBits(w);
  std::uint64_t corners = 0, above = 0;
  for (int j = 0; j < h; ++j) {
    const std::uint64_t paper = paperRow(j);
    const std::uint64_t e = j == 0 || j == h - 1 ? paper : bit_flood::EdgeRuns(paper, full);
    edge[j] = e;
    inner[j] = paper & ~e;
    corners |= CornerOnlyPairs(above, paper);  // nothing above the first row
    above = paper;
  }
  // Squares of two columns: x and x + 1 both inside.
  return corners & (w > 1 ? bit_spans::LowBits(w - 1) : 0);
}

}  // namespace

bool LabelHolesOnBits(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                      bool eight) {
  std::vector<std::uint64_t>& inner = s.HolePaper;
  std::vector<std::uint64_t>& edge = s.HoleOutside;
  inner.resize(static_cast<std::size_t>(h));
  edge.resize(static_cast<std::size_t>(h));
  const std::uint64_t full = bit_spans::LowBits(w);
  std::uint64_t corners;
  if (const std::uint64_t* cut = s.CutPaper.Of(bitmap, left, top, w, h, threshold)) {
    corners = ReadPaper([cut](int j) { return cut[j]; }, w, h, edge.data(), inner.data());
  } else if (top >= 0 && top + h <= bitmap.Height() && left >= 0 && left + w <= bitmap.Width()) {
    // The paper rows in one go; each is taken before its place is written.
    TSpanPaper(bitmap, left, w, threshold).Rows(top, h, inner.data());
    const std::uint64_t* paper = inner.data();
    corners = ReadPaper([paper](int j) { return paper[j]; }, w, h, edge.data(), inner.data());
  } else {
    const TSixteenPixels pixels(threshold);
    corners = ReadPaper([&](int j) { return PaperBits(bitmap, left, top + j, w, pixels); }, w, h, edge.data(),
                        inner.data());
  }
  const bool eitherNeighbourhood = corners == 0;
  s.Regions.clear();
  // The first and the last row hold no inner paper: a block of rows with
  // inner paper has a row without on either side.
  for (int first = 0;;) {
    while (first < h && inner[first] == 0) ++first;
    if (first == h) break;
    const int end = BlockEnd(inner.data(), first);
    TakeBlockHoles(s.Regions, inner.data(), edge.data(), first, end, eight, full);
    first = end;
  }
  return eitherNeighbourhood;
}

}  // namespace omniocr
