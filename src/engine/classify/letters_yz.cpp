// Recognisers for Y and Z.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeY(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

void RecognizeZ(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
