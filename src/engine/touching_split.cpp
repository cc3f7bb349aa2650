#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::SplitTouchingChars() {}

}  // namespace omniocr
