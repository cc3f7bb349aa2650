// Recognisers for O, P and Q. O and P offer both cases at once; Q runs an
// upper-case test and then a lower-case one.

#include <algorithm>

#include "engine/classify/box_holes.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

namespace {

// One ink run across columns x1..x2 of row y or of row y2.
bool OneRunAcross(const TGlyphView& v, int x1, int x2, int y, int y2) {
  return v.cross(x1, y, x2, y) == 1 || v.cross(x1, y2, x2, y2) == 1;
}

// One ink run down column x or column x2 over rows y1..y2.
bool OneRunDown(const TGlyphView& v, int x, int x2, int y1, int y2) {
  return v.cross(x, y1, x, y2) == 1 || v.cross(x2, y1, x2, y2) == 1;
}

class TLettersOPQ : public TGlyphView {
 public:
  explicit TLettersOPQ(const TGlyphView& view) : TGlyphView(view) {}

  void RoundO() const;
  void BowlP() const;
  void UpperQ() const;
  void LowerQ() const;

 private:
  // Leans like an italic: the right corners hold no ink, a left one does.
  bool Slanted() const;
  // No row of the stem's height starts right of the line through the stem's
  // right edges on rows 3H/8 and 7H/8 (W/16 allowed); d = lm(3H/8).
  bool StemStraight(int d) const;
  // The view's holes of a box-relative page rectangle, read off the box's
  // own holes where they tell them.
  int holes(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, L + x1, L + x2, T + y1, T + y2);
  }
};

bool TLettersOPQ::Slanted() const {
  const TGlyphView pg = page();
  const bool rightCorners = pg.inkIn(Wm - W32, Wm, 0, H32) || pg.inkIn(Wm - W32, Wm, Hm - H32, Hm);
  const bool leftCorner = inkIn(0, W32, 0, H32) || pg.inkIn(0, W32, Hm - H32, Hm);
  return !rightCorners && leftCorner;
}

void TLettersOPQ::RoundO() const {
  // One hole, the ring: asked first, the count costs nothing.
  if (!(W > 2 && H > 3 && 3 * H >= 2 * W && HoleCount() == 1)) return;
  {
    // Ink on all four sides; the centre column crosses the ring twice (on
    // the page, in page coordinates: xc is L + W/2).
    if (!P.inkIn(L, L + W2, T + H2, T + H2) || !P.inkIn(R - W2, R, T + H2, T + H2)) return;
    if (!P.inkIn(xc, xc, B - H2, B) || !P.inkIn(xc, xc, T, T + H2)) return;
    if (P.inkIn(xc, xc, T + H3, B - H3) || P.cross(xc, T, xc, B) != 2) return;
    // Each side is a single stroke.
    const TGlyphView pg = page();  // the same box on the page
    const int x1 = W / 3, x2 = Wm - W / 3;
    if (!OneRunAcross(pg, x1, x2, 0, 1) || !OneRunAcross(pg, x1, x2, Hm, Hm - 1)) return;
    if (!OneRunDown(pg, 0, 1, H3, Hm - H3) || !OneRunDown(pg, Wm, Wm - 1, H3, Hm - H3)) return;
  }
  // Rounded top.
  if (run(0, 2, right, ink, Wm) >= run(0, 0, right, ink, Wm)) return;
  // Rounded bottom right.
  for (int y = Hm - H3 + 1; y <= Hm; ++y)
    if (rm(y, Wm) < rm(y - 1, Wm)) return;
  // The sides bulge out at mid-height.
  const int a = H16, b = Hm - H16;
  if (2 * lm(H2) + W8 >= lm(a) + lm(b)) return;
  if (rm(a + 1) >= lm(a + 1) + W4) return;
  if (rm(a) > W8 && lm(a) < W16) return;
  if (rm(b) > W8 && lm(b) < W16) return;
  if (Slanted()) return;
  addPair(u'O', u'o', Descends() ? 99 : 100);
}

bool TLettersOPQ::StemStraight(int d) const {
  const int e = run(d, 3 * H / 8, right, paper, W);
  const int f = lm(7 * H / 8), g = run(f, 7 * H / 8, right, paper, W);
  for (int y = H8; y < 7 * H / 8; ++y)
    if (lm(y) > W16 + d + e + (f + g - d - e) * (8 * y - 3 * H) / (4 * H)) return false;
  return true;
}

void TLettersOPQ::BowlP() const {
  // At most one hole (see below): asked first, the count costs nothing.
  if (!(W > 2 && H > 3 && 2 * H >= W && HoleCount() <= 1)) return;
  if (!inkIn(0, W2, 3 * H / 4, 3 * H / 4) || !inkIn(0, W2, H2, H2) || !inkIn(W4, Wm, H4, H4)) return;
  // Open lower right.
  const int u = rm(3 * H / 4);
  if (u < W4) return;
  // Kept row crossings before the columns: one run low down, two across
  // the bowl.
  if (hx(7 * H / 8) != 1 && hx(7 * H / 8 - 1) != 1) return;
  if (!(hx(H4) == 2 || hx(H4 - 1) == 3 || hx(H4 + 1) == 2)) return;
  // The bowl: a column through it crosses two strokes above the foot.
  {
    const int x = Wm - 3 * u / 4, y = Hm - 3 * H / 16;
    if (cross(x, 0, x, y) != 2 && cross(Wm - u / 2, 0, Wm - u / 2, y) != 2 && cross(W2, 0, W2, y) != 2 &&
        cross(W2 + 1, 0, W2 + 1, y) != 2)
      return;
  }
  {
    const int s = std::max(lm(H2) - 1, 0);
    if (cross(s, H4, Wm, H4) != 2 && cross(s, H4 + 1, Wm, H4 + 1) != 2) return;
  }
  const int stemLeft = lm(3 * H / 8);
  if (!StemStraight(stemLeft)) return;
  // Bowl width: the right margin of the rows below the bowl's top.
  {
    int y = H3, widest = 0;
    for (; y < 7 * H / 8; ++y) {
      widest = std::max(widest, rm(y));
      if (widest > W2) break;
    }
    if (widest < W2 || widest >= W || inkIn(3 * W / 4, Wm, y, Hm)) return;
  }
  // Holes: the bowl, and at most one in the upper part on the page.
  const int hp = holes(0, Wm, 0, Hm - H / 5), hc = HoleCount();
  TConf c = stemLeft < W2 ? 100 : 90;
  if (hp == 0 && hc == 0) c *= 90;
  if (hp > 1 || hc > 1 || hp < hc) return;
  // A bowl closed below: the inner stroke under row H/4 runs far down.
  {
    const int m = rm(H4), o = run(Wm - m, H4, left, paper, W);
    if (run(Wm - m - o, H4, down, ink, 3 * H / 4) > H2) c *= 80;
  }
  addDescenderPair(u'P', u'p', c);
}

void TLettersOPQ::UpperQ() const {
  // One hole or two (see below): asked first, the count costs nothing.
  if (!(W > 2 && H > 4 && 1 <= HoleCount() && HoleCount() <= 2)) return;
  // The first probes on the page in page coordinates (xc is L + W/2), the
  // page view made after them.
  if (!P.inkIn(L, L + W / 3, T + H3, T + H3) || !P.inkIn(R - W / 3, R, T + H3, T + H3)) return;
  if (!P.inkIn(xc, xc, B - H3, B) || !P.inkIn(xc, xc, T, T + H4)) return;
  if (P.inkIn(xc, xc, T + H3, B - H2) || P.px(R, T) || P.cross(xc, T, xc, B) <= 1) return;
  // The tail makes the right margin shrink again below mid-height: kept
  // margins, which turn nearly every glyph away that gets here, so they are
  // asked before the strokes and the walks (the factor they set is applied
  // in its place below).
  int deepest = 0;
  {
    int widest = 0;
    for (int y = H2; y <= Hm && deepest <= W16; ++y) {
      widest = std::max(widest, rm(y));
      deepest = std::max(deepest, widest - rm(y));
    }
  }
  if (deepest == 0) return;
  const TGlyphView pg = page();
  if (!OneRunAcross(pg, W / 5, Wm - W / 5, 0, 1) || !OneRunDown(pg, 0, 1, H3, Hm - H3)) return;
  if (!(pg.inkIn(Wm, Wm, Hm - H8, Hm) || OneRunDown(pg, Wm, Wm - 1, H3, Hm - H3))) return;
  if (!(HoleCount() == 1 || (HoleCount() == 2 && holes(0, Wm, H2, Hm) == 1))) return;
  TConf c;
  // The tail: from the bottom row's rightmost ink, walk left across it.
  {
    int x = Wm, y = Hm;
    pg.walk(x, y, stop, left);
    if (x < Wm - W2) return;
    pg.walk(x, y, left, stop);
    if (x < Wm - W2) c *= Descends() ? 98 : 90;
  }
  if (lm(0) < lm(2)) return;
  if (lm(H8 + 2) + rm(H8 + 2) > 5 * W / 8) return;
  {
    const int e = run(Wm, 3 * H / 8, left, ink, H);
    if (e > W4 || tm(Wm - e - 1) >= tm(Wm - e)) return;
  }
  if (!(rm(H2) < rm(Hm - 1) || bm(W2) < bm(1) || lm(Hm - 1) <= W2 || lm(0) <= W2)) return;
  if (rm(H3) > W4) return;
  // Paper under the centre with ink beside it: a q's stem rather than a tail.
  {
    const int b = bm(W2);
    if (b > 1 && b > H8 && inkIn(0, W2, Hm - b / 2, Hm - b / 2)) {
      if (b > 4) return;
      c *= 95;
    }
  }
  if (deepest <= W16) c *= 98;
  if (BaseLine() >= B) c *= 98;
  if (!Tall()) c *= 96;
  add(u'Q', c);
}

void TLettersOPQ::LowerQ() const {
  if (!(W > 2 && H > 3 && HoleCount() <= 2)) return;
  // A glyph wider than 15 needs exactly one hole (see below): asked first,
  // the count costs nothing.
  if (W > 15 && HoleCount() != 1) return;
  // Three probes on the page first, in page coordinates: the bowl's sides
  // on row H/3, nothing at the lower left.
  if (!P.inkIn(R - W / 3, R, T + H3, T + H3) || !P.inkIn(L, L + W / 3, T + H3, T + H3)) return;
  if (P.inkIn(L, L + W4, B - H / 5, B - H / 9)) return;
  // The first row under the bowl: the deepest left margin of the middle rows.
  // Its bounds are asked first, row by row on the plane: some row must keep
  // the left half clear (reach >= W/2) and none may be clear across the box
  // (reach < W); the scan below then finds the row itself.
  if (P.inkEveryRow(L, L + W2 - 1, T + H3, B - H8) || !P.inkEveryRow(L, R, T + H3, B - H8)) return;
  const TGlyphView pg = page();  // the same box on the page
  int yq = H3, reach = -1;
  for (int y = H3; y <= Hm - H8; ++y) {
    const int r = pg.run(0, y, right, ink, W);
    if (r > reach) {
      reach = r;
      yq = y;
    }
  }
  if (reach < W2 || reach >= W) return;
  TConf c;
  if (pg.run(0, yq, up, ink, H) < 2) {
    c *= 97;
    if (Tall() || !Descends()) return;
  }
  if (pg.cross(W2, 0, W2, yq) != 2) return;
  // Exactly one hole, in the bowl; narrow glyphs are only marked down.
  if (HoleCount() != 1) {
    if (W > 15) return;
    c *= 98;
  }
  if (holes(0, Wm, 0, yq) != 1) {
    if (W > 15) return;
    c *= 98;
  }
  {
    const int y = Hm - H4;
    if (lm(y) > 5 * W / 8 && inkIn(W4, W4, y, Hm)) return;
  }
  if (!Descends()) c *= 90;
  if (Tall()) c *= 90;
  add(u'q', c);
}

}  // namespace

void RecognizeO(const TOmnifontOCR& engine, const TRecogContext& context) {
  // The test's gate asks for exactly one hole; otherwise no view need be made.
  if (context.HoleList.HoleCount != 1) return;
  TLettersOPQ(TGlyphView::OfBox(engine, context)).RoundO();
}

void RecognizeP(const TOmnifontOCR& engine, const TRecogContext& context) {
  TLettersOPQ(TGlyphView::OfBox(engine, context)).BowlP();
}

void RecognizeQ(const TOmnifontOCR& engine, const TRecogContext& context) {
  // The capital's gate asks for one hole or two, the small letter's for at
  // most two and, wider than 15, for exactly one: a box wider than 15 with
  // no hole needs no view.
  const TOCRChar& g = *context.Glyph;
  if (context.HoleList.HoleCount == 0 && g.Width() > 15) return;
  const TLettersOPQ t(TGlyphView::OfBox(engine, context));
  t.UpperQ();
  t.LowerQ();
}

}  // namespace omniocr
