#include "demo/ocr_parameters.h"

#include "engine/content_sets.h"

namespace omniocr::demo {

static_assert(static_cast<int>(ccNumeric) == ckNumeric && static_cast<int>(ccLetters) == ckLetters &&
                  static_cast<int>(ccAlphanumeric) == ckAlphanumeric,
              "the dialog's content items follow the engine's content kinds");

std::u16string AllowedCharsFor(int content) {
  if (content < ccNumeric || content > ccAlphanumeric) content = ccAlphanumeric;
  return AllowedCharsForContent(static_cast<TContentKind>(content));
}

void ApplyChoices(const TOCRChoices& choices, TOmnifontOCR& engine) {
  engine.NumericOnly = choices.Content == ccNumeric;
  engine.AllowedChars = AllowedCharsFor(choices.Content);
  if (choices.SpotRemovalNone)
    engine.SpotRemoval = srNone;
  else if (choices.SpotRemovalSmart)
    engine.SpotRemoval = srSmart;
  else
    engine.SpotRemoval = srAlways;
  engine.MaxSpotSize = choices.MaxSpotSize;
  engine.SplitTouching = choices.SplitTouching ? 2 : 0;
  engine.SimilarityCorrection = choices.SimilarityCorrection;
  engine.ContextCorrection = choices.ContextCorrection;
}

void RecognizeArea(TOmnifontOCR& engine, int area, TGlobalHandle packedDib) {
  switch (area) {
    case acCharacter: engine.RecognizeCharacter(packedDib); break;
    case acWord: engine.RecognizeWord(packedDib); break;
    case acTextLine: engine.RecognizeTextLine(packedDib); break;
    default: engine.RecognizeParagraph(packedDib); break;
  }
}

}  // namespace omniocr::demo
