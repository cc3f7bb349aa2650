#pragma once

// The recognition parameters as the user chooses them in the parameters
// dialog, and how they become the engine's parameters and entry point.

#include <string>

#include "dibunit/global_memory.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::demo {

// Items of the dialog's radio groups, in their order.
enum TAreaChoice { acCharacter, acWord, acTextLine, acParagraph };
enum TContentChoice { ccNumeric, ccUppercaseLetters, ccLowercaseLetters, ccLetters, ccAlphanumeric };
enum TQualityChoice { qcGood, qcDotMatrix, qcFax };

struct TOCRChoices {
  int Area = acParagraph;
  int Content = ccAlphanumeric;
  int Quality = qcGood;  // offered to the user, not passed to the engine
  bool SpotRemovalNone = false;
  bool SpotRemovalSmart = false;  // neither: spot removal always
  int MaxSpotSize = 8;
  bool SplitTouching = true;
  bool SimilarityCorrection = true;
  bool ContextCorrection = true;
};

// The characters a Content choice allows; empty allows every character.
std::u16string AllowedCharsFor(int content);

// Writes the choices into the engine's parameters.
void ApplyChoices(const TOCRChoices& choices, TOmnifontOCR& engine);

// Calls the engine's entry point for the Area Type choice.
void RecognizeArea(TOmnifontOCR& engine, int area, TGlobalHandle packedDib);

}  // namespace omniocr::demo
