// Recognisers for D, E and F.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeD(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeE(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeF(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
