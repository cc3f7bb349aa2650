// Recognisers for K and L.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeK(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeL(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
