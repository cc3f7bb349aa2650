// Recognisers for G and H.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeG(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeH(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
