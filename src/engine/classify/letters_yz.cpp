// Recognisers for Y and Z. The two Y tests are independent, each offering
// the pair; a failed gate or check ends only its own test.

#include <algorithm>

#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TYzTests : public TGlyphView {
 public:
  explicit TYzTests(const TGlyphView& view) : TGlyphView(view) {}

  void YForkToCorner() const;
  void YForkOnStem() const;
  void Z() const;
};

void TYzTests::YForkToCorner() const {
  if (!(W > 2 && H > 3 && 3 * H >= 2 * W && HoleCount() <= 1 && (hx(H8) > 1 || hx(1) > 1) &&
        (hx(Hm) == 1 || hx(Hm - 1) == 1) && (vx(Wm) == 1 || vx(Wm - 1) == 1) &&
        (cross(W / 3, H4, W / 3, Hm) == 2 || cross(W2, H4, W2, Hm) == 2)))
    return;
  // Notch between the arms.
  int xn = W4, dn = -1;
  for (int x = W4; x < W - W4; ++x) {
    const int t = tm(x);
    if (t > dn) {
      xn = x;
      dn = t;
    }
  }
  if (dn > 3 * H / 4 || dn < 3 * H / 8 || !inkIn(0, xn, H8, H8)) return;
  // xa: the right arm on row H/8.
  const int xa = xn + run(xn, H8, right, ink, W);
  if (xa >= W) return;
  for (int y = H8; y < dn - H8; ++y)
    if (!(cross(xn, y, Wm, y) == 1 && cross(0, y, xn, y) >= 1)) return;
  if (px(Wm, Hm)) return;
  const int xb = Wm - rm(Hm - H8);
  TConf c = xb <= 6 * W / 8 ? 100 : 99;
  // The right arm runs on down to the foot.
  const int k = cov(xa, H8, xb, Hm - H8);
  if (k <= 94) {
    if (k < 80) return;
    c *= 99;
  }
  addDescenderPair(u'Y', u'y', c);
}

void TYzTests::YForkOnStem() const {
  // The gate's probes run on the page, in page coordinates.
  if (!(W > 2 && H > 3 && HoleCount() <= 1 && P.inkIn(L, L + 3 * W / 8, T + H8, T + H8) &&
        (P.hx(T + H8) == 2 || P.hx(T + 1) == 2) && (P.hx(B) == 1 || P.hx(B - 1) == 1) &&
        (P.vx(R) == 1 || P.vx(R - 1) == 1)))
    return;
  if (rm(Hm - H8) + W8 + 1 < lm(Hm - H8)) return;
  // The foot's right edge lies left of 6W/8 (the same kept margin).
  const int xt = Wm - rm(Hm - H8);
  if (xt > 6 * W / 8) return;
  // Notch depth.
  {
    int v = 0;
    for (int x = W4; x < W - W4; ++x) v = std::max(v, tm(x));
    if (v > 5 * H / 8 || 4 * v < H) return;
  }
  // Arm tops: where the left and the right arm reach out furthest.
  int ya = 0, la = W, yc = 0, rc = W;
  for (int y = 0; y < H4; ++y) {
    if (lm(y) < la) {
      ya = y;
      la = lm(y);
    }
    if (rm(y) < rc) {
      yc = y;
      rc = rm(y);
    }
  }
  if (yc > H8) return;
  // Fork point: the last row of the narrowest gap before the last run;
  // with no forked row in the middle half there is no fork.
  int yf = -1;
  {
    int gmin = W + 1;
    for (int y = H4; y < 3 * H / 4 && hx(y) > 1; ++y) {
      const int r = rm(y);
      const int g = run(Wm - r - run(Wm - r, y, left, paper, W), y, left, ink, W);
      if (g <= gmin) {
        yf = y;
        gmin = g;
      }
    }
  }
  if (yf < 0) return;
  // Arm centres, the stem point below the fork and the foot.
  const int xl = la + run(la, ya, right, paper, W) / 2;
  const int gr = run(Wm, yc, left, paper, W);
  int xr = Wm - gr / 2;
  const int ys = H16 + yf + 1;
  const int ri = rm(ys);
  const int j = run(Wm - ri, ys, left, paper, W);
  const int xs = j > W4 ? Wm - ri - j / 4 : Wm - ri - j / 2;
  TConf c;
  // Left arm.
  {
    const int k0 = cov(xl, ya, xs, ys), k1 = cov(xl, ya, xs - 1, ys);
    if (k0 <= 94 && k1 <= 94) {
      if (k0 < 80 && k1 < 80) return;
      c = 98;
    }
  }
  // Right arm, retried from the arm's own ink when it misses.
  if (cov(xr, yc, xs, ys) < 95 && cov(xr, yc, xs - 1, ys) < 95) {
    xr += run(xr, yc, right, paper, W4);
    yc += run(xr, yc, down, paper, H8);
    if (cov(xr, yc, xs, ys) < 95) return;
  }
  // Stem; arms that run straight into the foot make a V, not a Y.
  if (cov(xs, ys, xt, Hm - H8) < 95) return;
  if (ys >= 5 * H / 8 && !Descends() && cov(xl, ya, xt, Hm - H8) > 95 && cov(xr, yc, xt, Hm - H8) > 95)
    return;
  // Left edge: a left side bulging out at mid-height.
  {
    const int a = lm(1) + lm(Hm), b = 2 * lm(H2);
    if (b < a) return;
    if (a == b) c *= 98;
    if (a + 1 >= b) c *= 98;
  }
  addDescenderPair(u'Y', u'y', c);
}

void TYzTests::Z() const {
  // No hole: asked first, the count costs nothing.
  if (!(W > 3 && H > 3 && HoleCount() == 0)) return;
  if (inkIn(0, W8, H2, H2) || inkIn(Wm - W8, Wm, H2, H2)) return;
  if (!inkIn(W / 3, Wm - W / 3, H2, H2)) return;
  // Diagonal: a band of 2g + 1 columns around the line from the top right to
  // the bottom left: a row at a time, asked before the corners.
  {
    int g = W8;
    if (g == 0 || g == 1) ++g;
    for (int y = H8; y < H - H8; ++y) {
      const int x = Wm - y * W / H;
      if (!inkIn(x - g, x + g, y, y)) return;
    }
  }
  if (!(inkIn(0, W4, 0, H4) && inkIn(Wm - W4, Wm, 0, H4) && inkIn(0, W4, Hm - H4, Hm) &&
        inkIn(Wm - W4, Wm, Hm - H4, Hm)))
    return;
  if (W == 4 && vx(1) != 2) return;
  if (W > 8 && vx(W2) != 3 && cross(W / 3, 0, 2 * W / 3, Hm) != 3) return;
  if (cross(0, H2 + 1, Wm, H2 - 1) != 1) return;
  // Top and bottom bars, on the page.
  const TGlyphView pg = page();
  for (int k = 0; k <= W2; ++k)
    if (!(pg.inkIn(W / 3 + k, W / 3 + k, 0, H / 5) && pg.inkIn(W8 + k, W8 + k, Hm - H / 5, Hm))) return;
  if (run(W - 2, 0, left, paper, W) < W2 && run(W - 2, 1, left, paper, W) < W2 &&
      rm(H8) + (Wm + 17) / 32 < rm(H16))
    return;
  // Corner walks on the page.
  {
    // Up the left column to the bottom bar, then up its diagonal and out
    // through the top right half.
    int x = 0, y = Hm;
    pg.walk(x, y, stop, up);
    if (y < Hm - H / 3) return;
    pg.walk(x, y, up, right);
    if (!(y < 0 && x >= W2)) return;
  }
  {
    // In from the right below the top bar, then through the diagonal.
    int x = Wm, y = H4;
    pg.walk(x, y, stop, left);
    if (x < Wm - W / 3) return;
    pg.walk(x, y, left, stop);
    if (x < Wm - 5 * W / 8) return;
  }
  {
    // Up the bottom bar's left end, then in from the left above it.
    int x = 0, y = Hm - H4;
    pg.walk(x, y, up, stop);
    y = y - H16;
    pg.walk(x, y, stop, right);
    if (x > W / 3) return;
    pg.walk(x, y, right, stop);
    if (x > 5 * W / 8) return;
  }
  // Right edge of the diagonal: going up, the right margin never grows
  // more than one past its smallest value so far.
  {
    int m = W;
    for (int y = H - H2 - 1; y >= H4; --y) {
      const int r = rm(y, Wm);
      if (r - 2 >= m) return;
      m = std::min(m, r);
    }
  }
  TConf c;
  if (rm(H4) < rm(H16)) c *= 98;
  if (rm(5 * H / 16) < rm(H8)) c *= 96;
  if (lm(H4) < W2 && rm(3 * H / 4) > W4) c *= 96;
  if (Descends()) c *= 96;
  if (W <= 5) {
    c *= 99;
    if (H > 9) c *= 98;
  }
  addPair(u'Z', u'z', c);
}

}  // namespace

void RecognizeY(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TYzTests t(TGlyphView::OfBox(engine, context));
  t.YForkToCorner();
  t.YForkOnStem();
}

void RecognizeZ(const TOmnifontOCR& engine, const TRecogContext& context) {
  // The test's gate asks for no hole; with one no view need be made.
  if (context.HoleList.HoleCount != 0) return;
  TYzTests(TGlyphView::OfBox(engine, context)).Z();
}

}  // namespace omniocr
