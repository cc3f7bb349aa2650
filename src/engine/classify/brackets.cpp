// Recogniser for brackets and slashes.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeBrackets(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
