// Region cutting: the zone is cut recursively into blocks (columns,
// paragraphs) along the widest white gaps between characters and along
// ruling components, and every block is then searched for text lines, so that
// the lines of different columns get their own horizontal extents.

#include <algorithm>
#include <vector>

#include "engine/omnifont_ocr.h"
#include "engine/shrinking_bound.h"

namespace omniocr {

namespace {

constexpr int kMaxCutDepth = 8;

struct TBlock {
  int X0 = 0, Y0 = 0, W = 0, H = 0;

  bool Holds(const TOCRChar& p) const {
    return p.Top >= Y0 && p.Bottom < Y0 + H && p.Left >= X0 && p.Right < X0 + W;
  }
};

// The block shrunk to the boxes inside it, and the mean size of its
// characters taller than 5 pixels.
struct TBlockSizes {
  int Count = 0;
  int MeanW = 0;
  int MeanH = 0;
};

TBlockSizes TightenBlock(const TCharList& chars, TBlock& block) {
  int left = block.X0 + block.W - 1, right = block.X0;
  int top = block.Y0 + block.H - 1, bottom = block.Y0;
  long long sumW = 0, sumH = 0;
  TBlockSizes sizes;
  for (int i = 0; i < chars.Count(); ++i) {
    const TOCRChar& p = *chars[i];
    if (!block.Holds(p)) continue;
    left = std::min(left, p.Left);
    right = std::max(right, p.Right);
    top = std::min(top, p.Top);
    bottom = std::max(bottom, p.Bottom);
    if (p.IsRejected() || p.Bottom - p.Top <= 4) continue;
    ++sizes.Count;
    sumW += p.Width();
    sumH += p.Height();
  }
  block = TBlock{left, top, right - left + 1, bottom - top + 1};
  if (sizes.Count > 0) {
    sizes.MeanW = static_cast<int>(sumW / sizes.Count);
    sizes.MeanH = static_cast<int>(sumH / sizes.Count);
  }
  return sizes;
}

enum TCutKind { ckNone, ckVertical, ckHorizontal };

struct TCut {
  TCutKind Kind = ckNone;
  int At = 0;
};

// The widest gap below and the widest gap to the right of any character.
// For each character the gap runs to the nearest top below its bottom (the
// nearest left edge right of its right edge) among the others; those bounds
// are taken from sweeps over the characters ordered by bottom (by right edge)
// instead of from every pair.
struct TGaps {
  int Below = 0, Right = 0;
  int CutY = 0, CutX = 0;
};

struct TGapChar {
  const TOCRChar* Char;
  int Position;
  int NextTop = 0;
  int NextLeft = 0;
};

template <typename Key, typename Value, typename Store>
void SweepBounds(std::vector<TGapChar>& cands, int start, Key key, Value value, Store store) {
  std::vector<TGapChar*> order;
  order.reserve(cands.size());
  for (TGapChar& c : cands) order.push_back(&c);
  std::sort(order.begin(), order.end(),
            [&](const TGapChar* a, const TGapChar* b) { return key(*a) > key(*b); });
  TShrinkingBound bound;
  for (std::size_t i = 0; i < order.size();) {
    std::size_t j = i;
    while (j < order.size() && key(*order[j]) == key(*order[i])) ++j;
    // Characters of equal key do not bound each other: query before inserting.
    for (std::size_t k = i; k < j; ++k) store(*order[k], bound.Final(start));
    for (std::size_t k = i; k < j; ++k) bound.Insert(value(*order[k]), order[k]->Position);
    i = j;
  }
}

TGaps MeasureGaps(const TCharList& chars, const TBlock& block, int meanH) {
  std::vector<TGapChar> cands;
  for (int i = 0; i < chars.Count(); ++i) {
    const TOCRChar* p = chars[i];
    if (!p->IsRejected() && block.Holds(*p) && p->Bottom - p->Top > meanH / 2) cands.push_back({p, i});
  }
  SweepBounds(
      cands, block.Y0 + block.H - 1, [](const TGapChar& c) { return c.Char->Bottom; },
      [](const TGapChar& c) { return c.Char->Top; }, [](TGapChar& c, int v) { c.NextTop = v; });
  SweepBounds(
      cands, block.X0 + block.W - 1, [](const TGapChar& c) { return c.Char->Right; },
      [](const TGapChar& c) { return c.Char->Left; }, [](TGapChar& c, int v) { c.NextLeft = v; });
  TGaps gaps;
  for (const TGapChar& c : cands) {  // list order
    const TOCRChar& p = *c.Char;
    if (c.NextTop - p.Bottom > gaps.Below) {
      gaps.Below = c.NextTop - p.Bottom;
      gaps.CutY = (p.Bottom + c.NextTop) / 2;
    }
    if (c.NextLeft - p.Right > gaps.Right) {
      gaps.Right = c.NextLeft - p.Right;
      gaps.CutX = (p.Right + c.NextLeft) / 2;
    }
  }
  return gaps;
}

TCut DecideByGaps(const TGaps& gaps, const TBlock& block, const TBlockSizes& sizes) {
  if (gaps.Right == 0 && gaps.Below == 0) return {};
  if (gaps.Right > sizes.MeanW && 2 * gaps.Below < gaps.Right &&
      (block.H > 5 * gaps.Right || (10 * gaps.Below < gaps.Right && gaps.Below > 0)))
    return {ckVertical, gaps.CutX};
  if (5 * gaps.Below < block.W && gaps.Below > sizes.MeanH) return {ckHorizontal, gaps.CutY};
  return {};
}

// A rule (a long rejected component) cuts the block beside it, whatever the
// gaps say. The first rejected component in list order that qualifies decides.
bool CutAlongRule(const TCharList& chars, const TBlock& block, TCut& cut) {
  for (int i = 0; i < chars.Count(); ++i) {
    const TOCRChar& q = *chars[i];
    if (!q.IsRejected() || !block.Holds(q)) continue;
    const bool wide = q.Right - q.Left + 4 > block.W;
    const bool tall = q.Bottom - q.Top + 4 > block.H;
    if (wide && q.Bottom + 4 < block.Y0 + block.H) {
      cut = {ckHorizontal, q.Bottom + 1};
      return true;
    }
    if (wide && q.Top - 4 > block.Y0) {
      cut = {ckHorizontal, q.Top - 1};
      return true;
    }
    if (tall && q.Right + 4 < block.X0 + block.W) {
      cut = {ckVertical, q.Right + 1};
      return true;
    }
    if (tall && q.Left - 4 > block.X0) {
      cut = {ckVertical, q.Left - 1};
      return true;
    }
  }
  return false;
}

}  // namespace

void TOmnifontOCR::CutRegion(int x0, int y0, int width, int height, int depth) {
  if (width < 1 || height < 1) return;
  const int pageHeight = Page->Height();
  // Slivers along the top and bottom edge of the page are not searched.
  if (y0 == 0 && y0 + height < pageHeight / 128) return;
  if (y0 > pageHeight - pageHeight / 128 && y0 + height == pageHeight) return;

  TBlock block{x0, y0, width, height};
  const TBlockSizes sizes = TightenBlock(Chars, block);
  if (sizes.Count == 0 || block.W <= 0 || block.H <= 0) return;
  if (depth >= kMaxCutDepth) return;

  TCut cut = DecideByGaps(MeasureGaps(Chars, block, sizes.MeanH), block, sizes);
  CutAlongRule(Chars, block, cut);

  // The two halves share the cut column or row.
  if (cut.Kind == ckVertical) {
    CutRegion(block.X0, block.Y0, cut.At - block.X0 + 1, block.H, depth + 1);
    CutRegion(cut.At, block.Y0, block.X0 + block.W - cut.At + 1, block.H, depth + 1);
  } else if (cut.Kind == ckHorizontal) {
    CutRegion(block.X0, block.Y0, block.W, cut.At - block.Y0 + 1, depth + 1);
    CutRegion(block.X0, cut.At, block.W, block.Y0 + block.H - cut.At + 1, depth + 1);
  }
  // The block itself is searched too, after its sub-blocks.
  if (block.W >= 5 && block.H >= 7) FindLinesInRegion(block.X0, block.Y0, block.W, block.H);
}

}  // namespace omniocr
