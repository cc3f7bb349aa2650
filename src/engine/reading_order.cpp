// Reading order (line by line, left to right) and the merging of fragments
// that belong to one character: the dot of an i or j, an accent, the pieces
// of a character broken across its x-height zone, a piece broken off on the
// left. Two of the rules darken a pixel or two of the page so that the glyph
// cut out later is one connected shape.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>
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
  // The probes only read; the paper column, which few characters have, is
  // asked first.
  return ProbeRect(page, quarterX, quarterY, quarterX, b, thr, 1) == 0 &&
         CountCrossings(page, l, (t + b) / 2, r, (t + b) / 2, thr) == 1 &&
         CountCrossings(page, l, threeQuarterY, r, threeQuarterY, thr) == 1 &&
         ProbeRect(page, l, quarterY, quarterX, threeQuarterY, thr, 1) == 0 &&
         ProbeRect(page, l, t, l, quarterY, thr, 1) != 0;
}

// The walk goes by list position while merged-away entries leave the list.
// Removing each one from the list at once would shift the whole tail on every
// merge; instead they are marked dead and the list is compacted at the end,
// with positions counted over the live entries only, exactly as if each had
// been removed at once.
class TFragmentMerger {
 public:
  explicit TFragmentMerger(TOmnifontOCR& engine)
      : Engine(engine),
        Chars(engine.Chars),
        Page(*engine.Page),
        Thr(engine.Threshold),
        Budget(kPartnerTestsPerPixel * Page.Width() * Page.Height()) {}

  void Run() {
    // After the sort every line is one run of the list, and merges only
    // remove entries, so the partners of p are looked for in its run alone.
    Grouped = IsGroupedByLine();
    if (Grouped) FindRuns();
    Dead.assign(static_cast<std::size_t>(Chars.Count()), 0);
    int i = 0;
    while (i < Chars.Count()) {
      Position = i;
      RemovedBefore = 0;
      TOCRChar& p = *Chars[i];
      if (!IsPassedOver(p)) {
        TAbsorber absorber(p);
        MergeStacked(absorber);
        MergeJoinedOnLeft(absorber);
        MergeDetachedStem(absorber);
      }
      // The walk steps on by one position of the list as it now stands: when
      // entries before p went, p moved up and as many entries after it are
      // passed over.
      i = LiveAfter(i, RemovedBefore + 1);
    }
    Compact();
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

  bool IsDead(int i) const { return Dead[static_cast<std::size_t>(i)] != 0; }

  // The index of the count-th live entry after i, or the list's end.
  int LiveAfter(int i, int count) const {
    int j = i;
    while (count > 0 && ++j < Chars.Count())
      if (!IsDead(j)) --count;
    return std::min(j, Chars.Count());
  }

  // Indices [first, last) that can hold a character of p's line. Dead entries
  // keep their line, so the runs found before the walk stay as they are.
  void LineRun(int& first, int& last) const {
    if (!Grouped) {
      first = 0;
      last = Chars.Count();
      return;
    }
    first = RunFirst[static_cast<std::size_t>(Position)];
    last = RunLast[static_cast<std::size_t>(Position)];
  }

  void FindRuns() {
    const int n = Chars.Count();
    RunFirst.assign(static_cast<std::size_t>(n), 0);
    RunLast.assign(static_cast<std::size_t>(n), 0);
    for (int first = 0; first < n;) {
      int last = first + 1;
      while (last < n && Chars[last]->LineNo == Chars[first]->LineNo) ++last;
      for (int i = first; i < last; ++i) {
        RunFirst[static_cast<std::size_t>(i)] = first;
        RunLast[static_cast<std::size_t>(i)] = last;
      }
      first = last;
    }
  }

  // Walks the other characters of p's line, in list order, merging every one
  // the test accepts. After a merge the walk goes on with the next position,
  // so the entry that moved into the merged one's place is not tested.
  template <typename Accept>
  void WalkPartners(TAbsorber& p, Accept&& accept) {
    int first = 0, last = 0;
    LineRun(first, last);
    // A line of thousands of specks would cost the square of its length:
    // past a budget in proportion to the page, nothing more is merged.
    if (Tests >= Budget) return;
    Tests += last - first;
    bool passOverNext = false;
    for (int j = first; j < last; ++j) {
      if (IsDead(j)) continue;
      if (passOverNext) {
        passOverNext = false;
        continue;
      }
      if (j == Position) continue;
      TOCRChar& q = *Chars[j];
      if (q.IsRejected() || q.LineNo != p.P.LineNo || !accept(q)) continue;
      Absorb(p, j);
      passOverNext = true;
    }
  }

  void Absorb(TAbsorber& p, int j) {
    const TOCRChar& q = *Chars[j];
    p.P.Left = std::min(p.P.Left, q.Left);
    p.P.Right = std::max(p.P.Right, q.Right);
    p.P.Top = std::min(p.P.Top, q.Top);
    p.P.Bottom = std::max(p.P.Bottom, q.Bottom);
    --Engine.CharCount;
    Dead[static_cast<std::size_t>(j)] = 1;
    if (j < Position) ++RemovedBefore;
  }

  // Frees the merged-away records and closes the gaps, keeping the order.
  void Compact() {
    auto& items = Chars.Storage();
    std::size_t kept = 0;
    for (std::size_t i = 0; i < items.size(); ++i)
      if (Dead[i] == 0) items[kept++] = std::move(items[i]);
    items.resize(kept);
  }

  void Darken(int x, int y) { SetPixelMasked(Page, x, y, 63, 0); }
  bool InkIn(int x1, int x2, int y1, int y2) const { return ProbeRect(Page, x1, y1, x2, y2, Thr, 1) != 0; }

  // Rule 1: dots, accents and pieces stacked over or under p, for a p of less
  // than half the line's height.
  void MergeStacked(TAbsorber& p) {
    if (p.D - p.A <= 2 * (p.b() - p.t())) return;
    // Both tests only read; the gap test, which turns away every box beside
    // p on its line, goes first.
    WalkPartners(p, [&](const TOCRChar& q) {
      return StackedGapIsSmall(p, q) && IsStackedCandidate(p, q, Engine.MeanCharWidth);
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
  std::vector<int> RunFirst, RunLast;  // the run of each index's line
  // Merged away, freed when the walk is done; a byte each, as the walks
  // test it for every partner.
  std::vector<std::uint8_t> Dead;
  int Position = 0;       // index of p
  int RemovedBefore = 0;  // entries before p merged away while p absorbs
  // Partner tests allowed per page pixel: a page of text spends under 0.01.
  static constexpr std::int64_t kPartnerTestsPerPixel = 4;
  const std::int64_t Budget;
  std::int64_t Tests = 0;
};

}  // namespace

void TOmnifontOCR::SortReadingOrder() {
  // Stable, so that equal keys (a dot over its stem) keep extraction order.
  // The keys are sorted as a compact array, then the records follow.
  struct TKey {
    std::int32_t LineNo, Left, Position;
  };
  auto& items = Chars.Storage();
  std::vector<TKey> keys;
  keys.reserve(items.size());
  for (std::size_t i = 0; i < items.size(); ++i)
    keys.push_back({items[i]->LineNo, items[i]->Left, static_cast<std::int32_t>(i)});
  std::stable_sort(keys.begin(), keys.end(), [](const TKey& a, const TKey& b) {
    return a.LineNo != b.LineNo ? a.LineNo < b.LineNo : a.Left < b.Left;
  });
  std::vector<std::unique_ptr<TOCRChar>> sorted;
  sorted.reserve(items.size());
  for (const TKey& key : keys) sorted.push_back(std::move(items[static_cast<std::size_t>(key.Position)]));
  items = std::move(sorted);
}

void TOmnifontOCR::MergeFragments() { TFragmentMerger(*this).Run(); }

}  // namespace omniocr
