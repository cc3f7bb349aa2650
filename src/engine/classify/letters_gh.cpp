// Recognisers for G and H: a small g with a closed upper bowl, the capital G
// traced by walks round its opening and spur, a second small g told by the
// gap above its tail, then h and H.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/letters_gh_tests.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

void TLetterGHTests::SmallGClosedBowl() const {
  if (!(4 * T >= 3 * AscLine() + MeanLine() && W > 2 && H > 4 && HoleCount() <= 3)) return;
  // A hole that closes in the upper part: the bowl. Asked before the page
  // probes, as the context already holds it.
  {
    bool upperBowl = false;
    for (int i = 0; i < HoleCount() && !upperBowl; ++i) upperBowl = Holes[i].MaxY < 5 * H / 8;
    if (!upperBowl) return;
  }
  if (!(P.inkIn(xc, xc, B - H2, B) && P.inkIn(R - W4, R, B - H4, B) && P.inkIn(xc, xc, T, yc) &&
        (P.cross(xc, T, xc, B) >= 3 || P.cross(R - W2, T, R - W2, B) >= 3)))
    return;
  if (!(someHx(H4, Hm, 2) && inkIn(0, W2, 7 * H / 8, 7 * H / 8))) return;
  // Near the left edge a stroke from the top ends, or the ink starts, before
  // the last sixteenth.
  {
    const int e = tm(W16);
    int r = e;
    if (e <= H8) r += run(W16, e, down, paper, H);
    if (!(16 * r < 15 * H)) return;
  }
  TConf c;
  // The right side: the tail's hook crosses the lower half of column R.
  {
    const int ym = (T + B) / 2;
    if (P.cross(R, ym, R, B) >= 2) {
      c = P.cross(R, T, R, ym) > 0 ? 98 : 94;
      if (P.cross(R - 1, T, R - 1, ym) == 0) c *= 95;
    }
  }
  // With ink near the right edge through the middle, rows near the top or the
  // bottom that cross three strokes cost.
  {
    int m = 0;
    for (int y = H4; y < H - H4; ++y) m = std::max(m, rm(y, H));
    if (m < W2) {
      if (P.cross(L, T + H4, R, T + H4) > 2 || P.cross(L, T + H8, R, T + H8) > 2) c *= 90;
      if (P.cross(L, B - H4, R + W4, B - H4) > 2 || P.cross(L, B - H8, R + W4, B - H8) > 2) c *= 90;
    }
  }
  if (hx(H2) > 2) c *= 99;
  if (DescLine() == 0) c *= 98;
  if (Tall()) c *= 96;
  if (!Descends()) c *= 96;
  c *= 98;
  add(u'g', c);
}

// Returns without a candidate, also where a g is more likely (no two-run row
// near the bottom): the second g test runs after it in every case.
void TLetterGHTests::CapitalG() const {
  if (!(W > 3 && H > 4 && HoleCount() <= 1)) return;
  // A G has no hole. Asked first, as it costs nothing: every step before the
  // offer can only reject, so their order decides nothing.
  if (HoleCount() != 0) return;
  // Single rows and a column first, the rectangle last.
  if (!(P.inkIn(L, xc, T + H3, T + H3) && P.inkIn(xc, xc, B - H4, B) && P.inkIn(L, xc, B - H3, B - H3) &&
        P.inkIn(xc, R - W4, T, T + H4)))
    return;
  // The opening on the right, under a single top stroke.
  {
    const int y0 = P.nextRow(R - W2, R, T + H4, B - H3 - 1, false);
    if (y0 >= B - H3) return;
    if (!(P.cross(xc, T, xc, y0) == 1 && P.cross(xc + 1, T, xc + 1, y0) == 1)) return;
  }
  {
    // In from the right through the lower right stroke to the paper inside it.
    int x = R, y = B - H3;
    P.walk(x, y, stop, left);
    if (x < R - 3 * W / 8) return;
    P.walk(x, y, left, stop);
    if (x < xc) {
      x = R;
      y = B - H4;
      P.walk(x, y, stop, left);
      P.walk(x, y, left, stop);
    }
    if (x < xc) return;
    // Climbing over that stroke leaves the box on the right at the spur.
    P.walk(x, y, up, right);
    if (!(x > R && T + 3 * H / 8 <= y && y <= B - H4)) return;
    // From the bottom, left through paper and up over ink, to the left side.
    x = R - W / 3;
    y = B;
    P.walk(x, y, up, left, L, R, T + H4, B);
    const int xh = x;
    if (xh > L + (W + 4) / 4) return;
    // Then up the outside of the left curve and out through the top.
    x = xh + 1;
    P.walk(x, y, up, right, L, R, T, B);
    if (!(y < T)) return;
  }
  // The left column's lowest ink lies below its top quarter (asked after
  // the walks round the right side, which turn most glyphs away).
  {
    int x = L, y = B;
    P.walk(x, y, stop, up);
    if (y < T + H4) return;
  }
  TConf c;
  if (W >= 5 && H > 6) {
    bool twoRunsAtTop = false, twoRunsAtBottom = false;
    for (int y = 0; y < H3; ++y) {
      if (hx(y) == 2) twoRunsAtTop = true;
      if (hx(Hm - y) == 2) twoRunsAtBottom = true;
    }
    if (!twoRunsAtBottom) return;
    c = twoRunsAtTop ? 100 : 98;
  }
  if (!someHx(H2, Hm, 2)) return;
  // The lower left curve does not step back in.
  {
    int k = 0;
    for (int y = 3 * H / 4; y < H; ++y) {
      const int s = lm(y);
      if (s < k - W / 20) return;
      k = std::max(k, s);
    }
  }
  // The spur: the widest paper left of the right edge's ink in the middle.
  {
    int ms = 0, ns = H4;
    for (int y = H4; y < H - H4; ++y) {
      const int o = rm(y, W4);
      const int p = run(Wm - o, y, left, paper, W2);
      if (p > ms) {
        ms = p;
        ns = y;
      }
    }
    if (!(H4 < ns && ns < H - H4)) return;
  }
  // The inner corner under the bar: paper with ink right, above-right and above.
  if (!innerCorner(W2, W - 3, H2, H - 4)) c *= 95;
  if (!Tall()) c *= 90;
  if (Descends()) c *= 90;
  add(u'G', c);
}

void TLetterGHTests::SmallGTail() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 2)) return;
  // The outline checks of a few rows come first, then those of many rows:
  // they need no row of the gap and cost less than the crossings and holes.
  // Every step before the offer can only reject, so their order decides
  // nothing.
  // The right edge does not cave in at the middle.
  {
    const int a = rm(H8);
    if (a > W2) return;
    const int b = rm(Hm - H8);
    if (a + b - 2 * rm(H2) < 0) return;
  }
  // Under the right edge's ink three quarters down, the tail goes on down.
  {
    const int f = rm(6 * H / 8);
    if (f > 0 && run(W - f, Hm, up, ink, H) < H8) return;
  }
  if (P.lm(B, H) > W / 3 && P.lm(B - 1, H) > W / 3) return;
  if (!(P.cross(xc, T, xc, B) == 3 || P.cross(L + W4, T, R - W4, B) == 3)) return;
  // The right edge does not cave in, beyond a small tolerance, anywhere
  // between a quarter and the last eighth.
  {
    const int a = rm(H4);
    if (a > W2) return;
    const int b = rm(Hm - H8);
    for (int y = H4; y < Hm - H4; ++y)
      if (a + b - 2 * rm(y) < -((W + 16) / 16)) return;
  }
  {
    int widest = 0;
    for (int y = T + H3; y <= B - H3; ++y) widest = std::max(widest, P.rm(y, W));
    if (widest > W2) return;
  }
  // The gap left of the tail's joint: the widest left margin below the middle,
  // followed past a thin stroke on the row below.
  int m = 0, yu = yc;
  for (int y = yc; y <= B - 3 * H / 16; ++y) {
    int s = P.lm(y, W);
    if (s > 2 && s > W4 && y < B - 3 && s < W2) s = s + P.run(L + s - 2, y + 1, right, ink, W) - 2;
    if (s > m) {
      m = s;
      yu = y;
    }
  }
  if (m < 4 * W / 8) return;
  if (P.cross(xc, yu, R, B) != 1 && P.cross(xc, yu + 1, R, B) != 1) return;
  if (pageHoles(L, R, T, yu + 1) != 1) return;
  if (pageHoles(L, R, yu - 1, B) != 0) return;
  TConf c;
  if (P.cross(L, T + H4, R, T + H4) >= 3) c *= 90;
  if (P.cross(L, B - H4, R + W4, B - H4) > 2 || P.cross(L, B - H8, R + W4, B - H8) > 2) c *= 90;
  if (DescLine() == 0) c *= 98;
  if (Tall()) c *= 96;
  if (!Descends()) c *= 96;
  add(u'g', c);
}

void TLetterGHTests::SmallH() const {
  if (!(W > 2 && H > 3 && H >= W && HoleCount() <= 1)) return;
  if (!(inkIn(0, W2, H8, H8) && inkIn(0, W2, H2, H2) && inkIn(W2, Wm, Hm - H3, Hm - H3) &&
        inkIn(W2, W2, H / 5, Hm - H3)))
    return;
  // Nothing right of the ascender at the top; the right leg reaches the bottom.
  const int xs = Wm - W / 3;
  if (inkIn(xs, Wm, 0, 1) || inkIn(xs, Wm, 1, H / 6)) return;
  if (!(H <= 18 || !inkIn(xs, Wm, H / 6, H / 5))) return;
  if (!inkIn(xs, Wm, Hm - H4, Hm)) return;
  // Paper between the legs.
  if (P.inkEveryColumn(L + W / 3, R - W / 3 - 1, B - H3, B)) return;
  // The ink at the edges three quarters down is at least half of that a
  // quarter down; a hole lying only in the middle band is no h.
  {
    const int d = run(0, H4, right, paper, W) + run(Wm, H4, left, paper, W);
    const int k = run(0, H - H4, right, paper, W) + run(Wm, H - H4, left, paper, W);
    if (k < d / 2) return;
    if (HoleCount() > 0 && Holes[0].MinY > H3 && Holes[0].MaxY < Hm - H3) return;
  }
  if (rm(H3) + W8 < rm(H2) && rm(Hm - 1) + W8 < rm(H2)) return;
  TConf c;
  // A stem that leans in at the bottom costs more the further it leans: the
  // cost doubles with every column, and from seven columns no h is left (the
  // power is bounded there, before it could leave the integer range).
  {
    const int e = lm(Hm - H4);
    if (e > 1 && P.cross(L, T + H8 + 2, L, yc) == 1) {
      const int p = e % 32;
      if (p >= 7) return;
      c = 99 - (1 << p);
      if (P.cross(L, T, L, T + H8 + 2) == 0) c *= 97;
      if (P.cross(xc, T, xc, T + H8 + 2) == 1) c *= 97;
      if (c < 1) return;
    }
  }
  // The arch: right of the stem, every column has ink in the upper part.
  for (int x = lm(H4) + 1; x <= xs; ++x)
    if (tm(x) > 5 * H / 8) return;
  if (P.cross(L, B - 3 * H / 8, R, B - 3 * H / 8) > 2) c *= 96;
  // Ink near the top right, where the ascender alone should be.
  {
    const int y1 = H16 + 1;
    const int r1 = rm(y1);
    if (r1 < W4) c *= 98;
    const int x1 = W + W8 - r1 + 1;
    if (cross(x1, 0, x1, y1) > 0) c *= 95;
    if (P.rm(T + y1, W) < W4) c *= 98;
    if (P.rm(T, W) < W4 || P.rm(T + 1, W) < W4) c *= 98;
  }
  if (Descends()) c *= 98;
  if (!Tall()) c *= 97;
  add(u'h', c);
}

void TLetterGHTests::CapitalH() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 1)) return;
  // An H has no hole. Asked here, not last, as it costs nothing and every
  // step before the offer can only reject.
  if (HoleCount() != 0) return;
  if (!((hx(H4) == 2 || hx(H4 - 1) == 2) && (hx(3 * H / 4) == 2 || hx(3 * H / 4 + 1) == 2))) return;
  if (lm(H8) + rm(H8) > W2) return;
  // The right stem stands straight on three kept margins, asked before the
  // page is scanned row by row.
  {
    const int a = rm(H4);
    if (a > W2) return;
    const int b = rm(H2);
    if (b < a - W4 || b > a + W8) return;
    const int d = rm(Hm - H4);
    if (d < b - W4 || d > b + W8) return;
    if (std::abs(a + d - 2 * b) > W16 + 1) return;
  }
  // The crossbar: the first row of the longest first ink run in the middle.
  int yl = 0;
  {
    int longest = 0, yb = T + H3;
    for (int y = T + H3; y < B - H3; ++y) {
      const int width = P.fw(y);
      if (width > longest) {
        longest = width;
        yb = y;
      }
    }
    if (longest <= W2) return;
    yl = yb - T;
  }
  if (!(hx(yl) == 1 || hx(yl + 1) == 1)) return;
  for (int y = yl; y < H - H4; ++y)
    if (hx(y) >= 3 && hx(y + 1) > 2) return;
  // Both stems stand at the box's edges through the height: every row,
  // asked once the crossbar is found.
  int m = 0;
  for (int y = T + H / 10; y < B - H / 10; ++y) {
    const int s = P.lm(y, W) + P.rm(y, W);
    if (s > W2) return;
    m = std::max(m, s);
  }
  for (int y = H4; y < Hm - H4; ++y)
    if (m - lm(y) - rm(y) > W / 5) return;
  // Paper between the stems above and below the bar, and one run down the middle.
  if (P.inkEveryColumn(L + W4, R - W4, T, T + H4)) return;
  if (P.inkEveryColumn(L + W4, R - W4, B - H4, B)) return;
  {
    bool oneRun = false;
    for (int x = L + W4; x <= R - W4 && !oneRun; ++x) oneRun = P.cross(x, T + H8, x, B - H8) == 1;
    if (!oneRun) return;
  }
  if (!(P.someHx(T, T + H4, 2) && P.someHx(B - H4, B, 2))) return;
  if (!(P.inkIn(R - W8, R, T, T + H8) && P.inkIn(L, L + W8, B - H8, B))) return;
  // The box's diagonal crosses two strokes or more.
  if (P.cross(L, T, R, B) < 2) return;
  // A thin right leg with a wide gap before it.
  {
    const int yq = Hm - H4;
    const int q = fw(H4);
    const int s = fw(yq);
    const int r = run(Wm - rm(yq), yq, left, paper, W);
    const int yv = H2 + H8 + 1;
    const int u = lm(yv);
    if (run(u + inkRun(u, yv), yv, right, ink, W) < W2 - 1 && 6 * s < 5 * q && 6 * s < 5 * r && s < q &&
        s < r)
      return;
  }
  if (W > 8 && rm(3 * H / 8) - rm(H8) > W4 && rm(3 * H / 8) - rm(Hm - H8) > W4) return;
  TConf c = Descends() ? 99 : 100;
  if (!Tall()) c *= 98;
  add(u'H', c);
}

void RecognizeG(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterGHTests t(TGlyphView::OfBox(engine, context));
  t.SmallGClosedBowl();
  t.CapitalG();
  t.SmallGTail();
}

void RecognizeH(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterGHTests t(TGlyphView::OfBox(engine, context));
  t.SmallH();
  t.CapitalH();
}

}  // namespace omniocr
