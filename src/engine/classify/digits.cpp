// The digit recogniser: a chain of independent tests, one per digit (two for
// 0), always in the same order.

#include "engine/classify/digit_tests.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

namespace {

// The glyph bitmap with W and H of the bitmap itself. A bitmap the size of
// the record's box gives the view the context keeps for the letters (the
// same pixels, origin and size), which costs less to copy than to make.
TGlyphView DigitView(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TOCRChar& g = *context.Glyph;
  const TDIB& b = *context.Bitmap;
  if (b.Width() == g.Right - g.Left + 1 && b.Height() == g.Bottom - g.Top + 1)
    return TGlyphView::OfBox(engine, context);
  return TGlyphView::OfBitmap(engine, context);
}

}  // namespace

void RecognizeDigits(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TDigitTests t(DigitView(engine, context));
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

}  // namespace omniocr
