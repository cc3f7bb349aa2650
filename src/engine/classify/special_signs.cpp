// Recogniser for the special signs.

#include "engine/classify/recognisers.h"

namespace omniocr {

void RecognizeSpecialSigns(const TOmnifontOCR& /*engine*/, const TRecogContext& /*context*/) {}

}  // namespace omniocr
