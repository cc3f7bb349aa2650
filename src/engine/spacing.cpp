#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::SpacingStatistics() {}

}  // namespace omniocr
