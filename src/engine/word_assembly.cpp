#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::AssembleWordsAndLines(bool /*multiLine*/) {}

}  // namespace omniocr
