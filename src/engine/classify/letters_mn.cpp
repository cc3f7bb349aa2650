// Recognisers for M and N.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeM(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeN(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
