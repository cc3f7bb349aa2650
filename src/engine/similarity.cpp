// Similarity correction: an unread character borrows the reading of the most
// similar confidently read character when they look alike enough.

#include "engine/similarity.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr int kOutside = -1;

// Ink 1, paper 0, outside the page kOutside.
int ClassAt(const TDIB& page, int x, int y, int thr) {
  if (!page.Inside(x, y)) return kOutside;
  return IsInkByte(page.PixelByte(x, y), thr) ? 1 : 0;
}

int Confidence(const TOCRChar& c) { return c.CandCount > 0 ? c.CandConf[0] : 100; }

}  // namespace

int GlyphDissimilarity(const TDIB& page, const TOCRChar& p, int threshold, const TOCRChar& q) {
  const int wp = p.Width(), hp = p.Height(), wq = q.Width(), hq = q.Height();
  const int W = std::max(wp, wq), H = std::max(hp, hq);
  if (std::abs(wp - wq) > W / 16 + 1 || std::abs(hp - hq) > H / 16 + 1) return 100;
  std::int64_t penalty = 0, same = 0;
  if (p.BaseLine + p.DescLine < 2 * p.Bottom && q.BaseLine + q.DescLine > 2 * q.Bottom) penalty += 128;
  if (p.AscLine + p.MeanLine < 2 * p.Top && q.AscLine + q.MeanLine > 2 * q.Top) penalty += 128;
  const int sx = W / 32 + 1, sy = H / 32 + 1;
  for (int v = 0; v < H; ++v)
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
  if (same + penalty == 0) return 99;
  return static_cast<int>(100 * penalty / (same + penalty));
}

void TOmnifontOCR::CorrectBySimilarity() {
  if (!SimilarityCorrection) return;
  const int count = Chars.Count();
  for (int i = 0; i < count; ++i) {
    TOCRChar& p = *Chars[i];
    if (p.BestChar != NoChar || p.Bottom - p.Top <= 4 || p.Right - p.Left < 2) continue;
    int best = 1000;
    const TOCRChar* ref = nullptr;
    for (int k = 0; k < count; ++k) {
      const TOCRChar& q = *Chars[k];
      if (&q == &p || q.BestChar == NoChar || q.HasEmptyBox() || Confidence(q) <= 95) continue;
      const int d = GlyphDissimilarity(*Page, p, Threshold, q);
      if (d < best) {
        best = d;
        ref = &q;
      }
    }
    if (ref != nullptr && best < 10) {
      const int c = ref->CandCount > 0 ? ref->CandConf[0] : 97;
      SetAC(*this, p, ref->BestChar, std::max(c - best, 1));
    }
  }
}

}  // namespace omniocr
