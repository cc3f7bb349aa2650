#include "engine/classify/dispatch_memo.h"
#include "engine/classify/driver.h"
#include "engine/classify/probe_scratch.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

// Every record still unread goes through the per-character driver once;
// rejected and already read records are left alone.
void TOmnifontOCR::RecognitionPass() {
  // Only the driver changes pixels here, and it tells the memory of its
  // dispatches when it does.
  const TDispatchMemo::TPageScope page(Scratch().Dispatches);
  const int count = Chars.Count();
  for (int i = 0; i < count; ++i) {
    TOCRChar& glyph = *Chars[i];
    if (glyph.BestChar != NoChar || glyph.HasEmptyBox()) continue;
    RecognizeGlyph(*this, glyph, Threshold, 0);
  }
}

}  // namespace omniocr
