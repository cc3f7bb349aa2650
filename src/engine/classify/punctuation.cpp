// Punctuation rules: dash, underscore, equals, colon, semicolon, full stop,
// comma, apostrophe and double quote, tilde and circumflex, each decided by
// the mark's place between the guide lines and a few probes of the page.

#include "engine/classify/punctuation.h"

#include <cstdlib>

#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

struct TPunctuation {
  const TOmnifontOCR& Engine;
  const TRecogContext& Ctx;
  TOCRChar& G;
  // The page under the box: every rule probes it, while the glyph bitmap is
  // asked once, by one rule, through a view made there (a view costs more to
  // make than these probes).
  const TPageProbes P;
  int L, R, T, B, W, H;
  int Asc, Mean, Base, Desc;

  TPunctuation(const TOmnifontOCR& engine, const TRecogContext& context, const TDispatchBox& b)
      : Engine(engine),
        Ctx(context),
        G(*context.Glyph),
        P(engine, *G.Page, context.Threshold, G.Left, G.Top, G.Right, G.Bottom),
        L(b.L),
        R(b.R),
        T(b.T),
        B(b.B),
        W(b.W),
        H(b.H),
        Asc(G.AscLine),
        Mean(G.MeanLine),
        Base(G.BaseLine),
        Desc(G.DescLine) {}

  bool ink(int x0, int x1, int y0, int y1) const { return P.inkIn(x0, x1, y0, y1); }
  bool paper(int x0, int x1, int y0, int y1) const { return P.paperIn(x0, x1, y0, y1); }
  bool rowInk(int y) const { return ink(L, R, y, y); }
  int cc(int x0, int y0, int x1, int y1) const { return P.cross(x0, y0, x1, y1); }
  int lm(int y, int n) const { return P.lm(y, n); }
  int rm(int y, int n) const { return P.rm(y, n); }
  // Ink in the glyph bitmap, box-relative, the view box-sized.
  bool glyphInk(int x0, int x1, int y0, int y1) const {
    return TGlyphView(Engine, Ctx, *Ctx.Bitmap, 0, 0, W, H).inkIn(x0, x1, y0, y1);
  }
  void add(TCharCode ch, int conf) const { SetAC(Engine, G, ch, conf); }

  // Consecutive rows holding ink from `from` in steps of `step`, at most `limit`.
  int inkRows(int from, int step, int limit) const {
    // Downward, the scan stops where nextRow does.
    if (step == 1) return P.nextRow(L, R, from, from + limit - 1, false) - from;
    int t = 0;
    while (t < limit && rowInk(from + step * t)) ++t;
    return t;
  }

  TCharCode BarRule() const;
  TCharCode EqualsRule() const;
  TCharCode ColonRule() const;
  void SemicolonRule() const;
  void FullStopRule() const;
  void CommaRule() const;
  void QuoteRule() const;
  void TildeRule() const;
  void CircumflexRule() const;
  bool RoundBlob() const;
};

// A solid bar: "-" between the guides, "_" on the baseline, "=" under a mark.
TCharCode TPunctuation::BarRule() const {
  if (!(2 * H < Base - Mean && 3 * W >= 4 * H && W > 4)) return NoChar;
  const int e = H > 2 ? 1 : 0;
  if (paper(L + W / 8 + 1, R - W / 8 - 1, T + H / 8 + e, B - H / 8 - e)) return NoChar;
  if (G.MarkAbove != 0) {
    add(u'=', 97);
    return NoChar;
  }
  TConf conf;
  if (2 * H >= W) conf *= 98;
  if (3 * H >= W) conf *= 99;
  if (Desc == 0) {
    conf *= 96;
  } else if (B >= Base) {
    if (W < 2 * H) conf *= 98;
    if (2 * W < 3 * H) conf *= 98;
    add(u'_', conf);
    return NoChar;
  }
  add(u'-', conf);
  return conf > 99 ? u'-' : NoChar;
}

// Two full bars with an empty row between them.
TCharCode TPunctuation::EqualsRule() const {
  if (!(H > 2 && W > 4)) return NoChar;
  const int a = L + W / 10, b = R - W / 10;
  int k = T;
  while (k < B && !ink(a, b, k, k)) ++k;
  if (!paper(a, b, k, k) && !rowInk((k + B) / 2) && !paper(a, b, B, B)) {
    add(u'=', 100);
    return u'=';
  }
  return NoChar;
}

TCharCode TPunctuation::ColonRule() const {
  if (!(Asc + Mean < 2 * T && B <= Base + 1 && H > 5 && H >= 2 * W)) return NoChar;
  const int t = inkRows(T, 1, H / 2);
  if (t >= H / 2) return NoChar;
  const int m = inkRows(B, -1, H / 2);
  TConf conf;
  if (m == 3 && Base < B) conf *= 99;
  if (Ctx.Descends) conf *= 99;
  if (G.MarkAbove != 1) conf *= 96;
  add(u':', conf);
  return conf > 99 ? u':' : NoChar;
}

void TPunctuation::SemicolonRule() const {
  if (!(Asc + Mean < 2 * T && 4 * B >= 3 * Base + Mean && H > 5 && W > 1 && 2 * W < H)) return;
  const int t = inkRows(T, 1, H / 2);
  if (t >= H / 2) return;
  const int m = inkRows(B, -1, H / 2);
  if (m < t) return;
  TConf conf;
  if (m == t && Base >= B) conf *= 97;
  if (m - t < H / 8) conf *= 99;
  add(u';', conf);
}

// Ink inside the inscribed ellipse, paper outside the ellipse 1.4 times its size.
bool TPunctuation::RoundBlob() const {
  for (int x = L; x <= R; ++x)
    for (int y = T; y <= B - 1; ++y) {
      const long long nx = (2LL * x - L - R) * 1000 / W;
      const long long ny = (2LL * y - T - B) * 1000 / H;
      const long long d = nx * nx + ny * ny;
      const bool isInk = P.px(x, y);
      if (d < 600LL * 600 && !isInk) return false;
      if (d > 1400LL * 1400 && isInk) return false;
    }
  return true;
}

void TPunctuation::FullStopRule() const {
  if (!(3 * H < Desc - Asc && std::abs(W - H) < (W + H) / 4 + 2 && 3 * B >= 2 * Base + Mean &&
        5 * T >= 3 * Base + 2 * Mean))
    return;
  TConf conf(99);
  if (!RoundBlob()) return;
  const int n = R - L;
  const bool leansLikeComma = lm(T, n) > lm(B, n) && rm(T, n) < rm(B, n);
  if (leansLikeComma) return;
  if (G.MarkAbove != 0) {
    add(u':', 99);
    conf = 97;
  }
  add(u'.', conf);
}

void TPunctuation::CommaRule() const {
  if (!(3 * H < 2 * (Desc - Asc) && Mean + Base < 2 * T)) return;
  if (!(2 * W < 3 * H || !glyphInk(0, W / 2, H / 2, H - 1))) return;
  TConf conf(2 * H >= Desc - Asc ? 98 : 100);
  const int n = R - L;
  if (lm(B, n) < lm(T, n) && rm(T, n) < rm(B, n)) {
    conf *= 99;  // the head sits right of the tail
  } else {
    if (lm((T + B + 1) / 2, n) < W / 2) conf *= 98;
    if (rm(B, n) < W / 2) conf *= 98;
    const int f = H > 5 ? 1 : 0;
    const int runAbove = P.run(L, B - f, dirLeft, tgInk, n);
    const int runBottom = P.run(L, B, dirLeft, tgInk, n);
    if (runAbove > (W + 1) / 2 && runBottom > (W + 1) / 2) conf *= 96;
  }
  if (G.MarkAbove == 1) {
    add(u';', conf);
    conf *= 99;
  }
  add(u',', conf);
}

void TPunctuation::QuoteRule() const {
  if (!(2 * H < Desc - Asc && 2 * T < Asc + Mean && 3 * B < Mean + 2 * Base)) return;
  TConf conf;
  if (2 * B >= Mean + Base) conf = 96;
  if (3 * B >= 2 * Mean + Base) conf *= 96;
  if (ink(L, R, (Mean + Base) / 2, Desc)) conf *= 98;
  TCharCode ch;
  if (W > 4 && cc(L, B, R, B) == 2) {
    if (ink((L + R) / 2, (L + R) / 2, T, B)) conf *= 96;
    ch = u'"';
  } else {
    if (cc(L, T, R, T) != 1) conf *= 96;
    if (cc(L, (T + B) / 2, R, (T + B) / 2) != 1) conf *= 98;
    if (H < W) conf *= 96;
    ch = u'\'';
  }
  add(ch, conf);
}

void TPunctuation::TildeRule() const {
  if (!(2 * H < Desc - Asc && W >= H && W > 3 && H > 1 && 2 * T < Asc + Mean && 3 * B < 2 * Mean + Base))
    return;
  if (lm(B, W) < lm(T, W) && rm(T, W) < rm(B, W) && cc(L, T, R, T) == 2 && cc(L, B, R, B) == 2) add(u'~', 99);
}

void TPunctuation::CircumflexRule() const {
  if (!(2 * H < Desc - Asc && W >= H && W > 2 && H > 1 && 2 * T < Asc + Mean && 3 * B < 2 * Mean + Base))
    return;
  const int t8 = W / 8;
  const bool leftRises = lm(T, W) > lm(B, W) - t8 || lm(T, W) > lm(B - 1, W) - t8;
  const bool rightRises = rm(T, W) > rm(B, W) - t8 || rm(T, W) > rm(B - 1, W) - t8;
  if (!(leftRises && rightRises && cc(L, T, R, T) == 1)) return;
  if (cc(L, B, R, B) == 2 || cc(L, B - 1, R, B - 1) == 2) add(u'^', 99);
}

}  // namespace

TCharCode ApplyPunctuationRules(const TOmnifontOCR& engine, const TRecogContext& context,
                                const TDispatchBox& box) {
  const TPunctuation rules(engine, context, box);
  if (const TCharCode ch = rules.BarRule()) return ch;
  if (const TCharCode ch = rules.EqualsRule()) return ch;
  if (const TCharCode ch = rules.ColonRule()) return ch;
  rules.SemicolonRule();
  rules.FullStopRule();
  rules.CommaRule();
  rules.QuoteRule();
  rules.TildeRule();
  rules.CircumflexRule();
  return NoChar;
}

}  // namespace omniocr
