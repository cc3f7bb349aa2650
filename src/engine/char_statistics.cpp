#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::ComputeCharStatistics() {}

void TOmnifontOCR::RecountCharStatistics() {}

}  // namespace omniocr
