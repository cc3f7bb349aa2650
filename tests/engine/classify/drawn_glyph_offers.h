#pragma once

// What one recogniser offers for a glyph drawn as ASCII art: the largest
// component of the page, dispatched once with Tall and Descends taken from
// the guides and the mark above set by hand (no driver, no accent detection).

#include <ostream>
#include <string>
#include <vector>

#include "engine/char_codes.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/driver.h"
#include "glyph_fixtures.h"

namespace omniocr::test {

inline void PrintTo(const TOffer& offer, std::ostream* os) { *os << offer.Char << " " << offer.Conf; }

inline TOffers DrawnGlyphOffers(TRecogniser recogniser, const std::vector<std::string>& rows,
                                const TLineGuides& guides, int markAbove = 0) {
  TPageFixture page(rows, guides);
  int largest = 0, largestArea = 0;
  for (int i = 0; i < page.Count(); ++i) {
    const TOCRChar& c = page.Record(i);
    if (c.Width() * c.Height() > largestArea) {
      largestArea = c.Width() * c.Height();
      largest = i;
    }
  }
  TOCRChar& g = page.Record(largest);
  g.MarkAbove = markAbove;
  const int thr = page.Engine.Threshold;
  const std::unique_ptr<TDIB> bitmap = CutGlyphBitmap(page.Engine, g, g.StartX, g.StartY, thr);
  TRecogContext context;
  context.Glyph = &g;
  context.Bitmap = bitmap.get();
  context.Threshold = thr;
  context.Tall = IsTall(g);
  context.Descends = IsDescending(g);
  CountHoles(page.Engine, *g.Page, g.Left, g.Top, g.Right, g.Bottom, thr, &context.HoleList);
  RunGuarded(recogniser, page.Engine, context);
  TOffers offers;
  for (int k = 0; k < g.CandCount; ++k)
    offers.push_back({Utf8Encode(CodeToUnicode(g.CandChar[k])), g.CandConf[k]});
  return offers;
}

// The rendered letter lines: six fonts at 25 and 50 pixels.
inline std::vector<std::string> RenderedFontSizes() {
  std::vector<std::string> names;
  for (const char* font :
       {"dejavu-sans", "dejavu-serif", "freeserif", "liberation-mono", "liberation-sans", "liberation-serif"})
    for (const char* size : {"25", "50"}) names.push_back(std::string(font) + "-" + size);
  return names;
}

inline std::string TestNameOf(std::string name) {
  for (char& ch : name)
    if (ch == '-') ch = '_';
  return name;
}

}  // namespace omniocr::test
