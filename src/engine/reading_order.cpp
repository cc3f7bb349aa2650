// Reading order (line by line, left to right) and the merging of fragments
// that belong to one character: the dot of an i or j, an accent, the pieces
// of a character broken across its x-height zone, a piece broken off on the
// left. Two of the rules darken a pixel or two of the page so that the glyph
// cut out later is one connected shape.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

namespace {

// The character absorbing fragments: its box grows with every merge, its
// guides stay.
struct TAbsorber {
  TOCRChar& P;
  const int A, M, B, D;

  explicit TAbsorber(TOCRChar& p) : P(p), A(p.AscLine), M(p.MeanLine), B(p.BaseLine), D(p.DescLine) {}
  int l() const { return P.Left; }
  int r() const { return P.Right; }
  int t() const { return P.Top; }
  int b() const { return P.Bottom; }
};

// q spans p from above or below, p lying above the mean line (a dot, an accent).
bool SpansDot(const TAbsorber& p, const TOCRChar& q) {
  const int l = p.l(), r = p.r(), t = p.t(), b = p.b();
  return 4 * q.Right >= 3 * l + r && 2 * q.Left <= l + r + 2 &&
         q.Right - q.Left + 1 >= (r - l) - (r - l) / 4 && p.M >= b &&
         (p.A <= t + 2 || p.D - p.A > 4 * (b - t));
}

// p is wide and q lies within its middle half.
bool WithinWideMiddle(const TAbsorber& p, const TOCRChar& q, int meanCharWidth) {
  const int l = p.l(), r = p.r();
  return 3 * (r - l) > 2 * meanCharWidth && 4 * q.Left > 3 * l + r && 4 * q.Right < l + 3 * r;
}

// p is a low piece under q.
bool LowPieceUnder(const TAbsorber& p, const TOCRChar& q) {
  const int l = p.l(), r = p.r(), t = p.t(), b = p.b();
  return 2 * q.Right >= l + r && q.Left <= r && q.Right - q.Left + 2 >= r - l && 2 * t >= p.M + p.B &&
         4 * b >= p.M + 3 * p.B && p.D - p.A > 4 * (b - t) &&
         (8 * q.Bottom < q.MeanLine + 7 * q.BaseLine || q.DescLine - q.AscLine < 16);
}

// p is a high piece over q.
bool HighPieceOver(const TAbsorber& p, const TOCRChar& q) {
  const int l = p.l(), r = p.r(), t = p.t(), b = p.b();
  const int qM = q.MeanLine, qB = q.BaseLine;
  return 2 * q.Right >= l + r && q.Left <= r && q.Right - q.Left + 4 >= r - l &&
         (3 * q.Right + q.Left) / 4 >= l && p.M != 0 && qM != 0 && p.B > b && qB + qM < 2 * q.Bottom &&
         3 * qM + qB <= 4 * q.Top && p.B + p.M > 2 * t && (qM + 3 * qB > 4 * q.Bottom || qB < q.Bottom);
}

bool IsStackedCandidate(const TAbsorber& p, const TOCRChar& q, int meanCharWidth) {
  return SpansDot(p, q) || WithinWideMiddle(p, q, meanCharWidth) || LowPieceUnder(p, q) ||
         HighPieceOver(p, q) || p.M == 0 || q.MeanLine == 0;
}

// The boxes do not overlap vertically and the white gap between them is small.
bool StackedGapIsSmall(const TAbsorber& p, const TOCRChar& q) {
  const int t = p.t(), b = p.b();
  if (t > q.Bottom) return t - q.Bottom <= 2 * (b - t) + 4;
  if (q.Top > b) return q.Top - b <= 2 * (q.Bottom - q.Top) + 4;
  return false;
}

// p lies wholly below its descender line, or its top more than an x-height
// above its ascender line.
bool IsPassedOver(const TOCRChar& p) {
  const int A = p.AscLine, M = p.MeanLine, B = p.BaseLine, D = p.DescLine;
  return (D > 0 && D < p.Top) || (A > 0 && A - (B - M) > p.Top);
}

// An arch filling the x-height zone whose left stem is missing, tested on p's
// box as it stands.
bool IsArchWithoutLeftStem(const TAbsorber& p, const TDIB& page, int thr) {
  const int l = p.l(), r = p.r(), t = p.t(), b = p.b();
  if (std::abs(p.M - t) > (b - t) / 8 || std::abs(p.B - b) > (b - t) / 8) return false;
  const int quarterX = (3 * l + r) / 4;
  const int quarterY = (3 * t + b) / 4;
  const int threeQuarterY = (3 * b + t) / 4;
  return CountCrossings(page, l, (t + b) / 2, r, (t + b) / 2, thr) == 1 &&
         CountCrossings(page, l, threeQuarterY, r, threeQuarterY, thr) == 1 &&
         ProbeRect(page, quarterX, quarterY, quarterX, b, thr, 1) == 0 &&
         ProbeRect(page, l, quarterY, quarterX, threeQuarterY, thr, 1) == 0 &&
         ProbeRect(page, l, t, l, quarterY, thr, 1) != 0;
}

class TFragmentMerger {
 public:
  explicit TFragmentMerger(TOmnifontOCR& engine)
      : Engine(engine), Chars(engine.Chars), Page(*engine.Page), Thr(engine.Threshold) {}

  void Run() {
    // After the sort every line is one run of the list, and merges only
    // remove entries, so the partners of p are looked for in its run alone.
    Grouped = IsGroupedByLine();
    for (int i = 0; i < Chars.Count(); ++i) {
      TOCRChar& p = *Chars[i];
      if (IsPassedOver(p)) continue;
      Position = i;
      TAbsorber absorber(p);
      MergeStacked(absorber);
      MergeJoinedOnLeft(absorber);
      MergeDetachedStem(absorber);
    }
  }

 private:
  bool IsGroupedByLine() const {
    std::vector<int> seen;
    for (int i = 0; i < Chars.Count(); ++i) {
      const int line = Chars[i]->LineNo;
      if (i > 0 && Chars[i - 1]->LineNo == line) continue;
      seen.push_back(line);
    }
    std::sort(seen.begin(), seen.end());
    return std::adjacent_find(seen.begin(), seen.end()) == seen.end();
  }

  // Positions [first, last) that can hold a character of p's line.
  void LineRun(int& first, int& last) const {
    if (!Grouped) {
      first = 0;
      last = Chars.Count();
      return;
    }
    const int line = Chars[Position]->LineNo;
    first = Position;
    while (first > 0 && Chars[first - 1]->LineNo == line) --first;
    last = Position + 1;
    while (last < Chars.Count() && Chars[last]->LineNo == line) ++last;
  }

  // Walks the other characters of p's line, in list order, merging every one
  // the test accepts. After a merge the walk goes on with the next position,
  // so the entry that moved into the merged one's place is not tested.
  template <typename Accept>
  void WalkPartners(TAbsorber& p, Accept&& accept) {
    int first = 0, last = 0;
    LineRun(first, last);
    for (int j = first; j < last; ++j) {
      if (j == Position) continue;
      TOCRChar& q = *Chars[j];
      if (q.IsRejected() || q.LineNo != p.P.LineNo || !accept(q)) continue;
      Absorb(p, j);
      --last;
    }
  }

  void Absorb(TAbsorber& p, int j) {
    const TOCRChar& q = *Chars[j];
    p.P.Left = std::min(p.P.Left, q.Left);
    p.P.Right = std::max(p.P.Right, q.Right);
    p.P.Top = std::min(p.P.Top, q.Top);
    p.P.Bottom = std::max(p.P.Bottom, q.Bottom);
    --Engine.CharCount;
    Chars.Delete(j);
    if (j < Position) --Position;
  }

  void Darken(int x, int y) { SetPixelMasked(Page, x, y, 63, 0); }
  bool InkIn(int x1, int x2, int y1, int y2) const { return ProbeRect(Page, x1, y1, x2, y2, Thr, 1) != 0; }

  // Rule 1: dots, accents and pieces stacked over or under p, for a p of less
  // than half the line's height.
  void MergeStacked(TAbsorber& p) {
    if (p.D - p.A <= 2 * (p.b() - p.t())) return;
    WalkPartners(p, [&](const TOCRChar& q) {
      return IsStackedCandidate(p, q, Engine.MeanCharWidth) && StackedGapIsSmall(p, q);
    });
  }

  // Rule 2: a high piece p whose bottom-left pixel touches a character ending
  // in the column just left of it.
  void MergeJoinedOnLeft(TAbsorber& p) {
    const int lowest = p.B + p.M;
    if (lowest <= 2 * p.b() || lowest <= 2 * (p.b() - p.t())) return;
    WalkPartners(p, [&](const TOCRChar& q) {
      const int l = p.l(), b = p.b();
      if (q.Right != l - 1 || !InkIn(l, l, b, b) || !InkIn(l - 2, l - 1, b, b + 2)) return false;
      Darken(l, b + 1);
      return true;
    });
  }

  // Rule 3: an arch of x-height whose left stem was broken off and stands on
  // the baseline just left of it.
  void MergeDetachedStem(TAbsorber& p) {
    if (!IsArchWithoutLeftStem(p, Page, Thr)) return;
    WalkPartners(p, [&](const TOCRChar& q) {
      const int l = p.l(), t = p.t(), b = p.b();
      if (q.Right <= l - 3 || q.Right >= l + 2 || std::abs(q.Bottom - p.B) >= 2) return false;
      const int d = ScanRun(Page, l, t, dirDown, tgInk, Thr, b - t);
      if (2 * d > b - t) return false;
      Darken(l - 1, t + d);
      Darken(l - 1, t + d + 1);
      return true;
    });
  }

  TOmnifontOCR& Engine;
  TCharList& Chars;
  TDIB& Page;
  const int Thr;
  bool Grouped = false;
  int Position = 0;  // where p stands now; moves up when a partner before it goes
};

}  // namespace

void TOmnifontOCR::SortReadingOrder() {
  // Stable, so that equal keys (a dot over its stem) keep extraction order.
  auto& items = Chars.Storage();
  std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
    return a->LineNo != b->LineNo ? a->LineNo < b->LineNo : a->Left < b->Left;
  });
}

void TOmnifontOCR::MergeFragments() { TFragmentMerger(*this).Run(); }

}  // namespace omniocr
