// Recognisers for A, B and C.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeA(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeB(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeC(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
