#pragma once

// The vocabulary every recogniser is written in. A recogniser gets the
// recognition context of one dispatch and looks at the glyph through a
// TGlyphView: the box size W x H with its short forms, the margin scans
// lm/rm/tm/bm, the run width fw, the crossing counts hx/vx/cross, the
// rectangle tests inkIn/paperIn, the pixel test px, the coverage cov, the
// walk, and the same probes on the page (box-relative through a page view,
// or in page coordinates through the P-prefixed members). Confidences are
// TConf values lowered with `c *= 98`, each factor truncating.
//
// Views are small value types built once per recogniser call; every member
// is inline, nothing allocates, nothing is virtual. Every position a rule
// aims outside the pixels reads as paper.
//
// A recogniser derives its rules from a view so that they read unqualified:
//
//   class TShapeTests : public TGlyphView {
//    public:
//     explicit TShapeTests(const TGlyphView& v) : TGlyphView(v) {}
//     void Bar() const {
//       if (!(W > 3 && hx(H2) == 1)) return;   // a gate ends only this test
//       TConf c;
//       if (lm(H4) > W8) c *= 98;
//       if (!Tall()) c *= 95;
//       add(u'x', c);
//     }
//   };
//   void RecognizeShape(const TOmnifontOCR& e, const TRecogContext& ctx) {
//     TShapeTests(TGlyphView::OfBox(e, ctx)).Bar();
//   }
//
// Letter and sign recognisers take W and H from the record's box (OfBox);
// the digit recogniser from the glyph bitmap itself (OfBitmap); a rule that
// probes the page uses OfPage (box-relative) or the P-prefixed members (page
// coordinates, L, T, R, B being the box).

#include <cstdint>

#include "engine/arith.h"
#include "engine/classify/candidates.h"
#include "engine/classify/probes.h"
#include "engine/ocr_types.h"

namespace omniocr {

class TOmnifontOCR;

// The working record of one dispatch, handed to every recogniser.
struct TRecogContext {
  TOCRChar* Glyph = nullptr;
  const TDIB* Bitmap = nullptr;  // the glyph bitmap, owned by the driver
  std::int32_t Threshold = 0;
  bool Tall = false;
  bool Descends = false;
  THoleList HoleList;  // HoleCount and Holes, relative to the box
};

// Every recogniser has this form; it reports only through SetAC.
using TRecogniser = void (*)(const TOmnifontOCR& engine, const TRecogContext& context);

// A running confidence: `c *= 98` means c = c * 98 / 100, truncating, and
// successive factors truncate one after another.
class TConf {
 public:
  constexpr TConf(int start = 100) : Value(start) {}
  TConf& operator*=(int percent) {
    Value = Factor(Value, percent);
    return *this;
  }
  constexpr operator int() const { return Value; }

 private:
  int Value;
};

namespace notation {

// Directions of run(), also the actions of walk(); class targets of run().
constexpr int up = dirUp;
constexpr int down = dirDown;
constexpr int left = dirLeft;
constexpr int right = dirRight;
constexpr int stop = waStop;
constexpr int ink = tgInk;
constexpr int paper = tgPaper;

}  // namespace notation

class TGlyphView {
 public:
  // A view of `pixels` whose column 0, row 0 is the pixel (originX, originY),
  // W x H in size; `box` gives the page-coordinate members L, T, R, B and the
  // P-prefixed probes on `page`.
  TGlyphView(const TOmnifontOCR& engine, const TRecogContext& context, const TDIB& pixels, int originX,
             int originY, int width, int height)
      : Engine(engine),
        Ctx(context),
        Pixels(pixels),
        Page(*context.Glyph->Page),
        OX(originX),
        OY(originY),
        Thr(context.Threshold),
        W(width),
        H(height),
        Wm(width - 1),
        Hm(height - 1),
        L(context.Glyph->Left),
        T(context.Glyph->Top),
        R(context.Glyph->Right),
        B(context.Glyph->Bottom),
        W2(W / 2),
        W4(W / 4),
        W8(W / 8),
        W12(W / 12),
        W16(W / 16),
        W32(W / 32),
        H2(H / 2),
        H3(H / 3),
        H4(H / 4),
        H8(H / 8),
        H12(H / 12),
        H16(H / 16),
        H32(H / 32) {}

  // The glyph bitmap with W and H of the bitmap itself (the digit recogniser).
  static TGlyphView OfBitmap(const TOmnifontOCR& engine, const TRecogContext& context) {
    const TDIB& b = *context.Bitmap;
    return TGlyphView(engine, context, b, 0, 0, b.Width(), b.Height());
  }
  // The glyph bitmap with W and H of the record's box (letters and signs).
  static TGlyphView OfBox(const TOmnifontOCR& engine, const TRecogContext& context) {
    const TOCRChar& g = *context.Glyph;
    return TGlyphView(engine, context, *context.Bitmap, 0, 0, g.Width(), g.Height());
  }
  // The page under the box, box-relative: neighbours' ink inside the box counts.
  static TGlyphView OfPage(const TOmnifontOCR& engine, const TRecogContext& context) {
    const TOCRChar& g = *context.Glyph;
    return TGlyphView(engine, context, *g.Page, g.Left, g.Top, g.Width(), g.Height());
  }

  // --- Probes on the view, in its own coordinates --------------------------

  // run(x, y, dir, stop, n): pixels passed before the first of class `stop`.
  int run(int x, int y, int dir, int stopClass, int n) const {
    return ScanRun(Pixels, OX + x, OY + y, dir, stopClass, Thr, n);
  }
  int lm(int y) const { return lm(y, W); }
  int lm(int y, int limit) const { return run(0, y, dirRight, tgInk, limit); }
  int rm(int y) const { return rm(y, W); }
  int rm(int y, int limit) const { return run(Wm, y, dirLeft, tgInk, limit); }
  int tm(int x) const { return tm(x, H); }
  int tm(int x, int limit) const { return run(x, 0, dirDown, tgInk, limit); }
  int bm(int x) const { return bm(x, H); }
  int bm(int x, int limit) const { return run(x, Hm, dirUp, tgInk, limit); }
  // Width of the first ink run of row y.
  int fw(int y) const { return run(lm(y), y, dirRight, tgPaper, W); }

  int cross(int x1, int y1, int x2, int y2) const {
    return CountCrossings(Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr);
  }
  int hx(int y) const { return cross(0, y, Wm, y); }
  int vx(int x) const { return cross(x, 0, x, Hm); }

  // inkIn(x1..x2, y1..y2): the (clipped) rectangle holds ink.
  bool inkIn(int x1, int x2, int y1, int y2) const {
    return ProbeRect(Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr, 1) != 0;
  }
  bool paperIn(int x1, int x2, int y1, int y2) const {
    return ProbeRect(Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr, 2) != 0;
  }
  bool px(int x, int y) const { return InkAt(Pixels, OX + x, OY + y, Thr); }
  int cov(int x1, int y1, int x2, int y2) const {
    return InkCoverage(Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr, 100);
  }

  // walk(ink action, paper action) from (x, y), kept inside the view's box
  // (clipped to the pixels); the point is moved in place.
  void walk(int& x, int& y, int inkAction, int paperAction) const {
    walk(x, y, inkAction, paperAction, 0, Wm, 0, Hm);
  }
  void walk(int& x, int& y, int inkAction, int paperAction, int minX, int maxX, int minY, int maxY) const {
    int ax = OX + x, ay = OY + y;
    const int x0 = OX + minX < 0 ? 0 : OX + minX;
    const int y0 = OY + minY < 0 ? 0 : OY + minY;
    WalkProbe(Pixels, ax, ay, x0, OX + maxX, y0, OY + maxY, Thr, inkAction, paperAction);
    x = ax - OX;
    y = ay - OY;
  }

  // --- Probes on the page in page coordinates (the P-prefixed forms) -------

  int Prun(int x, int y, int dir, int stopClass, int n) const {
    return ScanRun(Page, x, y, dir, stopClass, Thr, n);
  }
  // First ink rightward from (L, y) and leftward from (R, y).
  int Plm(int y, int limit) const { return Prun(L, y, dirRight, tgInk, limit); }
  int Prm(int y, int limit) const { return Prun(R, y, dirLeft, tgInk, limit); }
  int Pcross(int x1, int y1, int x2, int y2) const { return CountCrossings(Page, x1, y1, x2, y2, Thr); }
  bool Pink(int x1, int x2, int y1, int y2) const { return ProbeRect(Page, x1, y1, x2, y2, Thr, 1) != 0; }
  bool Ppaper(int x1, int x2, int y1, int y2) const { return ProbeRect(Page, x1, y1, x2, y2, Thr, 2) != 0; }
  bool Ppx(int x, int y) const { return InkAt(Page, x, y, Thr); }
  // Row y holds ink across the box.
  bool ProwInk(int y) const { return Pink(L, R, y, y); }

  // --- Rounded fractions: W/k and H/k to the nearest, ties to even ----------

  int rW(int k) const { return static_cast<int>(NearestDiv(W, k)); }
  int rH(int k) const { return static_cast<int>(NearestDiv(H, k)); }
  static int nearest(int numerator, int denominator) {
    return static_cast<int>(NearestDiv(numerator, denominator));
  }

  // --- The glyph and its context -------------------------------------------

  const TOCRChar& glyph() const { return *Ctx.Glyph; }
  bool Tall() const { return Ctx.Tall; }
  bool Descends() const { return Ctx.Descends; }
  int HoleCount() const { return Ctx.HoleList.HoleCount; }
  // hole(1) is the largest hole, hole(2) the next.
  const TGlyphHole& hole(int k) const { return Ctx.HoleList.Holes[k - 1]; }
  int MarkAbove() const { return Ctx.Glyph->MarkAbove; }
  int AscLine() const { return Ctx.Glyph->AscLine; }
  int MeanLine() const { return Ctx.Glyph->MeanLine; }
  int BaseLine() const { return Ctx.Glyph->BaseLine; }
  int DescLine() const { return Ctx.Glyph->DescLine; }

  // Offers a candidate through SetAC.
  void add(TCharCode ch, int confidence) const { SetAC(Engine, *Ctx.Glyph, ch, confidence); }

  const TOmnifontOCR& engine() const { return Engine; }
  const TRecogContext& context() const { return Ctx; }

 private:
  const TOmnifontOCR& Engine;
  const TRecogContext& Ctx;
  const TDIB& Pixels;
  const TDIB& Page;
  int OX, OY;
  int Thr;

 public:
  const int W, H, Wm, Hm;
  const int L, T, R, B;
  const int W2, W4, W8, W12, W16, W32;
  const int H2, H3, H4, H8, H12, H16, H32;
};

}  // namespace omniocr
