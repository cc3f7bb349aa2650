// Splitting of characters joined by a thin bar along their top or bottom row
// (touching serifs, a shared cross-bar, a stroke along the feet). The bar is
// opened in the page between the first two stems that hang from it, and the
// box is split there when a clear vertical path runs through the component.

#include <algorithm>
#include <memory>

#include "engine/byte_scan.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"
#include "engine/page_marks.h"

namespace omniocr {

namespace {

// The probes of this stage on the run's page, with the run's threshold.
class TBarProbe {
 public:
  TBarProbe(TDIB& page, int threshold) : Page(page), Threshold(threshold) {}

  // Along a row, as most of this stage's runs go, eight pixels at a time.
  int Run(int x, int y, int direction, int target, int n) const {
    if (direction != dirRight) return ScanRun(Page, x, y, direction, target, Threshold, n);
    if (!Page.Inside(x, y)) return 0;
    return PixelsBeforeClass(Page.Row(y) + x, std::min(n, Page.Width() - x), Threshold, target == tgInk);
  }
  // Ink runs met along row y from x1 to x2; columns past the page read as paper.
  int Cross(int x1, int x2, int y) const { return CountCrossings(Page, x1, y, x2, y, Threshold); }
  bool InkInColumn(int x, int y1, int y2) const { return ProbeRect(Page, x, y1, x, y2, Threshold, 1) != 0; }
  void Whiten(int x, int y) { SetPixelMasked(Page, x, y, 255, 192); }

 private:
  TDIB& Page;
  const int Threshold;
};

// Which edge of the box the bar runs along. The bottom pass is the top pass
// mirrored: rows counted upward from the bottom row.
enum TBarEdge { beTop, beBottom };

struct TBarCut {
  int X1 = 0;  // the column cut through the bar, in the gap between the stems
  int Dx = 0;  // offset of the clear path found along the foot of the box
};

class TBarSplitter {
 public:
  TBarSplitter(TOmnifontOCR& engine, TOCRChar& p, TBarEdge edge)
      : Engine(engine), P(p), Edge(edge), Probe(*engine.Page, engine.Threshold) {}

  void Pass() {
    int x = P.Left - 1;
    while (Edge == beTop ? x + 4 < P.Right : x < P.Right) {
      const int L = P.Left, R = P.Right;
      x = x + 1;
      x = x + Probe.Run(x, EdgeRow(), dirRight, tgInk, R - L);
      int w = Probe.Run(x, EdgeRow(), dirRight, tgPaper, R - L);
      if (x + w > R + 1) return;
      w = std::max(w, Probe.Run(x, InnerRow(1), dirRight, tgPaper, R - L));
      if (x + w > R + 1) return;
      TBarCut cut;
      if (!FindCut(x, w, cut)) {
        x = x + w;
        continue;
      }
      OpenBar(cut.X1);
      cut.Dx = ClearPathOffset(cut.X1);
      if (!PathIsClear(cut)) {
        x = x + w;
        continue;
      }
      Split(cut.X1);
      x = P.Left;
    }
  }

 private:
  int Height() const { return P.Bottom - P.Top + 1; }
  int Span() const { return P.Bottom - P.Top; }  // the height less one
  int EdgeRow() const { return Edge == beTop ? P.Top : P.Bottom; }
  // The row k rows inside the box from the bar's edge.
  int InnerRow(int k) const { return Edge == beTop ? P.Top + k : P.Bottom - k; }
  int Inward() const { return Edge == beTop ? dirDown : dirUp; }

  // Thickness of the bar starting at column x: set only when it is thinner
  // than an eighth of the height. Each run stops where the outcome of its
  // test is settled (a longer run could only confirm it), so a stem is not
  // followed down its whole length.
  bool Thickness(int x, int w, int& c) const {
    if (w == 0) return false;
    const int h = Span();
    c = Probe.Run(x, EdgeRow(), Inward(), tgInk, std::min(h, h / 8 + 1));
    if (8 * c > h) return false;
    c = c + Probe.Run(x, InnerRow(c), Inward(), tgPaper, std::min(h, std::max(0, (h - 8 * c + 7) / 8)));
    return 8 * c < h;
  }

  // Under (or above) the bar, at least two stems, separated by a gap of two
  // pixels or more, the second one followed by paper still under the bar.
  bool FindCut(int x, int w, TBarCut& cut) const {
    // A bar of five pixels or fewer is never cut; the probes below only
    // read, so it is turned down before they are asked.
    if (w <= 5) return false;
    int c = 0;
    if (!Thickness(x, w, c)) return false;
    const int L = P.Left, R = P.Right;
    const int yc = InnerRow(c + Height() / 32);
    const int ycBeyond = Edge == beTop ? yc + 1 : yc - 1;
    if (Probe.Run(x, yc, dirRight, tgInk, R - L) < 1) return false;
    if (Probe.Cross(x, x + w, yc) < 2) return false;
    int x1 = x + Probe.Run(x, yc, dirRight, tgInk, R - L);
    x1 = x1 + Probe.Run(x1, yc, dirRight, tgPaper, R - L);
    const int g = Probe.Run(x1, yc, dirRight, tgInk, R - L);
    if (g < 2) return false;
    x1 = x1 + g / 2;
    int x2 = x1 + std::max(Probe.Run(x1, yc, dirRight, tgInk, R - x1),
                           Probe.Run(x1, ycBeyond, dirRight, tgInk, R - x1));
    x2 = x2 + Probe.Run(x2, yc, dirRight, tgPaper, R - x2);
    if (Probe.Run(x2, yc, dirRight, tgInk, R - x2) < 2 || x2 >= x + w) return false;
    cut.X1 = x1;
    return true;
  }

  // Turns a short piece of the bar at column x1 to paper. This stays even
  // when no clear path is found.
  void OpenBar(int x1) {
    for (int k = 0; k < (Height() + 4) / 8; ++k) Probe.Whiten(x1, InnerRow(k));
  }

  // The row the clear path rises from: the bottom row, or for the top pass
  // the baseline of a character reaching below the middle of its descender
  // zone.
  int FootRow() const {
    if (Edge == beBottom) return P.Top;
    if (P.Top < P.BaseLine && P.BaseLine + P.DescLine < 2 * P.Bottom) return P.BaseLine;
    return P.Bottom;
  }

  // A column within reach whose paper runs from the foot row more than half
  // the height into the box, reachable from x1 along the middle row without
  // meeting ink; the left side first at each distance. 0 when there is none.
  int ClearPathOffset(int x1) const {
    const int yb = FootRow();
    const int mid = (P.Top + P.Bottom) / 2;
    const int toward = Edge == beTop ? dirUp : dirDown;
    const int depth = Edge == beTop ? yb - P.Top : Span();
    for (int k = 0; k < (P.Right - P.Left + 4) / 8; ++k) {
      if (Probe.Run(x1 - k, yb, toward, tgInk, depth) > Height() / 2 &&
          Probe.Run(x1, mid, dirLeft, tgInk, k + 1) >= k)
        return -k;
      if (Probe.Run(x1 + k, yb, toward, tgInk, depth) > Height() / 2 &&
          Probe.Run(x1, mid, dirRight, tgInk, k + 1) >= k)
        return k;
    }
    return 0;
  }

  bool PathIsClear(const TBarCut& cut) const {
    const int mid = (P.Top + P.Bottom) / 2;
    if (Edge == beTop)
      return !Probe.InkInColumn(cut.X1, P.Top, mid) && !Probe.InkInColumn(cut.X1 + cut.Dx, mid, FootRow());
    return !Probe.InkInColumn(cut.X1, mid, P.Bottom) && !Probe.InkInColumn(cut.X1 + cut.Dx, P.Top, mid);
  }

  // The left part becomes a new record at the end of the list; p keeps the
  // right part. After a top cut column x1 belongs to neither part, after a
  // bottom cut it stays with p.
  void Split(int x1) {
    std::unique_ptr<TOCRChar> left = CopyRecord(P);
    left->Right = x1 - 1;
    P.Left = Edge == beTop ? x1 + 1 : x1;
    left->Id = Engine.CharCount;
    Engine.Chars.Add(std::move(left));
    ++Engine.CharCount;
  }

  TOmnifontOCR& Engine;
  TOCRChar& P;
  const TBarEdge Edge;
  TBarProbe Probe;
};

}  // namespace

void TOmnifontOCR::SplitBarJoined() {
  const int initialCount = Chars.Count();
  for (int k = 0; k < initialCount; ++k) {
    TOCRChar& p = *Chars[k];
    TBarSplitter(*this, p, beTop).Pass();
    TBarSplitter(*this, p, beBottom).Pass();
  }
}

}  // namespace omniocr
