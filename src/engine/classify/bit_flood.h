#pragma once

// Region fills on bits: a rectangle at most a word wide, one word per row.
// A region grows within a mask a whole row at a time (every run of the mask
// that it touches), then from row to row, until it stops growing.

#include <bit>
#include <cstdint>

namespace omniocr::bit_flood {

// The runs of `mask` that hold a bit of `seeds` (seeds within mask): carried
// up by an addition, down by doubling shifts, as many as a run of at most
// kWidest bits needs.
template <int kWidest = 64>
inline std::uint64_t FillRuns(std::uint64_t seeds, std::uint64_t mask) {
  static_assert(kWidest == 16 || kWidest == 32 || kWidest == 64);
  const std::uint64_t up = (((mask + seeds) ^ mask) | seeds) & mask;
  // Each stretch of `up` begins at a seed; where no such seed has mask just
  // below it, the runs are whole already.
  if (((up & ~(up << 1)) >> 1 & mask) == 0) return up;
  std::uint64_t down = seeds, through = mask;
  down |= through & (down >> 1);
  through &= through >> 1;
  down |= through & (down >> 2);
  through &= through >> 2;
  down |= through & (down >> 4);
  through &= through >> 4;
  down |= through & (down >> 8);
  if constexpr (kWidest > 16) {
    through &= through >> 8;
    down |= through & (down >> 16);
  }
  if constexpr (kWidest > 32) {
    through &= through >> 16;
    down |= through & (down >> 32);
  }
  return up | down;
}

// The runs of `mask` (within `full`, which starts at bit 0) that reach bit 0
// or the top bit of `full`: the bits below the lowest gap and above the
// highest.
inline std::uint64_t EdgeRuns(std::uint64_t mask, std::uint64_t full) {
  const std::uint64_t gaps = ~mask & full;
  if (gaps == 0) return mask;
  const std::uint64_t low = (std::uint64_t{1} << std::countr_zero(gaps)) - 1;
  const std::uint64_t high = ~std::uint64_t{1} << (63 - std::countl_zero(gaps));
  return low | (high & full);
}

// What a row of a region reaches of the next row in the neighbourhood given,
// to be taken within a mask: bits past the mask's columns are left to it.
template <bool Eight>
std::uint64_t Reach(std::uint64_t v) {
  if constexpr (Eight) return v | v << 1 | v >> 1;
  return v;
}
// The same with the neighbourhood known only at run time.
inline std::uint64_t Reach(std::uint64_t v, bool eight) { return eight ? Reach<true>(v) : v; }

// Spread in one neighbourhood, in passes down and up. A pass carries the
// row it grows from in a register: the next row depends on it, and a row
// read back from memory would lengthen that chain.
// A pass down leaves every row closed from above (it takes nothing more from
// the row above); a pass up, from below. A row that a pass down changes may
// reach unfilled mask on the row above: the next pass up starts at the
// lowest such row, and without any the region is closed both ways (the row
// above a row the pass left alone already holds all it can take from it).
// Likewise the next pass down starts at the highest row a pass up left
// reaching unfilled mask below it. The first pass down checks every row,
// since the seeds' rows were never closed from below.
template <bool Eight, int kWidest>
void SpreadIn(std::uint64_t* region, const std::uint64_t* mask, int h) {
  auto unfilledReached = [mask](std::uint64_t row, std::uint64_t next, int nextRow) {
    return (Reach<Eight>(row) & mask[nextRow] & ~next) != 0;
  };
  // A pass down from row `first`, `from` being the row above it: the lowest
  // row it leaves reaching unfilled mask above it, or -1. Only a row the
  // pass changed can, except on the first pass (`everyRow`).
  auto passDown = [&](int first, std::uint64_t from, bool everyRow) {
    int lowest = -1;
    for (int j = first; j < h; ++j) {
      std::uint64_t to = region[j];
      const std::uint64_t fresh = Reach<Eight>(from) & mask[j] & ~to;
      const bool grown = fresh != 0;
      if (grown) {
        to = FillRuns<kWidest>(to | fresh, mask[j]);
        region[j] = to;
      }
      if ((everyRow || grown) && unfilledReached(to, from, j - 1)) lowest = j - 1;
      from = to;
    }
    return lowest;
  };
  int top = 0;
  while (top < h && region[top] == 0) ++top;
  if (top == h) return;
  int upFrom = top > 0 && unfilledReached(region[top], 0, top - 1) ? top - 1 : -1;
  if (const int lowest = passDown(top + 1, region[top], true); lowest >= 0) upFrom = lowest;
  for (;;) {
    if (upFrom < 0) return;
    int downFrom = h;
    std::uint64_t from = region[upFrom + 1];
    for (int j = upFrom; j >= 0; --j) {
      std::uint64_t to = region[j];
      const std::uint64_t fresh = Reach<Eight>(from) & mask[j] & ~to;
      if (fresh != 0) {
        to = FillRuns<kWidest>(to | fresh, mask[j]);
        region[j] = to;
        if (unfilledReached(to, from, j + 1)) downFrom = j + 1;
      }
      from = to;
    }
    if (downFrom == h) return;
    upFrom = passDown(downFrom, region[downFrom - 1], false);
  }
}

// Grows `region` (rows 0..h-1, each filled within its row of `mask`) through
// `mask` from row to row, 8 or 4 neighbours, until it stops growing. The
// mask lies within the columns of `full`, which start at bit 0.
inline void Spread(std::uint64_t* region, const std::uint64_t* mask, int h, bool eight, std::uint64_t full) {
  // A run is no wider than the columns: a narrow box fills runs in fewer steps.
  const int width = 64 - std::countl_zero(full);
  if (width <= 16)
    eight ? SpreadIn<true, 16>(region, mask, h) : SpreadIn<false, 16>(region, mask, h);
  else if (width <= 32)
    eight ? SpreadIn<true, 32>(region, mask, h) : SpreadIn<false, 32>(region, mask, h);
  else
    eight ? SpreadIn<true, 64>(region, mask, h) : SpreadIn<false, 64>(region, mask, h);
}

}  // namespace omniocr::bit_flood
