// Digit tests for 5, 1, 2 and 3.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/digit_tests.h"

namespace omniocr {

using namespace notation;

bool TDigitTests::SlantedCentreThree() const {
  return vx(W2) == 3 || cross(5 * W / 8, 0, 3 * W / 8, Hm) == 3;
}

bool TDigitTests::HoleInUpperLeft() const {
  return HoleCount() == 0 || (Holes[0].MaxX < W / 2 && Holes[0].MaxY < H / 2);
}

void TDigitTests::Five() const {
  if (!(W >= 3 && H > 4 && HoleCount() <= 1)) return;
  // Top bar and the gap under it: asked before the centre's three runs,
  // which may need a slanted crossing; both must hold.
  const int a = tm(5 * W / 8);
  if (a > H8) return;
  const int b = a + run(5 * W / 8, a, down, paper, H);
  if (b > H4) return;
  const int gap = b + run(5 * W / 8, b, down, ink, H);
  if (gap > 5 * H / 8) return;
  // The kept margins of the stem's row and the bowl's row come next, then
  // the centre's runs, then the runs along both rows: every step up to the
  // offer's first factor only returns, so their order decides nothing.
  const int ym = (b + gap) / 2;
  const int s = lm(ym);
  if (s > W / 2) return;
  const int yb = 11 * H / 16;
  const int r = rm(yb);
  if (r > W4) return;
  if (!SlantedCentreThree()) return;
  TConf c;
  // Left stem on row ym.
  const int e = s + run(s, ym, right, paper, W);
  if (e > 5 * W / 8) return;
  const int xg = (2 * e + run(e, ym, right, ink, W)) / 2;
  // Bowl on row yb.
  const int r2 = r + run(Wm - r, yb, left, paper, W);
  if (r2 > W2) return;
  const int xb = Wm - (2 * r2 + run(Wm - r2, yb, left, ink, W)) / 2;
  // Row yt.
  const int t0 = tm(xg);
  const int t1 = t0 + run(xg, t0, down, paper, H);
  const int yt = nearest(3 * t1 + ym, 4);

  // The centre's three runs, the third condition of the rule, hold here:
  // the gate above asked them.
  if (cross(xg, yt, Wm, yt) > 0 && (hx(H2) == 1 || hx(H2 - 1) == 1)) {
    if (run(xg - 1, ym, down, ink, H) < run(xg, ym, down, ink, H)) c *= 98;
    if (run(xg + 1, ym, up, ink, H) < run(xg, ym, up, ink, H)) c *= 98;
    if (rm(1) < rm(0)) c *= 98;
    if (cross(0, Hm, W2, Hm) > 1 && cross(W2, 0, Wm, 0) > 1) c *= 98;
    if (lm(Hm) == 0) c *= 98;
  }
  // The right side of the upper half opens: a segment from the stem's gap to
  // the right edge crosses no ink (none that ends on ink does, rm(y) = 0).
  {
    int y = H4;
    while (y < 3 * H / 4 && (rm(y) == 0 || meetsInk(xg, H4, Wm, y))) ++y;
    if (y >= 3 * H / 4) return;
  }
  // The left side of the lower half opens: a segment from the left edge to
  // the bowl crosses no ink (none that starts on ink does, lm(y) = 0).
  {
    int y = H4;
    while (y <= 11 * H / 16 && (lm(y) == 0 || meetsInk(0, y, xb, 11 * H / 16))) ++y;
    if (y > 11 * H / 16) {
      y = H3;
      while (y <= 2 * H / 3 && meetsInk(0, y, xb, y)) ++y;
      if (y > 2 * H / 3) return;
    }
  }
  if (HoleCount() == 0) {
    int yq = H4;
    for (int y = H4; y < H2; ++y)
      if (lm(y) < lm(yq)) yq = y;
    const int mA = lm(H16);
    const int mB = std::max(lm((H16 + yq) / 2), lm((H16 + yq) / 2 + 1));
    const int mC = std::min(lm(yq), lm(yq - 1));
    if (!(mB >= mA || mB >= mC)) return;
  }
  if (H > 19 && W < 16 && lm(H / 5) == lm(H4) && lm(H4) < lm(H / 10) && lm(H4) + 1 < lm(1) && rm(1) < rm(0))
    c *= 98;
  if (H > 29 && W > 15 && run(W4, 3 * H / 10, down, paper, H) > 0 &&
      run(W - 2, 3 * H / 4, up, paper, H) > 0 && cross(W4, 3 * H / 10, W - 2, 3 * H / 4) == 1)
    c *= 98;
  if (H > 17 && W > 9 && (lm(H2) < W2 || lm(H2 - 1) < W2) && run(W4, 3 * H / 10, down, paper, H) > 0 &&
      run(W - 2, 2 * H / 3, up, paper, H) > 0 && cross(W4, 3 * H / 10, W - 2, 2 * H / 3) == 1)
    c *= 98;
  if (W > 7 && tm(Wm - W8) > H8) c *= 90;
  if (Descends()) c *= 98;
  if (!Tall()) c *= 98;
  add(u'5', c);
}

void TDigitTests::One() const {
  if (!(H > 4 && W < H && BaseLine() - MeanLine() < 2 * H && MarkAbove() != 1 && HoleCount() <= 1 &&
        (hx(0) == 1 || hx(1) == 1) && hx(H2) == 1 && (hx(Hm) == 1 || hx(H - 2) == 1)))
    return;
  // The outline checks of single rows: asked before the stem's and the foot's
  // scans, as they cost next to nothing. Every step before the offer can only
  // reject, so their order decides nothing.
  if (!(Tall() || rm(H4) >= rm(1) - H / 6)) return;
  if (rm(3 * H / 4) > W2 && inkIn(Wm - W4, Wm, H - 2, Hm)) return;
  if (rm(H2) > 2 * W / 3) return;
  if (lm(H8) + rm(7 * H / 8) - W > W4) return;  // leans like a slash
  TConf c;
  // Foot or plain stem.
  int f = 0;
  if (hx(3 * H / 4) == 2) {
    const int a = tm(W2);
    if (run(W2, a, down, paper, H) < Hm) return;
    const int m = rm(Hm - H16);
    if (run(W - m - 1, Hm - H16, left, paper, W) < Wm) return;
    if (run(lm(H16), H16, right, paper, W) < W2) return;
    f = 1;
  } else {
    bool twoRuns = false;
    for (int y = 1; y < H2 && !twoRuns; ++y) twoRuns = hx(y) == 2;
    if (!twoRuns) c *= 98;
    // Only compared with H/8: the count stops there.
    int irregular = 0;
    for (int y = 7 * H / 16; y < Hm && irregular < H8; ++y)
      if (hx(y) != 1) ++irregular;
    if (irregular >= H8) return;
  }
  if (cross(W2, 1, W2, Hm) != 1) c *= 96;
  // Foot height from the outer thirds of the bottom rows.
  int d = 0;
  for (int k = 0; k < W / 3; ++k) {
    d = std::max(d, run(k, H - 2, up, paper, H / 5) - 1);
    d = std::max(d, run(Wm - k, H - 2, up, paper, H / 5) - 1);
  }
  const int yf = Hm - d - 2;
  // Stem axis.
  const int u0 = lm(yf);
  const int sw = run(u0, yf, right, paper, W);
  const int xbot = u0 + (sw - 1) / 2;
  int xtop = Wm - rm(1) - (sw - 1) / 2;
  if (cov(xtop, 1, xbot, yf) < 90) {
    xtop = Wm - rm(H4) - (sw - 1) / 2;
    if (cov(xtop, H4, xbot, yf) < 90) return;
  }
  // Flag: its reach left of the stem's top, asked before the stem's and the
  // foot's scans as it costs less (the rejection only rejects; its factor
  // stays in its place below).
  int flag = W;
  for (int y = 0; y < 7 * H / 16; ++y) flag = std::min(flag, lm(y));
  if (xtop - flag < 6 * W / 16) return;
  // The stem keeps its width down the axis.
  const int mw = run((xtop + xbot) / 2, H2, right, paper, W);
  {
    int y = 0;
    for (; y < 7 * H / 8; ++y) {
      const int xa = (xbot - xtop) * y / H + xtop;
      if (run(xa, y, right, paper, W) - mw > W8 + 1) break;
    }
    if (y < 7 * H / 8) c *= 98;
    if (y < 6 * H / 8) return;
  }
  // Foot balance.
  {
    int footL = 0, footR = 0;
    for (int y = 7 * H / 8 + 1; y <= Hm; ++y) {
      footL = std::max(footL, run(xbot, y, left, paper, W));
      footR = std::max(footR, run(xbot, y, right, paper, W));
    }
    if (std::abs(footL - footR) > rW(8) + 1) c *= 98;
  }
  // Flag.
  if (xtop - flag < 7 * W / 16) c *= 98;
  // Stem and top.
  {
    const int s = lm(H2);
    if (run(s, H2, right, paper, W) > s + (H + 16) / 32) c *= 98;
    const int a = lm(0);
    int b = lm(1);
    if (a < b) c *= 98;
    if (a == b) {
      b = lm(H8);
      if (a < b && f == 0) c *= 98;
      if (a == b) {
        b = lm(H4);
        if (a < b) c *= 98;
      }
    }
  }
  // Shoulders: the flag side reaches lower than the other side.
  {
    int P = 0, Q = 0;
    for (int x = 0; x < Wm; ++x) {
      const int t = tm(x);
      if (t >= H2) continue;
      if (x < xtop)
        P = std::max(P, t);
      else
        Q = std::max(Q, t);
    }
    if (P < H16 + Q) c *= 98;
  }
  if (cross(3 * W / 4, 1, 3 * W / 4, H2) > 1)
    c *= 98;
  else if (cross(3 * W / 4, Hm, 3 * W / 4, H2) > 1)
    c *= 98;
  {
    const int a = tm(0);
    if (H > 11 && H8 < a && a < H2) {
      if (rm(a) < rm(3 * H / 16) - W8 || rm(a + 1) < rm(3 * H / 16) - W8) c *= 98;
      if (lm(3 * H / 4) < lm(Hm - H32) - W8 && rm(Hm - H32) < rm(3 * H / 4) - W8) c *= 98;
      if (lm(a - 1) > 1 && W < 6) {
        c *= 99;
        if (rm(a - 1) > 1) c *= 98;
      }
    }
  }
  if (W > 8) {
    if (lm(3 * H / 4) - lm(H2 - 1) > W4) c *= 95;
    if (rm(H2 - 1) - rm(3 * H / 4) > W8) c *= 95;
    if (rm(H16) - rm(H4) > W8) c *= 95;
  }
  {
    int least = lm(0);
    bool rises = false;
    for (int y = 1; y < H2 && !rises; ++y) {
      const int m = lm(y);
      rises = m > least;
      least = std::min(least, m);
    }
    if (!rises) c *= 98;
  }
  if (BaseLine() != 0 && !Tall()) c *= 98;
  if (Descends()) c *= 98;
  if (BaseLine() != 0 && glyph().Top > (MeanLine() + BaseLine()) / 2) c *= 90;
  if (HoleCount() > 0) c *= 80;
  add(u'1', c);
}

void TDigitTests::Two() const {
  if (!(W >= 3 && H > 4 && HoleCount() <= 1)) return;
  // No hole but in the upper left. Asked first, as it costs nothing: every
  // step before the offer can only reject, so their order decides nothing.
  if (!HoleInUpperLeft()) return;
  if (!(inkIn(rW(2), rW(2), Hm - rH(5), Hm) && inkIn(rW(2), rW(2), 0, rH(5)) &&
        inkIn(rW(8), Wm - rW(3), Hm - rH(3), Hm - rH(3)) && inkIn(Wm - rW(3), Wm, rH(3), rH(3)) &&
        inkIn(0, rW(8), Hm - rH(16), Hm) && hx(rH(2)) == 1))
    return;
  const int y316 = nearest(3 * H, 16);
  if (!(!inkIn(0, rW(10), 0, 0) || !inkIn(0, rW(2), y316, y316))) return;
  TConf c;
  if (inkIn(0, rW(16), 0, 0) != inkIn(Wm - rW(16), Wm, 0, 0)) c *= 98;
  {
    int x = rW(4);
    while (x < Wm - rW(6) && vx(x) != 3) ++x;
    if (x >= Wm - rW(6)) return;
  }
  {
    bool twoRuns = false;
    for (int y = 0; y < rH(2) && !twoRuns; ++y) twoRuns = hx(y) == 2;
    if (!twoRuns) c *= 99;
  }
  // Some row of the middle holds no ink in the left third.
  if (nextRow(0, rW(3), rH(5), 3 * rH(4) - 1, false) >= 3 * rH(4)) return;
  // Trace the base and the diagonal.
  {
    int x = Wm - rW(3), y = Hm;
    walk(x, y, stop, up);
    if (y < Hm - rH(5)) return;
    walk(x, y, up, stop);
    if (y < Hm - rH(4)) c *= 99;
    if (y < Hm - rH(3)) return;
    walk(x, y, stop, up);
    if (y < rH(3)) return;
    ++y;
    walk(x, y, stop, right);
    if (x < Wm) {
      --x;
      walk(x, y, stop, up);
      if (y < rH(2)) return;
      ++y;
      walk(x, y, stop, right);
      if (x < Wm) return;
    }
  }
  {
    int largest = -1;
    bool falls = false;
    for (int y = rH(18); y <= rH(3) && !falls; ++y) {
      const int m = rm(y, Wm);
      falls = m < largest;
      largest = std::max(largest, m);
    }
    if (!falls) c *= 95;
  }
  if (tm(Wm - rW(16)) <= tm(rW(2)) + rH(32)) c *= 98;
  if (rm(H - 3 * rH(16)) < lm(H - 3 * rH(16))) c *= 98;
  if (MarkAbove() != 0) c *= 98;
  if (rm(Hm - rH(16)) > rW(4)) c *= 96;
  if (!Tall() && DescLine() != 0) c *= 80;
  add(u'2', c);
}

void TDigitTests::Three() const {
  // No hole but in the upper left: asked before the probes, as it costs
  // nothing; every step before the offer can only reject, so their order
  // decides nothing.
  if (!(W > 4 && H > 3 && HoleCount() <= 1 && HoleInUpperLeft())) return;
  if (!(inkIn(W2, W2, 0, H4) && inkIn(W2, W2, Hm - H8, Hm) && vx(W2) > 1 && cross(W4, Hm - H2, W4, Hm) > 0 &&
        tm(W2) <= H4 && bm(W2) <= H4))
    return;
  if (!(run(Wm, H3, left, ink, H) <= H4 || run(Wm, H8, left, ink, H) <= H4 ||
        run(W4, H8, right, paper, H) >= H2))
    return;
  if (run(Wm, 2 * H / 3, left, ink, H) > H4) return;
  TConf c;
  // Waist: the deepest right margin of the middle half.
  int yw = H4, k = 0;
  {
    int best = -1;
    for (int y = H4; y < 3 * H / 4; ++y) {
      const int m = rm(y);
      if (m < best) continue;  // its stroke decides nothing
      const int stroke = run(Wm - m, y, left, paper, W);
      if (m > best || stroke >= k) {
        best = m;
        yw = y;
        k = stroke;
      }
    }
  }
  if (!(3 * W >= H || rm(yw) > 1 || k >= W2)) return;
  const int xw = Wm - k - rm(yw);
  // Upper bay.
  int yu = H8, su = -1;
  {
    int best = -1;
    for (int y = H8; y < yw; ++y)
      if (lm(y) > best) {
        best = lm(y);
        yu = y;
      }
    su = best - 1;
    if (su < W2) {
      c *= 98;
      best = -1;
      for (int y = yw; y >= H / 5 + 1; --y) {
        const int v = run(xw, y, right, ink, W);
        if (v >= best) {
          best = v;
          yu = y;
        }
      }
      su = xw + best - 1;
      if (su < W2) return;
    }
  }
  // Lower bay.
  int yl = Hm - H8, sl = -1;
  {
    int best = -1;
    for (int y = Hm - H8; y >= yw + 1; --y)
      if (lm(y) > best) {
        best = lm(y);
        yl = y;
      }
    sl = best - 1;
    if (sl < W2) {
      c *= 98;
      best = -1;
      for (int y = yw; y < 4 * H / 5; ++y) {
        const int v = run(xw, y, right, ink, W);
        if (v >= best) {
          best = v;
          yl = y;
        }
      }
      sl = xw + best - 1;
      if (sl < W2) return;
    }
  }
  if (!(inkIn(su, su, yu, yl) && inkIn(sl, sl, yu, yl) && inkIn(su, su, 0, yu) && inkIn(sl, sl, yu, Hm)))
    return;
  add(u'3', c);
}

}  // namespace omniocr
