// Recognisers for U, V, W and X.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeU(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeV(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeX(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeW(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
