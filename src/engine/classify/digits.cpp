// The digit recogniser: a chain of independent tests, one per digit (two for
// 0), always in the same order.

#include "engine/classify/digit_tests.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

namespace {

void RunDigitTests(const TGlyphView& view) {
  const TDigitTests t(view);
  t.Five();
  t.One();
  t.Two();
  t.Three();
  t.Four();
  t.Six();
  t.Seven();
  t.Eight();
  t.Nine();
  t.ZeroOpen();
  t.ZeroInner();
}

}  // namespace

void RecognizeDigits(const TOmnifontOCR& engine, const TRecogContext& context) {
  // The tests see the glyph bitmap with W and H of the bitmap itself. A
  // bitmap the size of the record's box gives the view the context keeps
  // for the letters (the same pixels, origin and size), which costs less to
  // copy than to make.
  const TOCRChar& g = *context.Glyph;
  const TDIB& b = *context.Bitmap;
  if (b.Width() == g.Right - g.Left + 1 && b.Height() == g.Bottom - g.Top + 1)
    RunDigitTests(TGlyphView::OfBox(engine, context));
  else
    RunDigitTests(TGlyphView::OfBitmap(engine, context));
}

}  // namespace omniocr
