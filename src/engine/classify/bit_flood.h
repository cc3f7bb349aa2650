#pragma once

// Region fills on bits: a rectangle at most a word wide, one word per row.
// A region grows within a mask a whole row at a time (every run of the mask
// that it touches), then from row to row, until it stops growing.

#include <bit>
#include <cstdint>

namespace omniocr::bit_flood {

// The runs of `mask` that hold a bit of `seeds` (seeds within mask): carried
// up by an addition, down by doubling shifts.
inline std::uint64_t FillRuns(std::uint64_t seeds, std::uint64_t mask) {
  const std::uint64_t up = (((mask + seeds) ^ mask) | seeds) & mask;
  std::uint64_t down = seeds, through = mask;
  down |= through & (down >> 1);
  through &= through >> 1;
  down |= through & (down >> 2);
  through &= through >> 2;
  down |= through & (down >> 4);
  through &= through >> 4;
  down |= through & (down >> 8);
  through &= through >> 8;
  down |= through & (down >> 16);
  through &= through >> 16;
  down |= through & (down >> 32);
  return up | down;
}

// The runs of `mask` (within `full`) that reach bit 0 or the top bit of
// `full`, `top` being that bit's index.
inline std::uint64_t EdgeRuns(std::uint64_t mask, std::uint64_t full, int top) {
  const std::uint64_t gaps = ~mask & full;
  if (gaps == 0) return mask;
  const std::uint64_t low = (std::uint64_t{1} << std::countr_zero(gaps)) - 1;
  const int highestGap = 63 - std::countl_zero(gaps);
  const std::uint64_t high = highestGap >= top ? 0 : full & ~((std::uint64_t{2} << highestGap) - 1);
  return low | high;
}

// Grows `region` (rows 0..h-1, each filled within its row of `mask`) through
// `mask` from row to row, 8 or 4 neighbours, until it stops growing.
inline void Spread(std::uint64_t* region, const std::uint64_t* mask, int h, bool eight, std::uint64_t full) {
  auto reach = [eight, full](std::uint64_t v) { return eight ? (v | v << 1 | v >> 1) & full : v; };
  auto grow = [&](int from, int to) {
    const std::uint64_t fresh = reach(region[from]) & mask[to] & ~region[to];
    if (fresh == 0) return false;
    region[to] = FillRuns(region[to] | fresh, mask[to]);
    return true;
  };
  // After a pass down no row grows from the one above it, and a pass up
  // leaves that so above the highest row it changed: the next pass down
  // starts below that row; likewise the next pass up starts above the lowest
  // row the pass down changed. A pass that adds nothing after the pass the
  // other way leaves the region closed both ways.
  // Rows above the region's first can take nothing from the row above them.
  int downFrom = 1;
  while (downFrom < h && region[downFrom - 1] == 0) ++downFrom;
  for (bool first = true;; first = false) {
    int lowestChanged = -1;
    for (int j = downFrom; j < h; ++j)
      if (grow(j - 1, j)) lowestChanged = j;
    if (lowestChanged < 0 && !first) return;
    int highestChanged = -1;
    for (int j = first ? h - 2 : lowestChanged - 1; j >= 0; --j)
      if (grow(j + 1, j)) highestChanged = j;
    if (highestChanged < 0) return;
    downFrom = highestChanged + 1;
  }
}

}  // namespace omniocr::bit_flood
