// Recognisers for A, B and C: one test for the capital A and two for the
// small a (two-storey and one-storey), one each for B and b, and one test
// that offers C and c together with an early way out for a G.

#include <algorithm>

#include "engine/classify/box_holes.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TLetterABCTests : public TGlyphView {
 public:
  explicit TLetterABCTests(const TGlyphView& view) : TGlyphView(view) {}

  void UpperA() const;
  void TwoStoreyA() const;
  void OneStoreyA() const;
  void UpperB() const;
  void LowerB() const;
  void LetterC() const;

 private:
  // Every column x in [W/4, W - W/4) has both its top and its bottom margin
  // within the upper (lower) half: the bowl of an a spans the middle.
  bool MiddleColumnsClosed() const;
  // P.holes, read off the box's own holes where they tell it.
  int pageHoles(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, x1, x2, y1, y2);
  }
};

bool TLetterABCTests::MiddleColumnsClosed() const {
  for (int x = W4; x < W - W4; ++x)
    if (!(tm(x, Hm) <= H2 && bm(x, Hm) <= H2)) return false;
  return true;
}

void TLetterABCTests::UpperA() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 2)) return;
  // One hole, clear of the bottom quarter. Asked first, as it costs nothing:
  // every step before the offer can only reject, so their order decides
  // nothing.
  if (!(HoleCount() == 1 && Holes[0].MaxY < Hm - H4)) return;
  // Nothing under the apex at the foot; a single run near the top.
  if (inkIn(W2, W2, Hm - H8, Hm)) return;
  if (!(hx(1) == 1 || hx(H8) == 1 || hx(H16) == 1 || hx(H8 + 1) == 1)) return;
  // Two legs near the foot; the top-left corner is empty.
  if (!(hx(7 * H / 8) == 2 || hx(7 * H / 8 - 1) == 2)) return;
  if (!(cross(0, H8, W8, 0) < 1)) return;

  // Apex: the first row that splits into two runs.
  int y = H8;
  while (y < H2 && !(hx(y) > 1)) ++y;
  if (y >= H2) return;

  // The gap between the legs a little below the apex.
  const int yLegs = y + H / 10;
  int o = lm(yLegs);
  if (o > 3 * W / 4) return;
  o = o + inkRun(o, yLegs);
  if (o > 3 * W / 4) return;
  const int t = run(o, yLegs, right, ink, W);
  if (o + t < 3 * W / 8) return;
  const int xm = (2 * o + t) / 2;

  // Crossbar: down the middle of the gap to the bottom of the first bar.
  const int v = run(xm, y, down, paper, H);
  const int n = run(xm, y + v, down, ink, H);
  const int yb = y + v + n;
  const int conf = yb <= 3 * H / 4 ? 100 : 99;

  if (!(yb <= 5 * H / 6)) return;

  // Legs: from the crossbar down to the bottom row, every line meets one or
  // two strokes, and at least one meets exactly one.
  bool single = false;
  int k = W / 3;
  for (; k < 2 * W / 3; ++k) {
    int b = cross(xm, yb, k, Hm);
    if (b != 1 && b != 2) b = cross(xm, yb + H16, k, Hm);
    if (b == 1) single = true;
    if (b != 1 && b != 2) break;
  }
  if (!(k >= 2 * W / 3 && single)) return;

  if (!inkIn(Wm - W4, Wm, Hm - H4, Hm)) return;
  if (!(cross(0, H / 6, W8, 0) < 1 && cross(Wm - W4, 0, Wm, H / 6) < 1)) return;

  // Right side straight.
  {
    const int e = rm(H4), f = rm(H2), g = rm(Hm - H4);
    if (!(W4 + 2 * f >= e + g && e + g >= 2 * f - W8)) return;
  }
  // Left side straight and slanting outward.
  {
    const int e = lm(H4), f = lm(H2), g = lm(Hm - H4);
    if (!(W4 + 2 * f >= e + g && e + g >= 2 * f - W8 && e >= g)) return;
  }

  // The inner width of the margins never grows by more than W/16 downward.
  int narrowest = W;
  for (int row = H4; row < 7 * H / 8; ++row) {
    const int s = lm(row) + rm(row);
    if (s > narrowest + W16) return;
    if (lm(row) + 12 < narrowest) narrowest = s;
  }
  add(u'A', conf);
}

void TLetterABCTests::TwoStoreyA() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 2)) return;
  // One hole in the lower two thirds: read off the box's holes, asked before
  // the probes and scans as it costs next to nothing (every step before the
  // offer can only reject, so their order decides nothing).
  if (pageHoles(L, R, T + H3, B) != 1) return;
  if (!(P.inkIn(L, L + W2, B - H3, B - H3) && P.inkIn(R - W / 3, R, T + H3, T + H3) &&
        P.inkIn(R - W / 3, R, T + H4, T + H4) && P.inkIn(L + W2, L + W2, B - H3, B) &&
        P.inkIn(L + W2, L + W2, T, T + H3) && P.inkIn(L + W / 3, R - W / 3, T, T) &&
        (P.inkIn(L + W4, R - W2, B, B) || P.inkIn(L + W4, R - W / 3, B - 1, B - 1)) &&
        (P.inkIn(L, L, T + H2, B) || P.inkIn(L + W8, L + W8, T + H2, B)) && tm(3 * W / 8) <= 3 * H / 16 &&
        (hx(H4) < 3 || hx(H4 + 1) <= 2)))
    return;

  // Enough middle columns cross the arch, the upper stroke of the bowl and
  // its lower stroke, over the whole cut bitmap. Asked before the bowl spans
  // the middle, which rejects far fewer glyphs for as much work: both only
  // reject, so their order decides nothing.
  {
    const int needed = W8 + 1;
    int found = 0;
    for (int x = W4; x < W - W4 && found < needed; ++x)
      if (cross(x, 0, x, HB - 1) == 3) ++found;
    if (found < needed) return;
  }
  if (!MiddleColumnsClosed()) return;
  // The left side dents in somewhere between the arch's end and the bowl.
  {
    const int j0 = lm(H8), j1 = lm(3 * H / 4);
    bool bulge = false;
    for (int y = H8 + 1; y < 3 * H / 4 && !bulge; ++y) bulge = 2 * lm(y) > j0 + j1 + 1;
    if (!bulge) return;
  }
  // The stem: a right column with a long paper run down from H/4.
  {
    bool stem = false;
    for (int x = 3 * W / 4; x < W && !stem; ++x) stem = run(x, H4, down, paper, H2) > H4;
    if (!stem) return;
  }

  // A closed upper part: its stroke at H/4 is wide and reaches as far right
  // as the last row of the two-run band below it.
  if (pageHoles(L, R, T, B - H3) != 0) {
    const int g = lm(H4);
    const int m = inkRun(g, H4);
    if (m < W4 + 1) return;
    int y2 = H4;
    while (y2 < H2 && hx(y2) == 2) ++y2;
    const int q = lm(y2 - 1);
    if (g + m < q + inkRun(q, y2 - 1)) return;
  }

  TConf c = HoleCount() == 1 ? 100 : 96;
  if (Tall()) c *= 96;
  if (Descends()) c *= 96;
  add(u'a', c);
}

void TLetterABCTests::OneStoreyA() const {
  if (!(W > 3 && H > 4 && HoleCount() <= 2)) return;
  // Exactly one hole reaching above T + H/4 and below B - H/5: read off the
  // box's holes, asked first as it costs next to nothing (every step before
  // the offer can only reject, so their order decides nothing).
  if ((HoleCount() != 1 && pageHoles(L, R - 2, T, B) != 1) || pageHoles(L, R, T + H4, B - 1) != 0 ||
      pageHoles(L, R, T, B - H / 5) != 0)
    return;
  if (!(P.inkIn(L, L + W2, T + H2, T + H2) && P.inkIn(R - W2, R, T + H2, T + H2) &&
        P.inkIn(L + W2, L + W2, B - H2, B) && P.inkIn(L + W2, L + W2, T, T + H2) &&
        P.inkIn(L + W / 3, L + W / 3, T, T + H2)))
    return;

  // Centre column: a top and a bottom stroke only; the foot of the bowl and
  // its top edge are single strokes.
  if (P.inkIn(L + W2, L + W2, T + H2, B - H3) || P.px(L, B) || P.cross(L + W2, T, L + W2, B) != 2 ||
      (P.cross(L + W / 3, T, R - W / 3, T) != 1 && P.cross(L + W / 3, T + 1, R - W / 3, T + 1) != 1) ||
      (P.cross(L, B, R, B) != 2 && P.cross(L, B - 1, R, B - 1) != 2))
    return;

  // The bowl beside the stem.
  if (P.cross(L, T + H2, R, T + H2) != 2 || P.cross(L, T + H4, R, T + H4) != 2 ||
      (P.cross(L, T + H3, L, B - H4) != 1 && P.cross(L + 1, T + H3, L + 1, B - H4) != 1))
    return;

  if (lm(2, Wm) >= lm(0, Wm)) return;
  if (rm(Hm, Wm) > W4 && rm(H - 2, Wm) > (W + 4) / 8) return;

  // The right margin shrinks somewhere in the lower half: the stem's foot.
  {
    const int j = Hm - H2;
    int f = rm(j);
    int y = j;
    for (; y < H; ++y) {
      const int g = rm(y, Wm);
      if (g < f) break;
      f = g;
    }
    if (y >= H) return;
  }
  if (!MiddleColumnsClosed()) return;

  if (!(P.cross(L, B, R, B) != 1 || P.cross(L, T, R, T) != 1 || tm(Wm, Hm) <= H4 || bm(Wm, Hm) <= H4)) return;

  TConf c = Tall() ? 96 : 100;
  if (Descends()) c *= 96;
  add(u'a', c);
}

void TLetterABCTests::UpperB() const {
  if (!(W > 2 && H > 4 && HoleCount() > 1)) return;
  const int x3 = R - W / 3;
  const int j = B - H2;

  // The stem side holds ink on every row; the top-right corner is paper;
  // three strokes cross the middle.
  if (!P.inkEveryRow(L, xc, T, j - 1) || !P.inkEveryRow(L, L + W / 3, j, B - 1)) return;
  if (P.px(R, T)) return;
  if (!(P.cross(xc, T, xc, B) == 3 || P.cross(x3, T, x3, B) == 3)) return;

  // Lower counter on the centre column: the bottom stroke, the paper above
  // it, and the middle of that paper.
  int v = P.run(xc, B, up, ink, H);
  if (v > H8 + 1) return;
  v = v + P.run(xc, B - v, up, paper, H);
  if (v > H3) return;
  const int w = P.run(xc, B - v, up, ink, H);
  const int ym = B - v - w / 2;
  if (ym < T + 3 * H / 8) return;
  const int yl = ym - T;

  if (!(hx(yl) == 2 || hx(yl + 1) == 2)) return;
  if (!(hx(H4) == 2 || hx(H4 + 1) == 2 || hx(H4 - 1) == 2)) return;

  // Middle bar: the first single-run row below the upper counter.
  int l = H4;
  while (l < 3 * H / 4 && hx(l) != 1) ++l;
  if (l >= 3 * H / 4) return;

  // Straight stem.
  const int s = W32;
  if (!(P.lm(T + H4) + s >= P.lm(T + l) || P.px(L, T) || P.px(L, B))) return;
  if (!(H <= 16 || P.lm(B - H4) >= P.lm(T + H2) || P.lm(T + H4) + P.lm(B - H4) >= 2 * P.lm(T + H2) ||
        P.lm(T + 1) < P.lm(T + 3) + s || P.lm(T + 3) + s >= P.lm(T) || P.lm(B - 3) + s >= P.lm(B) ||
        P.lm(B - 3) + s >= P.lm(B - 1)))
    return;

  // One counter below the bar, one above it.
  if (HoleCount() != 2) return;
  if (!(Holes[0].MinY >= l - 1 || Holes[1].MinY >= l - 1)) return;
  if (!(l + 1 >= Holes[0].MaxY || l + 1 >= Holes[1].MaxY)) return;

  // The stem never steps right by more than W/9 past its leftmost point.
  {
    int leftmost = W;
    for (int m = H / 6; m < H - H8; ++m) {
      const int margin = P.lm(T + m);
      if (margin > leftmost + W / 9) return;
      leftmost = std::min(leftmost, margin);
    }
  }
  // Going up from the bottom row, the lower bowl only widens to the right.
  {
    int below = W;
    for (int d = 1; d < H4; ++d) {
      const int r = rm(H - d);
      if (r > below) return;
      below = r;
    }
  }
  // The stem does not bow left at the middle bar.
  {
    const int o = std::max({lm(H2), lm(H2 - 1), lm(H2 + 1)});
    if (2 * o + 1 < lm(H8) + lm(7 * H / 8)) return;
  }

  TConf c = ym < T + H2 ? 96 : 100;
  if (!Tall()) {
    c *= 99;
    if (W8 + lm(H4) < lm(H2)) c *= 97;
  }
  if (Tall() && (W <= 10 || H <= 10)) c *= 96;
  if (Descends()) {
    c *= 98;
    if (W < 16) c *= 98;
  }
  add(u'B', c);
}

void TLetterABCTests::LowerB() const {
  if (!(W > 3 && H > 4 && HoleCount() > 0)) return;
  // One hole, below the top quarter: the bowl. Asked first, as it costs
  // nothing: every step before the offer can only reject, so their order
  // decides nothing.
  if (!(HoleCount() == 1 && Holes[0].MinY >= H4)) return;

  // The ascender: the rows hold ink in the left half down to the bottom
  // (when every row does, the scan ends at B and passes).
  if (P.nextRow(L, xc, T, B - 1, false) < B - H32 - 1) return;
  if (!(P.inkIn(xc, xc, B - H3, B) && P.inkIn(R - W2, R, B - H3, B - H3))) return;

  // Nothing right of the ascender in its upper part.
  const int yu = T + H / 5;
  if (P.inkIn(R - W / 3, R, T, yu) || P.inkIn(R - 4 * W / 9, R, yu, yu)) return;
  // The upper quarter holds the ascender alone.
  const int yq = T + H4;
  if (P.cross(L, yq, R, yq) > 1 && P.cross(L, yq - 1, R, yq - 1) > 1 && (H < 16 || P.cross(L, yu, R, yu) > 1))
    return;

  // The bowl: two runs on most rows of its lower half.
  {
    int twos = 0, rest = 0;
    for (int y = H2; y < H - H8; ++y) (hx(y) == 2 ? twos : rest)++;
    if (twos < 2 * rest) return;
  }

  if (rm(Hm) >= rm(Hm - H8)) {
    TConf c = Tall() ? 100 : 98;
    if (Descends()) c *= 99;
    add(u'b', c);
  }
}

void TLetterABCTests::LetterC() const {
  if (!(W > 2 && H > 2 && HoleCount() <= 1)) return;
  if (!(P.inkIn(L, L + W / 3, T + H2, T + H2) && P.inkIn(xc, xc, B - H3, B) && P.inkIn(xc, xc, T, T + H3)))
    return;
  if (P.cross(L, (T + B) / 2, (L + R) / 2, (T + B) / 2) > 1) return;

  // The opening: the first page row of the middle half with no ink right of
  // the centre.
  const int j = P.nextRow(xc, R, T + H4, T + 3 * H / 4 - 1, false);
  if (j >= T + 3 * H / 4) return;

  // Left stroke width.
  const int s = inkRun(lm(H2), H2);
  if (s > W2) return;
  const int s2 = s / 2;

  // Lower stroke: the deepest reach below the opening.
  int b = j - 1;
  for (int x = xc; x < L + 6 * W / 8; ++x) b = std::max(b, j - 1 + P.run(x, j, down, ink, H));
  if (b < T + 5 * H / 8 - s2) return;

  // Upper stroke above the opening.
  const int v = j + 1 - std::max(P.run(L + 5 * W / 8, j, up, ink, H), P.run(L + W2, j, up, ink, H));
  if (v > T + H4 + s2) return;

  // No row bulges left of the middle row's left edge: kept margins, asked
  // before the search below the opening and its slanted crossings; both
  // only return, so their order decides nothing.
  {
    const int limit = lm(H2) - W32 - 1;
    for (int y = 0; y < H; ++y)
      if (lm(y) < limit) return;
  }

  // l: where ink returns right of the centre below the opening.
  const int l = P.nextRow(xc, R, j, B - H8 - 1, true);
  if (l - j < H / 6 || P.cross(xc, l - 1, R, T) < 1 ||
      (P.lm(T + 3 * H / 4) > W16 && P.cross(xc, v, R, B) < 1 && P.cross(xc, B - H4, R, B) < 1))
    return;

  // Not tall: where the column just inside the left stroke meets the upper
  // half more than once, the column where the ink beyond the upper stroke
  // begins must meet it only once.
  if (!Tall()) {
    const int x0 = lm(H2) + inkRun(lm(H2), H2);
    const int k = run(x0, H2, up, ink, H);
    const int r = inkRun(x0, H2 - k - 1);
    const int m = run(x0 + r, H2 - k - 1, right, ink, W);
    if (cross(x0, 1, x0, H2) > 1 || cross(x0 + 1, 1, x0 + 1, H2) > 1) {
      const int x1 = x0 + r + m;
      if (cross(x1 - 1, 1, x1 - 1, H2) > 1 || cross(x1, 1, x1, H2) > 1) return;
    }
  }

  // A tall, narrow glyph whose left side does not bow outward, with one run
  // at its upper quarter, is not a C.
  if (H > 16 && 3 * W < H && Tall()) {
    if (2 * lm(H2) >= lm(H16) + lm(Hm - H16) && hx(H4) < 2) return;
  }
  // A page box with ink on its left column and on its top and bottom rows,
  // and none down its right column, is a bracket.
  if (P.colSolid(L) && P.rowSolid(T) && P.rowSolid(B) && !P.inkIn(R, R, T + 1, B - 1)) return;
  // A tall glyph with ink in the right half of its middle row, bowing left,
  // its ends reaching furthest right, is a parenthesis.
  if ((rm(H2) < W2 || rm(H2) < 3) && Tall() && H > 7) {
    if (lm(H2) + W8 < lm(7 * H / 8) && lm(H2) + W8 < lm(H8) && rm(Hm - H16) < rm(Hm - H8) && rm(H16) < rm(H8))
      return;
  }
  // An inside corner in the lower right, as under the bar of a G. Asked
  // after the checks above, which cost far less than its pixel search;
  // each of them only rejects, so their order decides nothing.
  if (innerCorner(W2, Wm - 1, H2, H - 4)) return;

  // G: the right side comes back in the upper half, with paper below it at
  // 5W/8 for over a quarter of the height.
  if (Tall() && H > 15 && W > 7 && l - T - 1 < 9 * H / 16 && j - T <= H4 &&
      run(5 * W / 8, l - T - 1, down, ink, H) > H4) {
    add(u'G', 90);
    return;
  }

  TConf c = 100;
  if (Tall()) {
    if (!innerCorner(W2, Wm - 1, 1, H4 - 1)) c *= 98;
    if (2 * W < H) c *= 99;
  }
  if (rm(H2) < 6 * W / 8) c *= 98;

  if (rm(H16) >= W2 && tm(W2) > H8 && tm(W2) > 2 && tm(W2) < H2) return;

  if (H >= 3 * W && H > 12) c *= 99;
  if (bm(Wm) == 0 && bm(W2) > H8) c *= 95;
  if (tm(Wm) == 0 && tm(W2) > H8) c *= 95;
  if (lm(Hm - H8) >= W2) c *= 95;
  if (lm(H8) >= W2) c *= 98;
  if (Descends()) c *= 96;
  addPair(u'C', u'c', c);
}

}  // namespace

void RecognizeA(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterABCTests t(TGlyphView::OfBox(engine, context));
  t.UpperA();
  t.TwoStoreyA();
  t.OneStoreyA();
}

void RecognizeB(const TOmnifontOCR& engine, const TRecogContext& context) {
  // Both tests' gates ask for a hole; without one no view need be made.
  if (context.HoleList.HoleCount == 0) return;
  const TLetterABCTests t(TGlyphView::OfBox(engine, context));
  t.UpperB();
  t.LowerB();
}

void RecognizeC(const TOmnifontOCR& engine, const TRecogContext& context) {
  TLetterABCTests(TGlyphView::OfBox(engine, context)).LetterC();
}

}  // namespace omniocr
