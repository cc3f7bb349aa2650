#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::AssignLines() {}

void TOmnifontOCR::SplitLineStraddlers() {}

}  // namespace omniocr
