#pragma once

// The recognition context of one record as the dispatcher builds it, for
// calling a single test of a recogniser: the glyph bitmap filled from the
// driver's seed, Tall, Descends and the holes of the box. The
// flags can be changed before a test runs; the offers are what the tests
// called since added to a fresh candidate list.

#include <memory>

#include "engine/classify/dispatcher.h"
#include "engine/classify/driver.h"
#include "engine/classify/notation.h"
#include "glyph_fixtures.h"

namespace omniocr::test {

class TRecordContext {
 public:
  // Record i of `page`, read by the driver first so that its box is tightened
  // and any mark above it recorded.
  TRecordContext(TPageFixture& page, int i) : Engine(page.Engine), Glyph(page.Record(i)) {
    page.Read(i);
    const int thr = Engine.Threshold;
    int seedX = 0, seedY = 0;
    ChooseGlyphSeed(Glyph, thr, seedX, seedY);
    Bitmap = CutGlyphBitmap(Engine, Glyph, seedX, seedY, thr);
    Context.Glyph = &Glyph;
    Context.Bitmap = Bitmap.get();
    Context.Threshold = thr;
    Context.Tall = IsTall(Glyph);
    Context.Descends = IsDescending(Glyph);
    CountHoles(Engine, *Glyph.Page, Glyph.Left, Glyph.Top, Glyph.Right, Glyph.Bottom, thr, &Context.HoleList);
    Glyph.CandCount = 0;
    Glyph.BestChar = NoChar;
  }

  TGlyphView View() const { return TGlyphView::OfBox(Engine, Context); }

  TOffers Offers() const {
    TOffers offers;
    for (int k = 0; k < Glyph.CandCount; ++k)
      offers.push_back({std::string(1, static_cast<char>(Glyph.CandChar[k])), Glyph.CandConf[k]});
    return offers;
  }

  TOmnifontOCR& Engine;
  TOCRChar& Glyph;
  std::unique_ptr<TDIB> Bitmap;
  TRecogContext Context;
};

}  // namespace omniocr::test
