#pragma once

// The tests of RecognizeG and RecognizeH, one member per test, in the order
// the recognisers run them. Each starts from confidence 100 and offers its
// letter at most once; a failed gate or check ends only that test. The view
// takes W and H from the record's box.

#include "engine/classify/notation.h"

namespace omniocr {

class TLetterGHTests : public TGlyphView {
 public:
  explicit TLetterGHTests(const TGlyphView& view) : TGlyphView(view) {}

  void SmallGClosedBowl() const;  // g whose upper bowl is closed
  void CapitalG() const;
  void SmallGTail() const;  // g told by the gap above its tail
  void SmallH() const;
  void CapitalH() const;
};

}  // namespace omniocr
