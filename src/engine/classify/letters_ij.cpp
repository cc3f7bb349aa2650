// Recogniser for I and J: the narrow letters that share a stem. The dot of i
// and j and their stem are found on page rows against the text line's
// guides; the capitals are told by the straightness of their stem.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/letters_ij_tests.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

using namespace notation;

void TLetterIJTests::DottedI() const {
  if (!CommonGate()) return;
  if (!(3 * W < H && MeanLine() > 0)) return;
  // The centre column's lowest ink stands on the baseline.
  const int s = bm(W2);
  const int ybot = B - s;
  if (ybot < BaseLine() - 2) return;
  // The stem above it ends near the mean line.
  const int v = run(W2, Hm - s, up, paper, H);
  const int ytop = ybot - v;
  if (!(MeanLine() - AscLine() >= 3 * std::abs(ytop - MeanLine()))) return;
  // Ink above the middle of ascender and mean line: the dot.
  if (!P.inkIn(L, R, T, (AscLine() + MeanLine()) / 2)) return;
  if (P.rowInk(ytop) && P.rowInk(ytop - 1) && P.rowInk(ytop - 2)) return;
  add(u'i', StartWithMark());
}

const TDotAndStemTop& TLetterIJTests::DotAndStemTop() const {
  if (KnownDotAndStemTop) return *KnownDotAndStemTop;
  TDotAndStemTop& found = KnownDotAndStemTop.emplace();
  // The dot: the first page row with ink from the ascender line (or the top).
  const int a = MeanLine() >= 1 && 2 * T >= AscLine() + MeanLine() ? AscLine() : T;
  const int yd = P.nextRow(L, R, a, LastBelowHalf(B + a), true);
  found.yd = yd;
  if (!(2 * yd < B + a)) return found;
  if (MeanLine() >= 1 && yd > MeanLine() + 2) return found;
  const int d = B + yd;
  // The gap under the dot and the top of the stem.
  const int yg = P.nextRow(L, R, yd, LastBelowHalf(d), false);
  if (!(2 * yg < d)) return found;
  const int ys = P.nextRow(L, R, yg, LastBelowHalf(d), true);
  if (!(2 * ys < d)) return found;
  if (rm(ys - T + (B - yd + 1) / 32) > W2) return found;
  if (!P.inkEveryRow(L, R, (B + yd) / 2, B)) return found;
  found.ys = ys;
  found.Found = true;
  return found;
}

bool TLetterIJTests::DotOverStem(bool hooked, int& yd) const {
  const TDotAndStemTop& top = DotAndStemTop();
  yd = top.yd;
  if (!top.Found) return false;
  const int ys = top.ys;
  // The stem's middle row crosses one run (two where j's hook may reach).
  const int hs = B - ys + 1;
  int c = ys - T + hs / 2;
  if (hooked ? hx(c) > 2 : hx(c) != 1) return false;
  // Down the stem: single runs to h1, then a foot of two runs to g; each
  // stays at H when the scan finds no such row.
  int h1 = c;
  while (h1 <= Hm && hx(h1) == 1) ++h1;
  int g = h1;
  while (g <= Hm && hx(g) == 2) ++g;
  if (g < ys - T + 3 * hs / 4) return false;
  // Up the stem: single runs, then two runs to f.
  while (c > 0 && hx(c) == 1) --c;
  int f = c;
  while (f > 0 && hx(f) == 2) --f;
  if (f > ys - T + hs / 4) return false;
  // A foot of two runs must be a serif, not a second stroke going down.
  if (h1 + 2 < g) {
    const int s = h1 - 1;
    const int v = lm(s), w = rm(s), x = rm(h1);
    if (v - lm(h1) < w - x) {
      int y1 = run(W - w, s, down, ink, H);
      if (y1 > 0) {
        const int z = run(Wm - w, h1 + y1 - 2, down, ink, H);
        if (z > 0) y1 = y1 + z - 1;
      }
      if (y1 + s < g - 1) return false;
    } else if (run(11 * v / 16, s, down, ink, H) + s < g - 2) {
      return false;
    }
  }
  // Two runs above the stem's single run end close under it, or where the
  // left run's ink reaches up.
  if (f >= c - 2) return true;
  const int b = lm(c + 1);
  const int k = run(b - 1, c + 1, up, ink, H);
  const int b2 = run(b, c - k + 2, up, ink, H);
  return f + 1 >= c - (b2 < 1 ? k : k + b2 - 1) + 1;
}

void TLetterIJTests::SmallI() const {
  if (!CommonGate()) return;
  int yd = 0;
  if (!DotOverStem(false, yd)) return;
  TConf c0 = StartWithMark();
  if (AscLine() + MeanLine() >= 2 * T && lm(0) + 1 < lm(W2)) c0 *= 97;
  if (Descends() && lm(H2) - rm(H2) > W8) return;
  TConf v = c0;
  // The dot's top lower than a third of the way up from the mean line.
  if (AscLine() + 2 * MeanLine() < 3 * yd) v *= 80;
  if (!(rm(3 * H / 4) <= W2 || rm(Hm) >= W4)) return;
  if (W > 5 && P.cross(xc, yd, xc, B) > 2) v *= 95;
  add(u'i', v);
}

void TLetterIJTests::SmallJ() const {
  if (!CommonGate()) return;
  int yd = 0;
  if (!DotOverStem(true, yd)) return;
  TConf j0 = 100;
  if (!(AscLine() + MeanLine() < 2 * T) && lm(0) + 1 < lm(W2)) j0 = 97;
  if (W16 + 1 < lm(Hm) - lm(Hm - 2)) j0 *= 96;
  if (Descends() && !(lm(H2) - rm(H2) > W8)) return;
  TConf v = j0;
  if (AscLine() + 2 * MeanLine() < 3 * yd) v *= 80;
  if (!Descends()) v *= 96;
  if (MarkAbove() != 1) v *= 98;
  add(u'j', v);
}

void TLetterIJTests::CapitalI() const {
  if (!CommonGate()) return;
  if (!(W < H && 4 * (BaseLine() - MeanLine()) < 5 * H && MarkAbove() != 1 && lm(H2) + W8 >= lm(7 * H / 8)))
    return;
  // Every row or the one H/16 below it crosses a single run: the middle pair
  // first, which most glyphs with two strokes fail, then from the top.
  if (!(hx(H2) == 1 || hx(H2 + H16) == 1)) return;
  for (int y = H16; y < Hm - H16; ++y)
    if (!(hx(y) == 1 || hx(y + H16) == 1)) return;
  // A straight stem: the first run keeps its width down the middle half, and
  // the widest runs of the top and bottom quarters match.
  const int sw = fw(H2);
  const int t = W8 + 1;
  for (int y = H4; y < 3 * H / 4; ++y)
    if (std::abs(fw(y) - sw) > t) return;
  {
    int v = 0, w = 0;
    for (int y = 0; y < H4; ++y) v = std::max(v, fw(y));
    for (int y = 3 * H / 4; y < H; ++y) w = std::max(w, fw(y));
    if (!(std::abs(w - v) <= t && (v + 1 >= sw || Tall()))) return;
  }
  // The stem's axis, from the centre of its first run near the top to the
  // one near the bottom, is covered by ink.
  const int y1 = H8, y2 = Hm - H8, y3 = Hm - 1 - H8;
  const auto centre = [this](int y) { return (2 * lm(y) + fw(y) - 1) / 2; };
  const int x1 = centre(y1);
  const int x2 = std::max(centre(y2), centre(y3));
  if (!(cov(x1, y1, x2, y2) > 94)) return;
  // Serifs or none, the same on both sides.
  const int xq = x1 + (x1 - x2 + 4) / 8;
  {
    const int p = std::max(run(xq, y1, left, paper, W), run(xq, y1 + 1, left, paper, W));
    const int q = std::max(run(xq, y1, right, paper, W), run(xq, y1 + 1, right, paper, W));
    if (std::abs(p - q) > t) return;
    const int p2 = std::max(run(x1, y2, left, paper, W), run(x1, y3, left, paper, W));
    if (std::abs(p - p2) > t) return;
    const int q2 = std::max(run(x1, y2, right, paper, W), run(x1, y3, right, paper, W));
    if (std::abs(p - q2) > t) return;
    if (!(H <= 15 || rm(H4) + W32 + 1 >= rm(H16))) return;
  }
  {
    int split = 0;
    for (int y = H16; y < 15 * H / 16 && split < 2; ++y)
      if (hx(y) != 1) ++split;
    if (split >= 2) return;
  }
  if (!(Tall() ||
        ((!inkIn(W4, W4, 0, H4) || inkIn(W4, W4, H2, Hm)) && (W4 >= lm(H4) || W4 < rm(H4) || tm(1) > H4))))
    return;
  // A bracket: ink along the right column, the top and bottom rows, and
  // nothing on the left column between them.
  if (P.colSolid(R) && P.rowSolid(T) && P.rowSolid(B) && !P.inkIn(L, L, T + 1, B - 1)) return;
  // A stem that leans or bends: both sides step out at the ends.
  {
    const int a = lm(H2), b = rm(H2), e = W8;
    if (a + e < lm(7 * H / 8) && a + e < lm(H8) && rm(7 * H / 8) < b - e && rm(H8) < b - e) return;
    if (lm(7 * H / 8) < a - e && lm(H8) < a - e && b + e < rm(7 * H / 8) && b + e < rm(H8)) return;
    if (lm(H8) + rm(7 * H / 8) - W > W4) return;
  }
  TConf c;
  if (lm(0) > W2 && lm(H8) > W2 && rm(Hm) > W2 && rm(Hm - H8) > W2) c = 98;
  // A dot above a short stem.
  if (MeanLine() > 0 && AscLine() + 2 * MeanLine() < 3 * T &&
      P.inkIn(L + W8, R - W8, AscLine(), (AscLine() + MeanLine()) / 2))
    return;
  if (xq + 1 < sw && !Tall()) c *= 65;
  {
    const int a4 = rm(H4), a5 = lm(Hm - H4);
    if (!(a4 > 1 && a5 > 1 && P.inkIn(R - a4 / 4, R - a4 / 4, T, T + H4) &&
          P.inkIn(L + a5 / 4, L + a5 / 4, B - H4, B)))
      c *= 99;
  }
  if (!Tall()) c = 70;
  if (DescLine() > 0 && B < DescLine() &&
      (W > 2 ? P.inkIn(L + 1, R - 1, B + 1, DescLine()) : P.inkIn(L, R, B + 1, DescLine())))
    c *= 96;
  if (!P.paperIn(L, R, T, B)) c *= 99;
  if (Descends()) c *= 96;
  if (BaseLine() > 0 && MeanLine() + BaseLine() >= 2 * B) c *= 96;
  add(u'I', c);
}

void TLetterIJTests::CapitalJ() const {
  if (!(H > 4 && W > 2 && HoleCount() <= 1)) return;
  if (!(inkIn(W4, W4, H - H4, Hm) && (px(W2, H4) || px(W2, H - H4) || !inkIn(W2, W2, H4, H - H4)))) return;
  // Placed on the line as a capital or a descending j.
  const int Bl = BaseLine();
  if (Bl > 0 && MeanLine() + Bl < 2 * T && Bl < B) return;
  if (Bl > 0 && T < MeanLine() && 3 * B < MeanLine() + 2 * Bl) return;
  if (Bl > 0 && 3 * T >= 2 * AscLine() + MeanLine() && 3 * B >= Bl + 2 * DescLine()) return;
  // Not a stem standing in the middle below an empty top.
  if (tm(W2, H4) >= H4 && lm(H4) < W2 - 1 && rm(H4) < W2 - 1) return;
  if (tm(5 * W / 8, H4) >= H4 && lm(H4) < 5 * W / 8 - 1 && rm(H4) < 3 * W / 8 - 1) return;
  if (bm(0, H4) >= H4 || rm(Hm) < W4) {
    if (rm(3 * H / 8) + W / 6 >= lm(3 * H / 8) || rm(H / 6) + W / 6 >= lm(H / 6)) return;
  }
  if (rm(5 * H / 8) >= W / 5 + run(W / 5, 5 * H / 8, right, ink, W)) {
    if (rm(H2) >= W / 5 + lm(H2)) return;
  }
  // The right edge never steps back in on the way down.
  {
    int widest = rm(H32);
    for (int y = H32; y <= Hm; ++y) {
      const int r = rm(y);
      widest = std::max(widest, r);
      if (r + 1 < widest) return;
    }
  }
  int b0 = 100;
  if (!someHx(H3, Hm, 2)) b0 = 95;
  // The hook: the left side open in the middle, closed at the bottom left.
  if (!(!inkIn(0, W4, H / 5, 5 * H / 8) && !px(Wm, Hm) && P.inkIn(L, xc, B - H / 5, B))) return;
  // Ink at the top of the centre column, or none below it down to the middle,
  // or no hole below the top eighth. Asked after the outline, as counting
  // holes costs more than all of it; every step before an offer only
  // rejects, so their order decides nothing.
  if (!(inkIn(W2, W2, 0, H8) || !inkIn(W2, W2, H8, H2) || pageHoles(L, R, T + H8, B) < 1)) return;
  if (MarkAbove() == 1) {
    TConf c = b0;
    c *= 99;
    add(u'j', c);
    return;
  }
  if (MarkAbove() != 0) return;
  if (3 * W < H) {
    if (!paperIn(0, Wm, Hm, Hm) || !paperIn(0, Wm, Hm - 1, Hm - 1)) return;
    if (inkIn(0, 0, 0, 1) && rm(Hm) < 2) return;
  }
  if (rm(Hm) > 3 * W / 4 && rm(H4) < rm(0)) return;
  if (!(hx(H3) == 1 && hx(H4) == 1)) return;
  TConf c = b0;
  if (!Descends()) {
    if (!inkIn(0, 0, H2, Hm)) c *= 98;
    if (!(rm(H2) + 2 < lm(H2))) c *= 99;
    if (rm(Hm) < rm(Hm - 1)) c *= 97;
    if (rm(Hm - 1) > W2) c *= 97;
  }
  if (!Tall()) c *= 90;
  add(u'J', c);
}

void RecognizeIJ(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TLetterIJTests t(TGlyphView::OfBox(engine, context));
  t.DottedI();
  t.SmallI();
  t.SmallJ();
  t.CapitalI();
  t.CapitalJ();
}

}  // namespace omniocr
