// Recognisers for M and N: a lower-case test and an upper-case test each,
// independent of one another.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TLettersMN : public TGlyphView {
 public:
  explicit TLettersMN(const TGlyphView& view) : TGlyphView(view) {}

  void LowerM() const;
  void UpperM() const;
  void LowerN() const;
  void UpperN() const;

 private:
  // The first paper after the second ink run of row y.
  int SecondRunEnd(int y) const {
    const int a = secondRun(y);
    return a + inkRun(a, y);
  }
  // Thickness of the topmost ink of column x.
  int TopInk(int x) const { return run(x, tm(x), down, paper, H); }
  // lm and rm change by at most `step` from each row to the next over y1..y2 - 1.
  bool SidesStraight(int y1, int y2, int step) const;
  // On row y, the paper just left of the rightmost ink run (beside the
  // second run from the right) stays open upward for more than H/4.
  bool GapBesideRightRunOpensUp(int y) const;
  bool CrossesMiddleAt(int y) const { return cross(W / 6 + 2, y, Wm - W / 6 - 2, y) != 0; }
};

bool TLettersMN::SidesStraight(int y1, int y2, int step) const {
  for (int y = y1 + 1; y < y2; ++y)
    if (std::abs(lm(y) - lm(y - 1)) > step || std::abs(rm(y) - rm(y - 1)) > step) return false;
  return true;
}

bool TLettersMN::GapBesideRightRunOpensUp(int y) const {
  const int r = rm(y);
  const int k = run(Wm - r, y, left, paper, W);
  const int g = run(Wm - r - k, y, left, ink, W);
  return run(W - r - k - g, y, up, ink, H) > H4;
}

void TLettersMN::LowerM() const {
  if (!(W > 4 && H > 3 && HoleCount() <= 1 && (hx(H2) == 3 || hx(H2 + 1) == 3))) return;
  // Three stems on the middle row: a..e1, s2..e2, s3..
  const int y2 = H2;
  const int a = lm(y2);
  if (a > W4) return;
  const int e1 = a + run(a, y2, right, paper, W - a);
  if (e1 > W2) return;
  const int g1 = run(e1, y2, right, ink, W - e1);
  const int s2 = e1 + g1;
  if (s2 > 3 * W / 4) return;
  const int e2 = s2 + run(s2, y2, right, paper, W - s2);
  if (e2 > 6 * W / 8) return;
  const int g2 = run(e2, y2, right, ink, W - e2);
  const int s3 = e2 + g2;
  if (s3 < 5 * W / 8) return;
  if (std::abs(g1 - g2) > (g1 + g2) / 16 + 2) return;
  // A foot serif widens the bottom row: look one row above it.
  const int yb = fw(5 * H / 8) + 1 < fw(H - H32 - 1) ? Hm - 1 : Hm;
  // Both bays open at the bottom.
  {
    bool leftBayOpen = false, rightBayOpen = false;
    for (int x = e1; x < s2 && !leftBayOpen; ++x) leftBayOpen = run(x, yb, up, ink, H) > H4;
    for (int x = e2; x < s3 && !rightBayOpen; ++x) rightBayOpen = run(x, yb, up, ink, H) > H4;
    if (!leftBayOpen || !rightBayOpen) return;
  }
  // The middle stem reaches the bottom.
  {
    bool found = false;
    for (int x = e1; x < e2 && !found; ++x) found = run(x, Hm - 1, up, paper, H) > H4;
    if (!found) return;
  }
  // Both arches closed at the top.
  for (int x = e1; x < s3; ++x)
    if (tm(x) >= H2) return;
  // A much narrower right bay: the top stroke over the left bay must not thin.
  if (g2 + W16 < g1) {
    int thickest = 0;
    for (int x = (e1 + s2) / 2; x < s2; ++x) {
      const int t = TopInk(x);
      thickest = std::max(thickest, t);
      if (2 * t < thickest) return;
    }
  }
  TConf c;
  if (Tall()) c *= 95;
  if (Descends()) c *= 90;
  // A hooked top-left corner.
  if (lm(H * 7 / 8) < run(1, H4, right, ink, W)) add(u'm', Factor(c, 90));
  // Arch walk: the top of each column after the first stem stays high.
  {
    const int from = lm(H4);
    int x = from + run(from, H4, right, paper, W);
    for (; x < s3; ++x) {
      const int t = tm(x);
      if (t >= H4) c *= 99;
      if (t > (Hm + 3) / 4) c *= 95;
      if (3 * t > H) break;
    }
    if (x < s3) return;
  }
  add(u'm', MarkAbove() != 0 ? Factor(c, 99) : int(c));
}

void TLettersMN::UpperM() const {
  // No hole: asked first, the count costs nothing.
  if (!(W > 4 && H > 3 && 2 * H >= W && HoleCount() == 0)) return;
  const int xMid = hx(H2), xQuarter = hx(H4), xThreeQuarters = hx(3 * H / 4);
  if (xMid < 3 && xQuarter < 3 && hx(5 * H / 8) < 3 && xThreeQuarters < 3) return;
  if ((xQuarter < 2 && hx(H8) < 2) || xThreeQuarters < 2) return;
  // Kept margins and crossings before the sides are followed row by row:
  // the middle stem, and three runs above and below but two in the middle.
  if (lm(7 * H / 16) + rm(7 * H / 16) > W2) return;
  if ((xMid == 2 && xQuarter > 2 && xThreeQuarters > 2) ||
      (xThreeQuarters == 2 && cross(W2, 3 * H / 4, W2, Hm) > 0))
    return;
  if (run(Wm - rm(Hm), Hm, left, paper, W) > W2) return;
  // A foot that widens to the left.
  if (H > 8 && bm(W4) < H4 && bm(3 * W / 8) < H4 && lm(Hm - H8) < lm(Hm - H16) - W32) return;
  if (tm(W2) < tm(3 * W / 4) && bm(3 * W / 4) < bm(W2)) return;
  if (run(W2, H8, down, ink, H) < run(3 * W / 4, H8, down, ink, H) &&
      run(3 * W / 4, Hm - H8, up, ink, H) < run(W2, Hm - H8, up, ink, H))
    return;
  if (xMid == 3) {
    int y = H2 + 1;
    while (y <= Hm && hx(y) >= 3) ++y;
    if (y > Hm) return;
    if (hx(y) == 2 && GapBesideRightRunOpensUp(y - 1)) return;
  }
  // The two sides change alike: every row's margins, asked after the
  // checks of a few rows.
  {
    int sl = 0, sr = 0;
    for (int y = H / 6; y < 5 * H / 6; ++y) {
      sl += std::abs(lm(y) - lm(y + 1));
      sr += std::abs(rm(y) - rm(y + 1));
    }
    if (std::abs(sl - sr) > W4) return;
  }
  // Vertex: the top margin deepens from the centre rightward.
  int depth = tm(W2), vertexX = W2;
  for (int x = W2 + 1; x < W - W4; ++x) {
    const int t = tm(x);
    if (t <= depth) break;
    depth = t;
    vertexX = x;
  }
  TConf c;
  if (depth < H4) {
    if (!Tall()) return;
    c = 99;
  }
  if (7 * fw(3 * H / 4) + 7 < W &&
      (cross(vertexX, depth, Wm, depth) != 2 || cross(0, depth, vertexX, depth) != 2))
    return;
  if (hx(0) != 2 && hx(1) != 2 && hx(2) != 2) return;
  if (xQuarter == 4 && xThreeQuarters == 4) {
    const int y4 = H4, y3 = 3 * H / 4;
    const int a4 = secondRun(y4), a3 = secondRun(y3);
    const int b4 = SecondRunEnd(y4), b3 = SecondRunEnd(y3);
    if (a4 >= a3 || b4 >= b3) return;
    // The third run of the lower row starts left of the upper row's.
    if (b3 + run(b3, y3, right, ink, W) >= b4 + run(b4, y4, right, ink, W)) return;
  }
  if (!(xMid != 2 || xQuarter != 2 || Tall())) return;
  if (H < 17 && hx(0) < 2) c *= 99;
  if (hx(1) <= 1) c *= 96;
  if (vx(W2) != 1) c *= 98;
  if (xQuarter <= 2 && xThreeQuarters <= 2 && W > 8 && H > 12) {
    int y = 5 * H / 16;
    while (y < 5 * H / 8 && hx(y) != 1) ++y;
    if (y < 5 * H / 8) {
      c *= 98;
      c *= 95;
      if (!CrossesMiddleAt(y - 2) || !CrossesMiddleAt(y - 1)) return;
    } else {
      c *= 98;
    }
  }
  if (tm(3 * W / 8) > H2 && bm(5 * W / 8) > H2) c *= 95;
  if (!Tall()) {
    if (lm(H4) < lm(Hm - H8) - W16) return;
    c *= 98;
  }
  add(u'M', Descends() ? Factor(c, 94) : int(c));
}

void TLettersMN::LowerN() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1)) return;
  {
    const int q = hx(H4);
    if (!(q == 2 || q == 3 || hx(H2) == 2)) return;
  }
  // Kept row crossings first: two runs in the middle, more than one low down.
  if (hx(3 * H / 4) == 1) return;
  if (!(hx(H2) == 2 || hx(H2 + 1) == 2)) return;
  if (!(tm(W2) <= H8 || !Tall())) return;
  // Nothing above the right shoulder but the arch itself.
  {
    const int xr = Wm - W4;
    const int t = tm(xr);
    if (t > H2) return;
    if (!(t < 2 || !inkIn(xr, Wm, 0, t - 2))) return;
  }
  // Two stems on the middle row: a..e and s..
  const int a = lm(H2);
  if (a > W4) return;
  const int e = a + run(a, H2, right, paper, W - a);
  if (e > W2) return;
  const int s = e + run(e, H2, right, ink, W - e);
  if (s < W2) return;
  if (s + run(s, H2, right, paper, W - s) < 3 * W / 4) return;
  // The arch is open at the bottom (asked first: it turns most glyphs
  // away) and closed at the top.
  {
    bool open = false;
    for (int x = e; x < s && !open; ++x) open = bm(x) > H4;
    if (!open) return;
    const int G = cross(W2, 13 * H / 16, Wm, 13 * H / 16) == 2 ? 3 * H / 8 : H4;
    const int limit = G < 2 && G < H2 ? G + 1 : G;
    for (int x = e; x < s; ++x)
      if (tm(x) >= limit) return;
  }
  // Low down, one run in the left half or ink in the right half (asked
  // after the arch: it turns few glyphs away).
  {
    const int y = 7 * H / 8;
    if (!(cross(0, y, W2, y) == 1 || cross(0, y - 1, W2, y - 1) == 1 || cross(W2, y, Wm, y) > 0)) return;
  }
  // The arch does not thin out toward the right stem.
  {
    int thickest = 0;
    for (int x = (e + s) / 2; x < s; ++x) {
      const int t = TopInk(x);
      thickest = std::max(thickest, t);
      if (t < thickest / 2) return;
    }
  }
  // Right stem reaches up into the upper half.
  {
    const int r = rm(H2);
    if (r >= 6 && inkIn(Wm - r / 2, Wm - r / 2, 0, H2)) return;
    const int k = run(Wm - r, H2, left, paper, W);
    if (!inkIn(Wm - r - k, Wm - r - k, 0, H2)) return;
  }
  if (!(px(W2, H4) || px(W2, Hm - 1) || !inkIn(W2, W2, H4, Hm - 1))) return;
  // A mark above the right half that is not an accent of this glyph.
  if (MarkAbove() >= 1 && AscLine() >= 1) {
    const bool markInk = P.inkIn((L + R) / 2, R, AscLine(), T - 1);
    if (!(!markInk || (hx(0) <= 2 && hx(1) <= 2))) return;
  }
  TConf c;
  if (H > 7 && rm(Hm - H2) + lm(Hm - H2) < rm(Hm - H8) + lm(Hm - H8) - W8 - 1) c = 90;
  {
    const int rb = rm(Hm) > W2 ? rm(Hm - 1) : rm(Hm);
    if (Tall() && rb - rm(Hm - H4) > 1) return;
  }
  if (Tall() && !px(0, Hm) && !px(0, Hm - 1) && !px(0, 1) && !px(0, 2)) return;
  if (!SidesStraight(H4, 3 * H / 4, 2)) return;
  if (hx(H4) >= 3) c *= 98;
  if (Tall() || 2 * T < AscLine() + MeanLine()) c *= 96;
  add(u'n', Descends() ? Factor(c, 96) : int(c));
}

void TLettersMN::UpperN() const {
  if (!(W > 4 && H > 3 && HoleCount() <= 1 && (hx(0) == 2 || hx(1) == 2) && (hx(Hm) == 2 || hx(Hm - 1) == 2)))
    return;
  if (lm(H2) + rm(H2) > W2) return;
  // A middle row where the diagonal merges with the stems into one run;
  // without one, the middle rows must mostly cross three runs. Both are
  // kept crossings, asked before the slanted crossing below.
  int y = 3 * H / 8;
  while (y < Hm - 3 * H / 8 && hx(y) != 1) ++y;
  const bool merged = y < Hm - 3 * H / 8;
  if (!merged) {
    int score = 0;
    for (int yy = 3 * H / 8; yy < Hm - 3 * H / 8; ++yy) score += hx(yy) == 3 ? 2 : -1;
    if (score < 1) return;
  }
  if (W > 3 && H > 7 && cross(0, H2 + H8, Wm, H2 - H8) < 2) return;
  // The diagonal leaves the left stem at (leaveX, leaveRow) and meets the
  // right stem at (meetX, meetRow).
  int leaveRow = 0, meetRow = 0, leaveX = 0, meetX = 0;
  if (merged) {
    // A row where the diagonal merges with the stems into one run.
    const int xl = W2 - W8 - 1, xr = W2 + W8 + 1;
    if (run(xr, y, up, paper, W) >= run(xl, y, up, paper, W)) return;
    if (run(xl, y, down, paper, W) >= run(xr, y, down, paper, W)) return;
    leaveRow = y - 1;
    meetRow = y + 1;
    leaveX = xl;
    meetX = xr;
  } else {
    // Follow the diagonal down from the top of the left stem.
    for (leaveRow = 1; leaveRow < 5 * H / 8;) {
      leaveX = lm(leaveRow) + fw(leaveRow);
      if (leaveX > 3 * W / 4) {
        leaveRow = H2;
        break;
      }
      if (!inkIn(leaveX, leaveX, leaveRow, Hm - H4)) break;
      if (!inkIn(leaveX + 1, leaveX + 1, leaveRow, Hm - H4)) break;
      ++leaveRow;
    }
    if (leaveRow >= 5 * H / 8) return;
    // Right of centre, the column whose paper reaches deepest below the top.
    int deepest = -1;
    for (int x = W2; x < W - W / 5; ++x) {
      const int f = run(x, H8 + 1, down, ink, Hm - H8);
      if (f > deepest) {
        deepest = f;
        meetX = x;
      }
    }
    meetRow = H8 + deepest;
    if (meetRow < H4) return;
  }
  {
    const int yEnd = meetX < leaveRow ? leaveRow - H8 : leaveRow;  // a column against a row, kept
    if (cross(leaveX, leaveRow, Wm, yEnd) != 2) return;
    if (cross(0, leaveRow, leaveX, leaveRow) != 1) return;
    if (cross(meetX, meetRow, Wm, meetRow) != 1) return;
    if (!(cross(0, meetRow, meetX, meetRow) == 2 || cross(leaveX, leaveRow, Wm, leaveRow) == 2)) return;
  }
  // The gap right of the diagonal narrows only gradually.
  TConf c;
  {
    int best = 0;
    for (int yy = std::max(meetRow, leaveRow); yy < Hm - H4; ++yy) {
      const int g = gap(yy);
      if (g + W16 + 1 < best && c > 98) c *= 99;
      if (g + W8 + 1 < best) return;
      best = std::max(best, g);
    }
  }
  {
    const int y8 = 7 * H / 8;
    const int a = lm(y8), k = fw(y8);
    const int g = run(a + k, y8, right, ink, W);
    if (a + k + g < (W - rm(y8)) * 5 / 8) return;
  }
  if (!Tall()) {
    if (std::abs(lm(H4) + rm(H4) - lm(3 * H / 4) - rm(3 * H / 4)) > W32 + 1) return;
    c *= 99;
  }
  add(u'N', Descends() ? Factor(c, 98) : int(c));
}

}  // namespace

void RecognizeM(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLettersMN t(TGlyphView::OfBox(engine, context));
  t.LowerM();
  t.UpperM();
}

void RecognizeN(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLettersMN t(TGlyphView::OfBox(engine, context));
  t.LowerN();
  t.UpperN();
}

}  // namespace omniocr
