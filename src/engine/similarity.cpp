// Similarity correction: an unread character borrows the reading of the most
// similar confidently read character when they look alike enough.

#include "engine/similarity.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <utility>
#include <vector>

#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr int kOutside = -1;

// Compared positions allowed per page pixel (see CorrectBySimilarity).
constexpr std::int64_t kSimilarityWorkPerPixel = 16;

// Ink 1, paper 0, outside the page kOutside.
int ClassAt(const TDIB& page, int x, int y, int thr) {
  if (!page.Inside(x, y)) return kOutside;
  return IsInkByte(page.PixelByte(x, y), thr) ? 1 : 0;
}

int Confidence(const TOCRChar& c) { return c.CandCount > 0 ? c.CandConf[0] : 100; }

// The dissimilarity when it is below `limit`; otherwise some value of at
// least `limit`, found as soon as the rows left cannot bring it under.
int DissimilarityBelow(const TDIB& page, const TOCRChar& p, int threshold, const TOCRChar& q, int limit,
                       std::int64_t& work) {
  const int wp = p.Width(), hp = p.Height(), wq = q.Width(), hq = q.Height();
  const int W = std::max(wp, wq), H = std::max(hp, hq);
  if (std::abs(wp - wq) > W / 16 + 1 || std::abs(hp - hq) > H / 16 + 1) return 100;
  std::int64_t penalty = 0, same = 0;
  if (p.BaseLine + p.DescLine < 2 * p.Bottom && q.BaseLine + q.DescLine > 2 * q.Bottom) penalty += 128;
  if (p.AscLine + p.MeanLine < 2 * p.Top && q.AscLine + q.MeanLine > 2 * q.Top) penalty += 128;
  const int sx = W / 32 + 1, sy = H / 32 + 1;
  for (int v = 0; v < H; ++v) {
    work += W;
    for (int u = 0; u < W; ++u) {
      // Outside the page counts as ink in the direct comparison.
      const int cp = ClassAt(page, p.Left + u, p.Top + v, threshold);
      const int cq = ClassAt(page, q.Left + u, q.Top + v, threshold);
      if ((cp != 0) == (cq != 0)) {
        same += 16;
        continue;
      }
      int n = 0;
      for (int b = -1; b <= 1; ++b)
        for (int a = -1; a <= 1; ++a) {
          if (a == 0 && b == 0) continue;
          const int np = ClassAt(page, p.Left + u + a * sx, p.Top + v + b * sy, threshold);
          const int nq = ClassAt(page, q.Left + u + a * sx, q.Top + v + b * sy, threshold);
          if (np == kOutside || nq == kOutside || np != nq) ++n;
        }
      if (n >= 2) penalty += 16 * (n - 1);
    }
    // Even if every position left agreed, the result would not fall below the limit.
    const std::int64_t sameAtMost = same + 16 * static_cast<std::int64_t>(H - 1 - v) * W;
    if (penalty > 0 && 100 * penalty >= limit * (sameAtMost + penalty)) return limit;
  }
  if (same + penalty == 0) return 99;
  return static_cast<int>(100 * penalty / (same + penalty));
}

// The references of similarity correction (characters read with more than
// 95 % confidence) by box size, each size's list in list order, so that an
// unread character is compared only with references of a size that can pass
// the size test.
class TReferenceIndex {
 public:
  static bool IsReference(const TOCRChar& q) {
    return q.BestChar != NoChar && !q.HasEmptyBox() && Confidence(q) > 95;
  }
  void Add(const TOCRChar& q, int index) {
    std::vector<int>& list = BySize[{q.Width(), q.Height()}];
    list.insert(std::lower_bound(list.begin(), list.end(), index), index);
  }
  // Positions of every reference whose size may pass the size test against
  // a box of w x h, in list order.
  std::vector<int> Candidates(int w, int h) const {
    std::vector<int> found;
    for (auto it = BySize.lower_bound({LowestPassing(w), 0}); it != BySize.end(); ++it) {
      const auto [wq, hq] = it->first;
      if (wq > HighestPassing(w)) break;
      if (hq >= LowestPassing(h) && hq <= HighestPassing(h))
        found.insert(found.end(), it->second.begin(), it->second.end());
    }
    std::sort(found.begin(), found.end());
    return found;
  }

 private:
  // |a - b| <= max(a, b) / 16 + 1 holds only for b in this range (with a margin).
  static int LowestPassing(int a) { return a - a / 16 - 2; }
  static int HighestPassing(int a) { return (a + 2) * 16 / 15 + 1; }
  std::map<std::pair<int, int>, std::vector<int>> BySize;
};

}  // namespace

int GlyphDissimilarity(const TDIB& page, const TOCRChar& p, int threshold, const TOCRChar& q) {
  std::int64_t work = 0;
  return DissimilarityBelow(page, p, threshold, q, 101, work);
}

// A reference is taken only when its dissimilarity is below 10 and below that
// of every earlier reference, so a comparison may stop once it cannot be, and
// references whose size fails the size test are never looked at. Once the
// work budget is spent, the characters left stay unread.
void TOmnifontOCR::CorrectBySimilarity() {
  if (!SimilarityCorrection) return;
  const int count = Chars.Count();
  TReferenceIndex references;
  for (int k = 0; k < count; ++k)
    if (TReferenceIndex::IsReference(*Chars[k])) references.Add(*Chars[k], k);
  // Positions compared, against a budget in proportion to the page: a page
  // of text spends well under one per pixel, while a page of thousands of
  // unread blobs of one size would otherwise cost the square of their number.
  std::int64_t work = 0;
  const std::int64_t budget = kSimilarityWorkPerPixel * Page->Width() * Page->Height();
  for (int i = 0; i < count && work < budget; ++i) {
    TOCRChar& p = *Chars[i];
    if (p.BestChar != NoChar || p.Bottom - p.Top <= 4 || p.Right - p.Left < 2) continue;
    int best = 10;
    const TOCRChar* ref = nullptr;
    const std::vector<int> candidates = references.Candidates(p.Width(), p.Height());
    work += static_cast<std::int64_t>(candidates.size());
    for (int k : candidates) {
      const TOCRChar& q = *Chars[k];
      if (&q == &p) continue;
      const int d = DissimilarityBelow(*Page, p, Threshold, q, best, work);
      if (d < best) {
        best = d;
        ref = &q;
        if (best == 0) break;
      }
    }
    if (ref != nullptr) {
      const int c = ref->CandCount > 0 ? ref->CandConf[0] : 97;
      SetAC(*this, p, ref->BestChar, std::max(c - best, 1));
      // A character read here is a reference for the characters after it.
      if (TReferenceIndex::IsReference(p)) references.Add(p, i);
    }
  }
}

}  // namespace omniocr
