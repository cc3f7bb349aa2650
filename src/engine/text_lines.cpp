#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::FindTextLines(bool /*cutRegions*/) {}

int TOmnifontOCR::FindLinesInRegion(int /*x0*/, int /*y0*/, int /*width*/, int /*height*/) { return LineCount; }

}  // namespace omniocr
