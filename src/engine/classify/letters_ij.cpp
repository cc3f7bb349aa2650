// Recogniser for I and J.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeIJ(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
