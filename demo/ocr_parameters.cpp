#include "demo/ocr_parameters.h"

namespace omniocr::demo {

std::u16string AllowedCharsFor(int content) {
  switch (content) {
    case ccNumeric: return u"0123456789,./";
    case ccUppercaseLetters: return u"0123456789ABCDEFGHIJKLMNOPQRSTUVXYZW,./";
    case ccLowercaseLetters: return u"0123456789abcdefghijklmnopqrstuvxyzw,./";
    case ccLetters: return u"ABCDEFGHIJKLMNOPQRSTUVXYZWabcdefghijklmnopqrstuvxyzw,.";
    default: return u"";
  }
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
