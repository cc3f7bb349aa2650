#pragma once

// The digit tests of RecognizeDigits, one member per test, in the order the
// recogniser runs them. Each starts from confidence 100 and offers its digit
// at most once. The tests see the glyph bitmap with W and H of the bitmap
// itself; deriving from the view lets each rule use the notation unqualified.

#include "engine/classify/notation.h"

namespace omniocr {

class TDigitTests : public TGlyphView {
 public:
  explicit TDigitTests(const TGlyphView& view) : TGlyphView(view) {}

  void Five() const;
  void One() const;
  void Two() const;
  void Three() const;
  void Four() const;
  void Six() const;
  void Seven() const;
  void Eight() const;
  void Nine() const;
  void ZeroOpen() const;
  // Returns false when its gate fails, which ends the recogniser.
  bool ZeroInner() const;

 private:
  // Helpers shared by several tests.
  bool SlantedCentreThree() const;  // vx(W2) = 3 or the slanted column crosses 3 runs
  bool HoleInUpperLeft() const;     // no hole, or hole 1 in the upper-left quarter
  bool OneRunEdges() const;         // single ink runs on the top, bottom, left and right edges
  bool SlantPattern() const;        // ink in a left corner box, none in the right ones
};

}  // namespace omniocr
