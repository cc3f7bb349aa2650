#include "engine/classify/driver.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

// Every record still unread goes through the per-character driver once;
// rejected and already read records are left alone.
void TOmnifontOCR::RecognitionPass() {
  const int count = Chars.Count();
  for (int i = 0; i < count; ++i) {
    TOCRChar& glyph = *Chars[i];
    if (glyph.BestChar != NoChar || glyph.HasEmptyBox()) continue;
    RecognizeGlyph(*this, glyph, Threshold, 0);
  }
}

}  // namespace omniocr
