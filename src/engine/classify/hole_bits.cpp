#include "engine/classify/hole_bits.h"

#include <bit>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/bit_flood.h"
#include "engine/classify/bit_spans.h"
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

}  // namespace

bool LabelHolesOnBits(TProbeScratch& s, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                      bool eight) {
  std::vector<std::uint64_t>& paper = s.HolePaper;
  std::vector<std::uint64_t>& outside = s.HoleOutside;
  paper.resize(static_cast<std::size_t>(h));
  outside.resize(static_cast<std::size_t>(h));
  const TSixteenPixels pixels(threshold);
  const std::uint64_t full = bit_spans::LowBits(w);
  for (int j = 0; j < h; ++j) {
    paper[j] = PaperBits(bitmap, left, top + j, w, pixels);
    outside[j] = j == 0 || j == h - 1 ? paper[j] : bit_flood::EdgeRuns(paper[j], full, w - 1);
  }
  // Squares of two columns: x and x + 1 both inside.
  const std::uint64_t pairs = w > 1 ? bit_spans::LowBits(w - 1) : 0;
  bool cornerOnly = false;
  for (int j = 1; j < h && !cornerOnly; ++j) cornerOnly = CornerOnly(paper[j - 1], paper[j], pairs);
  // The paper reached from the edge, row to row.
  bit_flood::Spread(outside.data(), paper.data(), h, eight, full);
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
  return !cornerOnly;
}

}  // namespace omniocr
