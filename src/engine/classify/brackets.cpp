// Recogniser for brackets and slashes: four independent blocks, in order:
// angle brackets, parentheses and slashes; square brackets; the opening
// brace; the closing brace.

#include <algorithm>
#include <cstdlib>

#include "engine/classify/recognisers.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

using namespace notation;

class TBracketTests : public TGlyphView {
 public:
  explicit TBracketTests(const TGlyphView& view) : TGlyphView(view) {}

  // Angle brackets, parentheses and slashes; ends at the first candidate
  // offered by the angle or parenthesis steps.
  void AnglesParenthesesSlashes() const;
  void SquareBrackets() const;
  void OpeningBrace() const;
  void ClosingBrace() const;

 private:
  // The margins at the top, vertex and bottom rows of a wedge.
  struct TWedge {
    int yv;
    int ut, uv, ub;  // right margins
    int lt, lv, lb;  // left margins
  };
  // The margins at the three rows a parenthesis or slash is measured on.
  struct TCurve {
    int e1, e2, e3;  // right margins
    int f1, f2, f3;  // left margins
  };

  int margin(bool leftSide, int y) const { return leftSide ? lm(y) : rm(y); }

  bool ThinRowsAndSingleStroke() const;
  int VertexRow() const;
  TWedge Wedge() const;
  bool FlatAngle(const TWedge& w) const;
  bool Angle(const TWedge& w) const;
  TCurve Curve() const;
  bool MarginNeverGrowsTowardTheEnds(bool leftSide) const;
  bool Parenthesis(const TCurve& s) const;
  bool StraightEdges(const TCurve& s) const;
  void Slashes(const TCurve& s) const;
  bool EveryRowOneRun() const;
};

// --- Angle brackets, parentheses and slashes --------------------------------

// Rows crossing other than one run: none, or up to two above 15 rows. The
// scan ends as soon as there are more, which no later row can mend.
bool TBracketTests::ThinRowsAndSingleStroke() const {
  // The middle row first: most glyphs reach across it, and where no row may
  // cross other than once, most cross it twice.
  if (lm(H2) + rm(H2) < 3 * W / 8) return false;
  const int allowed = H > 15 ? 2 : 0;
  if (allowed == 0 && hx(H2) != 1) return false;
  // Then the end rows, where serifs and bars reach wide.
  if (lm(0) + rm(0) < 3 * W / 8 || lm(Hm) + rm(Hm) < 3 * W / 8) return false;
  int irregular = 0;
  for (int y = 0; y < H; ++y) {
    if (lm(y) + rm(y) < 3 * W / 8) return false;
    if (hx(y) != 1 && ++irregular > allowed) return false;
  }
  return true;
}

// The row where the margins come closest to the box edge, among the middle
// rows: halfway between the last row that set a new minimum and the last row
// that reached it. Each row is compared with the minimum of the rows before it.
int TBracketTests::VertexRow() const {
  int m = W;
  int yo = H2, yt = H2;
  for (int y = H2 - H8; y <= H2 + H8; ++y) {
    const int l = lm(y), r = rm(y);
    if (l < m || r < m) yo = y;
    if (l <= m || r <= m) yt = y;
    m = std::min({m, l, r});
  }
  return (yo + yt) / 2;
}

TBracketTests::TWedge TBracketTests::Wedge() const {
  const int yv = VertexRow();
  return {yv, rm(H16), rm(yv), rm(Hm - H16), lm(H16), lm(yv), lm(Hm - H16)};
}

// A wide, flat wedge that touches the box edge at its vertex.
bool TBracketTests::FlatAngle(const TWedge& w) const {
  if (!(H < W)) return false;
  if (w.uv == 0 && W < 3 * w.lv && w.lt <= W8 && w.lb <= W8) {
    add(u'>', 98);
    return true;
  }
  if (w.lv == 0 && W < 3 * w.uv && w.ut <= W8 && w.ub <= W8) {
    add(u'<', 98);
    return true;
  }
  return false;
}

// A wedge whose arms run straight from the vertex to the corners: a margin
// halfway to the vertex well short of the straight line lowers the reading.
bool TBracketTests::Angle(const TWedge& w) const {
  if (!(W > 4 && 2 * W >= H)) return false;
  TConf c = W >= 8 ? 100 : 99;
  if (W < 6) c *= 96;
  if (engine().MeanCharWidth < 2 * W && H < 4 * W) c = 98;
  const int ym = w.yv / 2;
  const int g = W16;
  if (w.lv == 0 && w.ut <= W8 + 1 && w.ub <= W8 + 1 && w.ut + w.ub <= W8 + 1 && w.uv >= W2 &&
      w.lt >= 3 * W / 4 && w.lb >= 3 * W / 4) {
    if (2 * lm(ym) + g + 1 < w.lt + w.lv) c *= 95;
    add(u'<', 2 * lm(H - ym - 1) + g + 1 < w.lv + w.lb ? Factor(c, 95) : int(c));
    return true;
  }
  if (w.uv == 0 && w.lt <= W8 && w.lb <= W8 && w.lv >= W2 && w.ut >= 3 * W / 4 && w.ub >= 3 * W / 4) {
    if (2 * rm(ym) + g + 1 < w.ut + w.uv) c *= 95;
    add(u'>', 2 * rm(H - ym - 1) + g + 1 < w.uv + w.ub ? Factor(c, 95) : int(c));
    return true;
  }
  return false;
}

TBracketTests::TCurve TBracketTests::Curve() const {
  const int yb = H - H16 - 1;
  return {rm(H16), rm(H2), rm(yb), lm(0), lm(H2), lm(yb)};
}

// The margin does not grow over the n rows that follow row k downward, nor
// over the n rows that lead up from row Hm - k (the first row of each run is
// the reference).
bool TBracketTests::MarginNeverGrowsTowardTheEnds(bool leftSide) const {
  const int k = H12, n = H / 5;
  for (int y = k + 1; y < k + n; ++y)
    if (margin(leftSide, y) > margin(leftSide, y - 1)) return false;
  const int bottom = Hm - k;
  for (int y = bottom - 1; y > bottom - n; --y)
    if (margin(leftSide, y) > margin(leftSide, y + 1)) return false;
  return true;
}

bool TBracketTests::Parenthesis(const TCurve& s) const {
  const TOCRChar& g = glyph();
  const int J = (g.BaseLine + g.DescLine) / 2 - g.MeanLine;
  const bool upright = 2 * W < H && H >= J;
  if (2 * s.e2 < s.e1 + s.e3 && s.f1 + s.f3 < 2 * s.f2 && upright && MarginNeverGrowsTowardTheEnds(false)) {
    add(u')', 98);
    return true;
  }
  if (s.e1 + s.e3 < 2 * s.e2 && 2 * s.f2 < s.f1 + s.f3 && upright && MarginNeverGrowsTowardTheEnds(true)) {
    add(u'(', 98);
    return true;
  }
  return false;
}

// No margin jumps by more than W/6 + 1 from one row to the next; the right
// margin of the row under the top serif stands in for row 0.
bool TBracketTests::StraightEdges(const TCurve& s) const {
  const int jump = W / 6 + 1;
  int prevL = lm(0), prevR = s.e1;
  for (int y = 1; y < H; ++y) {
    const int l = lm(y), r = rm(y);
    if (std::abs(l - prevL) > jump || std::abs(r - prevR) > jump) return false;
    prevL = l;
    prevR = r;
  }
  return true;
}

void TBracketTests::Slashes(const TCurve& s) const {
  const int a = W8, q = W4, b = W / 10;
  // A stroke as wide as the box at both ends is a bar, not a slant.
  const bool s1 = s.f1 + s.e3 - W <= q;
  const bool s2 = s.f3 + s.e1 - W <= q;
  if (s.e1 <= a && s.e2 >= q && s.f2 >= q && s.f3 <= a && !s1) add(u'/', 96);
  if (s.f1 <= a && s.e2 >= q && s.f2 >= q && s.e3 <= a && !s2) add(u'\\', 96);
  if (s.e1 <= b && s.e2 > q && s.f2 > q && s.f3 <= b && !s1)
    add(u'/', 99);
  else if (s.f1 <= b && s.e2 > q && s.f2 > q && s.e3 <= b && !s2)
    add(u'\\', 99);
}

void TBracketTests::AnglesParenthesesSlashes() const {
  if (!(W > 2 && H > 4 && HoleCount() <= 1)) return;
  if (!ThinRowsAndSingleStroke()) return;
  const TWedge w = Wedge();
  if (FlatAngle(w) || Angle(w)) return;
  const TCurve s = Curve();
  if (Parenthesis(s)) return;
  if (!StraightEdges(s)) return;
  Slashes(s);
}

// --- Square brackets ----------------------------------------------------------

void TBracketTests::SquareBrackets() const {
  if (!(W > 3 && H > 4 && 2 * H > 3 * W && HoleCount() <= 1)) return;
  // The stem: one run of nearly the same width over the middle rows.
  // The middle row, which most glyphs cross twice, before the rest.
  if (hx(H2) != 1) return;
  const int u = fw(H2);
  for (int y = H / 6; y < H - H / 6; ++y)
    if (hx(y) != 1 || std::abs(fw(y) - u) > W / 6) return;
  // The bars: the widest runs of the top and bottom rows match.
  int v = 0, w = 0;
  for (int y = 0; y < H / 6; ++y) {
    v = std::max(v, fw(y));
    w = std::max(w, fw(Hm - y));
  }
  if (std::abs(v - w) > W / 6) return;
  const int sumRight = rm(0) + rm(H3) + rm(2 * H / 3) + rm(Hm);
  const int sumLeft = lm(0) + lm(H3) + lm(2 * H / 3) + lm(Hm);
  const TConf c = Tall() ? 100 : 97;
  const int c2 = Factor(c, 95);
  if (sumRight < sumLeft) {
    const int l = lm(H2);
    if (l > W / 3) {
      const int conf = inkIn(W - 3, Wm, 0, 1) ? int(c) : c2;
      add(u']', l / 2 < rm(H2) ? Factor(conf, 95) : conf);
    }
  }
  if (sumLeft < sumRight) {
    const int r = rm(H2);
    if (r > W / 3) {
      const int conf = inkIn(0, 1, H - 3, Hm) ? int(c) : c2;
      add(u'[', r / 2 < lm(H2) ? Factor(conf, 95) : conf);
    }
  }
}

// --- Braces -------------------------------------------------------------------

// Every row crosses one run; the middle row, where most glyphs cross more,
// is asked first.
bool TBracketTests::EveryRowOneRun() const {
  if (hx(H2) != 1) return false;
  for (int y = 0; y < H; ++y)
    if (hx(y) != 1) return false;
  return true;
}

void TBracketTests::OpeningBrace() const {
  if (!(W > 4 && H > 5 && 3 * W < 2 * H && HoleCount() <= 1)) return;
  // Nothing near the right edge in the middle; the point meets the left edge.
  // Two column probes, before every row is asked for its single run.
  if (!(cross(W - 2, H4, W - 2, Hm - H4) == 0 && cross(0, H4, 0, Hm - H4) == 1)) return;
  if (!EveryRowOneRun()) return;
  TConf c = Tall() ? 99 : 96;
  if (lm(Hm) > 3 * W / 4) c *= 99;
  if (lm(0) > 3 * W / 4) c *= 99;
  if (run(1, 0, down, ink, H) < H2 - 1) c *= 98;
  const TGlyphView pg = page();
  if (run(W - 2, Hm, up, ink, H) <= H4 && !pg.inkIn(0, 0, 0, H4) && !pg.inkIn(0, 0, Hm - H4, Hm))
    add(u'{', run(1, Hm, up, ink, H) < H2 - 2 ? Factor(c, 98) : int(c));
}

void TBracketTests::ClosingBrace() const {
  if (!(W > 4 && H > 5 && 3 * W < 2 * H)) return;
  if (!(cross(1, H4, 1, Hm - H4) == 0 && cross(Wm, H4, Wm, Hm - H4) == 1)) return;
  if (!EveryRowOneRun()) return;
  TConf c = Tall() ? 99 : 96;
  if (rm(Hm) > 3 * W / 4) c *= 99;
  if (rm(0) > 3 * W / 4) c *= 99;
  if (run(W - 2, 0, down, ink, H) < H2 - 1) c *= 98;
  const TGlyphView pg = page();
  if (run(1, Hm, up, ink, H) <= H4 && !pg.inkIn(Wm, Wm, 0, H4) && !pg.inkIn(Wm, Wm, Hm - H4, Hm))
    add(u'}', run(W - 2, Hm, up, ink, H) < H2 - 2 ? Factor(c, 98) : int(c));
}

}  // namespace

void RecognizeBrackets(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TBracketTests t(TGlyphView::OfBox(engine, context));
  t.AnglesParenthesesSlashes();
  t.SquareBrackets();
  t.OpeningBrace();
  t.ClosingBrace();
}

}  // namespace omniocr
