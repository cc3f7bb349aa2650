#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::SortReadingOrder() {}

void TOmnifontOCR::MergeFragments() {}

}  // namespace omniocr
