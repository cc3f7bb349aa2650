#include "engine/omnifont_ocr.h"

namespace omniocr {

void TOmnifontOCR::SplitBarJoined() {}

}  // namespace omniocr
