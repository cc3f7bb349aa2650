#pragma once

// Pages of "text" for the page-level imaging tests: lines of dark letter
// blocks grouped in words on white, with known rows.

#include "imaging/dib_graphic.h"

namespace omniocr::test {

struct TBlockText {
  int Width = 1200;
  int Lines = 6;
  int FirstTop = 30;      // top row of the first line
  int Pitch = 60;         // rows from one line's top to the next
  int LetterHeight = 30;  // rows of every letter block
  int LetterWidth = 12;
  int LetterGap = 4;
  int WordGap = 20;
  int Height() const { return FirstTop + Lines * Pitch; }
  int LineTop(int line) const { return FirstTop + line * Pitch; }
  int LineBottom(int line) const { return LineTop(line) + LetterHeight - 1; }
};

// An 8-bit grey page (ink 0, paper 255) drawn to the layout; words of 3 to 7
// letters, left margin 40.
TDibGraphic BlockTextPage(const TBlockText& layout);

// The pixels darker than mid-grey.
int CountDarkPixels(const TDibGraphic& image);

}  // namespace omniocr::test
