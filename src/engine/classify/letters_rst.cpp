// Recognisers for R, S and T.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeR(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeS(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeT(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
