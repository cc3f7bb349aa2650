// Recognisers for O, P and Q.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeO(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeP(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeQ(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
