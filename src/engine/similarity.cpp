// Similarity correction: an unread character borrows the reading of the most
// similar confidently read character when they look alike enough.

#include "engine/similarity.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/byte_scan.h"
#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr std::int8_t kOutside = -1;

// Compared positions allowed per page pixel (see CorrectBySimilarity).
constexpr std::int64_t kSimilarityWorkPerPixel = 16;

int Confidence(const TOCRChar& c) { return c.CandCount > 0 ? c.CandConf[0] : 100; }

// The largest width (or height) of a box that a box of size n may be
// compared with: |n - m| <= max(n, m)/16 + 1.
int LargestComparable(int n) { return std::max(n, 16 * (n + 1) / 15); }

// Where the eight neighbours of a position lie in a grid, a step of sx, sy
// away, as offsets from the position's class.
using TNeighbourOffsets = std::array<std::ptrdiff_t, 8>;

// A character's pixel classes (ink 1, paper 0, outside the page kOutside)
// over its box widened to every position a comparison may read: the widest
// comparable box plus the neighbour step on each side.
class TClassGrid {
 public:
  void Read(const TDIB& page, const TOCRChar& c, int threshold) {
    const int w = LargestComparable(c.Width()), h = LargestComparable(c.Height());
    MarginX = w / 32 + 1;
    MarginY = h / 32 + 1;
    Left = c.Left - MarginX;
    Top = c.Top - MarginY;
    Stride = w + 2 * MarginX;
    const int rows = h + 2 * MarginY;
    Classes.assign(static_cast<std::size_t>(Stride) * static_cast<std::size_t>(rows), kOutside);
    for (int j = 0; j < rows; ++j) {
      const int y = Top + j;
      if (y < 0 || y >= page.Height()) continue;
      const std::uint8_t* row = page.Row(y);
      std::int8_t* cls = Classes.data() + static_cast<std::size_t>(j) * static_cast<std::size_t>(Stride);
      const int from = std::max(0, -Left), to = std::min(Stride, page.Width() - Left);
      if (to > from) InkClassesOf(row + Left + from, to - from, threshold, cls + from);
    }
  }
  bool Empty() const { return Classes.empty(); }
  // The class at (u, v) relative to the box's top-left corner.
  std::int8_t At(int u, int v) const {
    return Classes[static_cast<std::size_t>(v + MarginY) * static_cast<std::size_t>(Stride) +
                   static_cast<std::size_t>(u + MarginX)];
  }
  // The offsets of the eight neighbours a step of sx, sy away.
  TNeighbourOffsets Around(int sx, int sy) const {
    TNeighbourOffsets offsets{};
    std::size_t k = 0;
    for (int b = -1; b <= 1; ++b)
      for (int a = -1; a <= 1; ++a)
        if (a != 0 || b != 0) offsets[k++] = static_cast<std::ptrdiff_t>(b) * sy * Stride + a * sx;
    return offsets;
  }
  // The classes from (u, v) on along the row, as At gives them.
  const std::int8_t* RowFrom(int u, int v) const {
    return Classes.data() + static_cast<std::size_t>(v + MarginY) * static_cast<std::size_t>(Stride) +
           static_cast<std::size_t>(u + MarginX);
  }

 private:
  int Left = 0, Top = 0, MarginX = 0, MarginY = 0, Stride = 0;
  std::vector<std::int8_t> Classes;
};

bool Comparable(const TOCRChar& p, const TOCRChar& q) {
  const int wp = p.Width(), hp = p.Height(), wq = q.Width(), hq = q.Height();
  const int W = std::max(wp, wq), H = std::max(hp, hq);
  return std::abs(wp - wq) <= W / 16 + 1 && std::abs(hp - hq) <= H / 16 + 1;
}

// The penalty of a position where one character has ink and the other not:
// nothing when at most one of its eight neighbours differs or lies outside,
// else 16 for every such one past the first.
inline std::int64_t NeighbourPenalty(const std::int8_t* p, const TNeighbourOffsets& aroundP,
                                     const std::int8_t* q, const TNeighbourOffsets& aroundQ) {
  int n = 0;
  for (std::size_t k = 0; k < aroundP.size(); ++k) {
    // Two classes that differ, or two outside the page (one outside differs).
    const std::int8_t np = p[aroundP[k]], nq = q[aroundQ[k]];
    n += static_cast<int>(np != nq) | static_cast<int>(np == kOutside);
  }
  return n >= 2 ? 16 * (n - 1) : 0;
}

// The positions among eight classes (a little-endian word, position k in
// byte k) where one word holds paper (0) and the other does not, as the high
// bit of each byte: lane by lane, no carries between lanes.
std::uint64_t PaperDisagreement(const std::int8_t* p, const std::int8_t* q) {
  const auto paperLanes = [](std::uint64_t x) {
    return ~(((x & ~byte_scan::kHigh) + ~byte_scan::kHigh) | x) & byte_scan::kHigh;
  };
  std::uint64_t a, b;
  std::memcpy(&a, p, sizeof a);
  std::memcpy(&b, q, sizeof b);
  return paperLanes(a) ^ paperLanes(b);
}

// How many lanes of a word of lane high bits are set.
int LanesSet(std::uint64_t lanes) { return static_cast<int>(((lanes >> 7) * byte_scan::kOnes) >> 56); }

// The dissimilarity of two comparable characters from their class grids; it
// stops as soon as the result is sure to be at least `bound`, returning a
// value of at least `bound` then (the exact value below it). Outside the page
// counts as ink in the direct comparison. Eight positions are compared at
// once: `same` and `penalty` are sums, tested only at the end of a row, so
// the order of the positions within a row does not matter.
int GridDissimilarity(const TClassGrid& gp, const TOCRChar& p, const TClassGrid& gq, const TOCRChar& q,
                      int bound, std::int64_t& work) {
  const int W = std::max(p.Width(), q.Width()), H = std::max(p.Height(), q.Height());
  std::int64_t penalty = 0, same = 0;
  if (p.BaseLine + p.DescLine < 2 * p.Bottom && q.BaseLine + q.DescLine > 2 * q.Bottom) penalty += 128;
  if (p.AscLine + p.MeanLine < 2 * p.Top && q.AscLine + q.MeanLine > 2 * q.Top) penalty += 128;
  const int sx = W / 32 + 1, sy = H / 32 + 1;
  const TNeighbourOffsets aroundP = gp.Around(sx, sy), aroundQ = gq.Around(sx, sy);
  for (int v = 0; v < H; ++v) {
    work += W;
    const std::int8_t* rowP = gp.RowFrom(0, v);
    const std::int8_t* rowQ = gq.RowFrom(0, v);
    int u = 0;
    for (; u + 8 <= W; u += 8) {
      std::uint64_t differ = PaperDisagreement(rowP + u, rowQ + u);
      same += 16 * (8 - LanesSet(differ));
      for (; differ != 0; differ &= differ - 1) {
        const int at = u + std::countr_zero(differ) / 8;
        penalty += NeighbourPenalty(rowP + at, aroundP, rowQ + at, aroundQ);
      }
    }
    for (; u < W; ++u) {
      if ((rowP[u] != 0) == (rowQ[u] != 0))
        same += 16;
      else
        penalty += NeighbourPenalty(rowP + u, aroundP, rowQ + u, aroundQ);
    }
    // Every pixel still to come adds at most 16 to `same`: the result cannot
    // fall below this any more.
    const std::int64_t rest = static_cast<std::int64_t>(H - 1 - v) * W;
    if (penalty > 0 && 100 * penalty / (same + 16 * rest + penalty) >= bound)
      return static_cast<int>(100 * penalty / (same + 16 * rest + penalty));
  }
  if (same + penalty == 0) return 99;
  return static_cast<int>(100 * penalty / (same + penalty));
}

}  // namespace

int GlyphDissimilarity(const TDIB& page, const TOCRChar& p, int threshold, const TOCRChar& q) {
  if (!Comparable(p, q)) return 100;
  TClassGrid gp, gq;
  gp.Read(page, p, threshold);
  gq.Read(page, q, threshold);
  std::int64_t work = 0;
  return GridDissimilarity(gp, p, gq, q, 101, work);
}

// Each unread character is compared with the confidently read characters of
// comparable size only (kept by width), and a comparison stops once it cannot
// give the closest match below 10. The closest match is the least
// dissimilarity, the first in the list among equals; a character corrected
// here serves as a reference for the later ones. Once the work budget is
// spent, the characters left stay unread.
void TOmnifontOCR::CorrectBySimilarity() {
  if (!SimilarityCorrection) return;
  const int count = Chars.Count();
  auto isReference = [](const TOCRChar& q) {
    return q.BestChar != NoChar && !q.HasEmptyBox() && Confidence(q) > 95;
  };
  int widest = 0;
  for (int k = 0; k < count; ++k)
    if (!Chars[k]->HasEmptyBox()) widest = std::max(widest, Chars[k]->Width());
  std::vector<std::vector<int>> byWidth(static_cast<std::size_t>(widest) + 1);
  for (int k = 0; k < count; ++k)
    if (isReference(*Chars[k])) byWidth[static_cast<std::size_t>(Chars[k]->Width())].push_back(k);
  std::vector<TClassGrid> grids(static_cast<std::size_t>(count));
  auto grid = [&](int k) -> const TClassGrid& {
    TClassGrid& g = grids[static_cast<std::size_t>(k)];
    if (g.Empty()) g.Read(*Page, *Chars[k], Threshold);
    return g;
  };
  constexpr int kCloseEnough = 10;
  // Positions compared, against a budget in proportion to the page: a page
  // of text spends well under one per pixel, while a page of thousands of
  // unread blobs of one size would otherwise cost the square of their number.
  std::int64_t work = 0;
  const std::int64_t budget = kSimilarityWorkPerPixel * Page->Width() * Page->Height();
  for (int i = 0; i < count && work < budget; ++i) {
    TOCRChar& p = *Chars[i];
    if (p.BestChar != NoChar || p.Bottom - p.Top <= 4 || p.Right - p.Left < 2) continue;
    int best = 1000, bestIndex = count;
    const int wp = p.Width();
    const int widthTo = std::min(LargestComparable(wp), widest);
    for (int w = std::max(wp - wp / 16 - 1, 1); w <= widthTo; ++w)
      for (const int k : byWidth[static_cast<std::size_t>(w)]) {
        const TOCRChar& q = *Chars[k];
        ++work;
        if (!Comparable(p, q)) continue;
        // Only a match below 10 changes anything: a closer one, or an equal
        // one earlier in the list.
        const int bound = std::min(kCloseEnough, k < bestIndex ? best + 1 : best);
        if (bound <= 0) continue;
        const int d = GridDissimilarity(grid(i), p, grid(k), q, bound, work);
        if (d < bound) {
          best = d;
          bestIndex = k;
        }
      }
    if (bestIndex < count) {
      const TOCRChar& ref = *Chars[bestIndex];
      const int c = ref.CandCount > 0 ? ref.CandConf[0] : 97;
      SetAC(*this, p, ref.BestChar, std::max(c - best, 1));
    }
    if (isReference(p)) byWidth[static_cast<std::size_t>(wp)].push_back(i);
  }
}

}  // namespace omniocr
