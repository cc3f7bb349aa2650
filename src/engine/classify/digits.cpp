// The digit recogniser: a chain of independent tests, one per digit (two for
// 0), always in the same order.

#include "engine/classify/digit_tests.h"
#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeDigits(const TOmnifontOCR& engine, const TRecogContext& context) {
  const TDigitTests t(TGlyphView::OfBitmap(engine, context));
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
