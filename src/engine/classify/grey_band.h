#pragma once

// Whether any pixel lies between two thresholds: the pixels that one
// threshold calls ink and the other paper. Where there is none, every probe
// answers the same at both, and so does a whole dispatch.

#include <cstdint>
#include <vector>

#include "dibunit/dib.h"

namespace omniocr {

// Grey levels (marks ignored) that are ink at one of t1, t2 and paper at the
// other: the bytes in [Lo, Hi). Empty when Lo == Hi.
struct TGreyBand {
  int Lo = 0, Hi = 0;
  TGreyBand(int t1, int t2);
  bool Empty() const { return Lo == Hi; }
};

// Whether a byte of pixels[0..n) lies in the band.
bool AnyPixelIn(const std::uint8_t* pixels, std::size_t n, const TGreyBand& band);

// The answers for a page, kept until told that the page's pixels changed.
class TPageGreyBands {
 public:
  // Rows top..bottom, where such pixels are likeliest, are looked at first.
  bool AnyPixelIn(const TDIB& page, const TGreyBand& band, int top, int bottom);
  void Forget() { Answers.clear(); }

 private:
  struct TAnswer {
    const TDIB* Page;
    int Lo, Hi;
    bool Any;
  };
  std::vector<TAnswer> Answers;
};

}  // namespace omniocr
