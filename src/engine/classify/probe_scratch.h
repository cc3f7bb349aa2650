#pragma once

// The working memory of the probes that label regions, owned by the engine
// and reused from call to call so that counting holes or blobs and filling
// regions allocates nothing once it has grown to the largest rectangle of a
// run; and the hole counts of the current dispatch, so that a rectangle asked
// for twice in one dispatch is counted once.

#include <cstdint>
#include <memory>
#include <vector>

#include "dibunit/dib.h"
#include "engine/classify/dispatch_memo.h"
#include "engine/classify/ink_plane.h"
#include "engine/classify/probes.h"
#include "engine/classify/region_labelling.h"
#include "engine/page_marks.h"

namespace omniocr {

// One run of pixels of the class being labelled on a row: columns X0..X1.
struct TLabelRun {
  std::int32_t X0;
  std::int32_t X1;
  std::int32_t Label;
};

// A run of a glyph cut: row Y, columns X0..X1, the part it was added to.
struct TGlyphRun {
  std::int32_t Y;
  std::int32_t X0;
  std::int32_t X1;
  std::int32_t Label;
};

// What one CountHoles call asks: a rectangle of a bitmap at a threshold, in
// one neighbourhood.
struct THoleQuery {
  const TDIB* Bitmap = nullptr;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::int32_t Threshold = 0;
  bool Eight = false;
  bool operator==(const THoleQuery&) const = default;
};

// The result of one CountHoles call: its query, its return value and its
// list (the first HoleCount entries are the ones it wrote).
struct THoleMemoEntry {
  THoleQuery Query;
  std::int32_t Result = 0;
  THoleList Holes;
  bool EitherNeighbourhood = false;  // the other neighbourhood gives the same regions
};

// The unmarked paper of the box a glyph bitmap was just cut from, read with
// its ink: the hole count of that box, which the next dispatch asks first,
// takes it instead of reading the pixels again. Held only while a driver
// call keeps what it reads of the pixels.
struct TCutPaper {
  const TDIB* Page = nullptr;  // null while none is held
  std::int32_t Left = 0, Top = 0, Width = 0, Height = 0, Threshold = 0;
  std::vector<std::uint64_t> Rows;  // row j: bit k is column Left + k of page row Top + j

  // The rows when they are those of the rectangle at `threshold`, else null.
  const std::uint64_t* Of(const TDIB& page, int left, int top, int w, int h, int threshold) const {
    const bool same =
        Page == &page && Left == left && Top == top && Width == w && Height == h && Threshold == threshold;
    return same ? Rows.data() : nullptr;
  }
};

class TProbeScratch {
 public:
  // Region labelling.
  std::vector<TLabelRun> PreviousRuns;
  std::vector<TLabelRun> CurrentRuns;
  std::vector<TLabelRegion> Regions;
  std::vector<std::int32_t> Order;
  std::vector<std::uint8_t> EdgeRow;  // a row that reaches beyond the bitmap
  // The unmarked paper of a rectangle counted for holes, one word per row:
  // the inner paper (not on a run from the edge of its row) and the runs
  // from the edge, whose rows then hold the flood of the inner paper.
  std::vector<std::uint64_t> HolePaper;
  std::vector<std::uint64_t> HoleOutside;
  // A glyph cut's class of its seed, and the broken strokes it keeps.
  std::vector<std::uint64_t> SeedClass;
  std::vector<std::uint64_t> GlyphStrokes;
  // The ink planes of the running dispatch.
  TDispatchPlanes Planes;
  TCutPaper CutPaper;
  // Work list of the region fills.
  std::vector<TFillSeed> Seeds;
  // The runs of a glyph cut, with the part each was added to.
  std::vector<TGlyphRun> GlyphRuns;
  // Glyph bitmaps of the per-character driver, one for each level of its
  // calls that is running.
  std::vector<std::unique_ptr<TDIB>> GlyphBitmaps;
  std::size_t GlyphDepth = 0;
  // The dispatches of the running driver call.
  TDispatchMemo Dispatches;
  // Where the running dispatch logs its region labellings, or null.
  TFillLog* FillLog = nullptr;

  // Hole counts are remembered while a dispatch runs (the bitmaps do not
  // change during one) and, while a driver call keeps them, from one
  // dispatch to the next until a pixel changes.
  void OpenHoleMemo() {
    MemoOpen = true;
    if (KeepDepth == 0) MemoCount = MemoNext = 0;
  }
  void CloseHoleMemo() {
    MemoOpen = false;
    if (KeepDepth == 0) MemoCount = MemoNext = 0;
  }
  const THoleMemoEntry* FindHoles(const THoleQuery& query) const;
  void RememberHoles(const THoleQuery& query, int result, const THoleList& holes, bool eitherNeighbourhood);
  // The list of a count whose caller asks only for the number.
  THoleList UnaskedHoles;

  // What the dispatches of one driver call read of the pixels (planes and
  // hole counts) is kept from one to the next while a TPixelsKept lives;
  // whoever changes a pixel in between says so here.
  void PixelsChanged() {
    MemoCount = MemoNext = 0;
    Planes.Forget();
    CutPaper.Page = nullptr;
  }
  int KeepDepth = 0;

 private:
  static constexpr int kMemoSize = 24;
  bool MemoOpen = false;
  int MemoCount = 0;
  int MemoNext = 0;
  THoleMemoEntry Memo[kMemoSize];
};

// Keeps what dispatches read of the pixels from one dispatch to the next for
// its lifetime (a driver call), and forgets it on entry and on exit.
class TPixelsKept {
 public:
  explicit TPixelsKept(TProbeScratch& scratch) : Scratch(scratch) {
    Scratch.PixelsChanged();
    ++Scratch.KeepDepth;
    Scratch.Planes.Keep(true);
  }
  ~TPixelsKept() {
    if (--Scratch.KeepDepth == 0) Scratch.Planes.Keep(false);
    Scratch.PixelsChanged();
  }
  TPixelsKept(const TPixelsKept&) = delete;
  TPixelsKept& operator=(const TPixelsKept&) = delete;

 private:
  TProbeScratch& Scratch;
};

// Keeps the hole memo open for the lifetime of a dispatch.
class THoleMemoScope {
 public:
  explicit THoleMemoScope(TProbeScratch& scratch) : Scratch(scratch) { Scratch.OpenHoleMemo(); }
  ~THoleMemoScope() { Scratch.CloseHoleMemo(); }
  THoleMemoScope(const THoleMemoScope&) = delete;
  THoleMemoScope& operator=(const THoleMemoScope&) = delete;

 private:
  TProbeScratch& Scratch;
};

}  // namespace omniocr
