#include "engine/classify/dispatcher.h"

#include <exception>
#include <string_view>

#include "engine/arith.h"
#include "engine/classify/accent.h"
#include "engine/classify/char_constants.h"
#include "engine/classify/ink_plane.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/punctuation.h"
#include "engine/classify/recognisers.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

constexpr char16_t kSpecialSigns[] = {SharpSChar, u'+',        u'$', u'&',     u'?', u'!', u'*',
                                      u'@',       SectionChar, u'#', EuroChar, u'%', 0};

struct TRecogniserEntry {
  TRecogniser Run;
  bool Numeric;            // runs also when NumericOnly is set
  const char16_t* Offers;  // every character it can offer
};

// The recognisers in the order they run.
constexpr TRecogniserEntry kRecognisers[] = {
    {RecognizeA, false, u"Aa"},
    {RecognizeB, false, u"Bb"},
    {RecognizeC, false, u"CcG"},
    {RecognizeD, false, u"Dd"},
    {RecognizeE, false, u"Ee"},
    {RecognizeF, false, u"Ff"},
    {RecognizeG, false, u"Gg"},
    {RecognizeH, false, u"Hh"},
    {RecognizeIJ, false, u"IiJj"},
    {RecognizeK, false, u"Kk"},
    {RecognizeL, false, u"Ll"},
    {RecognizeM, false, u"Mm"},
    {RecognizeN, false, u"Nn"},
    {RecognizeO, false, u"Oo"},
    {RecognizeP, false, u"Pp"},
    {RecognizeQ, false, u"Qq"},
    {RecognizeR, false, u"Rr"},
    {RecognizeS, false, u"Ss"},
    {RecognizeT, false, u"Tt"},
    {RecognizeU, false, u"Uu"},
    {RecognizeV, false, u"Vv"},
    {RecognizeX, false, u"Xx"},
    {RecognizeY, false, u"Yy"},
    {RecognizeZ, false, u"Zz"},
    {RecognizeW, false, u"Ww"},
    {RecognizeDigits, true, u"0123456789"},
    {RecognizeBrackets, false, u"()/<>[\\]{}"},
    {RecognizeSpecialSigns, false, kSpecialSigns},
};
static_assert(sizeof kRecognisers / sizeof kRecognisers[0] == 28);

// With NumericOnly set only the digits run, except a recogniser that offers
// a character the caller allows: the numeric content's "/" comes from the
// bracket recogniser, and SetAC drops whatever else it offers.
bool Runs(const TRecogniserEntry& entry, const TOmnifontOCR& engine) {
  if (!engine.NumericOnly || entry.Numeric) return true;
  if (engine.AllowedChars.empty()) return false;
  return std::u16string_view(engine.AllowedChars).find_first_of(entry.Offers) != std::u16string_view::npos;
}

// A descender that hangs below a paper gap under the body (a mark below the
// line that is not part of the character) is cut off the box.
void TrimDescender(TOCRChar& glyph, const TDIB& page, int L, int R, int T, int& B, int thr) {
  const int mean = glyph.MeanLine, base = glyph.BaseLine, desc = glyph.DescLine;
  if (!(2 * T < mean + base && base < desc && base + desc < 2 * glyph.Bottom)) return;
  // Down from the middle of the body while the rows hold ink.
  const int y = NextRowWhere(page, L, R, (base + mean) / 2, LastBelowHalf(base + desc), thr, 1, false);
  const int centre = (L + R) / 2;
  if (2 * y < base + desc && ProbeRect(page, centre, y, centre, desc, thr, 1) == 0 && T < y) {
    glyph.Bottom = y;
    B = y;
  }
}

// An accent the driver did not separate: a mark in the ascender zone above a
// paper row in the upper half of the box.
void DetectLateAccent(const TOmnifontOCR& engine, TOCRChar& glyph, int L, int R, int T, int W, int H,
                      int thr) {
  if (glyph.MarkAbove != 0) return;
  const TDIB& page = *glyph.Page;
  const int j = NextRowWhere(page, L + W / 4, R, glyph.AscLine, T + H / 2 - 1, thr, 1, true);
  int i = j;
  if (j < T + H / 4) i = NextRowWhere(page, L, R, j, T + H / 2 - 1, thr, 1, false);
  if (i < T + H / 2 && glyph.MeanLine - glyph.AscLine < 5 * (i - j) + 5) {
    TCharCode accent = 0;
    DetectAccent(engine, glyph, thr, 2, accent);
  }
}

}  // namespace

void RunGuarded(TRecogniser recogniser, const TOmnifontOCR& engine, const TRecogContext& context) {
  try {
    recogniser(engine, context);
  } catch (const std::exception&) {
    // A failing recogniser costs only its own candidates; the next one runs.
  }
}

bool IsTall(const TOCRChar& g) {
  if (2 * g.Top <= g.AscLine + g.MeanLine) return true;
  return g.Top < g.MeanLine && g.BaseLine < g.Bottom && 2 * g.Bottom < g.BaseLine + g.DescLine &&
         2 * (g.Top - (g.Bottom - g.BaseLine)) <= g.AscLine + g.MeanLine;
}

bool IsDescending(const TOCRChar& g) { return 2 * g.Bottom >= g.BaseLine + g.DescLine; }

TCharCode DispatchGlyph(TOmnifontOCR& engine, TOCRChar& glyph, const TDIB& bitmap, int threshold) {
  ++engine.DispatchCount;
  const int L = glyph.Left, R = glyph.Right, T = glyph.Top;
  int B = glyph.Bottom;
  // Nothing changes a pixel during a dispatch: a rectangle's holes are counted
  // once, and the ink of the glyph bitmap and of the page around the box is
  // read into planes of bits once.
  TProbeScratch& scratch = engine.Scratch();
  const THoleMemoScope holeMemo(scratch);
  const TPlanesScope planes(scratch.Planes, bitmap, *glyph.Page, threshold, L, T, R, B, glyph.AscLine,
                            glyph.DescLine);
  const int W = R - L + 1, H = B - T + 1;
  TRecogContext context;
  context.Glyph = &glyph;
  context.Bitmap = &bitmap;
  context.Threshold = threshold;
  context.Tall = IsTall(glyph);
  context.Descends = IsDescending(glyph);
  const TDIB& page = *glyph.Page;
  CountHoles(engine, page, L, T, R, B, threshold, &context.HoleList);

  TrimDescender(glyph, page, L, R, T, B, threshold);
  if (const TCharCode ch = ApplyPunctuationRules(engine, context, TDispatchBox{L, R, T, B, W, H})) return ch;
  DetectLateAccent(engine, glyph, L, R, T, W, H, threshold);

  for (const TRecogniserEntry& entry : kRecognisers) {
    if (!Runs(entry, engine)) continue;
    RunGuarded(entry.Run, engine, context);
  }
  return glyph.BestChar;
}

}  // namespace omniocr
