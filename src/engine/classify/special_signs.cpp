// Recogniser for the special signs: a chain of independent tests, each from
// confidence 100 and offering its sign at most once, in this order: sharp s,
// plus, dollar, ampersand (two tests), question mark, exclamation mark,
// asterisk (two tests), at sign, section sign, number sign, euro sign, per
// cent sign.

#include <algorithm>
#include <optional>

#include "engine/classify/box_holes.h"
#include "engine/classify/char_constants.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

namespace {

using namespace notation;

// The tests read the glyph bitmap unqualified and the page under the box
// through Pg (box-relative, so neighbours' ink inside the box counts).
class TSignTests : public TGlyphView {
 public:
  explicit TSignTests(const TGlyphView& view) : TGlyphView(view), Pg(view.page()) {}

  void SharpS() const;
  void Plus() const;
  void Dollar() const;
  void AmpersandOpenTail() const;
  void AmpersandLoops() const;
  void Question() const;
  void Exclamation() const;
  void AsteriskFiveSpokes() const;
  void AsteriskSixSpokes() const;
  void At() const;
  void Section() const;
  void Number() const;
  void Euro() const;
  void Percent() const;

 private:
  const TGlyphView Pg;

  // The view's holes of a box-relative page rectangle, read off the box's
  // own holes where they tell them.
  int holes(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, L + x1, L + x2, T + y1, T + y2);
  }

  // The first page row among 0..Hm - 1 with no ink in the box's columns, Hm
  // when all of them hold ink. Found once: the question and exclamation
  // marks both ask it.
  int FirstEmptyPageRow() const;
  mutable std::optional<int> KnownFirstEmptyPageRow;
  // The lowest box-relative page row between the box bottom and the
  // descender line holding ink in columns x0..x1; -1 when none does.
  int LowestInkBelowBox(int x0, int x1) const;
  // A spoke's best coverage must exceed 79; under 95 it lowers c.
  static bool SpokeHolds(int coverage, TConf& c);
};

int TSignTests::FirstEmptyPageRow() const {
  if (!KnownFirstEmptyPageRow) KnownFirstEmptyPageRow = Pg.nextRow(0, Wm, 0, Hm - 1, false);
  return *KnownFirstEmptyPageRow;
}

int TSignTests::LowestInkBelowBox(int x0, int x1) const {
  for (int y = DescLine() - T; y >= H; --y)
    if (Pg.inkIn(x0, x1, y, y)) return y;
  return -1;
}

bool TSignTests::SpokeHolds(int coverage, TConf& c) {
  if (coverage <= 79) return false;
  if (coverage < 95) c *= 98;
  return true;
}

// --- Sharp s --------------------------------------------------------------

void TSignTests::SharpS() const {
  // Offered only below the line or without a hole: asked before the probes,
  // as it costs nothing; every step before the offer can only reject.
  if (!(Tall() && W > 3 && H > 6 && HoleCount() <= 2 && (Descends() || HoleCount() == 0))) return;
  if (!(Pg.hx(rH(4)) == 2 || Pg.hx(rH(4) + 1) == 2)) return;
  // Two strokes over most of the body, the left one all the way, the right
  // one in the upper part; a few rows may miss.
  int budget = H / 16 + 1;
  for (int y = H8; y < Hm - H4 && budget >= 1; ++y) {
    const int lowerPart = Hm - 6 * H / 16;
    if ((y >= lowerPart && Pg.hx(y) < 2) || (y < lowerPart && Pg.hx(y) != 2)) --budget;
    if (!Pg.inkIn(0, rW(2), y, y)) --budget;
    if (y < Hm - 5 * H / 16 && !Pg.inkIn(Wm - rW(2), Wm, y, y)) --budget;
  }
  if (budget <= 0) return;
  // The waist between the two bowls on the right.
  bool waist = false;
  for (int y = H / 3; y < Hm - H / 3 && !waist; ++y) {
    const int r = Pg.rm(y);
    waist = r >= W8 || r + Pg.run(Wm - r, y, left, paper, W) >= W2;
  }
  if (!waist) return;
  bool upperBowl = false, lowerBowl = false;
  for (int y = H / 5; y < H / 3 && !upperBowl; ++y) upperBowl = Pg.inkIn(Wm - W / 6, Wm, y, y);
  for (int y = H2; y < Hm && !lowerBowl; ++y) lowerBowl = Pg.inkIn(Wm - W / 6, Wm, y, y);
  if (!(upperBowl && lowerBowl)) return;
  // A right side that steps in near the bottom and then has ink below is a
  // different letter.
  for (int y = Hm - H / 3; y < Hm - H8; ++y)
    if (Pg.rm(y) > W4 && Pg.inkIn(Wm - W8, Wm - W8, y, Hm)) return;
  const bool belowBaseLine = BaseLine() != 0 && 2 * B >= BaseLine() + DescLine();
  if (!(belowBaseLine || !Pg.px(Wm, Hm) || Pg.rm(Hm - H4) <= W8)) return;
  if (!Pg.someVx(W4, Wm - W4 - 1, 3)) return;
  // The stem reaches lower than the bowl in the middle.
  const int f = bm(W2) + H / 64;
  bool stemLower = false;
  for (int x = W / 5; x < W2 && !stemLower; ++x) stemLower = bm(x) > f;
  if (!stemLower) return;
  // The arch over the top.
  if (!Pg.inkEveryColumn(lm(H4), Wm - W / 3 - 1, 0, H4)) return;
  add(SharpSChar, 98);
}

// --- Plus -----------------------------------------------------------------

void TSignTests::Plus() const {
  if (!(W >= 5 && H > 4 && HoleCount() <= 1)) return;
  const int p = (W + 1) / 3 - 1, q = (H + 1) / 3 - 1, s = (W + 1) / 4;
  // Empty corners.
  if (Pg.inkIn(0, p, 0, q) || Pg.inkIn(0, p, Hm - q, Hm) || Pg.inkIn(Wm - s, Wm, 0, q) ||
      Pg.inkIn(Wm - p, Wm, Hm - q, Hm))
    return;
  // A full bar across.
  if (Pg.someRowSolid(W / 9, Wm - W / 9, q, Hm - q)) add(u'+', 100);
}

// --- Dollar ---------------------------------------------------------------

void TSignTests::Dollar() const {
  if (!(W > 3 && H > 5 && HoleCount() == 2)) return;
  if (Pg.inkIn(0, W / 5, 0, H / 18) || Pg.inkIn(0, W / 9, Hm - H / 23, Hm) ||
      Pg.inkIn(Wm - W / 9, Wm, 0, H / 18) || Pg.inkIn(Wm - W / 5, Wm, Hm - H / 23, Hm))
    return;
  if (!(Pg.inkIn(0, W / 3, H3, H2) && Pg.inkIn(Wm - W / 3, Wm, Hm - H2, Hm - H3))) return;
  // The vertical stroke: where it leaves the top and the bottom row.
  const int xt = Pg.lm(0);
  if (!(W / 3 <= xt && xt <= Wm - W / 5)) return;
  const int xb = Pg.lm(Hm);
  if (!(xb >= W / 5 && xb <= xt)) return;
  if (!Pg.inkEveryRow(xb, xt + 2, 0, Hm)) return;
  add(u'$', 100);
}

// --- Ampersand ------------------------------------------------------------

// The loop on top, the open tail at the lower right.
void TSignTests::AmpersandOpenTail() const {
  if (!(W >= 5 && H > 6 && HoleCount() <= 3)) return;
  // Two holes, the loop and the lower bowl, both left of the last quarter.
  // Asked first, as they cost next to nothing (the second read off the
  // box's holes): every step before the offer can only reject.
  if (HoleCount() != 2 || holes(0, Wm - W4, 0, Hm) != 2) return;
  if (Pg.inkIn(Wm - W / 9, Wm, 0, H4)) return;
  if (!(tm(W2) <= H2 && lm(H8) <= W2)) return;
  const int a = std::min(lm(H8), lm(H4));
  if (!(lm(H - H4) <= W2)) return;
  const int b = std::min(lm(H - H4), lm(H - H4 - 1));
  if (!(a >= b)) return;
  // The waist: the left side steps in between the loop and the lower bowl.
  int waist = 0;
  for (int y = H4; y <= H2 + 1; ++y) waist = std::max(waist, lm(y));
  if (!(2 * waist - a - b > 0 && cross(Wm, H4, Wm, Hm) > 0)) return;
  bool tail = false;
  for (int x = Wm; x >= W2 && !tail; --x) tail = cross(x, H4, x, Hm) > 1;
  if (!tail) return;
  TConf c;
  if (hx(H - H4 - 1) > 3) {
    if (H > 15) return;
    c *= 96;
  }
  // The top edge falls toward the right somewhere in the right half.
  bool falls = false;
  for (int x = Wm - 1; x > W2 && !falls; --x) falls = tm(x) > tm(x + 1);
  if (!falls) return;
  int sumLeft = 0, sumRight = 0;
  for (int y = 0; y < H4; ++y) {
    sumLeft += lm(y);
    sumRight += rm(y);
  }
  if (3 * sumLeft > 2 * sumRight) c *= 95;
  if (inkIn(W - W8, Wm, H - H8, Hm)) {
    if (!Tall()) c *= 98;
    add(u'&', c);
  }
}

// Two closed loops, the tail crossing the lower one.
void TSignTests::AmpersandLoops() const {
  if (!(W >= 8 && H > 7 && HoleCount() <= 2)) return;
  if (!(hx(H4) == 3 && hx(H2) == 4 && cross(W2, H2, Wm, H2) == 2 && hx(3 * H / 4) == 2 && hx(Hm) == 1 &&
        vx(0) == 1 && vx(W / 3) == 4 && cross(13 * W / 16, 0, 13 * W / 16, H8) == 0))
    return;
  for (const int x : {W2, 3 * W / 8, 5 * W / 8})
    if (cross(x, H - H4, x, Hm) != 1) return;
  if (holes(0, Wm / 2, 0, Hm) == 1 && holes(W8, Wm - W4, 0, Hm - H4) == 1) add(u'&', 100);
}

// --- Question and exclamation marks -----------------------------------------

void TSignTests::Question() const {
  if (!(W > 3 && H > 5 && HoleCount() <= 1)) return;
  // No hole. Asked first, as it costs nothing: every step before the offer
  // can only reject, so their order decides nothing.
  if (HoleCount() != 0) return;
  const int g = FirstEmptyPageRow();
  if (!(2 * g >= Hm)) return;
  // e: the lowest row of the dot, inside the box or below it.
  int e = Hm;
  if (g == Hm && DescLine() > 0) {
    if (!Pg.inkIn(1, Wm - 1, H, DescLine() - T)) return;
    e = LowestInkBelowBox(0, Wm);
  }
  if (!(Pg.cross(0, 0, Wm, H2) > 1)) return;
  // From the middle down: the hook's stem, a gap, the dot.
  int u = H2;
  u = Pg.nextRow(0, Wm, u, e - 1, false);
  if (u == e) return;
  u = Pg.nextRow(0, Wm, u, e - 1, true);
  if (Pg.rowInk(u) && !Pg.inkIn(7 * W / 8, Wm, u, e)) add(u'?', 100);
}

void TSignTests::Exclamation() const {
  if (!(H > 4 && 2 * W < H && HoleCount() <= 1 && Pg.hx(0) == 1 && Pg.hx(H2) == 1)) return;
  TConf c;
  const int g = FirstEmptyPageRow();
  if (!(2 * g >= Hm)) return;
  // A bar with no gap reaching down to the baseline may be a letter.
  if (g == Hm && B > BaseLine() - H8) c *= 97;
  int e = Hm;
  if (g == Hm && DescLine() > 0) {
    const int x0 = W > 2 ? 1 : 0, x1 = W > 2 ? Wm - 1 : Wm;
    // Rows searched one by one only when together they hold ink, which
    // few glyphs have under them.
    if (Pg.inkIn(x0, x1, H, DescLine() - T)) e = LowestInkBelowBox(x0, x1);
  }
  // One stroke, then a gap in the lower half. With every row above the
  // bottom one holding ink and no dot below, only the bottom row could be
  // the gap: when it holds ink too, the scan would find none.
  if (g == Hm && e == Hm && Pg.hx(Hm) != 0) return;
  int z = -1;
  for (int y = 0; y <= e; ++y) {
    const int runs = Pg.hx(y);
    if (runs > 1) return;
    if (runs == 0 && z < 0) z = y;
  }
  if (!(z >= 0 && z >= H2)) return;
  if (!(rm(H8) - rm(0) <= W4 + 1)) return;
  if (!Tall()) c *= 96;
  add(u'!', c);
}

// --- Asterisk -------------------------------------------------------------

// Five spokes from a hub: up, left and right arms, two feet.
void TSignTests::AsteriskFiveSpokes() const {
  if (!(W >= 5 && H > 4 && HoleCount() <= 1 && (hx(0) == 1 || hx(1) == 1) && (hx(Hm) == 2 || hx(H - 2) == 2)))
    return;
  TConf c;
  const int mid = rW(2);
  const int middleColumns[3] = {mid - 1, mid - 2, mid};
  // The hub: above the gap between the feet.
  const int hubX = mid - 1;
  int gapUp = 0;
  for (const int x : middleColumns) gapUp = std::max(gapUp, run(x, Hm, up, ink, rH(2)));
  const int hubY = H - gapUp - rH(6) - 1;

  // The arms' ends: the first rows of the upper half with ink at the left
  // and the right edge (a row's run inward from the edge is non-zero just
  // when its edge pixel is paper, so each is the edge column's top margin
  // within the upper half). Found before the spokes' coverages, which cost
  // more; a missing end rejects the glyph either way.
  const int yl = tm(0, rH(2));
  if (yl >= rH(2)) return;
  const int yr = tm(Wm, rH(2));
  if (yr >= rH(2)) return;

  int upCoverage = 0;
  for (const int x : middleColumns) upCoverage = std::max(upCoverage, cov(x, hubY, x, 0));
  if (!SpokeHolds(upCoverage, c)) return;
  if (!SpokeHolds(cov(hubX, hubY, 0, yl), c)) return;
  if (!SpokeHolds(cov(hubX, hubY, Wm, yr), c)) return;

  // A foot: the first bottom-row column with ink, else the column whose ink
  // comes nearest the bottom (the first of equals).
  auto foot = [&](int from, int to, int step) {
    int best = from, bestRun = run(from, Hm, up, ink, rH(5));
    for (int x = from; x != to; x += step) {
      if (px(x, Hm)) return x;
      const int r = run(x, Hm, up, ink, rH(5));
      if (r < bestRun) {
        best = x;
        bestRun = r;
      }
    }
    return best;
  };
  const int xl = foot(0, mid, 1);
  if (!SpokeHolds(cov(hubX, hubY, xl, Hm), c)) return;
  const int xr = foot(Wm, W - mid - 1, -1);
  if (!SpokeHolds(cov(hubX, hubY, xr, Hm), c)) return;
  add(u'*', c);
}

// Six spokes: three bars crossing at the centre, none of them horizontal.
void TSignTests::AsteriskSixSpokes() const {
  if (!(W >= 5 && H > 4 && HoleCount() <= 1 && (hx(rH(8)) == 3 || hx(rH(4)) == 3) &&
        (hx(Hm - rH(8)) == 3 || hx(Hm - rH(4)) == 3) && vx(0) == 2 && vx(Wm) == 2))
    return;
  const int ym = rH(2);
  if (!(hx(ym) == 1 && !inkIn(0, rW(8), ym, ym) && !inkIn(Wm - rW(8), Wm, ym, ym))) return;
  TConf c;
  if (W > 5) {
    const int spokes[3] = {cov(0, Hm - rH(4), Wm, rH(4)), cov(0, rH(4), Wm, Hm - rH(4)),
                           cov(rW(2), 0, rW(2), Hm)};
    for (const int coverage : spokes) {
      if (coverage < 80) return;
      if (coverage < 95) c *= 98;
    }
  }
  add(u'*', c);
}

// --- At sign --------------------------------------------------------------

void TSignTests::At() const {
  // Offered in a box at least 8 wide only with one hole: asked first, as it
  // costs nothing and every step before the offer can only reject.
  if (!(W > 5 && H > 7 && HoleCount() <= 3 && (W < 8 || HoleCount() == 1))) return;
  if (!(lm(H2) <= W4 && rm(H2) <= W4 && bm(W2) <= W8 && tm(W2) <= W8)) return;
  TConf c;
  // Across the middle: the ring, the inner a, the ring.
  const int y = rH(2) - 1;
  const int k = hx(y);
  if (k != 4) c *= 98;
  if (!(2 < k && k <= 4)) return;
  const int xz = nearest(7 * W, 16);
  int v = vx(xz);
  if (!(v > 1)) return;
  if (v != 4) v = vx(xz + 1);
  if (!(2 < v && v <= 4)) return;
  if (v != 4) c *= 97;
  if (!(cross(0, y, xz, y) == 2 && cross(xz, y, Wm, y) == 2 && cross(xz, 0, xz, y) == 2 &&
        cross(xz, y, xz, Hm) == 2))
    return;
  if (W < 8) {
    add(u'@', c);
    return;
  }
  if (HoleCount() == 1 && holes(rW(8), Wm - 3 * rW(16), rH(8), Hm - rH(8)) == 1) add(u'@', c);
}

// --- Section sign ---------------------------------------------------------

void TSignTests::Section() const {
  if (!(Tall() && W >= 5 && H > 15 && HoleCount() <= 3)) return;
  const int yLow = 3 * H / 4;
  // The upper curl opens to the right, the lower one to the left.
  if (inkIn(0, W2, yLow, yLow) || !inkIn(3 * W / 4, Wm, yLow, yLow)) return;
  if (!inkIn(0, W4, H4, H4) || inkIn(W2, Wm, H4, H4)) return;
  if (!inkIn(W2, W2, 0, H4) || !inkIn(W2, W2, H - H4 - 1, Hm) || vx(W2) != 4) return;
  if (Pg.hx(H2) == 2 && holes(0, Wm, H4, Hm - H4) == 1) add(SectionChar, 100);
}

// --- Number sign ----------------------------------------------------------

void TSignTests::Number() const {
  if (!(W >= 5 && H > 4 && 1 <= HoleCount() && HoleCount() <= 2)) return;
  // One hole inside the margins: read off the box's holes, asked first as it
  // costs next to nothing (every step before the offer can only reject).
  if (holes(rW(8), Wm - rW(8), rH(8), Hm - rH(8)) != 1) return;
  if (!(hx(rH(8)) == 2 && hx(Hm - rH(8)) == 2 && hx(rH(2)) == 2 && cross(0, rH(2), rW(2), rH(2)) == 1))
    return;
  TConf c;
  // The bars stick out past the strokes on both sides.
  const int leftTop = lm(rH(8)), leftMid = lm(rH(2)), rightMid = rm(rH(2)), rightBottom = rm(Hm);
  for (const int m : {leftTop, leftMid, rightMid, rightBottom})
    if (!(m > 0 && m >= rW(16))) return;
  if (!(leftMid < rW(2) && rightMid < rW(2))) return;
  for (const int m : {leftTop, leftMid, rightMid, rightBottom})
    if (m < rW(8)) c *= 96;
  // The upper bar: nearly the whole width in one run.
  int widest = 0;
  for (int y = H4; y < H2; ++y) {
    if (lm(y) > 3 * rW(4)) return;
    widest = std::max(widest, fw(y));
  }
  if (!(widest >= W - rW(8))) return;
  if (HoleCount() != 1) c *= 95;
  if (Descends()) c *= 97;
  add(u'#', c);
}

// --- Euro sign ------------------------------------------------------------

void TSignTests::Euro() const {
  if (!(W >= 5 && H > 6 && HoleCount() <= 1)) return;
  // Offered only without a hole. Asked first, as it costs nothing: every
  // step before the offer can only reject.
  if (HoleCount() != 0) return;
  TConf c;
  const int v = vx(rW(2));
  if (v == 3)
    c *= 98;
  else if (v != 4)
    return;
  if (!(hx(0) == 1 && hx(Hm) == 1 && hx(rH(2)) == 1)) return;
  const int yFrom = rH(4), yTo = H - rH(4) - 1;
  int widest = 0;
  for (int y = yFrom; y < yTo; ++y) {
    if (lm(y) > rW(4)) return;
    widest = std::max(widest, fw(y));
  }
  if (!(widest >= rW(2))) return;
  bool openSide = false;
  for (int y = yFrom; y < yTo && !openSide; ++y) openSide = rm(y) > rW(2);
  if (openSide) add(EuroChar, c);
}

// --- Per cent sign --------------------------------------------------------

// The lower ring may stand past the box (the sign came apart), so the page is
// searched a quarter width beyond it; past the page's edge reads as paper.
void TSignTests::Percent() const {
  if (!(W >= 6 && H > 7 && HoleCount() <= 2)) return;
  // A box large enough holds the upper ring as its one hole above the last
  // quarter: read off the box's holes, asked first as it costs next to
  // nothing (every step before the offer can only reject).
  const bool large = W >= 8 && H >= 13;
  if (large && holes(0, Wm, 0, Hm - rH(4)) != 1) return;
  const int reach = Wm + rW(4);
  if (!(Pg.hx(rH(4)) == 3 || Pg.hx(rH(8)) == 3)) return;
  const int y4 = Hm - rH(4), y8 = Hm - rH(8);
  if (!(Pg.cross(0, y4, reach, y4) == 3 || Pg.cross(0, y8, reach, y8) == 3)) return;
  const int d1 = Pg.cross(0, 0, Wm, Hm);
  const int d2 = Pg.cross(rW(8), 0, Wm, Hm);
  const int d3 = Pg.cross(0, 0, reach, Hm);
  if (d1 < 4 && d2 < 4 && d3 < 4 && W >= 8 && H > 15) return;
  TConf c;
  if (d1 != 5) c *= 99;
  if (!large) {
    c *= 98;
  } else if (!(holes(rW(4), reach, rH(4), Hm) == 1 && holes(0, reach, 0, Hm) == 2)) {
    return;
  }
  if (Pg.lm(rH(16) + 1) >= Pg.lm(0)) c *= 96;
  if (Pg.rm(Hm - rH(16) - 1) >= Pg.rm(Hm)) c *= 96;
  if (Descends()) c *= 98;
  add(u'%', c);
}

}  // namespace

void RecognizeSpecialSigns(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TSignTests t(TGlyphView::OfBox(engine, context));
  t.SharpS();
  t.Plus();
  t.Dollar();
  t.AmpersandOpenTail();
  t.AmpersandLoops();
  t.Question();
  t.Exclamation();
  t.AsteriskFiveSpokes();
  t.AsteriskSixSpokes();
  t.At();
  t.Section();
  t.Number();
  t.Euro();
  t.Percent();
}

}  // namespace omniocr
