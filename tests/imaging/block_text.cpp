#include "block_text.h"

#include <algorithm>

#include "imaging/pixel_access.h"

namespace omniocr::test {

TDibGraphic BlockTextPage(const TBlockText& layout) {
  TDibGraphic page;
  page.SetSize(layout.Width, layout.Height(), 8);
  for (int y = 0; y < page.Height(); ++y) std::fill(page.ScanLine(y), page.ScanLine(y) + page.Width(), 255);
  for (int line = 0; line < layout.Lines; ++line) {
    int x = 40, letter = 0, wordLength = 3 + line % 5;
    while (x + layout.LetterWidth < layout.Width - 40) {
      for (int y = layout.LineTop(line); y <= layout.LineBottom(line); ++y)
        std::fill(page.ScanLine(y) + x, page.ScanLine(y) + x + layout.LetterWidth, 0);
      x += layout.LetterWidth;
      if (++letter == wordLength) {
        x += layout.WordGap;
        letter = 0;
        wordLength = 3 + (wordLength + 2) % 5;
      } else {
        x += layout.LetterGap;
      }
    }
  }
  return page;
}

int CountDarkPixels(const TDibGraphic& image) {
  int count = 0;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x)
      count += GreyOf(GetColor(image.ScanLine(y), x, image.BitCount(), image.Palette())) < 128 ? 1 : 0;
  return count;
}

}  // namespace omniocr::test
