#pragma once

// The structural recognisers, in the dispatcher's order. Each looks at the
// glyph through the notation of notation.h and offers candidates through
// SetAC; none returns a reading.

#include "engine/classify/notation.h"

namespace omniocr {

void RecognizeA(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeB(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeC(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeD(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeE(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeF(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeG(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeH(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeIJ(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeK(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeL(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeM(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeN(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeO(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeP(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeQ(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeR(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeS(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeT(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeU(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeV(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeX(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeY(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeZ(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeW(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeDigits(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeBrackets(const TOmnifontOCR& engine, const TRecogContext& context);
void RecognizeSpecialSigns(const TOmnifontOCR& engine, const TRecogContext& context);

}  // namespace omniocr
