#pragma once

// The vocabulary every recogniser is written in. A recogniser gets the
// recognition context of one dispatch and looks at the glyph through a
// TGlyphView: the box size W x H with its short forms, the bitmap's own WB x
// HB, the box centre xc, yc (page coordinates), the margin scans lm/rm/tm/bm,
// the run widths inkRun/fw/gap and secondRun, the crossing counts
// hx/vx/cross and meetsInk (whether a segment meets any ink at all), the
// rectangle tests inkIn/paperIn and, row by row or column
// by column, inkEveryRow/inkEveryColumn/someRowSolid, someHx/someVx (some
// row or column of a range crossing n runs), nextRow (where a scan of rows
// for one with ink, or with none, stops), the pixel test px and
// innerCorner, the coverage cov, walk and connects, holes of a box-relative
// page rectangle, and the context's Holes[0], Holes[1] (largest first). The
// same probes on the page come as P.lm(y), P.inkIn(L..R, y), P.holes(...) in
// page coordinates (L, T, R, B being the box), or box-relative through
// page(). Confidences are TConf values lowered with `c *= 98`, each factor
// truncating; addPair offers a letter pair in the order Tall decides,
// addDescenderPair one whose small letter descends, as Tall and Descends
// decide.
//
// Views are small value types, copied into each recogniser call from the one
// the context keeps; every member is inline, nothing allocates, nothing is
// virtual. Every position a rule
// aims outside the pixels reads as paper.
//
// A recogniser derives its rules from a view so that they read unqualified:
//
//   class TShapeTests : public TGlyphView {
//    public:
//     explicit TShapeTests(const TGlyphView& v) : TGlyphView(v) {}
//     void Bar() const {
//       if (!(W > 3 && hx(H2) == 1)) return;   // a gate ends only this test
//       if (!P.inkIn(L, xc, T, T + H / 4)) return;  // a page probe
//       TConf c;
//       if (lm(H4) > W8) c *= 98;
//       if (HoleCount() > 0 && Holes[0].MinY < H4) c *= 96;
//       addPair(u'X', u'x', c);
//     }
//   };
//   void RecognizeShape(const TOmnifontOCR& e, const TRecogContext& ctx) {
//     TShapeTests(TGlyphView::OfBox(e, ctx)).Bar();
//   }
//
// Letter and sign recognisers take W and H from the record's box (OfBox);
// the digit recogniser from the glyph bitmap itself (OfBitmap); a rule that
// probes the page uses page() (box-relative, the same W and H) or P (page
// coordinates, L, T, R, B being the box).

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "engine/arith.h"
#include "engine/classify/candidates.h"
#include "engine/classify/line_memo.h"
#include "engine/classify/probes.h"
#include "engine/ocr_types.h"

namespace omniocr {

class TOmnifontOCR;

// The working record of one dispatch, handed to every recogniser (below the
// views, since it keeps one).
struct TRecogContext;

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

// Words over a range of rows or columns, the same on a view and on the page
// probes (Probes has inkIn, paperIn, hx and vx); ranges are inclusive.
template <class Probes>
class TRangeWords {
 public:
  // Every row y1..y2 holds ink in columns x1..x2.
  bool inkEveryRow(int x1, int x2, int y1, int y2) const {
    return self().nextRowWhere(x1, x2, y1, y2, 1, false) > y2;
  }
  // Every column x1..x2 holds ink in rows y1..y2.
  bool inkEveryColumn(int x1, int x2, int y1, int y2) const {
    for (int x = x1; x <= x2; ++x)
      if (!self().inkIn(x, x, y1, y2)) return false;
    return true;
  }
  // Some row y1..y2 holds no paper in columns x1..x2.
  bool someRowSolid(int x1, int x2, int y1, int y2) const {
    return self().nextRowWhere(x1, x2, y1, y2, 2, false) <= y2;
  }
  // The first row of y1..y2 whose columns x1..x2 hold ink (`ink`) or hold
  // none (!ink): where a scan row by row would stop, y2 + 1 when no row
  // does (y1 when y1 > y2).
  int nextRow(int x1, int x2, int y1, int y2, bool ink) const {
    return self().nextRowWhere(x1, x2, y1, y2, 1, ink);
  }
  // Some row y1..y2 with hx(y) = n; some column x1..x2 with vx(x) = n.
  bool someHx(int y1, int y2, int n) const {
    for (int y = y1; y <= y2; ++y)
      if (self().hx(y) == n) return true;
    return false;
  }
  bool someVx(int x1, int x2, int n) const {
    for (int x = x1; x <= x2; ++x)
      if (self().vx(x) == n) return true;
    return false;
  }

 private:
  const Probes& self() const { return static_cast<const Probes&>(*this); }
};

// Probes on the glyph's page in page coordinates: the P-prefixed forms of the
// rules (P.lm(y), P.inkIn(L..R, y), ...). L, T, R, B are the box at the time
// the view was made; W and H its size, the default limits of the margins.
class TPageProbes : public TRangeWords<TPageProbes> {
 public:
  [[gnu::always_inline]] TPageProbes(const TOmnifontOCR& engine, const TDIB& page, int threshold, int left,
                                     int top, int right, int bottom)
      : TPageProbes(engine, page, ActivePlane(page, threshold), threshold, left, top, right, bottom) {}
  // The same with the page's plane in the running dispatch (or null) given.
  [[gnu::always_inline]] TPageProbes(const TOmnifontOCR& engine, const TDIB& page, const TInkPlane* plane,
                                     int threshold, int left, int top, int right, int bottom)
      : Engine(engine),
        Page(page),
        Plane(plane),
        Thr(threshold),
        L(left),
        T(top),
        R(right),
        B(bottom),
        W(right - left + 1),
        H(bottom - top + 1) {}

  int run(int x, int y, int dir, int stopClass, int n) const {
    return ScanRunIn(Plane, Page, x, y, dir, stopClass, Thr, n);
  }
  // Paper from the box's left (right) edge to the first ink of row y.
  int lm(int y) const { return lm(y, W); }
  int lm(int y, int limit) const { return run(L, y, dirRight, tgInk, limit); }
  int rm(int y) const { return rm(y, W); }
  int rm(int y, int limit) const { return run(R, y, dirLeft, tgInk, limit); }
  // Paper from the box's top (bottom) edge to the first ink of column x.
  int tm(int x) const { return tm(x, H); }
  int tm(int x, int limit) const { return run(x, T, dirDown, tgInk, limit); }
  int bm(int x) const { return bm(x, H); }
  int bm(int x, int limit) const { return run(x, B, dirUp, tgInk, limit); }
  // Length of the ink starting at (x, y), going right.
  int inkRun(int x, int y) const { return run(x, y, dirRight, tgPaper, W); }
  // Width of the first ink run of row y inside the box; 0 for a row with no
  // ink there (it never measures the neighbour beyond R).
  int fw(int y) const {
    const int m = lm(y);
    return m >= W ? 0 : inkRun(L + m, y);
  }

  [[gnu::always_inline]] int cross(int x1, int y1, int x2, int y2) const {
    return CountCrossingsIn(Plane, Page, x1, y1, x2, y2, Thr);
  }
  // Crossings of page row y across the box, of page column x down it.
  int hx(int y) const { return cross(L, y, R, y); }
  int vx(int x) const { return cross(x, T, x, B); }
  [[gnu::always_inline]] bool inkIn(int x1, int x2, int y1, int y2) const {
    return ProbeRectIn(Plane, Page, x1, y1, x2, y2, Thr, 1) != 0;
  }
  bool paperIn(int x1, int x2, int y1, int y2) const {
    return ProbeRectIn(Plane, Page, x1, y1, x2, y2, Thr, 2) != 0;
  }
  bool px(int x, int y) const { return InkAt(Page, x, y, Thr); }
  int nextRowWhere(int x1, int x2, int y1, int y2, std::uint8_t mask, bool holds) const {
    return NextRowWhereIn(Plane, Page, x1, x2, y1, y2, Thr, mask, holds);
  }
  // Page row y holds ink across the box.
  bool rowInk(int y) const { return inkIn(L, R, y, y); }
  // Page row y holds no paper across the box; page column x none down it.
  bool rowSolid(int y) const { return !paperIn(L, R, y, y); }
  bool colSolid(int x) const { return !paperIn(x, x, T, B); }
  int cov(int x1, int y1, int x2, int y2) const { return InkCoverage(Page, x1, y1, x2, y2, Thr, 100); }

  // walk(ink action, paper action) from (x, y) inside the box, or inside the
  // rectangle given; the point is moved in place.
  void walk(int& x, int& y, int inkAction, int paperAction) const {
    walk(x, y, inkAction, paperAction, L, R, T, B);
  }
  void walk(int& x, int& y, int inkAction, int paperAction, int minX, int maxX, int minY, int maxY) const {
    WalkProbe(Page, x, y, minX, maxX, minY, maxY, Thr, inkAction, paperAction);
  }
  bool connects(int x0, int y0, int x1, int y1) const { return PathConnects(Page, x0, y0, x1, y1, Thr); }

  // holes(x1..x2, y1..y2): the significant holes of the page rectangle,
  // counted without touching the context's own hole list; none below 3 rows.
  int holes(int x1, int x2, int y1, int y2) const {
    return CountHoles(Engine, Page, x1, y1, x2, y2, Thr, nullptr);
  }

 private:
  const TOmnifontOCR& Engine;
  friend class TGlyphView;  // its page() view shares the page and its plane

  const TDIB& Page;
  const TInkPlane* Plane;  // the page's in the running dispatch, or null
  int Thr;

 public:
  const int L, T, R, B, W, H;
};

class TGlyphView : public TRangeWords<TGlyphView> {
 public:
  // A view of `pixels` whose column 0, row 0 is the pixel (originX, originY),
  // W x H in size; the record's box gives L, T, R, B and the page probes P.
  [[gnu::always_inline]] inline TGlyphView(const TOmnifontOCR& engine, const TRecogContext& context,
                                           const TDIB& pixels, int originX, int originY, int width,
                                           int height);

 private:
  // What a view takes from its context and the running dispatch, all read
  // before any member is written (the writes could otherwise alias the
  // record and force it to be read again).
  struct TSource {
    [[gnu::always_inline]] inline TSource(const TRecogContext& context, const TDIB& pixels);
    const TDIB* Page;
    const TInkPlane* PagePlane = nullptr;
    const TInkPlane* PixelsPlane = nullptr;
    int L, T, R, B, WB, HB;
  };
  [[gnu::always_inline]] inline TGlyphView(const TOmnifontOCR& engine, const TRecogContext& context,
                                           const TDIB& pixels, int originX, int originY, int width,
                                           int height, const TSource& source);
  // The page view of view v (see page()).
  struct TOnPage {};
  [[gnu::always_inline]] inline TGlyphView(const TGlyphView& v, TOnPage);

 public:
  // The glyph bitmap with W and H of the bitmap itself (the digit recogniser).
  static TGlyphView OfBitmap(const TOmnifontOCR& engine, const TRecogContext& context);
  // The glyph bitmap with W and H of the record's box (letters and signs).
  // The context keeps it: every recogniser of a dispatch asks for the same
  // view, and a copy costs less than making one. It is made again when
  // anything it was made from has changed since.
  [[gnu::always_inline]] static const TGlyphView& OfBox(const TOmnifontOCR& engine,
                                                        const TRecogContext& context);
  // The page under the box, box-relative: neighbours' ink inside the box counts.
  static TGlyphView OfPage(const TOmnifontOCR& engine, const TRecogContext& context);
  // The same W x H, box-relative on the page: the page view of a glyph view,
  // for rules that mix probes of the glyph bitmap and of the page.
  // Made from this view's own box and sizes (nothing moves the box while a
  // recogniser runs), so nothing is read from the record or worked out again.
  TGlyphView page() const { return TGlyphView(*this, TOnPage{}); }

  // --- Probes on the view, in its own coordinates --------------------------

  // run(x, y, dir, stop, n): pixels passed before the first of class `stop`.
  int run(int x, int y, int dir, int stopClass, int n) const {
    return ScanRunIn(Plane, Pixels, OX + x, OY + y, dir, stopClass, Thr, n);
  }
  // lm, rm, tm, fw, hx and vx within the view's own limits are measured
  // once per dispatch on the glyph bitmap (see TLineMemo).
  [[gnu::always_inline]] int lm(int y) const {
    return RowKept(TLineMemo::kLeftMargin, y, [&] { return FirstMargin<TLineMemo::kLeftMargin>(y); });
  }
  int lm(int y, int limit) const { return run(0, y, dirRight, tgInk, limit); }
  [[gnu::always_inline]] int rm(int y) const {
    return RowKept(TLineMemo::kRightMargin, y, [&] { return FirstMargin<TLineMemo::kRightMargin>(y); });
  }
  int rm(int y, int limit) const { return run(Wm, y, dirLeft, tgInk, limit); }
  [[gnu::always_inline]] int tm(int x) const {
    return ColumnKept(TLineMemo::kTopMargin, x, [&] { return tm(x, H); });
  }
  int tm(int x, int limit) const { return run(x, 0, dirDown, tgInk, limit); }
  int bm(int x) const { return bm(x, H); }
  int bm(int x, int limit) const { return run(x, Hm, dirUp, tgInk, limit); }
  // The ink run at (x, y): the length of the ink starting there, going right.
  int inkRun(int x, int y) const { return run(x, y, dirRight, tgPaper, W); }
  // Width of the first ink run of row y; 0 for a row with no ink inside the
  // view (it never measures the neighbour beyond the box).
  [[gnu::always_inline]] int fw(int y) const {
    return RowKept(TLineMemo::kFirstRunWidth, y, [&] { return FirstRunWidth(y); });
  }
  // The paper after the first ink run of row y; 0 for a row with no ink.
  int gap(int y) const {
    const int m = lm(y);
    return m >= W ? 0 : run(m + inkRun(m, y), y, dirRight, tgInk, W);
  }
  // Where the second ink run of row y begins: lm + fw + gap.
  int secondRun(int y) const { return lm(y) + fw(y) + gap(y); }

  [[gnu::always_inline]] int cross(int x1, int y1, int x2, int y2) const {
    return CountCrossingsIn(Plane, Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr);
  }
  // The segment meets ink: cross(x1, y1, x2, y2) != 0, looking no further
  // than the first ink.
  bool meetsInk(int x1, int y1, int x2, int y2) const {
    return SegmentMeetsInkIn(Plane, Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr);
  }
  [[gnu::always_inline]] int hx(int y) const {
    return RowKept(TLineMemo::kRowCrossings, y, [&] { return cross(0, y, Wm, y); });
  }
  [[gnu::always_inline]] int vx(int x) const {
    return ColumnKept(TLineMemo::kColumnCrossings, x, [&] { return cross(x, 0, x, Hm); });
  }

  // inkIn(x1..x2, y1..y2): the (clipped) rectangle holds ink.
  [[gnu::always_inline]] bool inkIn(int x1, int x2, int y1, int y2) const {
    return ProbeRectIn(Plane, Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr, 1) != 0;
  }
  bool paperIn(int x1, int x2, int y1, int y2) const {
    return ProbeRectIn(Plane, Pixels, OX + x1, OY + y1, OX + x2, OY + y2, Thr, 2) != 0;
  }
  bool px(int x, int y) const { return InkAt(Pixels, OX + x, OY + y, Thr); }
  int nextRowWhere(int x1, int x2, int y1, int y2, std::uint8_t mask, bool holds) const {
    return NextRowWhereIn(Plane, Pixels, OX + x1, OX + x2, OY + y1, OY + y2, Thr, mask, holds) - OY;
  }
  // Row y holds ink across the view (P.rowInk in page coordinates).
  bool rowInk(int y) const { return inkIn(0, Wm, y, y); }
  // A paper pixel in x1..x2, y1..y2 whose right, upper-right and upper
  // neighbours are ink: an inside corner, as under the bar of a G.
  bool innerCorner(int x1, int x2, int y1, int y2) const;
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
  // connects(x0, y0, x1, y1): PathConnects on the view's pixels.
  bool connects(int x0, int y0, int x1, int y1) const {
    return PathConnects(Pixels, OX + x0, OY + y0, OX + x1, OY + y1, Thr);
  }

  // holes(x1..x2, y1..y2) of a box-relative rectangle, always counted on the
  // page (page column L + x, row T + y); P.holes takes page coordinates.
  int holes(int x1, int x2, int y1, int y2) const { return P.holes(L + x1, L + x2, T + y1, T + y2); }

  // --- Rounded fractions: W/k and H/k to the nearest, ties to even ----------

  int rW(int k) const { return static_cast<int>(NearestDiv(W, k)); }
  int rH(int k) const { return static_cast<int>(NearestDiv(H, k)); }
  static int nearest(int numerator, int denominator) {
    return static_cast<int>(NearestDiv(numerator, denominator));
  }

  // --- The glyph and its context -------------------------------------------

  inline const TOCRChar& glyph() const;
  inline bool Tall() const;
  inline bool Descends() const;
  inline int HoleCount() const;
  inline int MarkAbove() const;
  inline int AscLine() const;
  inline int MeanLine() const;
  inline int BaseLine() const;
  inline int DescLine() const;

  // Offers a candidate through SetAC.
  inline void add(TCharCode ch, int confidence) const;
  // Offers a letter pair: when Tall the upper-case letter with c and then the
  // lower-case one with c x 98, otherwise the other way round.
  void addPair(TCharCode upper, TCharCode lower, int confidence) const {
    const bool tall = Tall();
    add(tall ? upper : lower, confidence);
    add(tall ? lower : upper, Factor(confidence, 98));
  }
  // Offers a pair whose small letter descends: the case that Tall and
  // Descends agree on gets c and the other c x 98; when they say both or
  // neither, the upper-case and then the lower-case letter get c x 95.
  void addDescenderPair(TCharCode upper, TCharCode lower, int confidence) const {
    if (Tall() && !Descends()) {
      add(upper, confidence);
      add(lower, Factor(confidence, 98));
    } else if (Descends() && !Tall()) {
      add(lower, confidence);
      add(upper, Factor(confidence, 98));
    } else {
      add(upper, Factor(confidence, 95));
      add(lower, Factor(confidence, 95));
    }
  }

  const TOmnifontOCR& engine() const { return Engine; }
  const TRecogContext& context() const { return Ctx; }

  // The page probes in page coordinates: P.lm(y), P.inkIn(L..R, y), ...
  const TPageProbes P;
  // The context's holes, largest first: Holes[0] is the largest, as the
  // rules write it (box-relative coordinates).
  const TGlyphHole (&Holes)[kMaxHoles];

 private:
  // A row (column) measure kept in the context's memo when this view claimed
  // its rows (columns), else measured here.
  template <class Measure>
  [[gnu::always_inline]] int RowKept(TLineMemo::TRowMeasure kind, int y, Measure measure) const {
    if (static_cast<unsigned>(y) < RowLimit) return Memo->Rows.Get(y, kind, measure);
    return measure();
  }
  template <class Measure>
  [[gnu::always_inline]] int ColumnKept(TLineMemo::TColumnMeasure kind, int x, Measure measure) const {
    if (static_cast<unsigned>(x) < ColumnLimit) return Memo->Columns.Get(x, kind, measure);
    return measure();
  }
  // Claims the context's memo for a view of the glyph bitmap from its origin
  // made while the bitmap's plane is open: the limits above say what it keeps.
  [[gnu::always_inline]] void KeepLinesIf(bool glyphFromOrigin) {
    if (glyphFromOrigin && Plane != nullptr) KeepLines();
  }
  [[gnu::noinline]] void KeepLines() {
    TLineMemo& memo = *Memo;
    // The lines a rule of this view or of the bitmap's own size asks for, and
    // the one past them.
    RowLimit = static_cast<unsigned>(memo.ClaimRows(W, std::max(H, HB) + 1));
    ColumnLimit = static_cast<unsigned>(memo.ClaimColumns(H, std::max(W, WB) + 1));
  }
  // A left or right margin not kept yet: where the memo keeps the row, the
  // margins of every row are kept at once if the plane holds the rows as
  // words.
  template <TLineMemo::TRowMeasure Side>
  [[gnu::noinline]] int FirstMargin(int y) const {
    if (static_cast<unsigned>(y) < RowLimit) {
      KeepRowMargins();
      if (const int kept = Memo->Rows.Known(y, Side); kept >= 0) return kept;
    }
    if constexpr (Side == TLineMemo::kLeftMargin) return lm(y, W);
    return rm(y, W);
  }
  inline void KeepRowMargins() const;
  int FirstRunWidth(int y) const {
    const int m = lm(y);
    return m >= W ? 0 : inkRun(m, y);
  }
  // The view OfBox makes now, kept in the context; once a dispatch.
  [[gnu::noinline]] static inline const TGlyphView& KeepBoxView(const TOmnifontOCR& engine,
                                                                const TRecogContext& context);
  // Whether this view, kept by `context`, is the one OfBox would make now.
  [[gnu::always_inline]] inline bool BoxViewOf(const TOmnifontOCR& engine,
                                               const TRecogContext& context) const;

  const TOmnifontOCR& Engine;
  const TRecogContext& Ctx;
  const TDIB& Pixels;
  // The pixels' plane in the running dispatch, or null: looked up once, since
  // a view lives inside one recogniser call and so inside one dispatch.
  const TInkPlane* Plane;
  int OX, OY;
  int Thr;
  TLineMemo* Memo;  // the context's
  // Rows (columns) below these are kept in Memo: none unless this view
  // claimed it.
  unsigned RowLimit = 0, ColumnLimit = 0;

 public:
  const int W, H, Wm, Hm;
  const int WB, HB;  // the glyph bitmap's own width and height
  const int L, T, R, B;
  const int xc, yc;  // the box's centre column and row, page coordinates
  const int W2, W4, W8, W12, W16, W32;
  const int H2, H3, H4, H8, H12, H16, H32;
};

// A glyph's Left, Right, Top and Bottom as two words, compared at once.
struct TGlyphBoxWords {
  static_assert(offsetof(TOCRChar, Right) == offsetof(TOCRChar, Left) + 4 &&
                offsetof(TOCRChar, Top) == offsetof(TOCRChar, Left) + 8 &&
                offsetof(TOCRChar, Bottom) == offsetof(TOCRChar, Left) + 12);
  static TGlyphBoxWords Of(const TOCRChar& glyph) {
    TGlyphBoxWords box;
    std::memcpy(&box, &glyph.Left, sizeof box);
    return box;
  }
  bool operator==(const TGlyphBoxWords& other) const {
    return ((LeftRight ^ other.LeftRight) | (TopBottom ^ other.TopBottom)) == 0;
  }
  std::uint64_t LeftRight, TopBottom;
};

// The working record of one dispatch, handed to every recogniser.
struct TRecogContext {
  TOCRChar* Glyph = nullptr;
  const TDIB* Bitmap = nullptr;  // the glyph bitmap, owned by the driver
  std::int32_t Threshold = 0;
  bool Tall = false;
  bool Descends = false;
  THoleList HoleList;  // HoleCount and Holes, relative to the box
  // Row and column measures of the glyph bitmap, kept for the dispatch.
  mutable TLineMemo Lines;
  // The view OfBox made last (see there), and the running dispatch's planes
  // when it was made, with their FindGeneration then (null and 0 outside a
  // dispatch).
  mutable std::optional<TGlyphView> BoxView;
  mutable const TDispatchPlanes* BoxViewPlanes = nullptr;
  mutable std::uint64_t BoxViewPlanesGeneration = 0;
  // The glyph's box the view was made from, as the glyph holds it.
  mutable TGlyphBoxWords BoxViewBox{};
};

TGlyphView::TSource::TSource(const TRecogContext& context, const TDIB& pixels)
    : Page(context.Glyph->Page),
      L(context.Glyph->Left),
      T(context.Glyph->Top),
      R(context.Glyph->Right),
      B(context.Glyph->Bottom),
      WB(context.Bitmap->Width()),
      HB(context.Bitmap->Height()) {
  TDispatchPlanes* planes = activePlanes;
  PagePlane = planes == nullptr ? nullptr : planes->Find(*Page, context.Threshold);
  PixelsPlane = planes == nullptr ? nullptr : planes->Find(pixels, context.Threshold);
}

TGlyphView::TGlyphView(const TOmnifontOCR& engine, const TRecogContext& context, const TDIB& pixels,
                       int originX, int originY, int width, int height)
    : TGlyphView(engine, context, pixels, originX, originY, width, height, TSource(context, pixels)) {}

TGlyphView::TGlyphView(const TOmnifontOCR& engine, const TRecogContext& context, const TDIB& pixels,
                       int originX, int originY, int width, int height, const TSource& source)
    : P(engine, *source.Page, source.PagePlane, context.Threshold, source.L, source.T, source.R, source.B),
      Holes(context.HoleList.Holes),
      Engine(engine),
      Ctx(context),
      Pixels(pixels),
      Plane(source.PixelsPlane),
      OX(originX),
      OY(originY),
      Thr(context.Threshold),
      Memo(&context.Lines),
      W(width),
      H(height),
      Wm(width - 1),
      Hm(height - 1),
      WB(source.WB),
      HB(source.HB),
      L(source.L),
      T(source.T),
      R(source.R),
      B(source.B),
      xc(L + width / 2),
      yc(T + height / 2),
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
      H32(H / 32) {
  KeepLinesIf(&pixels == context.Bitmap && (originX | originY) == 0);
}

TGlyphView::TGlyphView(const TGlyphView& v, TOnPage)
    : P(v.P),
      Holes(v.Holes),
      Engine(v.Engine),
      Ctx(v.Ctx),
      Pixels(v.P.Page),
      Plane(v.P.Plane),
      OX(v.L),
      OY(v.T),
      Thr(v.Thr),
      Memo(v.Memo),
      W(v.W),
      H(v.H),
      Wm(v.Wm),
      Hm(v.Hm),
      WB(v.WB),
      HB(v.HB),
      L(v.L),
      T(v.T),
      R(v.R),
      B(v.B),
      xc(v.xc),
      yc(v.yc),
      W2(v.W2),
      W4(v.W4),
      W8(v.W8),
      W12(v.W12),
      W16(v.W16),
      W32(v.W32),
      H2(v.H2),
      H3(v.H3),
      H4(v.H4),
      H8(v.H8),
      H12(v.H12),
      H16(v.H16),
      H32(v.H32) {
  KeepLinesIf(&v.P.Page == v.Ctx.Bitmap && (v.L | v.T) == 0);
}

// lm and rm of each row of the bitmap from its word, as the scans would
// measure them on it: lm from column 0 to the first ink within W columns and
// the bitmap's edge, rm from column W - 1 back to the first ink within W,
// which starts off the bitmap (0) when the view is the wider.
void TGlyphView::KeepRowMargins() const {
  TLineMemo& memo = *Memo;
  if (memo.RowMarginsTried) return;
  memo.RowMarginsTried = true;
  // The plane the view holds, as the running dispatch's (to read its rows).
  TInkPlane* plane = ActivePlane(Pixels, Thr);
  const std::uint64_t* rows = plane == Plane ? plane->BitmapRowWords() : nullptr;
  if (rows == nullptr) return;  // measured row by row: wider than a word
  const int lines = std::min(plane->BitmapHeight(), static_cast<int>(RowLimit));
  const int reach = std::min(W, plane->BitmapWidth());
  // Columns past W - 1 shifted out; a view wider than the bitmap drops all.
  const bool rmOnBitmap = W <= plane->BitmapWidth();
  const int drop = rmOnBitmap ? 64 - W : 0;
  const int rmPaper = rmOnBitmap ? W : 0;
  auto& rowMeasures = memo.Rows;
  for (int y = 0; y < lines; ++y) {
    const std::uint64_t row = rows[y];
    rowMeasures.KeepSmall(y, TLineMemo::kLeftMargin,
                          std::min(std::countr_zero(row), reach));  // 64 for a row without ink
    const std::uint64_t fromRight = rmOnBitmap ? row << drop : 0;
    rowMeasures.KeepSmall(y, TLineMemo::kRightMargin, fromRight == 0 ? rmPaper : std::countl_zero(fromRight));
  }
}

// Asked a row at a time of the bitmap's rows as words where the running
// dispatch keeps them (bit x ink, bits past the width paper), else pixel by
// pixel.
inline bool TGlyphView::innerCorner(int x1, int x2, int y1, int y2) const {
  TInkPlane* plane = ActivePlane(Pixels, Thr);
  const std::uint64_t* rows = plane != nullptr && plane == Plane ? plane->BitmapRowWords() : nullptr;
  if (rows == nullptr) {
    for (int x = x1; x <= x2; ++x)
      for (int y = y1; y <= y2; ++y)
        if (!px(x, y) && px(x + 1, y) && px(x + 1, y - 1) && px(x, y - 1)) return true;
    return false;
  }
  // Off the pixels is paper: a corner needs ink at x + 1 and on the row
  // above, so it lies in columns 0..62 and on the bitmap's rows after the
  // first.
  const int xa = std::max(OX + x1, 0), xb = std::min(OX + x2, 62);
  if (xa > xb) return false;
  const std::uint64_t columns = (~std::uint64_t{0} >> (63 - xb)) & (~std::uint64_t{0} << xa);
  const int last = std::min(OY + y2, plane->BitmapHeight() - 1);
  for (int y = std::max(OY + y1, 1); y <= last; ++y) {
    const std::uint64_t row = rows[y], above = rows[y - 1];
    // Paper at x, ink at x + 1 and above both.
    if ((~row & (row >> 1) & (above >> 1) & above & columns) != 0) return true;
  }
  return false;
}

inline TGlyphView TGlyphView::OfBitmap(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TDIB& b = *context.Bitmap;
  return TGlyphView(engine, context, b, 0, 0, b.Width(), b.Height());
}

bool TGlyphView::BoxViewOf(const TOmnifontOCR& engine, const TRecogContext& context) const {
  // A view is made from these alone: the size is the box's, the origin 0, 0,
  // and its planes are what the dispatch's planes find for the bitmap, the
  // page and the threshold, which stay the same while those planes are the
  // same ones, unopened and unclosed since (no lookup needed to tell).
  const TOCRChar& glyph = *context.Glyph;
  const TDIB& bitmap = *context.Bitmap;
  const TDispatchPlanes* planes = activePlanes;
  return &Engine == &engine && &Ctx == &context && &Pixels == &bitmap && Thr == context.Threshold &&
         &P.Page == glyph.Page && TGlyphBoxWords::Of(glyph) == context.BoxViewBox && WB == bitmap.Width() &&
         HB == bitmap.Height() && planes == context.BoxViewPlanes &&
         (planes == nullptr || planes->FindGeneration() == context.BoxViewPlanesGeneration);
}

inline const TGlyphView& TGlyphView::OfBox(const TOmnifontOCR& engine, const TRecogContext& context) {
  const std::optional<TGlyphView>& kept = context.BoxView;
  if (kept && kept->BoxViewOf(engine, context)) return *kept;
  return KeepBoxView(engine, context);
}

const TGlyphView& TGlyphView::KeepBoxView(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TSource source(context, *context.Bitmap);
  const TDispatchPlanes* planes = activePlanes;
  context.BoxViewPlanes = planes;
  context.BoxViewPlanesGeneration = planes == nullptr ? 0 : planes->FindGeneration();
  context.BoxViewBox = TGlyphBoxWords::Of(*context.Glyph);
  const int width = source.R - source.L + 1, height = source.B - source.T + 1;
  return context.BoxView.emplace(TGlyphView(engine, context, *context.Bitmap, 0, 0, width, height, source));
}

inline TGlyphView TGlyphView::OfPage(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TOCRChar& g = *context.Glyph;
  return TGlyphView(engine, context, *g.Page, g.Left, g.Top, g.Width(), g.Height());
}

const TOCRChar& TGlyphView::glyph() const { return *Ctx.Glyph; }
bool TGlyphView::Tall() const { return Ctx.Tall; }
bool TGlyphView::Descends() const { return Ctx.Descends; }
int TGlyphView::HoleCount() const { return Ctx.HoleList.HoleCount; }
int TGlyphView::MarkAbove() const { return Ctx.Glyph->MarkAbove; }
int TGlyphView::AscLine() const { return Ctx.Glyph->AscLine; }
int TGlyphView::MeanLine() const { return Ctx.Glyph->MeanLine; }
int TGlyphView::BaseLine() const { return Ctx.Glyph->BaseLine; }
int TGlyphView::DescLine() const { return Ctx.Glyph->DescLine; }
void TGlyphView::add(TCharCode ch, int confidence) const { SetAC(Engine, *Ctx.Glyph, ch, confidence); }

}  // namespace omniocr
