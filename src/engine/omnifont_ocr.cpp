#include "engine/omnifont_ocr.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "dibunit/errors.h"
#include "dibunit/prefault.h"
#include "dibunit/threshold.h"
#include "engine/classify/dispatch_memo.h"
#include "engine/classify/probe_scratch.h"
#include "engine/ink_components.h"

namespace omniocr {

TOmnifontOCR::TOmnifontOCR() = default;

TOmnifontOCR::~TOmnifontOCR() { ClearResults(); }

void TOmnifontOCR::BeginRun() {
  ClearResults();
  Page = std::make_unique<TDIB>();
  MeanCharWidth = 5;
  MeanCharHeight = 8;
  LineCount = 0;
  FillPass = 0;
  Threshold = 0;
  SpaceWidth = 0;
  DispatchCount = 0;
  SpotsRemoved = 0;
  ExtractedInk.clear();
}

void TOmnifontOCR::EndRun() {
  Page.reset();
  // Records keep their page reference only as a value: it must not be used
  // after the run, so clear it to make any such use fail loudly.
  for (int i = 0; i < Chars.Count(); ++i) Chars[i]->Page = nullptr;
}

TProbeScratch& TOmnifontOCR::MakeScratch() const {
  ProbeScratch = std::make_unique<TProbeScratch>();
  return *ProbeScratch;
}

TInkComponents& TOmnifontOCR::InkComponents() {
  if (!Components) Components = std::make_unique<TInkComponents>();
  return *Components;
}

TOCRChar* TOmnifontOCR::NewRecord() {
  TOCRChar* record = Chars.Add(Chars.Fresh());
  record->Page = Page.get();
  return record;
}

void TOmnifontOCR::CopyInputToPage(TGlobalHandle handle) {
  const std::size_t size = GlobalSize(handle);
  if (handle == nullptr || size == 0) throw EOCRError("Unsupported bitmap: no bitmap data");
  // Every byte is copied over at once, so the block needs no zero fill.
  void* target = std::malloc(size);
  if (target == nullptr) RaiseSystemError(ENOMEM);
  PrefaultForWriting(target, size);
  try {
    std::memcpy(target, GlobalLock(handle), size);
    GlobalUnlock(handle);
  } catch (...) {
    std::free(target);
    throw;
  }
  LoadPage(GlobalAdopt(target, size));  // GlobalAdopt frees the bytes itself when it fails
}

void TOmnifontOCR::TakeInputAsPage(TGlobalHandle handle) {
  if (GlobalSize(handle) == 0) {
    GlobalFree(handle);
    throw EOCRError("Unsupported bitmap: no bitmap data");
  }
  LoadPage(handle);
}

void TOmnifontOCR::LoadPage(TGlobalHandle owned) {
  Page->OwnsHandle = true;
  Page->LoadFromHandle(owned);  // frees the block itself when it refuses the bitmap
  BilevelSource = Page->Format == df1Bit;
  Page->ConvertTo(df8Bit);
}

void TOmnifontOCR::ComputeThreshold(const THistogram* known) {
  // A page that did not become 8-bit grey is refused also when its histogram
  // is known.
  if (Page->Format != df8Bit) throw EOCRError("This operation requires 8 bit per pixel bitmap !");
  THistogram counted;
  if (known == nullptr) Page->Histogram(counted);
  const THistogram& histogram = known != nullptr ? *known : counted;
  Threshold = InkThresholdFromOtsu(OtsuThreshold(histogram), histogram);
}

void TOmnifontOCR::Recognize(TGlobalHandle handle, TAreaType areaType) { Recognize(handle, areaType, {}); }

void TOmnifontOCR::Recognize(TGlobalHandle handle, TAreaType areaType, const TPageHints& hints) {
  try {
    BeginRun();
  } catch (...) {
    if (hints.GiveUpBlock) GlobalFree(handle);
    throw;
  }
  AreaType = areaType;
  try {
    if (hints.GiveUpBlock)
      TakeInputAsPage(handle);
    else
      CopyInputToPage(handle);
    ComputeThreshold(hints.Histogram);
    if (areaType == atCharacter)
      AddZoneAsChar(0, 0, Page->Width() - 1, Page->Height() - 1);
    else
      ExtractCharacters();
    if (CharCount == 0) throw EOCRError("no characters found");
    if (SpotRemoval != srNone) RemoveSpots();
    ComputeCharStatistics();
    FindTextLines(areaType == atRegions && CutRegions);
    AssignLines();
    SplitLineStraddlers();
    SplitBarJoined();
    SortReadingOrder();
    MergeFragments();
    SpacingStatistics();
    {
      // The pass and the split change pixels only through the driver, which
      // tells the memory of its dispatches; the similarity correction only
      // reads them. What that memory knows of the page lasts over all three.
      const TDispatchMemo::TPageScope page(Scratch().Dispatches);
      RecognitionPass();
      CorrectBySimilarity();
      if (SplitTouching != 0) SplitTouchingChars();
    }
    if (SpaceWidth == 0) SpaceWidth = FixedPitch ? PitchEstimate : GapEstimate;
    if (areaType == atTextLine || areaType == atParagraph || areaType == atRegions)
      AssembleWordsAndLines(areaType != atTextLine);
    // A word or a single character is corrected as well: the rules need
    // only the records beside each other, not the inserted spaces.
    if (ContextCorrection) CorrectByContext();
  } catch (...) {
    EndRun();
    throw;
  }
  EndRun();
}

}  // namespace omniocr
