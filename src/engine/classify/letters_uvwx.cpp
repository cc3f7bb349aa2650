// Recognisers for U, V, W and X. Each test offers the letter pair (the
// second X test "x" alone); a failed gate or check ends only its own test.

#include <algorithm>

#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TUvwxTests : public TGlyphView {
 public:
  explicit TUvwxTests(const TGlyphView& view) : TGlyphView(view) {}

  void U() const;
  void V() const;
  void X() const;
  void XSmall() const;
  // The two W tests share one running confidence: the second starts from
  // what the first left in it.
  void WTwoValleys(TConf& c) const;
  void WFullMiddle(TConf c) const;

 private:
  // Every row y0 <= y < y1 of `view` crosses at least two ink runs.
  static bool TwoRunsOnEveryRow(const TGlyphView& view, int y0, int y1) {
    for (int y = y0; y < y1; ++y)
      if (view.hx(y) < 2) return false;
    return true;
  }
  // From row y0 down to the bottom, the right margin falls more than two
  // below its running maximum (the right side bulges out below).
  bool RightSideBulges(int y0) const {
    int rmax = 0;
    for (int y = y0; y <= Hm; ++y) {
      rmax = std::max(rmax, rm(y));
      if (rm(y) < rmax - 2) return true;
    }
    return false;
  }
};

void TUvwxTests::U() const {
  if (!(W > 2 && H > 3 && 3 * H >= 2 * W && HoleCount() <= 1)) return;
  // Two probes and a few kept margins of the glyph, before the page's rows
  // are counted one by one: ink at the bottom centre,
  if (!(inkIn(W2, W2, H2, Hm) && inkIn(W2, Wm, H2, H2))) return;
  // a foot that does not step out to the left, a top that does not step in
  // on the right, and the sides near the foot.
  if (lm(Hm - H16) < lm(Hm - H8)) return;
  if (H > 15 && rm(H8) + W32 + 1 < rm(H16)) return;
  const int a = lm(Hm - H8 - 1), b = rm(Hm - H8 - 1);
  if (a > W4 && b > W4 && a + b >= W2) return;
  // Valley: the deepest top margin right of the centre, up to where the
  // right arm's inner side lifts it again.
  {
    int u = 0;
    int x = 3 * W / 8;
    for (; x < W - W4; ++x) {
      const int t = tm(x);
      if (t < u && u > 1) break;
      u = std::max(u, t);
    }
    if (u < H4) return;
    u = u - 1;
    if (!(inkIn(0, x - 1, u, u) && inkIn(x - 1, Wm, u, u))) return;
  }
  // The same box on the page, neighbours' ink included: made only for a
  // glyph that gets this far.
  const TGlyphView pg = page();
  if (!TwoRunsOnEveryRow(pg, H8, Hm - H4)) return;
  TConf c;
  // Arms: one run left of the centre below, none extra right of it above.
  {
    int n = H8 + 2;
    for (int y = H8; y < H - (Hm + 3) / 4 && n > 0; ++y) {
      if (y < H2) {
        if (cross(W2, y, Wm, y) > 1) --n;
      } else if (y > H2) {
        if (cross(0, y, W2 - W8, y) != 1) {
          --n;
          c *= 95;
        }
      }
    }
    if (n == 0) return;
  }
  {
    int broken = 0;
    for (int y = H8; y < H2; ++y)
      if (cross(W - W2, y, Wm, y) != 1 && ++broken == H16 + 1) return;
  }
  // The middle columns: open at the top, closed at the bottom.
  {
    if (pg.inkEveryColumn(W / 3, Wm - W / 3, 0, H / 3)) return;
    int inkInMiddle = 0;
    for (int x = W / 3; x <= Wm - W / 3; ++x)
      if (pg.inkIn(x, x, H / 3, Hm - H / 3) && ++inkInMiddle == W4 + 1) return;
  }
  for (int x = W / 3; x <= Wm - W / 3; ++x) {
    if (!pg.inkIn(x, x, Hm - H2, Hm)) return;
    if (!pg.inkIn(x, x, Hm - H / 3, Hm)) c *= 98;
  }
  if (cross(0, H4, W2, H4) == 2 && cross(W - W2, H - H4, Wm, H - H4) == 1) return;
  if (Tall() && H > 7 && !paperIn(0, Wm, Hm, Hm) && rm(3 * H / 4) > W16 && lm(3 * H / 4) > W16 &&
      rm(H2) > W16 && lm(H2) > W16)
    return;
  if (a + b >= W2) c *= 97;
  if (hx(H2) != 2) c *= 96;
  if (bm(W2) > 0) c *= 98;
  if (MarkAbove() > 0) c *= 99;
  if (Descends()) c *= 98;
  addPair(u'U', u'u', c);
}

void TUvwxTests::V() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1)) return;
  // Notch: the first paper column of the top row at or right of the centre,
  // and how deep the paper reaches down it.
  const int xm = W2 + run(W2, 0, right, paper, W);
  const int d = run(xm, 0, down, ink, (H + 1) / 2);
  if (xm > 3 * W / 4 || d - 1 < H4) return;
  const int yn = d - 1;
  // Kept crossings and margins before the page probes: one run at the foot,
  if (hx(Hm - H8) > 1 && hx(Hm) > 1) return;
  // and the sides close in toward it.
  const int yu = H / 6, yw = Hm - H / 3, yb = Hm - H8;
  if (lm(yu) >= lm(yw)) return;
  if (lm(yb) < lm(yw) && rm(yb) < rm(yw)) return;
  if (rm(yu) >= rm(yw)) return;
  const TGlyphView pg = page();  // the same box on the page
  if (!(pg.inkIn(0, xm, yn, yn) && pg.inkIn(xm, Wm, yn, yn) && pg.inkIn(xm, xm, Hm - H2, Hm))) return;
  if (pg.inkIn(xm, xm, 0, H / 3) && pg.inkIn(xm + 1, xm + 1, 0, H / 3)) return;
  if (cross(0, H8, W2 + 1, H8) != 1 && cross(0, H16, W2 + 1, H16) != 1 && cross(W2 + 1, H8, Wm, H8) != 1)
    return;
  if (inkIn(0, W8, Hm - H / 6, Hm) || inkIn(Wm - W8, Wm, Hm - H / 6, Hm)) return;
  TConf c;
  if (lm(yw) >= lm(yb)) c = rm(yw) < rm(yb) ? 100 : 99;
  // Foot.
  if (W > 14 && W < 2 * fw(Hm)) return;
  if (cross(0, H4, W2, H4) == 2 && cross(W - W2, H - H4, Wm, H - H4) == 2) return;
  // Strokes: how much wider the top and the foot are than the stroke at a
  // quarter height.
  const int ft = std::max(fw(0), fw(1)) - fw(H4);
  const int fb = std::max(fw(Hm - 1), fw(Hm)) - fw(H4);
  const int j = W32 + 2;
  if (T < MeanLine() && ft > j && fb > j) return;
  if (T < MeanLine() && ft < j && hx(Hm - H4) == 1) {
    const int f4 = fw(Hm - H4);
    if (f4 < fw(H4) + 1) return;
    if (f4 == fw(H4) + 1) c *= 99;
  }
  c *= 99;
  if (lm(Hm) < lm(Hm - H4)) c *= 96;
  if (Descends()) c *= 99;
  addPair(u'V', u'v', c);
}

void TUvwxTests::WTwoValleys(TConf& c) const {
  if (!(W > 4 && H > 3 && HoleCount() <= 1)) return;
  c = 100;
  if (!TwoRunsOnEveryRow(*this, H8, H2)) return;
  // ye: the lowest row where the two valleys show as two runs.
  int ye = Hm - H16;
  while (ye >= 3 * H / 4 + 1 && hx(ye) != 2) --ye;
  if (ye < 3 * H / 4 + 1) return;
  {
    int four = 0, three = 0;
    for (int y = ye; y >= H4 + 1; --y) {
      const int n = hx(y);
      if (n == 4) ++four;
      if (n == 3 || n > 4) ++three;
    }
    c = four - three < 0 ? 98 : 100;
    if (!(four + 5 >= H4 || 7 * fw(H4) >= H)) return;
  }
  if (!(hx(1) > 1 || hx(H16) > 1)) return;
  // Centres of the two strokes on row ye.
  const int xa = lm(ye) + run(lm(ye), ye, right, paper, W) / 2;
  if (xa > W2) return;
  const int xb = Wm - rm(ye) - run(Wm - rm(ye), ye, left, paper, W) / 2;
  if (xb < 3 * W / 8) return;
  // Middle peak: the column between them with the deepest paper from the
  // bottom; none between them leaves dp at 0.
  int xp = xa + 1, dp = 0;
  for (int x = xa + 1; x < xb; ++x) {
    const int depth = run(x, Hm, up, ink, Hm);
    if (depth > dp) {
      xp = x;
      dp = depth;
    }
  }
  if (dp == 0) return;
  int k = run(xp, Hm - dp, up, paper, H);
  if (k > 0) --k;
  const int yt = Hm - dp - k;
  const int yp = Hm - dp - k / 2;
  if (cross(0, yt, xp, yt) != 2 && cross(0, yp, xp, yp) != 2) return;
  if (!(cross(xp, yt, Wm, yt) == 2 || cross(xp, yp, Wm, yp) == 2)) return;
  // Ends of the outer strokes on row 1.
  const int e0 = lm(1), e1 = run(e0, 1, right, paper, W);
  const int xs = xa < e0 + e1 ? e0 + e1 / 4 : e0 + e1 / 2;
  const int g0 = rm(1), g1 = run(Wm - g0, 1, left, paper, W);
  const int xe = Wm - g0 - g1 / 2;
  // The four strokes are inked.
  if (cov(xs, 1, xa, ye) < 95 && cov(xs + W32, 1, xa, ye) < 95) return;
  if (cov(xa, ye - 1, xp, yp) < 95 && cov(xa, ye - 1, xp, yp + H32) < 95 &&
      cov(xa, ye - 1, xp, yp + H16) < 95)
    return;
  if (cov(xp, yp, xb, ye) < 95 && cov(xp + 1, yp, xb, ye) < 95) return;
  if (cov(xb, ye, xe, H16 + 1) < 95 && cov(xb, ye, Wm, H8 + 1) < 95 && cov(xb, ye, xe + W / 20, H16 + 1) < 95)
    return;
  // The right side below 5H/8: every row that comes out past the widest
  // margin so far costs, one that comes out by more than two ends the test
  // (after its cost, which the second test inherits).
  {
    int rmax = 0;
    for (int y = 5 * H / 8; y <= Hm; ++y) {
      const int r = rm(y);
      rmax = std::max(rmax, r);
      if (r < rmax) c *= 98;
      if (r < rmax - 2) return;
    }
  }
  addPair(u'W', u'w', c);
  c *= 98;
}

void TUvwxTests::WFullMiddle(TConf c) const {
  // No hole: asked first, the count costs nothing.
  if (!(W > 4 && H > 3 && HoleCount() == 0)) return;
  if (!(hx(H2) == 3 && TwoRunsOnEveryRow(*this, H8, H2))) return;
  {
    int score = 0;
    for (int y = 0; y <= Hm; ++y) score += hx(y) == 3 ? 1 : -1;
    if (score < 1) return;
  }
  // g: the centre of the gap after the first run of the middle row.
  int g = lm(H2) + fw(H2);
  if (g > W2) return;
  g = g + run(g, H2, right, ink, W) / 2;
  if (g > W2) return;
  // o: the centre of the gap before its last run.
  int o = rm(H2);
  const int r = run(Wm - o, H2, left, paper, W);
  const int s = run(Wm - o - r, H2, left, ink, W);
  o = Wm - o - r - s / 2;
  if (o < 3 * W / 8 || cross(g, H2, o, H2) != 1 || cross(g, H2, g, Hm) != 1 || cross(o, H2, o, Hm) != 1 ||
      cross(g, 0, g, H2) != 0 || cross(o, 0, o, H2) != 0)
    return;
  if (RightSideBulges(3 * H / 4)) return;
  addPair(u'W', u'w', c);
}

void TUvwxTests::X() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1 && hx(Hm - H8) > 1)) return;
  // Up to the arms on the page in page coordinates (row T + y is the box's
  // row y), the page view made after them.
  if (!(P.hx(T + H8) > 1 && P.hx(B - H8) > 1)) return;
  // A few margins and two corner probes, before the rows and the notches
  // are scanned: the sides draw in toward the crossing (single rows, asked
  // first),
  const int r6 = P.rm(T + H / 6);
  if (r6 > W2) return;
  const int rMiddle = P.rm(B - H2);
  if (!(rMiddle > r6 && rMiddle > P.rm(B - H / 6))) return;
  const int l6 = P.lm(T + H / 6);
  if (l6 > W2) return;
  const int lMiddle = P.lm(T + H2);
  if (!(lMiddle > l6 && lMiddle > P.lm(B - H / 6))) return;
  // and arms reach the upper right and the lower left.
  if (!(P.inkIn(R - W4, R, T, T + H / 6) && P.inkIn(L, L + W4, B - H / 6, B))) return;
  const TGlyphView pg = page();  // the same box on the page
  if (!pg.inkEveryRow(0, Wm - W4, H8, Hm - H8)) return;
  // The notches at the top and at the bottom reach a quarter deep.
  {
    int xt = W4, topDepth = -1;
    for (int x = W4; x <= Wm - W4; ++x) {
      const int t = pg.tm(x, H);
      if (t > topDepth) {
        xt = x;
        topDepth = t;
      }
    }
    const int k = pg.run(xt, topDepth, down, paper, H);
    if (!(topDepth >= H4 && (topDepth >= H / 5 || topDepth + k >= H2 || H <= 15))) return;
  }
  {
    int xb = W4, bottomDepth = -1;
    for (int x = W4; x <= Wm - W4; ++x) {
      const int b = pg.bm(x);
      if (b > bottomDepth) {
        xb = x;
        bottomDepth = b;
      }
    }
    const int k = pg.run(xb, Hm - bottomDepth, up, paper, H);
    if (!(bottomDepth >= H4 && (bottomDepth >= H / 5 || bottomDepth + k >= H2 || H <= 15))) return;
  }
  if (!(pg.someVx(0, W / 3, 2) && pg.someVx(Wm - W / 3, Wm, 2) && pg.someHx(0, H / 3, 2) &&
        pg.someHx(H / 3, Hm - H / 3, 1) && pg.someHx(Hm - H / 3, Hm, 2)))
    return;
  for (int x = Wm - W4; x < W; ++x)
    if (cross(x, H8, x, H2) == 2) return;
  if (H < W && cross(W4, 0, W8, Hm) > 2 && vx(W4) > 2 && lm(H4) < W8) return;
  TConf c = pg.hx(H4) > 2 || pg.hx(H8) > 2 ? 90 : 100;
  // The lower rows counted a quarter width past the box: a neighbour
  // touching the lower arms.
  if (pg.cross(0, Hm - H4, Wm + W4, Hm - H4) > 2 || pg.cross(0, Hm - H8, Wm + W4, Hm - H8) > 2) c *= 90;
  addPair(u'X', u'x', c);
}

void TUvwxTests::XSmall() const {
  if (!(W > 4 && H >= 5 && HoleCount() <= 1)) return;
  // On the page, in page coordinates.
  if (P.inkIn(L, L + W4, T + H2, T + H2) || P.inkIn(R - W4, R, T + H2, T + H2)) return;
  if (P.cross(L + W4, T + H2, R - W4, T + H2) != 1) return;
  if (!(P.hx(T + H4) == 3 || P.hx(T + H8) > 2)) return;
  if (!(P.hx(B - H4) == 3 || P.hx(B - H8) > 2)) return;
  TConf c = Descends() ? 97 : 100;
  if (Tall()) c *= 96;
  add(u'x', c);
}

}  // namespace

void RecognizeU(const TOmnifontOCR& engine, const TRecogContext& context) {
  TUvwxTests(TGlyphView::OfBox(engine, context)).U();
}

void RecognizeV(const TOmnifontOCR& engine, const TRecogContext& context) {
  TUvwxTests(TGlyphView::OfBox(engine, context)).V();
}

void RecognizeX(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TUvwxTests t(TGlyphView::OfBox(engine, context));
  t.X();
  t.XSmall();
}

void RecognizeW(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TUvwxTests t(TGlyphView::OfBox(engine, context));
  TConf c;
  t.WTwoValleys(c);
  t.WFullMiddle(c);
}

}  // namespace omniocr
