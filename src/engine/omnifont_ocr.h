#pragma once

// TOmnifontOCR: the recognition engine as its callers see it. A caller sets
// the parameters, calls one of the five entry points with a packed bitmap in
// a global memory block and reads the result list Chars. Every stage of a
// run is a member function; each lives in a source of its own.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "dibunit/dib.h"
#include "dibunit/global_memory.h"
#include "engine/ocr_types.h"

namespace omniocr {

class TInkComponents;
class TProbeScratch;

class TOmnifontOCR {
 public:
  TOmnifontOCR();
  virtual ~TOmnifontOCR();
  TOmnifontOCR(const TOmnifontOCR&) = delete;
  TOmnifontOCR& operator=(const TOmnifontOCR&) = delete;

  // Entry points; each runs Recognize with its area type.
  void RecognizeCharacter(TGlobalHandle handle) { Recognize(handle, atCharacter); }
  void RecognizeWord(TGlobalHandle handle) { Recognize(handle, atWord); }
  void RecognizeTextLine(TGlobalHandle handle) { Recognize(handle, atTextLine); }
  void RecognizeParagraph(TGlobalHandle handle) { Recognize(handle, atParagraph); }
  void RecognizeRegions(TGlobalHandle handle) { Recognize(handle, atRegions); }
  void Recognize(TGlobalHandle handle, TAreaType areaType);
  // What a caller may hand over with the bitmap, to spare the run work that
  // is already done; a default-made value asks for nothing.
  struct TPageHints {
    // The bitmap's grey histogram as the run would count it (TDIB::Histogram
    // of the bitmap converted to 8-bit grey). The caller vouches for it: the
    // run takes its threshold from it instead of counting the page again.
    const THistogram* Histogram = nullptr;
    // The run takes the caller's block over as its working page instead of
    // copying it, and frees it (also when it raises): the caller must not
    // use the handle afterwards.
    bool GiveUpBlock = false;
  };
  void Recognize(TGlobalHandle handle, TAreaType areaType, const TPageHints& hints);

  void ClearResults() { Chars.Clear(); }

  // Parameters: set by the caller, never changed by a run.
  bool NumericOnly = true;
  std::u16string AllowedChars;
  std::uint8_t SpotRemoval = srAlways;
  std::int32_t MaxSpotSize = -1;
  std::uint8_t SplitTouching = 1;
  bool SimilarityCorrection = true;
  bool ContextCorrection = true;
  bool CutRegions = false;

  // Run fields.
  std::unique_ptr<TDIB> Page;
  bool BilevelSource = true;
  std::int32_t Threshold = 0;
  std::int32_t FillPass = 0;
  std::int32_t MeanCharWidth = 5;
  std::int32_t MeanCharHeight = 8;
  std::int32_t WidthSum = 0;
  std::int32_t HeightSum = 0;
  std::int32_t CharCount = 0;
  std::int32_t SpaceWidth = 0;
  bool FixedPitch = false;
  std::int32_t PitchEstimate = 0;
  std::int32_t GapEstimate = 0;
  std::int32_t LineCount = 0;
  std::array<TLineEntry, MAXlines> Lines{};
  TAreaType AreaType = atParagraph;  // area type of the current (or last) run
  std::int64_t DispatchCount = 0;    // dispatches of the current (or last) run
  std::int32_t SpotsRemoved = 0;     // records spot removal deleted in the current (or last) run

  // The result list.
  TCharList Chars;

  // The frame of a run.
  void BeginRun();
  void EndRun();

  // Stages, in pipeline order.
  void CopyInputToPage(TGlobalHandle handle);
  // The same with a block the caller gave up, which becomes the page itself
  // and is freed by the run also when it is refused.
  void TakeInputAsPage(TGlobalHandle handle);
  // From the page's histogram, counted here unless the caller knows it.
  void ComputeThreshold(const THistogram* known = nullptr);
  void ExtractCharacters();
  void AddZoneAsChar(int left, int top, int right, int bottom);
  void RemoveSpots();
  void ComputeCharStatistics();
  void RecountCharStatistics();
  void FindTextLines(bool cutRegions);
  int FindLinesInRegion(int x0, int y0, int width, int height);
  void CutRegion(int x0, int y0, int width, int height, int depth);
  void AssignLines();
  void SplitLineStraddlers();
  void SplitBarJoined();
  void SortReadingOrder();
  void MergeFragments();
  void SpacingStatistics();
  void RecognitionPass();
  void CorrectBySimilarity();
  void SplitTouchingChars();
  void AssembleWordsAndLines(bool multiLine);
  void CorrectByContext();

  // A new zero-filled record on the run's page, appended to Chars.
  TOCRChar* NewRecord();

  // The probes' working memory, made on first use and kept for later runs;
  // asked for on every probe path, so the common case is inline.
  TProbeScratch& Scratch() const { return ProbeScratch ? *ProbeScratch : MakeScratch(); }
  // Character extraction's working memory, kept the same way.
  TInkComponents& InkComponents();

 private:
  // The run's own block becomes the page, converted to 8-bit grey.
  void LoadPage(TGlobalHandle owned);
  TProbeScratch& MakeScratch() const;

  mutable std::unique_ptr<TProbeScratch> ProbeScratch;
  std::unique_ptr<TInkComponents> Components;
  // Each record extraction made, with its box and the pixels of its own
  // component: spot removal takes that count for a box that meets no other
  // box, which then holds no other ink, while the list is still the one
  // extraction made. Empty when the records did not come from extraction.
  struct TComponentInk {
    const TOCRChar* Record;
    std::int32_t Left, Top, Right, Bottom;
    std::int32_t Ink;
    bool Describes(const TOCRChar& r) const {
      return Record == &r && Left == r.Left && Top == r.Top && Right == r.Right && Bottom == r.Bottom;
    }
  };
  std::vector<TComponentInk> ExtractedInk;
};

}  // namespace omniocr
