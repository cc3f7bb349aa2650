#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::CorrectBySimilarity() {}

}  // namespace omniocr
