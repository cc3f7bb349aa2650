#pragma once

// The dispatches of one driver call, remembered so that a dispatch asked for
// again under exactly the same conditions is not computed again.
//
// A dispatch reads only the glyph record's fields other than its candidates,
// the glyph bitmap, the page, the threshold, the parity of FillPass and the
// engine's parameters, and it changes only the record: its candidates through
// SetAC, and its box and accent fields. Offering again what was offered once
// leaves a candidate list as it is (a character keeps its best confidence, and
// a full list never takes one it dropped), so a repeated dispatch on the same
// record changes nothing but the box and accent fields, which it sets to what
// the first one left. The driver asks again often: its retry with the first
// neighbourhood, and its whole second pass for a glyph that stays unread,
// usually meet a glyph and a bitmap that nothing has changed. A dispatch in
// the other neighbourhood is the same dispatch when every region labelling
// the first one asked for answers the same there; one at another threshold
// when no pixel of the page or the glyph bitmap lies between the two.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/classify/fill_log.h"
#include "engine/classify/grey_band.h"
#include "engine/ocr_types.h"

namespace omniocr {

class TDIB;
class TOmnifontOCR;

// Every field of a record that a dispatch may read or change, except the
// candidate list and the reading at its head.
struct TGlyphState {
  std::int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
  std::int32_t StartX = 0, StartY = 0;
  std::int32_t MarkAbove = 0, InkCount = 0;
  TCharCode Accent = 0;
  std::int32_t Id = 0, LineNo = 0;
  std::int32_t AscLine = 0, MeanLine = 0, BaseLine = 0, DescLine = 0;
  const TDIB* Page = nullptr;
  bool operator==(const TGlyphState&) const = default;
};

TGlyphState StateOf(const TOCRChar& glyph);
void RestoreState(TOCRChar& glyph, const TGlyphState& state);

class TDispatchMemo {
 public:
  // Keeps what the dispatches remember for the outermost driver call only: a
  // candidate list is the same list from one dispatch to the next only inside
  // one call.
  class TCallScope {
   public:
    explicit TCallScope(TDispatchMemo& memo);
    ~TCallScope();
    TCallScope(const TCallScope&) = delete;
    TCallScope& operator=(const TCallScope&) = delete;

   private:
    TDispatchMemo& Memo;
  };

  // Keeps what the memory knows of the page's grey levels from one driver
  // call to the next for its lifetime: a stage whose only changes to the
  // page's pixels are the driver's own, which it reports through Forget.
  class TPageScope {
   public:
    explicit TPageScope(TDispatchMemo& memo);
    ~TPageScope();
    TPageScope(const TPageScope&) = delete;
    TPageScope& operator=(const TPageScope&) = delete;

   private:
    TDispatchMemo& Memo;
  };

  // DispatchGlyph, or the effect of the same dispatch made before in this
  // call. Counts in the engine's DispatchCount either way.
  TCharCode Dispatch(TOmnifontOCR& engine, TOCRChar& glyph, const TDIB& bitmap, int threshold);

  // Forgets every dispatch: the page has changed.
  void Forget() {
    Count = 0;
    PageBands.Forget();
  }

  // Dispatches given again from memory since the engine was made.
  std::int64_t Replays() const { return ReplayCount; }

 private:
  struct TEntry {
    const TOCRChar* Glyph = nullptr;
    TGlyphState Before;
    TGlyphState After;
    std::int32_t Threshold = 0;
    bool OddFillPass = false;
    std::int32_t Width = 0, Height = 0;
    std::int64_t Stride = 0;
    std::vector<std::uint8_t> Pixels;  // the bitmap's block of rows as stored
    TCharCode Result = NoChar;
    // The result was not the reading at the head: a punctuation rule ended
    // the dispatch with its own character.
    bool OwnResult = false;
    TFillLog Fills;  // the labellings it asked for
  };

  const TEntry* Find(const TOmnifontOCR& engine, const TOCRChar& glyph, const TDIB& bitmap, int threshold,
                     bool oddFillPass);
  // Whether every pixel the entry's dispatch could read is of the same class
  // at `threshold` as at its own; `bitmap` holds the entry's pixels.
  bool SameClasses(const TEntry& entry, const TOCRChar& glyph, const TDIB& bitmap, int threshold);
  TEntry& Append();

  std::vector<TEntry> Entries;  // the first Count hold this call's dispatches
  std::size_t Count = 0;
  int Depth = 0;
  std::int64_t ReplayCount = 0;
  TFillLog Current;  // the running dispatch's labellings
  TPageGreyBands PageBands;
  int PageDepth = 0;  // TPageScopes alive
};

}  // namespace omniocr
