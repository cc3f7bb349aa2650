#include "engine/classify/hole_bits.h"

#include <bit>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/bit_spans.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/region_labelling.h"

namespace omniocr {

namespace {

constexpr std::uint8_t kOutsideByte = 248;

// The runs of `mask` that hold a bit of `seeds` (seeds within mask): carried
// up by an addition, down by doubling shifts.
std::uint64_t FillRuns(std::uint64_t seeds, std::uint64_t mask) {
  const std::uint64_t up = (((mask + seeds) ^ mask) | seeds) & mask;
  std::uint64_t down = seeds, through = mask;
  for (int k = 1; k < 64; k *= 2) {
    down |= through & (down >> k);
    through &= through >> k;
  }
  return up | down;
}

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

}  // namespace

void LabelHolesOnBits(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                      bool eight) {
  std::vector<std::uint64_t>& paper = s.HolePaper;
  std::vector<std::uint64_t>& outside = s.HoleOutside;
  paper.resize(static_cast<std::size_t>(h));
  outside.resize(static_cast<std::size_t>(h));
  const TSixteenPixels pixels(threshold);
  const std::uint64_t full = bit_spans::LowBits(w), edges = 1 | std::uint64_t{1} << (w - 1);
  for (int j = 0; j < h; ++j) {
    paper[j] = PaperBits(bitmap, left, top + j, w, pixels);
    outside[j] = FillRuns(paper[j] & (j == 0 || j == h - 1 ? full : edges), paper[j]);
  }
  auto grow = [eight, full](std::uint64_t v) { return eight ? (v | v << 1 | v >> 1) & full : v; };
  // Flood down and up until the paper reached from the edge stops growing.
  for (bool changed = true; changed;) {
    changed = false;
    auto spread = [&](int from, int to) {
      const std::uint64_t fresh = grow(outside[from]) & paper[to] & ~outside[to];
      if (fresh == 0) return;
      outside[to] = FillRuns(outside[to] | fresh, paper[to]);
      changed = true;
    };
    for (int j = 1; j < h; ++j) spread(j - 1, j);
    for (int j = h - 2; j >= 0; --j) spread(j + 1, j);
  }
  TRunJoiner joiner(s, eight);
  for (int j = 0; j < h; ++j) {
    std::uint64_t holes = paper[j] & ~outside[j];
    if (holes == 0) continue;
    joiner.StartRow(j);
    while (holes != 0) {
      const int x0 = std::countr_zero(holes);
      const std::uint64_t rest = ~(holes >> x0);
      const int x1 = x0 + (rest == 0 ? 64 - x0 : std::countr_zero(rest)) - 1;
      joiner.AddRun(x0, x1, false);
      holes &= x1 >= 63 ? 0 : bit_spans::kAll << (x1 + 1);
    }
  }
}

}  // namespace omniocr
