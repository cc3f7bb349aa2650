#pragma once

// The tests of RecognizeG and RecognizeH, one member per test, in the order
// the recognisers run them. Each starts from confidence 100 and offers its
// letter at most once; a failed gate or check ends only that test. The view
// takes W and H from the record's box.

#include "engine/classify/box_holes.h"
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

 private:
  // P.holes, read off the box's own holes where they tell it.
  int pageHoles(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, x1, x2, y1, y2);
  }
};

}  // namespace omniocr
