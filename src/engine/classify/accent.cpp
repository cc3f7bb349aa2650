#include "engine/classify/accent.h"

#include <algorithm>
#include <cstdint>

#include "engine/arith.h"
#include "engine/classify/candidates.h"
#include "engine/classify/ink_plane.h"
#include "engine/classify/page_row_ink.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

// The first row of y0..y1 whose columns x0..x1 (clipped to the page) hold
// ink (ink) or none (!ink), y1 + 1 when no row does, a row off the page
// holding none: SpanHoldsInk row by row. A span of at most 64 pixels (a
// glyph's, as a rule) is read through one span reader set up for all its
// rows.
int FirstPageRowWhere(const TDIB& page, int x0, int x1, int y0, int y1, int threshold, bool ink) {
  const int from = std::max(x0, 0), to = std::min(x1, page.Width() - 1);
  int y = y0;
  if (from > to || to - from >= 64) {
    for (; y <= y1; ++y)
      if (SpanHoldsInk(page, x0, x1, y, threshold) == ink) return y;
    return y;
  }
  // Rows above the page hold no ink.
  if (y < 0 && y <= y1) {
    if (!ink) return y;
    y = std::min(0, y1 + 1);
  }
  const TSpanInk span(page, from, to - from + 1, threshold);
  const int last = std::min(y1, page.Height() - 1);
  for (; y <= last; ++y)
    if (span.Any(y) == ink) return y;
  // Rows below the page hold none either.
  if (y <= y1 && ink) return y1 + 1;
  return y;
}

// Page probes of accent detection, in page coordinates.
struct TPageProbe {
  const TDIB& Page;
  int Thr;
  bool Ink(int x0, int x1, int y0, int y1) const { return ProbeRect(Page, x0, y0, x1, y1, Thr, 1) != 0; }
  bool Paper(int x0, int x1, int y0, int y1) const { return ProbeRect(Page, x0, y0, x1, y1, Thr, 2) != 0; }
  // The first row of y0..y1 with ink in x0..x1 (ink) or none (!ink), where a
  // scan would stop.
  int NextRow(int x0, int x1, int y0, int y1, bool ink) const {
    if (ActivePlane(Page, Thr) != nullptr) return NextRowWhere(Page, x0, x1, y0, y1, Thr, 1, ink);
    // Before a dispatch no plane holds the page: its rows one by one.
    return FirstPageRowWhere(Page, x0, x1, y0, y1, Thr, ink);
  }
  int Cross(int x0, int y0, int x1, int y1) const { return CountCrossings(Page, x0, y0, x1, y1, Thr); }
  int Run(int x, int y, int dir, int target, int n) const { return ScanRun(Page, x, y, dir, target, Thr, n); }
};

// The mark on columns u..R, rows T..e, and the measures its classes use.
struct TMark {
  const TPageProbe& P;
  int u, R, T, e, n;
  int lm(int y) const { return P.Run(u, y, dirRight, tgInk, n); }
  int rm(int y) const { return P.Run(R, y, dirLeft, tgInk, n); }
  int cc(int y) const { return P.Cross(u, y, R, y); }
};

// Classifies a free-standing single mark; later tests override earlier ones.
TCharCode ClassifyMark(const TOmnifontOCR& engine, const TMark& m, int boxWidth) {
  const int T = m.T, e = m.e, n = m.n;
  const int mw = m.R - m.u + 1, mh = e - T + 1;
  const bool solid = !m.P.Paper(m.u, m.R, T, e);
  const int t8 = boxWidth / 8, t10 = boxWidth / 10;
  TCharCode r = 0;
  if (m.lm(T) - m.rm(T) > m.lm(e) - m.rm(e) + 1) r = acAcute;
  if (mw > 3 * mh && solid) r = acMacron;
  if (mw < 2 * mh && mh < 2 * mw && solid) r = acDotAbove;
  if (m.lm(T) - m.rm(T) < m.lm(e) - m.rm(e) - 1) r = acGrave;
  if ((m.lm(T) > m.lm(e) - t8 || m.lm(T) > m.lm(e - 1) - t8) &&
      (m.rm(T) > m.rm(e) - t8 || m.rm(T) > m.rm(e - 1) - t8) && m.cc(T) == 1 &&
      (m.cc(e) == 2 || m.cc(e - 1) == 2))
    r = acCircumflex;
  const bool caronShape = (m.lm(T) < m.lm(e) - t10 || m.lm(T + 1) < m.lm(e) - t10) &&
                          (m.rm(T) < m.rm(e) - t10 || m.rm(T + 1) < m.rm(e) - t10) &&
                          (m.cc(T) == 2 || m.cc(T + 1) == 2) && m.cc(e) == 1;
  if (caronShape) r = acCaron;
  if (m.lm(T) + m.lm(e) - 2 * m.lm((T + e) / 2) > boxWidth / 16 + 1 && n > 10 && caronShape) r = acBreve;
  if (n > 3 && e - T > 1 && m.lm(T) > m.lm(e) && m.rm(T) < m.rm(e) && m.cc(T) == 2 && m.cc(e) == 2)
    r = acTilde;
  if (n > 2 && e - T > 2 && m.cc((T + e) / 2) > 1 && m.P.Cross((m.u + m.R) / 2, T, (m.u + m.R) / 2, e) > 1 &&
      CountHoles(engine, m.P.Page, m.u, T, m.R, e, m.P.Thr, nullptr) == 1)
    r = acRingAbove;
  return r;
}

// The columns u..R that hold ink on rows y0..y1, column u + k in bit k: the
// rows read once rather than each column pixel by pixel. The columns (at
// most 64) and the rows lie inside the page.
std::uint64_t InkedColumns(const TDIB& page, int u, int R, int y0, int y1, int threshold) {
  const TSpanInk span(page, u, R - u + 1, threshold);
  std::uint64_t inked = 0;
  for (int y = y0; y <= y1; ++y) inked |= span.Row(y);
  return inked;
}

// Two dots side by side on rows T..g-1 of columns u..R.
bool IsDiaeresis(const TOmnifontOCR& engine, const TPageProbe& P, int u, int R, int T, int e, int g) {
  // The first row with ink, then the first without below it.
  int j = P.NextRow(u, R, T, g, true);
  j = P.NextRow(u, R, j + 1, g - 1, false);
  const bool asBits = u >= 0 && R < P.Page.Width() && R - u < 64 && T >= 0 && j < P.Page.Height();
  const std::uint64_t inked = asBits ? InkedColumns(P.Page, u, R, T, j, P.Thr) : 0;
  auto columnInk = [&](int x) { return asBits ? (inked >> (x - u) & 1) != 0 : P.Ink(x, x, T, j); };
  int k = u;
  while (k < R && !columnInk(k)) ++k;
  if (k < R) ++k;
  while (k < R && columnInk(k)) ++k;
  int l = k;
  while (l < R && !columnInk(l)) ++l;
  if (!(k < R && l < R && k < l && R - u > 2)) return false;
  if (CountBlobs(engine, P.Page, u, T, R, e, P.Thr) < 2) return false;
  const int y1 = T + (g - T) / 4, y2 = g - 1 - (g - T) / 2;
  return P.Cross(u, y1, R, y1) == 2 && P.Cross(u, y2, R, y2) == 2;
}

}  // namespace

int DetectAccent(const TOmnifontOCR& engine, TOCRChar& glyph, int threshold, int mode, TCharCode& accent) {
  const int L = glyph.Left, R = glyph.Right, T = glyph.Top, B = glyph.Bottom;
  const int W = R - L + 1, H = B - T + 1;
  const int asc = glyph.AscLine, mean = glyph.MeanLine, base = glyph.BaseLine;
  const TPageProbe P{*glyph.Page, threshold};

  if (H < 5 || 4 * T > base + 3 * mean) return 0;
  if (2 * B <= asc + mean) {
    accent = 0;
    return 0;
  }
  // The first paper row in the upper half separates a mark from the body.
  int g = P.NextRow(L, R, T, LastBelowHalf(T + B), false);
  if (2 * g >= T + B) {
    g = T;
  } else if ((mode & 2) != 0) {
    glyph.Top = P.NextRow(L, R, g, LastAtHalf(T + B), true);
  }
  if (g == T) {
    if (mode != 0) {
      glyph.MarkAbove = 0;
      glyph.Accent = 0;
    }
    return 0;
  }
  const int e = g - 1;
  int result = 0;
  TCharCode r = 0;
  if (e > T) {
    // Skip ink of a left neighbour reaching into the box.
    int u = L;
    auto columnInk = [&](int x) { return P.Ink(x, x, T, e); };
    if (columnInk(L - 1))
      while (columnInk(u) && 2 * u < L + R) ++u;
    const bool freeStanding =
        P.Ink(u, R + 1, T, e) && (!columnInk(u) || !columnInk(u - 1)) && (!columnInk(R) || !columnInk(R + 1));
    if (freeStanding) {
      result = 1;
      if (IsDiaeresis(engine, P, u, R, T, e, g)) {
        g = P.NextRow(u, R, g, LastBelowHalf(T + B), true);
        result = 2;
        r = acDiaeresis;
      }
      if ((mode & 2) != 0) glyph.Top = g;
      if (result == 1) r = ClassifyMark(engine, TMark{P, u, R, T, e, R - u}, W);
    } else {
      const int d = P.NextRow(L, R, T, LastBelowHalf(T + B), true);
      if (mode != 0) glyph.Top = d;
    }
  }
  if (mode != 0) {
    glyph.MarkAbove = result;
    glyph.Accent = r;
  }
  accent = r;
  return result;
}

}  // namespace omniocr
