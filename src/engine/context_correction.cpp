#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::CorrectByContext() {}

}  // namespace omniocr
