#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::RecognitionPass() {}

}  // namespace omniocr
