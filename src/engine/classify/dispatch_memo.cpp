#include "engine/classify/dispatch_memo.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "dibunit/dib.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/probe_scratch.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

// A field added to the record must be added to the state as well, or a
// dispatch could be taken for another that read a different value of it.
static_assert(sizeof(TOCRChar) == 120, "every field of TOCRChar but its candidates belongs to TGlyphState");

TGlyphState StateOf(const TOCRChar& g) {
  return {g.Left,   g.Right, g.Top,    g.Bottom,  g.StartX,   g.StartY,   g.MarkAbove, g.InkCount,
          g.Accent, g.Id,    g.LineNo, g.AscLine, g.MeanLine, g.BaseLine, g.DescLine,  g.Page};
}

void RestoreState(TOCRChar& g, const TGlyphState& s) {
  // The page is part of what a dispatch is looked up by; it never differs.
  g.Left = s.Left;
  g.Right = s.Right;
  g.Top = s.Top;
  g.Bottom = s.Bottom;
  g.StartX = s.StartX;
  g.StartY = s.StartY;
  g.MarkAbove = s.MarkAbove;
  g.InkCount = s.InkCount;
  g.Accent = s.Accent;
  g.Id = s.Id;
  g.LineNo = s.LineNo;
  g.AscLine = s.AscLine;
  g.MeanLine = s.MeanLine;
  g.BaseLine = s.BaseLine;
  g.DescLine = s.DescLine;
}

namespace {

// The bitmap's block of pixels as stored: every row with the padding at its
// end.
std::size_t BlockSize(const TDIB& bitmap) {
  return static_cast<std::size_t>(bitmap.Stride) * static_cast<std::size_t>(bitmap.Height());
}

// Whether the bitmap holds the pixels of a block copied from a bitmap of the
// same size and stride. Equal blocks settle it at once; otherwise the rows
// are compared without their padding, which nothing reads.
bool SamePixels(const std::vector<std::uint8_t>& block, const TDIB& bitmap) {
  if (!block.empty() && block.size() == BlockSize(bitmap) &&
      std::memcmp(block.data(), bitmap.Bits, block.size()) == 0)
    return true;
  const std::size_t w = static_cast<std::size_t>(bitmap.Width());
  for (int y = 0; y < bitmap.Height(); ++y) {
    const std::size_t offset = static_cast<std::size_t>(bitmap.Row(y) - bitmap.Bits);
    if (offset + w > block.size() || std::memcmp(block.data() + offset, bitmap.Row(y), w) != 0) return false;
  }
  return true;
}

// Whether a pixel of the bitmap, whose block of rows is `block`, lies in the
// band. A block without such a byte settles it at once; otherwise the rows
// are looked at without their padding.
bool AnyPixelInBitmap(const std::vector<std::uint8_t>& block, const TDIB& bitmap, const TGreyBand& band) {
  if (!AnyPixelIn(block.data(), block.size(), band)) return false;
  const std::size_t w = static_cast<std::size_t>(bitmap.Width());
  // From the last row up, in the order of the block, where such a pixel was.
  for (int y = bitmap.Height() - 1; y >= 0; --y)
    if (AnyPixelIn(bitmap.Row(y), w, band)) return true;
  return false;
}

void CopyPixels(const TDIB& bitmap, std::vector<std::uint8_t>& block) {
  block.assign(bitmap.Bits, bitmap.Bits + BlockSize(bitmap));
}

}  // namespace

TDispatchMemo::TCallScope::TCallScope(TDispatchMemo& memo) : Memo(memo) {
  if (Memo.Depth++ == 0) {
    Memo.Count = 0;
    if (Memo.PageDepth == 0) Memo.PageBands.Forget();
  }
}

TDispatchMemo::TCallScope::~TCallScope() {
  if (--Memo.Depth == 0) {
    Memo.Count = 0;
    if (Memo.PageDepth == 0) Memo.PageBands.Forget();
  }
}

TDispatchMemo::TPageScope::TPageScope(TDispatchMemo& memo) : Memo(memo) {
  if (Memo.PageDepth++ == 0) Memo.PageBands.Forget();
}

TDispatchMemo::TPageScope::~TPageScope() {
  if (--Memo.PageDepth == 0) Memo.PageBands.Forget();
}

bool TDispatchMemo::SameClasses(const TEntry& e, const TOCRChar& glyph, const TDIB& bitmap, int threshold) {
  const TGreyBand band(e.Threshold, threshold);
  return !AnyPixelInBitmap(e.Pixels, bitmap, band) &&
         !PageBands.AnyPixelIn(*glyph.Page, band, glyph.Top, glyph.Bottom);
}

const TDispatchMemo::TEntry* TDispatchMemo::Find(const TOmnifontOCR& engine, const TOCRChar& glyph,
                                                 const TDIB& bitmap, int threshold, bool oddFillPass) {
  const TGlyphState state = StateOf(glyph);
  for (std::size_t i = 0; i < Count; ++i) {
    const TEntry& e = Entries[i];
    if (e.Glyph == &glyph && e.Width == bitmap.Width() && e.Height == bitmap.Height() &&
        e.Stride == bitmap.Stride && e.Before == state && SamePixels(e.Pixels, bitmap) &&
        (e.OddFillPass == oddFillPass || e.Fills.SameIn(engine)) &&
        (e.Threshold == threshold || SameClasses(e, glyph, bitmap, threshold)))
      return &e;
  }
  return nullptr;
}

namespace {

// Has the probes log the running dispatch's labellings for its lifetime.
class TFillLogging {
 public:
  TFillLogging(TProbeScratch& scratch, TFillLog& log) : Scratch(scratch), Outer(scratch.FillLog) {
    log.Clear();
    Scratch.FillLog = &log;
  }
  ~TFillLogging() { Scratch.FillLog = Outer; }
  TFillLogging(const TFillLogging&) = delete;
  TFillLogging& operator=(const TFillLogging&) = delete;

 private:
  TProbeScratch& Scratch;
  TFillLog* Outer;
};

}  // namespace

TDispatchMemo::TEntry& TDispatchMemo::Append() {
  if (Count == Entries.size()) Entries.emplace_back();
  return Entries[Count++];
}

TCharCode TDispatchMemo::Dispatch(TOmnifontOCR& engine, TOCRChar& glyph, const TDIB& bitmap, int threshold) {
  const bool odd = (engine.FillPass & 1) != 0;
  if (Depth > 0) {
    if (const TEntry* e = Find(engine, glyph, bitmap, threshold, odd)) {
      // The result is a punctuation rule's own character or else the head of
      // the list, which the repeated offers leave where it is. A first result
      // that was the head at the time could have been either; it is the
      // answer now only while the head is still that character.
      if (e->OwnResult || glyph.BestChar == e->Result) {
        ++engine.DispatchCount;
        ++ReplayCount;
        RestoreState(glyph, e->After);
        return e->Result;
      }
    }
  }
  const TGlyphState before = StateOf(glyph);
  TCharCode result = NoChar;
  if (Depth > 0) {
    const TFillLogging logging(engine.Scratch(), Current);
    result = DispatchGlyph(engine, glyph, bitmap, threshold);
  } else {
    result = DispatchGlyph(engine, glyph, bitmap, threshold);
  }
  if (Depth > 0) {
    TEntry& e = Append();
    e.Glyph = &glyph;
    e.Before = before;
    e.After = StateOf(glyph);
    e.Threshold = threshold;
    e.OddFillPass = odd;
    e.Width = bitmap.Width();
    e.Height = bitmap.Height();
    e.Stride = bitmap.Stride;
    CopyPixels(bitmap, e.Pixels);
    e.Result = result;
    e.OwnResult = result != glyph.BestChar;
    std::swap(e.Fills, Current);
  }
  return result;
}

}  // namespace omniocr
