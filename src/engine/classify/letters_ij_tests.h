#pragma once

// The tests of RecognizeIJ, one member per test, in the order the recogniser
// runs them: the dotted-i check, i, j, I and J. The lower-case tests find the
// dot and the stem on whole page rows of the box; the capitals measure the
// stem on the glyph. A failed gate or check ends only that test.

#include <optional>

#include "engine/classify/box_holes.h"
#include "engine/classify/notation.h"

namespace omniocr {

// The dot of i and j, the gap under it and the top of the stem. Outside the
// class, so that it is complete (and default-constructible) wherever the
// class's members use it.
struct TDotAndStemTop {
  bool Found = false;
  int yd = 0;  // the page row of the dot's top
  int ys = 0;  // the page row of the stem's top
};

class TLetterIJTests : public TGlyphView {
 public:
  explicit TLetterIJTests(const TGlyphView& view) : TGlyphView(view) {}

  // H > 4 and at most one hole: the gate of the first four tests.
  bool CommonGate() const { return H > 4 && HoleCount() <= 1; }

  void DottedI() const;
  void SmallI() const;
  void SmallJ() const;
  void CapitalI() const;
  void CapitalJ() const;

 private:
  // Found on page rows the same way for both letters: found once.
  const TDotAndStemTop& DotAndStemTop() const;
  mutable std::optional<TDotAndStemTop> KnownDotAndStemTop;

  // The dot and stem of i and j: true when both are found and the stem
  // passes; yd is the page row of the dot's top. The j's stem may cross two
  // runs at its middle row.
  bool DotOverStem(bool hooked, int& yd) const;
  // 100 with a mark above the box, 98 otherwise.
  int StartWithMark() const { return MarkAbove() == 1 ? 100 : 98; }
  // P.holes, read off the box's own holes where they tell it.
  int pageHoles(int x1, int x2, int y1, int y2) const {
    return HolesInBox(P, context().HoleList, x1, x2, y1, y2);
  }
};

}  // namespace omniocr
