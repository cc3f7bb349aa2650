// Digit tests for 4, 6, 7, 8, 9 and the two tests for 0.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/digit_tests.h"

namespace omniocr {

using namespace notation;

bool TDigitTests::OneRunEdges() const {
  const int a = W / 3, b = Wm - W / 3;
  return (cross(a, 0, b, 0) == 1 || cross(a, 1, b, 1) == 1) &&
         (cross(a, Hm, b, Hm) == 1 || cross(a, H - 2, b, H - 2) == 1) &&
         (cross(0, H3, 0, Hm - H3) == 1 || cross(1, H3, 1, Hm - H3) == 1) &&
         (cross(Wm, H3, Wm, Hm - H3) == 1 || cross(W - 2, H3, W - 2, Hm - H3) == 1);
}

bool TDigitTests::SlantPattern() const {
  const bool rightCorner = inkIn(Wm - W32, Wm, 0, H32) || inkIn(Wm - W32, Wm, Hm - H32, Hm);
  const bool leftCorner = inkIn(0, W32, 0, H32) || inkIn(0, W32, Hm - H32, Hm);
  return !rightCorner && leftCorner;
}

void TDigitTests::Four() const {
  if (!(W > 3 && H > 5 && HoleCount() <= 2 && lm(3 * H / 16) >= lm(H2) - W8)) return;
  TConf c;
  // Stem at the bottom (its single row asked before the scan of rows; both
  // only reject).
  {
    if (lm(Hm - H8) < W4) return;
    bool found = false;
    for (int k = 0; k < H4 && !found; ++k) found = lm(Hm - k) + rm(Hm - k) >= W2;
    if (!found) return;
  }
  const int x0 = lm(0);
  if (x0 <= W4) {
    const int a1 = lm(H4);
    if (a1 > W4) return;
    const int w1 = run(a1, H4, right, paper, W);
    if (w1 > W2) return;
    if (H4 + run(w1, H4, down, ink, H) > 7 * H / 8) return;
  }
  // The diagonal leaves through the left edge. Its walk is asked after the
  // probes of the left edge, the foot and the stem, which cost far less;
  // each only rejects.
  {
    if (tm(0) + run(0, tm(0), down, paper, H) < H2) return;
    if (inkIn(0, W4, Hm - H / 7, Hm - H / 7)) return;
    if (!inkIn(W2, Wm, Hm - H3, Hm - H3)) return;
    if (!inkIn(W2, W2, H3, Hm - H / 5)) return;
    int x = x0, y = 0;
    walk(x, y, left, down);
    if (x >= 0) return;
  }
  if (rm(2 * H / 4) + 1 < rm(H4) && rm(3 * H / 8) + 1 < rm(H4)) {
    c *= 98;
    if (rm(7 * H / 8) + 1 < rm(3 * H / 8)) return;
  }
  // Each count below is only compared with its least: it stops there.
  if (x0 > W4) {
    const int least = std::max(1, W12);
    int columns = 0;
    for (int x = 0; x <= Wm && columns < least; ++x)
      if (cross(x, 0, x, Hm - H8) == 2) ++columns;
    if (columns < least) return;
  }
  {
    const int least = std::max(1, H12);
    int rows = 0;
    for (int y = H4; y <= Hm && rows < least; ++y) {
      const int n = hx(y);
      if (n >= 3) break;
      if (n == 2) ++rows;
    }
    if (rows < least) return;
  }
  {
    const int least = H / 10 + 1;
    int rows = 0;
    for (int y = Hm - H4; y <= Hm && rows < least; ++y)
      if (hx(y) == 1 && cross(W2, y, Wm, y) == 1) ++rows;
    if (rows < least) return;
  }
  if (Descends()) {
    const int q = lm(H16);
    if (q < W2 && W <= 9 && H < 10) c *= 99;
    if (!Tall()) c *= 99;
    if (q < W2 && HoleCount() > 0) return;
    if (H < 16 && !px(0, 0) && px(W8 + 1, 0)) c *= 97;
  }
  if (HoleCount() > 0 && W > 15 && tm(W2) < H16 && tm(W4) < H8 && tm(3 * W / 4) < H8 && bm(W4) < H8 &&
      bm(W2) < H8 && bm(3 * W / 4) < H4)
    return;  // a closed frame
  {
    const int q = rm(Hm) + run(Wm - rm(Hm), Hm, left, paper, W);
    if (q > 3 * W / 4 && q - rm(Hm - H8) > W4) c *= 98;
  }
  if (hx(H16) == 2 && rm(H16 + H32 + 1) < rm(H16)) return;
  {
    const int gx = std::max(0, lm(H12) - 1);
    const int gy = std::max(0, tm(W12) - 1);
    if (cov(0, gy, gx, 0) != 0) c *= 80;
  }
  if (Descends() && !Tall()) c *= 98;
  add(u'4', c);
}

void TDigitTests::Six() const {
  // One hole, below the top quarter: asked before the probes, as it costs
  // nothing; every step before the offer can only reject, so their order
  // decides nothing.
  if (!(W > 3 && H > 4 && HoleCount() == 1 && Holes[0].MinY >= H4)) return;
  if (!((lm(H4) <= W2 || tm(Wm) <= H4) && lm(H2) <= W4 && lm(3 * H / 4) <= W4 && rm(3 * H / 4) <= W2)) return;
  TConf c;
  if (vx(W2) != 3 && vx(5 * W / 8) != 3) {
    if (!(cross(W2, H4, W2, Hm) == 2 || cross(5 * W / 8, H4, 5 * W / 8, Hm) == 2)) return;
    if (tm(W2) < H2) return;
    c *= 99;
  } else if (run(W2, 0, down, ink, W) > H8 && run(Wm - W4, 0, down, ink, W) > H8) {
    return;
  }
  if (hx(Hm - H4) != 2) return;
  // The upper right opens.
  {
    int y = H / 6;
    for (; y < H2; ++y) {
      const int r = rm(y);
      if (r > W2 || r + run(W - r, y - 1, left, ink, W) > W2) break;
    }
    if (y >= H2) return;
    if (lm(Hm - H3) > W4 || rm(Hm - H3) > W4) return;
  }
  if (Holes[0].MaxY < H2) c *= 95;
  {
    const int a = lm(H8), b = lm(Hm - H8), m = lm(H2);
    if (!(a + b - 2 * m > 0 || a == m || m == b)) return;
  }
  for (int y = 1; y < H4; ++y)
    if (lm(y) > lm(y - 1)) return;
  {
    int rows = 0;
    for (int y = H2; y <= Hm; ++y)
      if (cross(W2, y, Wm, y) > 1 && ++rows > H8) return;
  }
  if (Descends()) c *= 99;
  if (!Tall()) c *= 98;
  if (MarkAbove() != 0) c *= 98;
  add(u'6', c);
}

void TDigitTests::Seven() const {
  if (!(BaseLine() - MeanLine() < H && W >= 3 && H > 4 && HoleCount() <= 1 && tm(W2) <= H8 &&
        hx(3 * H / 4) == 1))
    return;
  // The right end of the top bar and the row under it: a few probes, asked
  // before the scans of the bar and the stem; every step before the offer
  // can only reject, so their order decides nothing.
  {
    const int yr = tm(Wm) + run(Wm, tm(Wm), down, paper, H) + H16;
    if (yr >= H2) return;
    const int q = rm(yr);
    if (yr < q) return;
    const int l = lm(yr);
    if (!(l <= W4 || l > W16 + q)) return;
  }
  TConf c;
  // Top bar.
  int bw = 0, ys = 0;
  {
    bool hadInk = false;
    for (; ys < H2; ++ys) {
      const int l = lm(ys);
      if (hadInk && l > W4 && l >= lm(ys + 1)) break;
      bw = std::max(bw, run(l, ys, right, paper, W));
      if (l < W) hadInk = true;
    }
    if (bw < W4 || ys >= H2) return;
  }
  if (bw < 2 * run(lm(H2), H2, right, paper, W)) return;
  // The stem runs down as one stroke that keeps leaning left.
  {
    int g = 0, y = ys;
    for (; y <= H - H16 - 1; ++y) {
      if (hx(y) != 1 || rm(y) < g) return;
      g = std::max(g, rm(y) - 1);
    }
    if (g < W / 3) return;
  }
  if (rm(H2) + 2 >= lm(H2)) c *= 98;
  if (hx(H4) == 1 && lm(H4) < W2) c *= 96;
  if (3 * W < H) c *= 99;
  if (Descends()) c *= 98;
  if (!Tall()) c *= 95;
  add(u'7', c);
}

void TDigitTests::Eight() const {
  if (!(W >= 3 && H > 4 && HoleCount() > 1 && hx(H4) == 2 && (hx(Hm - H4) == 2 || hx(Hm - 3 * H / 8) == 2) &&
        inkIn(0, W4, Hm - H4, Hm - H4) && inkIn(0, W2, H4, H4) && inkIn(W2, W2, H4, Hm - H4)))
    return;
  TConf c;
  // Waists: the last rows with the deepest left and right margins.
  int yl = H3, gl = -1, yr = H3, gr = -1;
  for (int y = H3; y <= Hm - H3; ++y) {
    if (lm(y) >= gl) {
      gl = lm(y);
      yl = y;
    }
    if (rm(y) >= gr) {
      gr = rm(y);
      yr = y;
    }
  }
  if (!(yl <= H2 + rH(16) && W12 <= gl && gl <= W2)) return;
  if (!(yr <= H2 + rH(16) && W12 <= gr && gr <= W2)) return;
  if (std::abs(yr - yl) > H8) c *= 98;
  const int ym = (yl + yr) / 2;
  {
    bool above = false, below = false;
    const int n = std::min(HoleCount(), static_cast<int>(kMaxHoles));
    for (int k = 0; k < n; ++k) {
      above = above || Holes[k].MaxY <= ym;
      below = below || Holes[k].MinY >= ym;
    }
    if (!(above && below)) return;
  }
  {
    const int r = rm(Hm - H4);
    if (!(rm(Hm - H / 5) >= r || rm(Hm - H / 5 - 1) >= r || rm(Hm - 2 * H / 5) >= r ||
          rm(Hm - 2 * H / 5 - 1) >= r))
      return;
  }
  for (int y = rH(2); y <= Hm; ++y)
    if (hx(y) > 2) {
      c *= 96;
      break;
    }
  {
    int q = H3, q2 = H3, g = -1;
    for (int y = H3; y <= Hm - H3; ++y) {
      const int m = rm(y);
      if (m > g) {
        g = m;
        q = y;
      }
      if (m == g) q2 = y;
    }
    if (!(q <= H2 + H / 10 && g <= W2)) return;
    if (!(hx(q) == 1 || hx(q + 1) == 1 || hx((q + q2) / 2) == 1)) return;
    if (std::abs(ym - q) > (H + 5) / 10) c *= 99;
    if (std::abs(ym - q) > (H + 4) / 8) return;
  }
  // Smooth outer curves at the top and the bottom.
  {
    int least = W;
    for (int y = 0; y < H8 + 2; ++y) {
      const int m = lm(y);
      if (m - least > W16) return;
      least = std::min(least, m);
    }
    least = W;
    for (int k = 0; k < H8 + 2; ++k) {
      const int m = lm(Hm - k);
      if (m - least > W16) return;
      least = std::min(least, m);
    }
    if (!(H < 17 || hx(Hm) < 2 || lm(Hm) >= W8 + 1)) return;
  }
  {
    int rows = 0;
    for (int y = H2; y <= Hm; ++y)
      if (hx(y) > 2 && ++rows > H8) return;
  }
  if (rm(0) == 0) c *= 99;
  if (hx(Hm) > 1) c *= 98;
  if (cross(Wm, H2, Wm, Hm) > 1) c *= 98;
  if (hx(0) > 1) c *= 98;
  if (hx(1) > 1) c *= 98;
  if (!Tall()) c *= 8 * (MeanLine() - glyph().Top) < H ? 99 : 98;
  if (Descends() && 8 * (glyph().Bottom - BaseLine()) >= H) c *= 99;
  add(u'8', c);
}

void TDigitTests::Nine() const {
  if (!(W >= 3 && H > 4 && HoleCount() <= 2)) return;
  // The bowl's hole. Asked first, as it costs nothing: every step before the
  // offer can only reject, so their order decides nothing.
  if (HoleCount() < 1) return;
  // Both gates must hold; the one along rows and columns is asked first, as
  // it is cheaper than the slanted crossing of the other. The tail's start,
  // from kept margins, comes between them: it turns most glyphs away that
  // pass the first, and every step up to the offer only returns.
  if (!(cross(W2, 0, W2, H4) > 0 && cross(W2, H2, Wm, H2) > 0 && (hx(H4) == 2 || hx(3 * H / 8) == 2))) return;
  // Tail start: the deepest left margin of the lower half.
  int q = H2, g = -1;
  for (int y = H2; y <= Hm - H4; ++y)
    if (lm(y) > g) {
      g = lm(y);
      q = y;
    }
  if (g < 1 || g < W8) return;
  if (!(cross(W2, 0, W2, Hm - H4) == 2 || vx(W2) == 3 || vx(3 * W / 8) == 3 ||
        cross(W4, 0, Wm - W4, Hm) == 3))
    return;
  TConf c;
  if (g < W2) {
    const int d = run(g - 1, q, down, ink, H8 + 1) / 2;
    q += d;
    g += run(g - 1, q, right, ink, W2);
    if (g < W2) return;
  }
  if (!(cross(W2, q, Wm, Hm) == 1 || cross(W2, q, Wm, H - 2) == 1 || cross(W2, q, W - 2, Hm) == 1)) return;
  if (!(Holes[0].MaxY <= q && Holes[0].MinY < q)) return;
  if (HoleCount() == 2 && !(Holes[1].MinY < q)) return;
  if (run(0, Hm, right, ink, H) > W / 3 && run(0, H - 2, right, ink, H) > W / 3) c *= 98;
  {
    int widest = 0;
    for (int y = H3; y <= Hm - H3; ++y) widest = std::max(widest, rm(y));
    if (widest > W2 || rm(H8) > W2 || rm(H8) + rm(Hm - H8) - 2 * rm(H2) < 0 || rm(H4) > W2) return;
  }
  for (int y = H4; y < Hm - H4; ++y)
    if (2 * rm(y) > rm(H4) + rm(Hm - H8) + 1) return;
  {
    const int r = rm(6 * H / 8);
    if (r > 0 && run(W - r, Hm, up, ink, H) < H8) return;
  }
  if (Descends()) c *= 97;
  if (!Tall()) c *= 90;
  add(u'9', c);
}

void TDigitTests::ZeroOpen() const {
  // One hole, asked before the probes, as it costs nothing: every step
  // before the offer can only reject.
  if (!(W >= 3 && H > 3 && 2 * W <= 3 * H && HoleCount() == 1 && inkIn(0, W / 3, H2, H2) &&
        inkIn(Wm - W / 3, Wm, H2, H2)))
    return;
  TConf c(99);
  if (!(inkIn(W2, W2, Hm - H3, Hm) && inkIn(W2, W2, 0, H3) && !inkIn(W2, W2, H3, Hm - H3) && vx(W2) == 2 &&
        OneRunEdges()))
    return;
  {
    const int d = lm(0) - lm(2);
    if (d < 0) return;
    if (d == 0) {
      if (rm(2) < rm(0)) c *= 98;
      c *= 98;
    }
  }
  for (int y = Hm - H4 + 1; y <= Hm; ++y)
    if (rm(y) < rm(y - 1)) return;
  {
    const int q = lm(H16) + lm(Hm - H16) - 2 * lm(H2);
    const int p = 2 * rm(H2) >= rm(H16) + rm(Hm - H16) ? 1 : 0;
    if (!(q >= -(W / 8) && W8 + q >= p && (rm(H16) <= W8 || lm(H16) >= W16) &&
          (rm(Hm - H16) <= W8 || lm(Hm - H16) >= W16)))
      return;
  }
  if (SlantPattern()) {
    if (W > 31) return;
    c *= 98;
  }
  if (!Tall()) c *= 95;
  add(u'0', c);
}

bool TDigitTests::ZeroInner() const {
  if (!(W > 4 && H > 5 && HoleCount() >= 1 && HoleCount() <= 3)) return false;
  TConf c(HoleCount() != 2 ? 95 : 100);
  if (!(inkIn(0, W2, H2, H2) && inkIn(Wm - W2, Wm, H2, H2) && inkIn(W2, W2, Hm - H2, Hm) &&
        inkIn(W2, W2, 0, H2) && inkIn(W2, W2, H3, Hm - H3) && vx(W2) == 3 && OneRunEdges()))
    return true;
  if (HoleCount() != 2) c *= 85;
  if (!(lm(H32 + 2) < lm(0))) return true;
  {
    int gL = std::max(lm(H2), lm(H2 - 1));
    int gR = std::max(rm(H2), rm(H2 - 1));
    if (H > 8) {
      gL = std::max(gL, lm(H2 - 2));
      gR = std::max(gR, rm(H2 - 2));
    }
    if (lm(H4) < gL || rm(3 * H / 4) < gR) return true;
  }
  {
    int largest = rm(Hm - H3);
    for (int y = Hm - H3; y <= Hm; ++y) {
      if (rm(y) < largest - W16) return true;
      largest = std::max(largest, rm(y));
    }
  }
  // Bottom stroke and the inner element on the centre column.
  const int b = bm(W2);
  if (b > H4) return true;
  const int t = b + run(W2, Hm - b, up, paper, H);
  if (t > H3) return true;
  if (t > H4) c *= 99;
  const int p = t + run(W2, Hm - t, up, ink, H);
  if (3 * p > 2 * H) return true;
  const int e = run(W2, H - p, right, ink, W2);
  if (e == 0 || run(W2 + e - W16 - 1, H - p, up, ink, H) == 0) return true;
  for (int y = H4; y < Hm - H4; ++y)
    if (run(0, y, right, ink, Wm) > W4 || run(Wm, y, left, ink, Wm) > W4) return true;
  if (!(W8 + 2 * lm(H2) < lm(H16) + lm(Hm - H16) && (rm(H16) <= W8 || lm(H16) >= W16) &&
        (rm(Hm - H16) <= W8 || lm(Hm - H16) >= W16) && !SlantPattern()))
    return true;
  {
    int balance = 0;
    for (int y = 6 * H / 8; y < H - H16; ++y) balance += hx(y) >= 3 ? 1 : -1;
    if (balance > 0) c *= 98;
  }
  if (!Tall()) c *= 90;
  add(u'0', c);
  return true;
}

}  // namespace omniocr
