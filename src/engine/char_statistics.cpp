// Character size statistics: the mean character width and height that every
// later layout stage measures against, and the rejection of oversized
// components (pictures, rules, blots) that stand without a row of like-sized
// neighbours.

#include <algorithm>
#include <memory>
#include <vector>

#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

// A component of like height in the same horizontal band as p: it supports p
// as being part of a text row.
bool IsBandNeighbour(const TOCRChar& p, const TOCRChar& q) {
  const int dp = p.Bottom - p.Top;
  const int dq = q.Bottom - q.Top;
  const int half = (dp + 1) / 2;
  return dq <= 2 * dp && 2 * dq >= dp && q.Top >= p.Top - half && q.Top <= p.Top + half &&
         q.Bottom >= p.Bottom - half && q.Bottom <= p.Bottom + half;
}

// More than this many band neighbours (p itself included) keep p.
constexpr int kMaxLonelyCount = 4;

// Positions of the list ordered by Top, so that the neighbours of a component
// are looked up in its band only, not over the whole list.
class TTopIndex {
 public:
  explicit TTopIndex(const TCharList& chars) {
    Order.resize(static_cast<std::size_t>(chars.Count()));
    for (int i = 0; i < chars.Count(); ++i) Order[static_cast<std::size_t>(i)] = i;
    std::stable_sort(Order.begin(), Order.end(),
                     [&chars](int a, int b) { return chars[a]->Top < chars[b]->Top; });
    Tops.reserve(Order.size());
    for (int i : Order) Tops.push_back(chars[i]->Top);
  }

  // Band neighbours of p that are not rejected, counted up to limit + 1.
  int CountNeighbours(const TCharList& chars, const TOCRChar& p, int limit) const {
    const int half = (p.Bottom - p.Top + 1) / 2;
    auto first = std::lower_bound(Tops.begin(), Tops.end(), p.Top - half);
    int count = 0;
    for (auto it = first; it != Tops.end() && *it <= p.Top + half; ++it) {
      const TOCRChar& q = *chars[Order[static_cast<std::size_t>(it - Tops.begin())]];
      if (!q.IsRejected() && IsBandNeighbour(p, q) && ++count > limit) break;
    }
    return count;
  }

 private:
  std::vector<int> Order;
  std::vector<int> Tops;
};

bool IsOversized(const TOCRChar& p, int meanWidth, int meanHeight) {
  return p.Width() > 4 * meanWidth || p.Height() > 4 * meanHeight;
}

// Characters that do not enter the means: huge boxes, slivers and specks.
bool ExcludedFromMeans(const TOCRChar& p, int meanWidth, int meanHeight) {
  const int w = p.Width(), h = p.Height();
  if (meanWidth * meanHeight > 0) {
    if (w > 4 * meanWidth && h > 4 * meanHeight) return true;
    if (4 * h < meanHeight) return true;
    if (h < 3) return true;
  }
  return w < 4 && h < 6;
}

}  // namespace

void TOmnifontOCR::ComputeCharStatistics() {
  if (CharCount == 0) return;
  MeanCharHeight = HeightSum / CharCount;
  MeanCharWidth = WidthSum / CharCount;

  // A component rejected earlier in the walk no longer counts as a neighbour
  // of those examined after it: the index is read against current codes.
  std::unique_ptr<TTopIndex> index;
  for (int i = 0; i < Chars.Count(); ++i) {
    TOCRChar& p = *Chars[i];
    if (p.IsRejected() || !IsOversized(p, MeanCharWidth, MeanCharHeight)) continue;
    if (!index) index = std::make_unique<TTopIndex>(Chars);
    if (index->CountNeighbours(Chars, p, kMaxLonelyCount) <= kMaxLonelyCount) p.BestChar = RejectedChar;
  }
  RecountCharStatistics();
}

void TOmnifontOCR::RecountCharStatistics() {
  WidthSum = HeightSum = CharCount = 0;
  for (int i = 0; i < Chars.Count(); ++i) {
    const TOCRChar& p = *Chars[i];
    if (p.IsRejected() || ExcludedFromMeans(p, MeanCharWidth, MeanCharHeight)) continue;
    WidthSum += p.Width();
    HeightSum += p.Height();
    ++CharCount;
  }
  if (CharCount > 0) {
    MeanCharHeight = HeightSum / CharCount;
    MeanCharWidth = WidthSum / CharCount;
  }
}

}  // namespace omniocr
