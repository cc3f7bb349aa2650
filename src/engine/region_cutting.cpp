#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::CutRegion(int /*x0*/, int /*y0*/, int /*width*/, int /*height*/, int /*depth*/) {}

}  // namespace omniocr
