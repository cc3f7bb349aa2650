// Recognisers for R, S and T: a test for r and one for R, one test for the
// S pair, a test for T and one for t. Each test starts from its own
// confidence and ends, without a candidate, at its first failed check.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/box_holes.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TLetterRSTTests : public TGlyphView {
 public:
  explicit TLetterRSTTests(const TGlyphView& view) : TGlyphView(view) {}

  void LowerR() const;
  void UpperR() const;
  void S() const;
  void UpperT() const;
  void LowerT() const;

 private:
  bool RStemRunsDown() const;
  bool RArmCoversRightHalf() const;
  // pg: the same box on the page, where neighbours' ink inside it counts.
  bool RPageOutline(const TGlyphView& pg) const;
  bool SSpineMeetsLeftCurve() const;
  bool TStemNarrowUnderBar(int barWidth) const;
  bool TStemNarrowAtFoot(int barWidth) const;
  bool tTopQuarterSmooth() const;
  bool tPaperUnderInkPair(int yb) const;
  // Pixel (x, y) is paper and the one above it ink (asked first: above the
  // bar most pixels are paper).
  bool PaperUnderInk(int x, int y) const { return px(x, y - 1) && !px(x, y); }
  // The view's holes of a box-relative page rectangle, read off the box's
  // own holes where they tell them.
  int holes(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, L + x1, L + x2, T + y1, T + y2);
  }
};

// The stem of r from mid-height down: one run per row above the foot, on the
// left, the row's ink centred in the left half.
bool TLetterRSTTests::RStemRunsDown() const {
  for (int y = H2; y < H - (H + 20) / 32; ++y) {
    const int l = lm(y), r = rm(y);
    if ((y < H - H4 && hx(y) != 1) || l > 3 * W / 8 || r < l || (l + Wm - r) / 2 >= W2) return false;
  }
  return true;
}

bool TLetterRSTTests::RArmCoversRightHalf() const { return inkEveryColumn(W2, Wm, 0, H4); }

void TLetterRSTTests::LowerR() const {
  // No hole at all: an r has none, and the count costs nothing to ask.
  if (!(H > 4 && W > 2 && HoleCount() == 0 && 2 * H >= BaseLine() - AscLine())) return;
  // Open to the right at mid-height.
  const int mid = rm(H2);
  if (!(mid > W8 + 1)) return;
  if (W > 4 && !(mid > W8 + 2)) return;
  // Single rows and kept margins first; the stem and arm scans after them.
  if (!(hx(H2) == 1 || hx(H2 + 1) == 1)) return;
  if (!(rm(Hm - H4) <= 5 * W / 8 || !inkIn(Wm - W8, Wm, Hm - H4, Hm))) return;
  if (!(lm(5 * H / 8) > W8 || rm(5 * H / 8) < 5 * H / 8 || bm(W2) > H8)) return;
  if (!RArmCoversRightHalf()) return;
  if (!RStemRunsDown()) return;
  TConf c;
  // Row 3H/8 pushed to the right: left to the R test when the top reaches
  // the left edge, doubtful otherwise.
  if (rm(3 * H / 8) + W8 < lm(3 * H / 8)) {
    if (lm(H8) < W8) return;
    c = 98;
  }
  if (!(lm(H4) <= 3 * W / 8 || !inkIn(0, W8, 0, H4))) return;
  // Two feet low down: an n or an h, not an r.
  for (int y = 3 * H / 4; y < Hm; ++y)
    if (hx(y) == 2 && hx(y + 1 + H32) == 2) return;
  if (MarkAbove() != 0) c *= 98;
  if (Tall()) c *= 96;
  if (Descends()) c *= 97;
  add(u'r', c);
}

// The outline of R on the page: a stem on the left, a bowl across the top,
// a leg parted from the stem at the foot.
bool TLetterRSTTests::RPageOutline(const TGlyphView& pg) const {
  if (!pg.inkEveryRow(0, W2, H8, Hm - H8)) return false;
  if (!pg.inkEveryColumn(3 * W / 8, Wm - W4, 0, H4)) return false;
  if (pg.inkEveryColumn(W4, Wm - W4, Hm - H4, Hm)) return false;  // no gap at the foot
  if (!pg.someVx(W / 3, Wm - W8, 2)) return false;
  if (!pg.someHx(0, 3 * H / 8, 2)) return false;
  if (!pg.someHx(Hm - H4, Hm, 2)) return false;
  return pg.inkIn(Wm - W / 3, Wm, 0, H4);
}

void TLetterRSTTests::UpperR() const {
  // Two holes never make an R (see below); the count costs nothing to ask.
  if (!(W >= 3 && H > 3 && 2 * H >= W && HoleCount() <= 1)) return;
  // Bowl and leg: kept margins, asked before the page is probed.
  const int a = rm(H4);
  if (a > W2) return;
  int b = rm(H2);
  if (a >= b) return;
  b = std::max(b, rm(5 * H / 8));
  if (rm(Hm - H8) >= std::max(b, rm(6 * H / 8))) return;
  // A straight stem.
  if (std::abs(lm(H4) + lm(Hm - H4) - 2 * lm(H2)) > W16 + 1) return;
  if (H > 15 && rm(H2) >= rm(Hm) && rm(3 * H / 16) >= W8 + rm(H16)) return;
  const TGlyphView pg = page();  // the same box on the page
  if (pg.hx(Hm - H8) < 2) return;
  if (H > 15 && tm(W2) > H8 && run(W2, H16, right, ink, W) < W2) return;
  if (!RPageOutline(pg)) return;
  const bool oneRun = pg.someHx(H3, Hm - H3, 1);  // one run in the middle on the page
  TConf c = oneRun ? 100 : 95;
  if (H > 7 && rm(H - H8 - 2) < rm(H - 2)) {
    c *= 98;
    if (rm(Hm - H4) == 0 && rm(H - H8 - 2) > 0) return;
  }
  if (HoleCount() != 1) {
    const int hp = holes(0, Wm, 0, Hm - H3);
    if (hp == 0) c *= 90;
  }
  if (HoleCount() < 1) c *= 90;
  if (!Tall()) c *= 98;
  add(u'R', Descends() ? Factor(c, 98) : int(c));
}

// The spine: two rows in the middle crossed by one stroke that still reaches
// into the left quarter. Two runs on the upper row would turn every S away:
// the middle band of an S holds the spine alone.
bool TLetterRSTTests::SSpineMeetsLeftCurve() const {
  for (int y = 7 * H / 16; y < 5 * H / 8; ++y)
    if (hx(y) == 1 && hx(y + 1) == 1 && cross(0, y, W4, y) == 1) return true;
  return false;
}

void TLetterRSTTests::S() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 1)) return;
  // All must hold: the middle rows' single run and the two strokes below
  // are asked before the centre's three runs, which may need a slanted
  // crossing.
  if (!(hx(H2) == 1 || hx(H2 - 1) == 1)) return;
  if (HoleCount() > 0 && Holes[0].MinY > H4) return;  // a hole lies in the upper bay
  // The lower stroke reaches the right quarter on row yl, and the upper
  // one the left on row H/4: two kept margins, before the runs beside them.
  const int yl = 11 * H / 16;
  const int r = rm(yl);
  if (!(r <= W4)) return;
  const int a = lm(H4);
  if (!(a <= 3 * W / 8)) return;
  // Upper stroke on row H/4: xu is the middle of the bay right of it.
  const int k = run(a, H4, right, paper, W);
  if (!(a + k <= W2)) return;
  const int g = run(a + k, H4, right, ink, W);
  const int xu = (2 * (a + k) + g) / 2;
  // Lower stroke on row yl: xl is the middle of the bay left of it.
  const int k2 = run(Wm - r, yl, left, paper, W);
  if (!(r + k2 <= W2)) return;
  const int g2 = run(Wm - r - k2, yl, left, ink, W);
  const int xl = Wm - (2 * (r + k2) + g2) / 2;
  if (!(vx(W2) == 3 || cross(5 * W / 8, 0, 3 * W / 8, Hm) == 3)) return;
  if (!inkEveryRow(0, xu, H4, H2 - 1)) return;
  bool upperBayOpensRight = false;
  for (int y = H4; y < H2 && !upperBayOpensRight; ++y) upperBayOpensRight = rm(y) > W8;
  if (!upperBayOpensRight) return;
  // The left edge bows in between the top and the spine.
  {
    const int A = lm(H16), C = lm(H4), D = lm(7 * H / 16);
    const int E = 2 * C + W32;
    if (E >= A + D) {
      if (A + D < E || W > 9) return;
      if (2 * (C + fw(H4)) + W32 >=
          A + run(A, H16, right, paper, W) + D + run(D, 7 * H / 16, right, paper, W))
        return;
    }
  }
  if (!SSpineMeetsLeftCurve()) return;
  if (lm(H32 + 1) + W4 < rm(Hm - H32 - 1)) return;
  // The lower bay is open to the left: a path through paper, the dearest
  // probe of the test, asked last.
  {
    const int d = run(0, H2, down, paper, H2);
    const int ys = H2 + d == H ? Hm : H2 + d;
    if (!connects(0, ys, xl, yl)) return;
  }
  TConf c = Descends() ? 98 : 100;
  if (!Tall()) {
    add(u's', c);
    add(u'S', Factor(c, 98));
    return;
  }
  // Under the top stroke the right side holds ink; under the spine the left
  // side holds none.
  const int top = tm(W2);
  const int y1 = top + run(W2, top, down, paper, H) + H32;
  const bool p = inkIn(W2, Wm, y1, y1);
  const int k3 = run(W2, y1, down, ink, H);
  const int y2 = y1 + k3 + run(W2, y1 + k3, down, paper, H) + H32;
  const bool q = inkIn(0, W2, y2, y2);
  if (!p) c *= 90;
  if (q) c *= 95;
  if (H > 29 && W > 15 && run(W4, 3 * H / 10, down, paper, H) > 0 &&
      run(Wm - 1, 3 * H / 4, up, paper, H) > 0 && cross(W4, 3 * H / 10, Wm - 1, 3 * H / 4) != 1)
    c *= 90;
  add(u'S', c);
  add(u's', Factor(c, 98));
}

// Below the bar the stem stays under half the bar's width.
bool TLetterRSTTests::TStemNarrowUnderBar(int barWidth) const {
  for (int y = H4; y < 3 * H / 4; ++y) {
    const int e = W4 + run(W4, y, right, ink, W);
    if (e == 3 * W / 16 || 2 * run(e, y, right, paper, W) > barWidth) return false;
  }
  return true;
}

// At the foot the stem (a serif included) stays under three quarters of it.
bool TLetterRSTTests::TStemNarrowAtFoot(int barWidth) const {
  for (int y = 3 * H / 4; y < H; ++y) {
    const int g = run(W4, y, right, ink, W);
    if (4 * run(g, y, right, paper, W) > 3 * barWidth) return false;
  }
  return true;
}

void TLetterRSTTests::UpperT() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1)) return;
  // A bar across the top on the page.
  if (!P.someRowSolid(L + W4, R - W8, T, T + H / 6 - 1)) return;
  if (!inkIn(0, Wm, H2, H2)) return;
  // Paper on both sides of the stem below the middle turns most glyphs
  // away, so it is asked before the bar's left end.
  if (inkIn(0, W8, H2, Hm - H8) || inkIn(0, 3 * W / 16, H2, Hm - H4) || inkIn(Wm - W4, Wm, H2, Hm - H4))
    return;
  if (!inkIn(0, W / 3, 0, H8)) return;
  int barWidth = 0;
  for (int y = 0; y < H4; ++y) barWidth = std::max(barWidth, fw(y));
  if (!(barWidth > W2)) return;
  if (!TStemNarrowUnderBar(barWidth)) return;
  if (!TStemNarrowAtFoot(barWidth)) return;
  // The stem's right edge on row H/4 lies left of three quarters.
  int e = W2 + run(W2, H4, right, ink, W);
  if (e > 3 * W / 4) return;
  e += run(e, H4, right, paper, W);
  if (e > 3 * W / 4) return;
  if (hx(Hm) != 1 && hx(Hm - 1) != 1) return;
  if (hx(2 * H / 3) != 1) return;
  // Hanging below the line with the top-left corner empty for a quarter of
  // the height: not a T.
  if (BaseLine() > 0 && BaseLine() + DescLine() < 2 * B && run(0, 0, down, ink, H4) >= H4) return;
  TConf c = Descends() ? 95 : 100;
  if (lm(Hm) <= W8) c *= 99;
  if (fw(H2) >= lm(H2)) c *= 95;
  add(u'T', c);
}

// Rows of the top quarter: never two in a row with two runs, and the right
// margin never widening by more than one pixel from a row to the next.
bool TLetterRSTTests::tTopQuarterSmooth() const {
  for (int y = 1; y < H4; ++y) {
    if (hx(y - 1) == 2 && hx(y) == 2) return false;
    if (rm(y) > rm(y - 1) + 1) return false;
  }
  return true;
}

// Two paper pixels side by side under two ink pixels, above the bar: two
// neighbouring columns x - 1 and x of row y (x up to W - 2) that each hold
// paper under ink. Each column is looked at once, its answer carried on to
// the pair to its right.
bool TLetterRSTTests::tPaperUnderInkPair(int yb) const {
  for (int y = 1; y < yb; ++y) {
    bool left = PaperUnderInk(0, y);
    for (int x = 1; x <= W - 2; ++x) {
      const bool right = PaperUnderInk(x, y);
      if (left && right) return true;
      left = right;
    }
  }
  return false;
}

void TLetterRSTTests::LowerT() const {
  if (!(W > 2 && H >= BaseLine() - MeanLine() - 1 && HoleCount() <= 1)) return;
  // The top rows start no further left than the bar's row: kept margins,
  // asked before the bar is looked for.
  if (lm(H4) - std::min(lm(0), lm(1)) > 1) return;
  const int c0 = BaseLine() - MeanLine() + 1 < H ? 100 : 96;
  // The cross bar: the widest first run between the top fifth and the
  // middle. A box too low for the scan keeps no bar (D = 0, yb = 0).
  int D = 0, yb = 0;
  {
    int y = H32 + 3 * H / 16;
    for (; y < H2; ++y) {
      if (y == 0) continue;
      if (y > H4 && lm(y) > W2) break;
      // A stop turns the glyph away below, so a row's run is measured only
      // once the row has passed both stops.
      if (y < 11 * H / 16 && hx(y) != 1 && (hx(y + 1) != 1 || H < 13)) break;
      const int f = fw(y);
      if (f > D) {
        D = f;
        yb = y;
      }
    }
    if (y < H2) return;
  }
  if (H > 12 && D > 4 && D > W2 && yb <= (Hm + 5) / 8 &&
      run(Wm - D / 4, yb, up, paper, H) + 1 >= run(Wm - 3 * D / 4, yb, up, paper, H) &&
      run(0, H2, up, paper, H) > W8)
    return;
  TConf c = D < W2 ? Factor(c0, 95) : c0;
  if (D >= W && 9 * W >= 8 * H) c *= 99;
  if (!tTopQuarterSmooth()) return;
  bool narrowsAboveBar = false;
  for (int y = H8; y < yb && !narrowsAboveBar; ++y) narrowsAboveBar = rm(y) > rm(yb);
  if (!narrowsAboveBar) return;
  if (2 * D < 3 * fw(H2)) return;
  if (rm(yb) >= rm(H2) - W8 && rm(yb) - W8 >= rm(yb / 2)) return;
  if (tPaperUnderInkPair(yb)) return;
  if (hx(Hm - 1) == 2 && hx(Hm) == 2) return;
  if (H > 15 && lm(3 * H / 4) >= lm(Hm - 1) && rm(Hm - 1) >= rm(3 * H / 4) && rm(1) < rm(3 * H / 16) &&
      (lm(3 * H / 16) < lm(1) || rm(0) == 0 || rm(1) == 0))
    return;
  if (W < 8 && H > 12) {
    const int j = rm(3 * H / 16);
    if (j > 0 && tm(W - j) < 3 * H / 16 && lm(3 * H / 4) + 1 >= lm(Hm - 1) && rm(Hm - 1) >= rm(3 * H / 4))
      return;
  }
  if (W > 7 && hx(2 * H / 3) > 1 && cross(0, 2 * H / 3, W2, 2 * H / 3) > 0 &&
      cross(W2, 2 * H / 3, Wm, 2 * H / 3) > 0 && HoleCount() > 0 && Holes[0].MinY > H4)
    return;
  if (hx(3 * H / 4) > 1 && hx(3 * H / 4 - 1) > 1) {
    if (bm(W2) > H4 || bm(W2 + 1) > H4) return;
    c *= 99;
  }
  {
    const int j = rm(H2);
    if (j < rm(H8) && tm(W - j) >= H2) c *= 90;
  }
  if (!Tall()) c *= 98;
  if (T >= MeanLine() - (MeanLine() - AscLine()) / 4) c *= 98;
  if (T >= MeanLine()) c *= 98;
  if (HoleCount() > 0) c *= 95;
  if (Descends()) c *= 98;
  add(u't', MarkAbove() != 0 ? Factor(c, 90) : int(c));
}

}  // namespace

void RecognizeR(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterRSTTests t(TGlyphView::OfBox(engine, context));
  t.LowerR();
  t.UpperR();
}

void RecognizeS(const TOmnifontOCR& engine, const TRecogContext& context) {
  TLetterRSTTests(TGlyphView::OfBox(engine, context)).S();
}

void RecognizeT(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterRSTTests t(TGlyphView::OfBox(engine, context));
  t.UpperT();
  t.LowerT();
}

}  // namespace omniocr
