#pragma once

// The punctuation rules: small marks told apart by where they sit on the
// text line. They run in every dispatch before the recognisers.

#include "engine/classify/notation.h"

namespace omniocr {

// The box as the dispatcher read it: B after the descender trim, H before it.
struct TDispatchBox {
  int L, R, T, B, W, H;
};

// Applies the rules in their order; returns the character of a rule that
// ends the dispatch, or NoChar when the recognisers are to run.
TCharCode ApplyPunctuationRules(const TOmnifontOCR& engine, const TRecogContext& context,
                                const TDispatchBox& box);

}  // namespace omniocr
