// Recognisers for K and L.
//
// RecognizeK tries a small k (an ascender stem with a short arm and leg that
// stay below the top), then a capital K (arm and leg traced to their tips,
// each joined to the stem by a straight stroke). RecognizeL tries a capital L
// (a stem that may lean, and a wide foot), then a small l, which is mostly a
// list of the narrow shapes that are not an l. A rejection ends only its own
// test; each test offers what it finds through SetAC.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TLetterKLTests : public TGlyphView {
 public:
  explicit TLetterKLTests(const TGlyphView& view) : TGlyphView(view) {}

  void SmallK() const;
  void CapitalK() const;
  void CapitalL() const;
  void SmallL() const;
};

// ---------------------------------------------------------------------------
// k: an ascender stem, arm and leg below the top.

void TLetterKLTests::SmallK() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1)) return;
  // What the record already knows first. An ascender: the top reaches the
  // middle between ascender and mean line.
  if (AscLine() + MeanLine() < 2 * T) return;
  // A loop (the arm closed against the stem) lies below the top quarter,
  // clear of the lower quarter and of the right quarter.
  if (HoleCount() > 0 && (Holes[0].MinY < H4 || Holes[0].MaxX > Wm - W4 || Holes[0].MaxY > Hm - H4)) return;

  // Kept row crossings first, then the partial crossings of two rows.
  if (!(hx(0) == 1 || hx(1) == 1)) return;
  if (!(hx(Hm) == 2 || hx(Hm - 1) == 2)) return;
  if (cross(0, H8, 3 * W / 4, H8) != 1) return;
  if (cross(0, 3 * H / 16, 3 * W / 4, 3 * H / 16) != 1) return;
  if (!(W >= 8 || cross(Wm, H4, Wm, Hm) == 2 || cross(Wm - 1, H4, Wm - 1, Hm) == 2)) return;

  // A straight stem on the left.
  {
    const int a = lm(H2 - H4);
    const int b = lm(H2);
    const int d = lm(H2 + H4);
    if (b > W2) return;
    if (std::abs(a + d - 2 * b) > W16 + 1) return;
    if (a < d - 1) return;
  }
  // Stem top, leg foot, nothing at the upper right, arm and leg on the right.
  if (!P.inkIn(L, L + W2, T, T + H4)) return;
  if (!P.inkIn(L + W2, R, B - H3, B)) return;
  if (P.inkIn(R - W4, R, T, T + 3 * H / 16)) return;
  if (!P.inkIn(R - W4, R, T + H4, B - H4)) return;
  if (!P.inkIn(R - W4, R, B - H8, B)) return;

  if (!P.inkEveryRow(L, R, T + 1, T + H2 - 1)) return;

  // Leg: the deepest right margin of the lower rows.
  int bmax = -1;
  int yb = 5 * H / 8;
  for (int y = 5 * H / 8; y < 7 * H / 8; ++y) {
    const int r = rm(y);
    if (r > bmax) {
      bmax = r;
      yb = y;
    }
  }
  if (bmax < W4) return;

  // The leg runs as ink from that notch down to its foot.
  {
    int d = rm(Hm);
    if (d > W2) d = rm(Hm - 1);
    if (d > W2) return;
    const int e = run(Wm - d, Hm, left, paper, W);
    if (cov(Wm - bmax, yb, Wm - d - e / 2, Hm) <= 59) return;
  }

  // A notch between arm and leg opens at the right edge.
  {
    bool notch = false;
    for (int y = H2; y < H - H4 && !notch; ++y) notch = cov(Wm - W4, y, Wm, y) <= 12;
    if (!notch) return;
  }

  // Some column of the left half is mostly ink from top to bottom: the
  // coverage of whole page columns, asked after the leg and the notch.
  {
    bool stem = false;
    for (int x = L; x <= L + W2 && !stem; ++x) stem = P.cov(x, T, x, B) >= 51;
    if (!stem) return;
  }

  if (!P.someHx(T + H3, B - 1, 2)) return;

  if (W > 8 && 4 * fw(Hm) > 3 * W) return;  // a foot across the box

  TConf c = bmax < W2 ? 98 : 100;
  {
    // A stem that starts right of the left quarter under a top bar (an f or a t).
    const int a4 = lm(H4);
    if (a4 > W4 && a4 + run(a4, H4, right, paper, W) > W2 && lm(0) <= W4 && rm(0) >= W2) c *= 90;
  }
  if (Descends()) c *= 98;
  if (!Tall()) c *= 98;
  add(u'k', c);
  add(u'K', Factor(c, 98));
}

// ---------------------------------------------------------------------------
// K: arm and leg traced to their tips, each a straight stroke from the stem.

void TLetterKLTests::CapitalK() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 1)) return;
  // A narrow glyph that is short and not tall is turned away below, before
  // its stem is looked for; asked first, the box and the context hold it.
  if (W <= 8 && H <= 15 && !Tall()) return;

  // The edges first, a handful of margins, before rows and columns are
  // scanned. The right edge reaches furthest in at the middle.
  {
    const int s = P.rm(T + H4, W);
    if (s > W2) return;
    const int m = std::max(P.rm(T + H2, W), P.rm(T + 3 * H / 8, W));
    if (s >= m || P.rm(B - H4, W) >= m) return;
  }
  // The left edge may not cave in at mid-height.
  if (H > 16 && lm(H4) + lm(3 * H / 4) < 2 * lm(H2) - W32 - 2) return;

  if (!inkEveryRow(0, W2, H8, Hm - H8)) return;

  // The arm opens from the top: the first column whose top margin reaches a
  // quarter of the height ends the scan; none may reach past three quarters.
  {
    bool opened = false;
    for (int x = L + W4; x <= R - W4 && !opened; ++x) {
      const int t = P.run(x, T, down, ink, Hm);
      if (t > 3 * H / 4) return;
      opened = t >= H4;
    }
    if (!opened) return;
  }
  // The leg leaves paper at the bottom between stem and foot.
  if (P.inkEveryColumn(L + W4, R - W4, B - H4, B)) return;
  if (!P.someVx(L + W / 3, R - W8, 2)) return;
  if (!P.someHx(T, T + H4, 2)) return;
  if (W < 10 && !P.someHx(T + H3, B - H3, 1)) return;
  if (!P.someHx(B - H4, B, 2)) return;
  if (!P.inkIn(R - W / 3, R, T, T + H8)) return;

  // Arm geometry over the top and bottom quarters and around the middle.
  int ru = W, yu = 0;             // upper tip: the smallest right margin at the top
  int rl = W, yl = Hm;            // leg tip: the smallest right margin at the bottom
  int rn = 0, yn = H2;            // notch: the largest right margin about the middle
  int xj = Wm - rm(H2), yj = H2;  // junction of the arm with the stem
  for (int F = 0; F < H4; ++F) {
    if (rm(F) < ru) {
      ru = rm(F);
      yu = F;
    }
    if (rm(Hm - F) < rl) {
      rl = rm(Hm - F);
      yl = Hm - F;
    }
    if (rm(H2 + F) > rn) {
      rn = rm(H2 + F);
      yn = H2 + F;
    }
    if (rm(H2 - F) > rn) {
      rn = rm(H2 - F);
      yn = H2 - F;
    }
    const int y = H2 - F;
    const int s = secondRun(y);
    if (s < xj) {
      xj = s;
      yj = y;
    }
    if (Wm - rm(y) < xj) {
      xj = Wm - rm(y);
      yj = y;
    }
  }
  const int xu = Wm - ru;
  const int xn = Wm - rn;
  const int xl = Wm - rl;

  // A straight stem between the quarter rows.
  {
    const int a = lm(H4);
    const int e = lm(H - H4);
    if (cov(a + fw(H4) / 2, H4, e + fw(H - H4) / 2, H - H4) < 95) return;
  }

  if (W > 8) {
    const int xn2 = xn - run(xn, yn, left, paper, W) / 4;
    if (xn2 > 5 * W / 8) return;
    const int xj2 = xj + run(xj, yj, right, paper, W) / 4;
    if (xj2 > 5 * W / 8) return;
    // The arm is a straight ink stroke from the junction to its tip.
    const int xu2 = xu - run(xu, yu, left, paper, W) / 4;
    const int k = run(xj2, yj, left, paper, xj2);
    if (!(cov(xj2, yj, xu2, yu) >= 95 || cov(xj2 - k / 2, yj, xu2, yu) >= 95)) return;
    // The leg is a straight ink stroke from the notch to its tip.
    const int xl2 = xl - run(xl, yl, left, paper, W) / 4;
    if (cov(xn2, yn, xl2, yl) < 95) return;
    if (!(xn2 + run(xn2, yn, right, paper, W) < xl2)) return;
  } else {
    if (H <= 15 && !Tall()) return;
    bool longStem = false;
    for (int x = 0; x <= 2 && !longStem; ++x) longStem = run(x, 1, down, paper, H) > 3 * W / 4;
    if (!longStem) return;
  }

  TConf c;
  if (rm(Hm - H4) <= W8) {
    // Ink at the right edge low down: a hole ending above it is a bowl (an R).
    if (HoleCount() > 0 && Holes[0].MaxY < Hm - H3) return;
    c = 99;
  }
  if (BaseLine() >= 1) {
    if (!Tall()) c *= 96;
    if (Descends()) c *= 96;
  }
  add(u'K', c);
  add(u'k', Factor(c, 98));
}

// ---------------------------------------------------------------------------
// L: a stem that may lean and a foot at least three quarters of the box wide.

void TLetterKLTests::CapitalL() const {
  if (!(W >= 3 && H >= 5 && HoleCount() < 2)) return;
  if (!(rm(H2) >= 3 || H < 9)) return;
  // One run on rows H/3 and H/8: asked before the scans of the foot and the
  // stem, which cost more; either failing rejects the glyph.
  if (hx(H3) != 1) return;
  if (hx(H8) != 1) return;

  // The stem at mid-height stays in the left half: one row, asked before
  // the foot's rows.
  const int u = P.lm(T + H2, W);
  if (u > W2) return;
  const int v = P.run(L + u, T + H2, right, paper, W);
  if (u + v > W2) return;

  // Foot: the widest first ink run of the bottom quarter, on the page.
  int o = 0;
  for (int y = B - H4; y <= B; ++y) o = std::max(o, P.fw(y));
  if (o < 3 * W / 4) return;

  // A hook at the upper right is left to the l.
  if (rm(0) < W8 && rm(H4) > W2 && lm(5 * H / 8) < W4 && rm(3 * H / 4) < W4) return;

  // The stem may lean right by up to about 3W/8 at the top and keeps its
  // width down to the foot.
  for (int y = T; y <= B - H4; ++y) {
    const int a = P.lm(y, W);
    if (a > W * (B - H4 - y) / (2 * H) + (W + 2) / 4) return;
    const int e = P.fw(y);
    if (y > T + H8 && (e > v + 1 || 4 * e < 3 * v)) return;
    if (4 * e > 3 * o) return;
  }

  if (cross(0, Hm - H2, Wm - W8, Hm - H2) != 1) return;

  TConf c;
  if (lm(Hm) - lm(H - 3) > W16 + 1) c *= 96;  // the foot's bottom row starts further right
  if (Descends()) c *= 80;
  if (!Tall()) c *= 99;
  if (5 * W < 2 * H && P.lm(B, W) > W4) c *= 99;
  add(u'L', c);
}

// ---------------------------------------------------------------------------
// l: a plain stem, told apart from other narrow shapes.

void TLetterKLTests::SmallL() const {
  if (!(W < H && H >= 7 && MarkAbove() == 0)) return;
  if (!(hx(H2) == 1 && hx(H4) == 1)) return;
  // No two rows in a row above the lower quarter cross other than once:
  // kept crossings, asked before the stem and its ends are measured.
  for (int y = 1; y < 3 * H / 4; ++y)
    if (hx(y) != 1 && hx(y - 1) != 1) return;
  TConf h;

  // Stem width over the middle half: the widest and the narrowest run
  // may differ at most twofold. Once they do, the widest only grows and
  // the narrowest only shrinks, so the scan stops there.
  int r = 0, o = W;
  for (int y = H4; y < H - H4; ++y) {
    const int f = fw(y);
    r = std::max(r, f);
    o = std::min(o, f);
    if (2 * o < r) return;
  }

  // Lower-case height only, or standing below the mean line.
  if (BaseLine() >= 1 && BaseLine() - MeanLine() >= H) h *= 94;
  if (MeanLine() - AscLine() >= 2 && T >= MeanLine()) h *= 94;

  // Top quarter: the widest run, and the left margin below it.
  {
    int t = 0, u = 0;
    for (int y = 0; y < H4; ++y) {
      u = std::max(u, lm(y));
      if (fw(y) > t) {
        t = fw(y);
        u = 0;
      }
    }
    if (4 * o < t || 2 * W < 3 * u) {
      if (rm(Hm) > 3 * W / 8 || lm(Hm) > 3 * W / 8) return;
    }
  }

  // Serifs wide at both ends: an I.
  const int w = std::max(fw(0), fw(1));
  {
    const int z = std::max(fw(Hm), fw(H - 2));
    if (w > r + W8 + 1 && z > r + W8 + 1) return;
  }

  // The right edge of the top may not step outward; two strokes at the top.
  bool twoAtTop = false;
  for (int k = 1; k < H4; ++k) {
    if (k >= 2 && rm(k) > rm(k - 1) + 1) return;
    if (hx(k) == 2 && hx(k + 1 + H32) == 2) twoAtTop = true;
  }
  if (twoAtTop) {
    bool twoAtBottom = false;
    for (int y = 3 * H / 4; y <= H - 1 && !twoAtBottom; ++y) twoAtBottom = hx(y) == 2 && hx(y - 1 - H32) == 2;
    if (!twoAtBottom) return;
  }

  if (W >= 4 && !inkIn(Wm - W8, Wm, 0, H / 6) && inkIn(Wm - W8, Wm, 0, H2)) return;

  // A bar across the top over a bare middle: a T.
  if (!inkIn(Wm - W8, Wm, H4, H3) && !inkIn(0, W8, H4, H3) && inkIn(Wm - W8, Wm, 0, H8) &&
      inkIn(0, W8, 0, H8))
    return;
  // A right edge bare in the lower half, ink on the left there and on both
  // sides at the top: a bracket or an f.
  if (!inkIn(Wm - W8, Wm, H2, Hm) && inkIn(0, W8, H2, Hm) && inkIn(Wm - W8, Wm, 0, H3) && inkIn(0, W8, 0, H3))
    return;

  if (W >= 4 && !inkEveryRow(W4, Wm - W4, H2, H - 2)) return;

  // The right edge may not recede below the top.
  {
    int g = W;
    for (int y = HB - 1 - 5 * H / 16; y > H / 5; --y) {
      const int a = run(WB - 1, y, left, ink, Wm);
      if (a >= g + W16 + 2) return;
      g = std::min(g, a);
    }
  }
  // Nor the left edge advance.
  {
    int g = 0;
    for (int y = HB - 1 - H / 5; y > H / 5; --y) {
      const int a = lm(y, Wm);
      if (a + W16 + 2 < g) return;
      g = std::max(g, a);
    }
  }

  if (P.inkIn(L, R, B + 1, B + H3)) return;  // the glyph goes on just below its box

  {
    const int j = rm(H16);
    const int k = rm(H2);
    if (j >= 4 && k >= 4 && inkIn(Wm - j / 2, Wm - j / 2, 0, H2)) return;
  }

  // Two strokes in the lower part that do not meet the stem above them.
  {
    int y2 = 5 * H / 8;
    while (y2 < H && hx(y2) != 2) ++y2;
    if (y2 < H) {
      const int xg = lm(y2) + fw(y2) + gap(y2) / 2;  // the middle of the gap between the strokes
      if (cross(0, 5 * H / 8, xg, 5 * H / 8) == 0 && cross(xg, 5 * H / 8, xg, y2) == 0) return;
    }
  }

  if (W >= 9 && 4 * lm(3 * H / 4) >= W) {
    if (lm(7 * H / 8) <= W8 && rm(3 * H / 4) <= W8 && rm(7 * H / 8) <= W8) return;
  }

  if (2 * w > 5 * r && lm(H4) > W2 && inkIn(0, W8, 0, H4)) return;

  if (rm(H2) > W2 && inkIn(3 * W / 4, Wm, 3 * H / 4, Hm)) {
    if (lm(Hm) < W8) h *= 99;
    if (5 * W > 2 * H) h *= 99;
    if (5 * W > 3 * H) h *= 99;
  }

  if (!Tall() && inkIn(W4, W4, 0, H4) && !inkIn(W4, W4, H2, Hm)) return;

  if (W >= 4 && H > 3 * W) {
    if (bm(W4) < H4 && lm(Hm - H8) >= W2 && rm(Hm - H8) <= W4) {
      h *= 98;
      if (rm(H2) == 0) return;
    }
  }

  // A flag at the top left.
  {
    int m = 0;
    while (m < W2 && !inkIn(m, m, 0, H4)) ++m;
    if (!inkIn(m, m + W16, 0, H16) && !inkIn(m, m + W16, H4, H2) && inkIn(m, m + W16, H16, H4)) {
      const int n = H4;
      if (lm(n - 1) >= lm(n + 1) && tm(0) >= 2) {
        const int q = nearest(W, 16);
        if (tm(0) - tm(q + 1) < q + 1) h *= 98;
      }
      if (cross(0, n - 1, W2, n - 1) == 2) h *= 98;
    }
  }

  if (W < 8 && H < 12) {
    if (run(W2, 1, down, paper, H) >= H - 2 && lm(H2) >= 2 && tm(0) >= 2 && tm(0) < H2) return;
  }

  // Closed on the right, top and bottom: a right bracket needs ink on the left.
  if (P.colSolid(R) && P.rowSolid(T) && P.rowSolid(B)) {
    if (!P.inkIn(L, L + W4, T + 1 + H16, B - 1 - H16)) return;
  }

  if (lm(H2) >= W2 && rm(H2) < W2) h *= 98;

  // Closed on the left, top and bottom: a left bracket needs ink on the right.
  if (P.colSolid(L) && P.rowSolid(T) && P.rowSolid(B)) {
    if (!P.inkIn(R - W4, R, T + 1 + H16, B - 1 - H16)) return;
  }

  // Stems that bow to one side.
  {
    const int a = lm(H2);
    const int b = rm(H2);
    const int e = W8;
    if (lm(7 * H / 8) > a + e && lm(H8) > a + e && rm(7 * H / 8) < b - e && rm(H8) < b - e) return;
    if (lm(7 * H / 8) < a - e && lm(H8) < a - e && rm(7 * H / 8) > b + e && rm(H8) > b + e) return;
  }

  // A bar that starts below the top.
  {
    const int t0 = tm(0);
    if (H >= 12 && H8 < t0 && t0 < H2) {
      const bool rightEdgeHolds = (rm(t0) >= rm(3 * H / 16) - W8 && rm(t0 + 1) >= rm(3 * H / 16) - W8) ||
                                  (rm(t0) >= rm(H2) - W8 && rm(t0 + 1) >= rm(H2) - W8);
      const bool leftEdgeHolds = lm(t0) >= lm(3 * H / 16) - W8 && lm(t0 + 1) >= lm(3 * H / 16) - W8;
      if (!(rightEdgeHolds || leftEdgeHolds)) {
        if (lm(t0) < lm(H2) - W8 || lm(t0 + 1) < lm(H2) - W8) return;
      }
      if (lm(t0 - 1) >= 2 && W < 6) return;
      if (lm(H2) > W8 && run(0, t0, right, paper, W) >= W - 1) {  // row t0 is ink across
        if (rm(H2) > W8 && rm(t0 - 1) > W8) return;
      }
    }
  }

  if (!P.paperIn(L, R, T, B)) h *= 99;  // a solid box

  if (!Tall()) {
    const int wide = 3 * W / 4;
    if (fw(H16) > wide || fw(H16 + 1) > wide || fw(H16 + 2) > wide) return;
  }

  if (!Tall()) h *= 80;
  if (Descends()) h *= 80;
  if (h == 100) h = 99;
  add(u'l', h);
}

}  // namespace

void RecognizeK(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterKLTests tests(TGlyphView::OfBox(engine, context));
  tests.SmallK();
  tests.CapitalK();
}

void RecognizeL(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterKLTests tests(TGlyphView::OfBox(engine, context));
  tests.CapitalL();
  tests.SmallL();
}

}  // namespace omniocr
