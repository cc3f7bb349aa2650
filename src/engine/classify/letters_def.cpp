// Recognisers for D, E and F: one test per case of each letter, the capital
// first for D, the small letter first for E and F. Each test starts from
// confidence 100 and ends at its first failed requirement without an offer.

#include <algorithm>

#include "engine/classify/notation.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

class TDefTests : public TGlyphView {
 public:
  explicit TDefTests(const TGlyphView& view) : TGlyphView(view) {}

  void UpperD() const;
  void LowerD() const;
  void LowerE() const;
  void UpperE() const;
  void LowerF() const;
  void UpperF() const;

 private:
  // D
  bool StemStaysStraight(int slack) const;
  bool UpperBowlNarrowsUpward(int slack) const;
  bool LowerBowlNarrowsDownward(int slack) const;
  bool LowerCornerCurves() const;
  int CountColumnsCrossedTwice() const;
  bool BowlRowsCrossTwice() const;
  bool UpperRightSingleRuns() const;
  // e
  bool CentreColumnsCrossThrice() const;
  // The lowest row the two searches for the mouth can give: they look at
  // rows T + H/3 up to B - H/6 (excluded), and give T + H/3 when there are
  // none.
  int LowestOpeningRow() const;
  // Some row FindOpening looks at has a right margin of at least W/2: the
  // W/2 columns from the right edge are paper, and the margin's limit
  // reaches that far.
  bool SomeRowOpensHalfway() const;
  void FindOpening(int& width, int& row) const;
  void FindOpeningOverTwoRows(int& width, int& row) const;
  bool SomeColumnCrossesTwiceAbove(int yo) const;
  int CountColumnsInkedBetween(int y1, int y2) const;
  int RowOfWidestLeftMargin() const;
  bool LowerRightIsEmpty() const;
  bool WaistIsNarrowest() const;
  // E
  bool TopBarFound() const;
  bool BottomBarFound() const;
  bool MiddleBarFound() const;
  bool UpperArmOpensRight() const;
  bool LowerArmOpensRight() const;
  bool LeftEdgeStaysStraight() const;
  // f
  int SingleCrossingRow() const;
  bool NoRowCrossesTwiceAbove(int yb) const;
  bool NoOverhangAbove(int yb) const;
  // F
  bool LowerRightOpens() const;
  bool TopBarCovered() const;
  bool MiddleBarWiderThanFoot() const;
  bool ArmLeavesRoomBelow() const;
  bool LeftHalfInkedEveryRow() const;
  bool SomeColumnCrossesTwice() const;
  bool SmallCurvedTopLeft() const;
};

// --- D ------------------------------------------------------------------

bool TDefTests::StemStaysStraight(int slack) const {
  // The left margin never falls back by more than slack + 1 below its widest.
  int m = 0;
  for (int y = HB - 1 - H / 8; y >= H / 5; --y) {
    const int a = lm(y, Wm);
    if (m >= a + slack + 2) return false;
    m = std::max(m, a);
  }
  return true;
}

bool TDefTests::UpperBowlNarrowsUpward(int slack) const {
  int m = W;
  for (int y = 0; y < H / 3; ++y) {
    const int a = rm(y, Wm);
    if (a > m + slack) return false;
    m = std::min(m, a);
  }
  return true;
}

bool TDefTests::LowerBowlNarrowsDownward(int slack) const {
  int m = W;
  for (int y = HB - 1; y > 2 * H / 3; --y) {
    const int a = rm(y, Wm);
    if (a > m + slack) return false;
    m = std::min(m, a);
  }
  return true;
}

bool TDefTests::LowerCornerCurves() const {
  if (!(rm(Hm - H / 16 - 1) < rm(Hm))) return false;
  const int e = run(W / 2, Hm, up, ink, H);
  const int f = H > 16 ? (e - 1) / 2 : e - 1;
  return !(f >= H / 16 && inkIn(W / 2, Wm, Hm + H / 16 - f, Hm + H / 16 - f));
}

void TDefTests::UpperD() const {
  // One hole, the bowl: asked first, the count costs nothing.
  if (!(W > 2 && H > 3 && HoleCount() == 1)) return;
  // The hole reaches from the upper to the lower third.
  if (!(Holes[0].MinY <= H / 3 && Holes[0].MaxY >= Hm - H / 3)) return;
  if (!(P.inkIn(L, L + W / 3, yc, yc) && P.inkIn(R - W / 3, R, yc, yc))) return;
  if (P.inkIn(R, R, T, T + H / 16)) return;
  if (!P.inkIn(R - W / 2, R, T + H / 4, T + H / 4)) return;
  if (!(P.cross(xc, T, xc, B) == 2 || P.cross(R - W / 3, T, R - W / 3, B) == 2)) return;
  if (!(P.cross(L, T + H / 3, R, T + H / 3) == 2 && P.cross(L, B - H / 3, R, B - H / 3) == 2)) return;
  const int s = W / 16;
  if (!StemStaysStraight(s)) return;
  if (!UpperBowlNarrowsUpward(s)) return;
  if (!LowerBowlNarrowsDownward(s)) return;
  if (!LowerCornerCurves()) return;

  const int g = bm(0);
  const int k = bm(W / 16 + 1);
  TConf c = g < H / 2 && g > H / 16 && k < g ? 96 : 100;
  if (lm(0) >= W / 2 && rm(Hm) >= W / 2 && lm(H / 2) < 2) c *= 96;
  if (MarkAbove() >= 1) c *= 94;
  if (Descends()) c *= 99;
  if (!Tall()) c *= 99;
  add(u'D', c);
}

int TDefTests::CountColumnsCrossedTwice() const {
  int n = 0;
  for (int x = 0; x < W; ++x)
    if (vx(x) == 2) ++n;
  return n;
}

bool TDefTests::BowlRowsCrossTwice() const {
  // Rows crossing the bowl twice must outnumber the busier rows by H/6 + 1.
  int a = H / 6 + 1;
  for (int y = H / 4; y < H && a > 0; ++y) {
    const int n = hx(y);
    if (n == 2)
      --a;
    else if (n > 2)
      ++a;
  }
  return a <= 0;
}

bool TDefTests::UpperRightSingleRuns() const {
  // The ascender alone: H/8 + 1 rows of the upper half with one run, on the right.
  int k = H / 8 + 1;
  for (int y = 0; y < H / 2 && k > 0; ++y)
    if (hx(y) == 1 && cross(W / 2, y, Wm, y) == 1) --k;
  return k <= 0;
}

void TDefTests::LowerD() const {
  // A hole, the bowl, below the top quarter: asked first, it costs nothing.
  if (!(W > 2 && H > 3 && HoleCount() > 0 && Holes[0].MinY >= H / 4)) return;
  // Single rows and a column first, the rectangle last.
  if (!(P.inkIn(L, xc, B - H / 3, B - H / 3) && P.inkIn(xc, R, B - H / 3, B - H / 3) &&
        P.inkIn(R - W / 4, R, T + H / 8, T + H / 8) && P.inkIn(xc, xc, B - H / 4, B) &&
        P.inkIn(L, xc, B - H / 6, B - H / 9)))
    return;
  if ((H > 19 && P.inkIn(L, L + W / 3, T, T + H / 5)) || P.inkIn(L, L + W / 3, T, T + H / 6) ||
      !P.inkIn(L, L + W / 4, B - H / 8, B) || !P.inkIn(xc - 1, xc, B - H / 8, B))
    return;
  if (rm(3 * HB / 4, Wm) + 1 < rm(HB / 4, Wm)) return;
  if (CountColumnsCrossedTwice() < W / 8 + 1) return;
  if (!BowlRowsCrossTwice()) return;
  if (!UpperRightSingleRuns()) return;

  TConf c;
  if (hx(Hm - H / 4) != 2) {
    if (H > 15) return;
    c = 96;
  }
  if (!Tall()) c *= 98;
  if (Descends()) c *= 99;
  add(u'd', c);
}

// --- e ------------------------------------------------------------------

bool TDefTests::CentreColumnsCrossThrice() const {
  // Bowl, bar and lower stroke met by the middle columns; the scan gives up
  // once the columns left could no longer make up the count.
  const int needed = std::max(W / 4 - 1, 1);
  int count = 0;
  for (int x = L + W / 4; x <= R - W / 4 && count <= W / 4; ++x) {
    if (count + (R - W / 4 - x + 1) < needed) return false;
    if (P.cross(x, T, x, B) == 3) ++count;
  }
  return count >= W / 4 - 1 && count > 0;
}

int TDefTests::LowestOpeningRow() const { return std::max(T + H / 3, B - H / 6 - 1); }

bool TDefTests::SomeRowOpensHalfway() const {
  const int last = B - H / 6 - 1;
  return W / 2 <= Hm && P.nextRow(R - W / 2 + 1, R, T + H / 3, last, false) <= last;
}

void TDefTests::FindOpening(int& width, int& row) const {
  // The widest right margin of the middle rows: the mouth under the bar.
  width = 0;
  row = T + H / 3;
  for (int y = T + H / 3; y < B - H / 6; ++y) {
    const int s = P.rm(y, Hm);
    if (s >= width) {
      width = s;
      row = y;
    }
  }
}

void TDefTests::FindOpeningOverTwoRows(int& width, int& row) const {
  // A small e's mouth may be one row high: add the margin of the row below.
  width = 0;
  row = T + H / 3;
  for (int y = T + H / 3; y < B - H / 6; ++y) {
    const int s = P.rm(y, Hm);
    const int s2 = P.run(R - s, y + 1, left, ink, Hm);
    if (s + s2 >= width) {
      width = s + s2;
      row = y;
    }
  }
}

bool TDefTests::SomeColumnCrossesTwiceAbove(int yo) const {
  for (int x = L + W / 6; x < R - W / 6; ++x)
    if (P.cross(x, T, x, yo) >= 2) return true;
  return false;
}

int TDefTests::CountColumnsInkedBetween(int y1, int y2) const {
  int n = 0;
  for (int x = L + W / 8; x < R - 1; ++x)
    if (P.inkIn(x, x, y1, y2)) ++n;
  return n;
}

int TDefTests::RowOfWidestLeftMargin() const {
  int widest = -1, ym = T;
  for (int y = T; y < B; ++y) {
    const int m = P.lm(y, Wm);
    if (m >= widest) {
      widest = m;
      ym = y;
    }
  }
  return ym;
}

bool TDefTests::LowerRightIsEmpty() const {
  return P.cross(xc, B - H / 4, R, B) == 0 && P.cross(xc, B - H / 4, R - 1, B) == 0 &&
         P.cross(xc, B - H / 4, R, B - 1) == 0;
}

bool TDefTests::WaistIsNarrowest() const {
  // The left margin at mid-height is no smaller than above and below it.
  const int m2 = P.lm(yc, W);
  return (m2 >= P.lm(T + H / 4, W) && m2 >= P.lm(T + H / 8, W)) ||
         (m2 >= P.lm(B - H / 4, W) && m2 >= P.lm(B - H / 8, W));
}

void TDefTests::LowerE() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 2)) return;
  // A tall glyph is turned away below unless its hole closes above the
  // mouth, and the mouth lies no lower than the last row searched for it:
  // a tall glyph with no hole, or with one reaching that row, is turned
  // away now, from what the context already holds.
  if (Tall() && (HoleCount() == 0 || Holes[0].MaxY >= LowestOpeningRow() - T)) return;
  // The margins at the centre row and column, each measured once.
  const int t = P.lm(yc, Wm);
  if (t > W / 3) return;
  const int top = P.tm(xc, Hm);
  if (top > H / 3) return;
  const int h = P.bm(xc, Hm);
  if (h > H / 3) return;
  if (!(P.cross(L, T + H / 4, R, T + H / 4) < 3 || P.cross(L, T + H / 4 + 1, R, T + H / 4 + 1) <= 2)) return;
  if (!(t <= W / 2 && P.lm(T, Wm) >= t && P.lm(B, Wm) >= t)) return;
  // Curved bottom.
  if (!(h <= W / 2 && P.bm(L, Hm) >= h && P.bm(R, Hm) >= h)) return;

  // Every step up to the offer is a return or a factor on c, so the steps
  // that turn most glyphs away for their cost come first: the mouth and
  // the holes against it, then the middle columns and rows, the curved top
  // last.
  // Without a row open halfway the widest margin found below is under W/2;
  // a small e's mouth may still open over two rows.
  if (H >= 12 && !SomeRowOpensHalfway()) return;
  TConf c;
  int m = 0, yo = 0;
  FindOpening(m, yo);
  if (m < W / 2 && H < 12) {
    FindOpeningOverTwoRows(m, yo);
    c *= 97;
  }
  if (m < W / 2) return;
  if (HoleCount() > 0 && yo - T < Holes[0].MinY) return;
  if (HoleCount() > 1 && yo - T < Holes[1].MinY) return;
  if (!CentreColumnsCrossThrice()) return;
  if (!P.someHx(T + 1, T + H / 2 - 1, 2)) return;  // some upper row crosses twice
  if (!SomeColumnCrossesTwiceAbove(yo)) return;
  if (H > 11 && P.cross(L, yo, R, yo) != 1) return;
  if (P.cross(L, yo, R - W / 3, yo) != 1 && P.cross(L, yo + 1, R - W / 3, yo + 1) != 1) return;
  if (HoleCount() == 0 || Holes[0].MaxY >= yo - T) {
    if (Tall()) return;
    if (CountColumnsInkedBetween(T + H / 4, yo) < W / 2) return;
  }
  // Curved top.
  const int o = std::min(top, P.tm(R - W / 3, Hm));
  if (!(top <= W / 2 && P.tm(L, Hm) >= o && P.tm(R, Hm) >= o)) return;
  const int ym = RowOfWidestLeftMargin();
  if (!(glyph().Accent != 0 || ym <= T + H / 6 || ym >= B - H / 8)) return;
  if (LowerRightIsEmpty()) {
    if (Descends()) return;
    c *= 99;
  }
  if (Tall() && P.rm(B - H / 3, W) <= W / 8 && WaistIsNarrowest()) return;
  if (lm(H - 2) < lm(H - H / 8 - 1) && H > 16) return;
  if (Descends()) c *= 98;
  if (Tall()) c *= 98;
  add(u'e', c);
}

// --- E ------------------------------------------------------------------

bool TDefTests::TopBarFound() const { return P.someRowSolid(L + W / 3, R - W / 6, T, T + H / 4 - 1); }

bool TDefTests::BottomBarFound() const { return P.someRowSolid(L + W / 6, R - W / 4, B - H / 4 + 1, B); }

bool TDefTests::MiddleBarFound() const {
  for (int y = T + H / 3; y < B - H / 3; ++y)
    if (P.fw(y) > W / 3) return true;
  return false;
}

bool TDefTests::UpperArmOpensRight() const {
  // Down onto the top bar, through it, then along its underside to the right.
  int x = R - W / 3, y = T;
  P.walk(x, y, stop, down);
  if (y > T + H / 4) return false;
  P.walk(x, y, down, stop);
  if (y > T + H / 3) return false;
  P.walk(x, y, down, right);
  return x > R && y <= T + H / 2;
}

bool TDefTests::LowerArmOpensRight() const {
  int x = R - W / 3, y = B;
  P.walk(x, y, stop, up);
  if (y < B - H / 4) return false;
  P.walk(x, y, up, stop);
  if (y < B - H / 3) return false;
  P.walk(x, y, up, right);
  return x > R && y >= T + H / 2;
}

bool TDefTests::LeftEdgeStaysStraight() const {
  const int a = P.lm(T + H / 4, W);
  if (a > W / 2) return false;
  const int b = P.lm(yc, W);
  if (b < a - W / 4 || b > a + W / 8) return false;
  const int d = P.lm(B - H / 4, W);
  if (d < b - W / 4 || d > b + W / 8) return false;
  int m = W;
  for (int y = T + H / 6; y < B - H / 9; ++y) {
    const int s = P.lm(y, W);
    if (s > m + W / 9) return false;
    m = std::min(m, s);
  }
  return true;
}

void TDefTests::UpperE() const {
  // No hole: asked first, the count costs nothing.
  if (!(W > 2 && H > 4 && HoleCount() == 0)) return;
  if (!(TopBarFound() && BottomBarFound() && MiddleBarFound())) return;
  if (!UpperArmOpensRight()) return;
  if (!LowerArmOpensRight()) return;

  TConf c;
  // Stem: under the top bar, left to the stem, then down its right side to the middle bar.
  int x = R - W / 3, y = T;
  P.walk(x, y, stop, down);
  if (y > T + H / 4) return;
  P.walk(x, y, down, stop);
  if (y > T + H / 3) return;
  y += H / 15;
  P.walk(x, y, stop, left);
  if (x < L) return;
  if (W > 15 && x == L) c *= 99;
  x += W / 15 + 1;
  P.walk(x, y, stop, down);
  if (y > B - H / 3) return;

  if (!LeftEdgeStaysStraight()) return;
  if (!(3 * W >= H || P.inkIn(xc, xc, T + H / 4, B - H / 4))) return;
  if (!Tall()) c *= 98;
  if (Descends()) c *= 98;
  add(u'E', c);
}

// --- f ------------------------------------------------------------------

int TDefTests::SingleCrossingRow() const {
  // The row just above the baseline when the baseline cuts the upper three
  // quarters of the box; else three quarters down.
  const int base = BaseLine() - T;
  if (BaseLine() > 0 && 1 <= base && base < 3 * H / 4) return base - 1;
  return 3 * H / 4;
}

bool TDefTests::NoRowCrossesTwiceAbove(int yb) const {
  for (int y = 1; y < yb; ++y)
    if (hx(y) == 2) return false;
  return true;
}

bool TDefTests::NoOverhangAbove(int yb) const {
  // An overhang: ink over a paper corner, as under the hook of the f.
  for (int y = 1; y < yb; ++y)
    for (int x = 0; x < W; ++x)
      if (!px(x + 1, y) && px(x, y - 1) && px(x + 1, y - 1) && (W < 7 || !px(x, y))) return false;
  return true;
}

void TDefTests::LowerF() const {
  // No hole: asked first, the count costs nothing.
  if (!(MarkAbove() == 0 && W > 2 && BaseLine() - MeanLine() + 1 < H && H > 5 && HoleCount() == 0)) return;
  // The hook reaches the top and one run crosses the stem low down: kept
  // margins and crossings, asked before the crossbar's rows are measured.
  if (!(tm(3 * W / 4) <= H / 8)) return;
  if (hx(SingleCrossingRow()) != 1) return;
  // No row from H/8 down starts more than W/8 right of row H/8: kept left
  // margins, asked before the crossbar is looked for.
  const int a8 = lm(H / 8);
  for (int y = H / 8; y <= Hm; ++y)
    if (lm(y) > a8 + W / 8) return;
  // Crossbar: the widest run of the upper middle rows.
  const int j0 = (3 * H + 8) / 32 + 2;
  int v = 0, yb = j0;
  for (int y = j0; y <= H / 2; ++y) {
    const int a = lm(y);
    if (y > H / 4 && a > 5 * W / 8) return;
    const int w = inkRun(a, y);
    if (w > v) {
      v = w;
      yb = y;
    }
    if (H / 4 < y && y < 3 * H / 4 && hx(y) != 1 && hx(y + 1) != 1) return;
  }
  // Stem: at most half the crossbar.
  int m = W;
  for (int y = yb + 1; y < H - H / 4; ++y) {
    const int w = fw(y);
    if (w < m) {
      m = w;
      if (v >= 2 * w) break;
    }
  }
  if (!(v >= 2 * m)) return;
  if (!(2 * v >= W || (a8 > W / 2 && 3 * v >= W))) return;
  // Right side.
  bool ok = rm(H / 2) >= W / 2 || rm(yb) < rm(H / 2) - 1 || rm(yb) < rm(yb - 1);
  if (ok) ok = lm(1) >= lm(H / 2) - 1 && (hx(0) != 1 || !Tall() || hx(Hm) == 1 || hx(Hm - 1) == 1);
  if (!ok) return;
  const bool f3 = NoRowCrossesTwiceAbove(yb);
  const bool f4 = f3 && NoOverhangAbove(yb);
  int g = W, k = W;
  for (int y = 7 * H / 8; y <= Hm; ++y) {
    g = std::min(g, lm(y));
    k = std::min(k, rm(y));
  }
  if (k + 1 < g || lm(3 * H / 4) < g) return;
  if (W > 5 && !Tall() && rm(H / 2) > 3 * W / 4 && bm(Wm) < W / 2) return;
  ok = W <= 8 || (lm(2 * H / 3) <= 2 * W / 3 && lm(2 * H / 3 - 1) <= 2 * W / 3) || rm(H / 4) <= 2 * W / 3;
  if (ok)
    ok = Tall() || P.paperIn(L + W / 8, L + W / 8, T + H / 4, B - H / 16) ||
         P.cross(R - W / 4, T, R - W / 4, B) == 2 || P.cross(R - W / 8, T, R - W / 8, B) == 2;
  if (!ok) return;
  if (H > 15 && P.cross(L, B - H / 4, R, B - H / 4) > 1 && P.cross(L, T + H / 4, R, T + H / 4) > 1) return;
  if (W > 4 && rm(3 * H / 4) > W / 2 && bm(Wm - W / 8) < H / 4) return;

  TConf c;
  if (f3) c *= 98;
  if (f4) c *= 98;
  if (lm(H / 4) > 1 && tm(0, H / 4) < H / 4) c *= 95;
  if (P.rowSolid(T)) c *= 98;
  if (!Tall()) c *= 80;  // c * 8 / 10
  int conf = c;
  if (Descends() && conf < 99) ++conf;
  add(u'f', conf);
}

// --- F ------------------------------------------------------------------

bool TDefTests::LowerRightOpens() const {
  int v = 0, j = 0;
  for (; j < H / 4; ++j) {
    const int a = rm(Hm - j);
    if (a <= 2 || 3 * a < W) break;
    v = std::max(v, a);
  }
  return j >= H / 4 && v >= W / 2;
}

bool TDefTests::TopBarCovered() const {
  for (int k = 0; k < H / 4; ++k) {
    const int l = lm(k), r = rm(k);
    if (W - l - r > W / 2 && cov(l, k, Wm - r, k) > 90) return true;
  }
  return false;
}

bool TDefTests::MiddleBarWiderThanFoot() const {
  const int w = fw(Hm - H / 4);
  for (int y = H / 3; y < Hm - H / 3; ++y) {
    const int f = fw(y);
    if (f > W / 3 && (W > 8 ? f > 2 * w : f > w + 1)) return true;
  }
  return false;
}

bool TDefTests::ArmLeavesRoomBelow() const {
  // Under the top bar's right end, the paper reaches at least W/3 in from the right.
  for (int m = std::max(H / 8, 1); m < Hm - H / 2; ++m) {
    const int a = rm(m);
    if (a <= 1) continue;
    const int d = run(W - a, m, up, ink, H / 4);
    if (a + run(W - a, m - d + 1, left, ink, W) >= W / 3) return true;
  }
  return false;
}

bool TDefTests::LeftHalfInkedEveryRow() const {
  return inkEveryRow(0, W / 2, 1, H / 2) && inkEveryRow(0, W / 3, H / 2, Hm);
}

bool TDefTests::SomeColumnCrossesTwice() const {
  for (int x = W / 4; x < Wm; ++x)
    if (cross(x, 0, x, Hm - 1) == 2) return true;
  return false;
}

bool TDefTests::SmallCurvedTopLeft() const {
  return px(1, 1) && px(0, 2) && !inkIn(Wm - 1, Wm, 0, 0) && !inkIn(0, 1, 0, 0) && !inkIn(0, 0, 0, 1);
}

void TDefTests::UpperF() const {
  // No hole: asked first, the count costs nothing.
  if (!(W > 2 && H > 4 && HoleCount() == 0 && P.inkIn(xc, xc, T, T + H / 8) &&
        P.inkIn(L, L + W / 4, B - H / 4, B - H / 4) && P.inkIn(L, xc, T + H / 4, T + H / 4)))
    return;
  if (!LowerRightOpens()) return;
  if (!TopBarCovered()) return;
  if (!MiddleBarWiderThanFoot()) return;
  if (!ArmLeavesRoomBelow()) return;
  if (!LeftHalfInkedEveryRow()) return;
  TConf c;
  if (rm(Hm) <= W / 3) {
    if (rm((Hm + 5) / 8) > W / 8 || lm(Hm - 2) < 1) return;
    c = 99;
  }
  if (inkIn(Wm - W / 4, Wm, Hm - H / 4, Hm) || !inkIn(Wm, Wm, 0, H / 3)) return;
  if (lm(HB / 4) < lm(3 * HB / 4) - 1) return;
  if (!SomeColumnCrossesTwice()) return;
  if (H < 20 && SmallCurvedTopLeft()) return;
  // Ink below the left of the stem: a foot serif.
  const int j = lm(3 * HB / 4);
  if (j >= 1 && bm(j - 1) <= 3 * H / 4) c *= 98;
  if (rm(HB / 4, W) == 0) {
    const int q = run(Wm, HB / 4, left, paper, W);
    if (run(Wm - q, HB / 4, down, ink, 3 * H / 4) <= H / 2) {
      const int r0 = rm(0);
      if (r0 > W / 8) return;
      c *= 98;
      if (r0 > 0) c *= 98;
    }
  }
  if (!Tall() && 8 * (MeanLine() - T) >= H && vx(2 * W / 3) < 2) c *= 90;
  if (Descends()) c *= 99;
  add(u'F', c);
}

}  // namespace

void RecognizeD(const TOmnifontOCR& engine, const TRecogContext& context) {
  // Both tests' gates ask for a hole (D exactly one); without one no view
  // need be made.
  if (context.HoleList.HoleCount == 0) return;
  const TDefTests tests(TGlyphView::OfBox(engine, context));
  tests.UpperD();
  tests.LowerD();
}

void RecognizeE(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TDefTests tests(TGlyphView::OfBox(engine, context));
  tests.LowerE();
  tests.UpperE();
}

void RecognizeF(const TOmnifontOCR& engine, const TRecogContext& context) {
  // Both tests' gates ask for no hole; with one no view need be made.
  if (context.HoleList.HoleCount != 0) return;
  const TDefTests tests(TGlyphView::OfBox(engine, context));
  tests.LowerF();
  tests.UpperF();
}

}  // namespace omniocr
