// Text-line detection. A line is grown downward from the topmost character of
// body height below a scan row; its four guides (ascender, mean, base and
// descender line) are estimated from the tops and bottoms of its characters,
// refined by a vote, completed where a zone was not seen, and the scan row
// then moves below the line.
//
// Every pass of one line looks only at characters whose top lies in a narrow
// band, so the characters of the region are indexed by Top once per search:
// a page of many lines then costs the same per line as a page of one.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "dibunit/errors.h"
#include "engine/arith.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

// The characters of a region (not rejected, box inside the region), ordered by
// Top and, for equal tops, by list position.
class TRegionChars {
 public:
  TRegionChars(const TCharList& chars, int x0, int y0, int xEnd, int yEnd) {
    for (int i = 0; i < chars.Count(); ++i) {
      const TOCRChar* p = chars[i];
      if (!p->IsRejected() && p->Top >= y0 && p->Bottom < yEnd && p->Left >= x0 && p->Right < xEnd)
        Items.push_back({p->Top, i, p});
    }
    std::sort(Items.begin(), Items.end(), [](const TItem& a, const TItem& b) {
      return a.Top != b.Top ? a.Top < b.Top : a.Position < b.Position;
    });
  }

  // First item whose Top is at least top.
  std::size_t FirstFrom(int top) const {
    return static_cast<std::size_t>(
        std::lower_bound(Items.begin(), Items.end(), top, [](const TItem& a, int t) { return a.Top < t; }) -
        Items.begin());
  }

  // The characters with low ≤ Top ≤ high, in list order.
  std::vector<const TOCRChar*> InListOrder(int low, int high) const {
    std::vector<const TItem*> band;
    for (std::size_t k = FirstFrom(low); k < Items.size() && Items[k].Top <= high; ++k)
      band.push_back(&Items[k]);
    std::sort(band.begin(), band.end(),
              [](const TItem* a, const TItem* b) { return a->Position < b->Position; });
    std::vector<const TOCRChar*> result;
    result.reserve(band.size());
    for (const TItem* item : band) result.push_back(item->Char);
    return result;
  }

  template <typename F>
  void ForEachWithTop(int low, int high, F&& visit) const {
    for (std::size_t k = FirstFrom(low); k < Items.size() && Items[k].Top <= high; ++k) visit(*Items[k].Char);
  }

  std::size_t Size() const { return Items.size(); }
  const TOCRChar& At(std::size_t k) const { return *Items[k].Char; }

 private:
  struct TItem {
    int Top;
    int Position;
    const TOCRChar* Char;
  };
  std::vector<TItem> Items;
};

// Guides of the line being grown, and the marks seen above it.
struct TLineGuess {
  int Asc = 0;
  int Mean = 0;
  int Base = 0;
  int Desc = 0;
  int SmallTop = 0;
  int MinX = 0;
  int MaxX = 0;

  void Widen(const TOCRChar& p) {
    MinX = std::min(MinX, p.Left);
    MaxX = std::max(MaxX, p.Right);
  }
};

// Sum and number of the votes one guide received.
struct TVote {
  long long Sum = 0;
  int Count = 0;

  void Add(int value) {
    Sum += value;
    ++Count;
  }
  void Apply(int& guide) const {
    if (Count > 0) guide = static_cast<int>(NearestDiv(Sum, Count));
  }
};

class TLineSearch {
 public:
  TLineSearch(TOmnifontOCR& engine, int x0, int y0, int width, int height)
      : Engine(engine),
        X0(x0),
        Y0(y0),
        XEnd(x0 + width),
        YEnd(y0 + height),
        Region(engine.Chars, x0, y0, x0 + width, y0 + height) {}

  // Typical height of the region's characters; 0 when there are none.
  int TypicalHeight() const {
    long long sum = 0;
    int count = 0;
    for (int i = 0; i < Engine.Chars.Count(); ++i) {
      const TOCRChar& p = *Engine.Chars[i];
      if (p.IsRejected() || p.Bottom - p.Top <= 4) continue;
      if (p.Top >= Y0 && p.Bottom <= YEnd && p.Left >= X0 && p.Right <= XEnd) {
        sum += p.Height();
        ++count;
      }
    }
    return count == 0 ? 0 : static_cast<int>(NearestDiv(sum, count));
  }

  int Run(int mh, int n) {
    Mh = mh;
    int g = Y0;
    int prevBase = Y0, prevDesc = Y0;
    while (g < YEnd - 1) {
      int top = 0;
      if (!FindLineTop(g, top)) break;
      TLineGuess line = StartValues(top);
      FirstPass(g, line);
      if (line.Base == line.Asc) break;
      Vote(g, line);
      KeepBaselineAboveDescender(line);
      WidenByExtent(line);
      if (line.Desc == line.Asc) {
        g = NextScanRowWithoutLine(g, line);
        continue;
      }
      CompleteZones(line, prevBase, prevDesc);
      n = Record(n, line);
      if (line.Base + line.Desc > 2 * g) g = (line.Base + line.Desc) / 2;
      prevBase = line.Base > prevBase ? line.Base : Y0;
      prevDesc = line.Desc > prevDesc ? line.Desc : Y0;
      g = g + 1;
    }
    return n;
  }

 private:
  bool IsBody(const TOCRChar& p) const {
    const int d = p.Bottom - p.Top;
    return 3 * d > 2 * Mh && d < 3 * Mh && d > 4;
  }

  bool FindLineTop(int g, int& top) const {
    for (std::size_t k = Region.FirstFrom(g); k < Region.Size(); ++k) {
      if (IsBody(Region.At(k))) {
        top = Region.At(k).Top;
        return true;
      }
    }
    return false;
  }

  TLineGuess StartValues(int top) const {
    TLineGuess line;
    line.MinX = XEnd - 1;
    line.MaxX = X0;
    line.Asc = line.Mean = line.Desc = top;
    line.Base = top + 2 * Mh;
    line.SmallTop = top + Mh;
    return line;
  }

  // A body character whose bottom stroke does not run on below it, or whose
  // ink reaches the row half a height below, or whose middle row crosses more
  // than two strokes, stands on the baseline.
  bool BottomIsBaseline(const TOCRChar& p) const {
    const TDIB& page = *Engine.Page;
    const int thr = Engine.Threshold;
    if (ProbeRect(page, p.Left, p.Bottom + 1, p.Right, p.Bottom + Mh / 2, thr, 1) == 0) return true;
    if (ProbeRect(page, p.Left, p.Bottom + Mh / 2, p.Right, p.Bottom + Mh / 2, thr, 1) != 0) return true;
    const int middle = (p.Top + p.Bottom) / 2;
    return CountCrossings(page, p.Left, middle, p.Right, middle, thr) > 2;
  }

  bool FitsBody(const TOCRChar& p, const TLineGuess& line) const {
    return IsBody(p) && p.Top >= line.Asc && 8 * p.Top <= 8 * line.Asc + 7 * Mh &&
           2 * p.Bottom <= 2 * line.Asc + 5 * Mh && 2 * p.Bottom >= 2 * line.Asc + Mh;
  }

  void TakeBodyChar(const TOCRChar& p, TLineGuess& line) const {
    line.Mean = std::max(line.Mean, p.Top);
    line.Desc = std::max(line.Desc, p.Bottom);
    if (p.Bottom < line.Base && 2 * p.Bottom > line.Mean + line.Desc && BottomIsBaseline(p))
      line.Base = p.Bottom;
    if (p.Top + p.Bottom > 2 * line.Base && 4 * p.Bottom < 4 * line.Desc - Mh - 4 &&
        2 * p.Bottom >= line.Mean + line.Desc)
      line.Base = p.Bottom;
    line.Widen(p);
  }

  // The order of the characters matters here (the baseline follows them), so
  // they are taken in list order. No character with a top at or below
  // asc + mh passes either test.
  void FirstPass(int g, TLineGuess& line) const {
    for (const TOCRChar* p : Region.InListOrder(g, line.Asc + Mh - 1)) {
      const int d = p->Bottom - p->Top;
      if (d < Mh && 4 * p->Bottom < 4 * line.Asc + Mh && p->Top < line.SmallTop) line.SmallTop = p->Top;
      if (FitsBody(*p, line)) TakeBodyChar(*p, line);
    }
  }

  void Vote(int g, TLineGuess& line) const {
    const int q = Mh / 4;
    const TLineGuess before = line;
    TVote asc, mean, base, desc;
    Region.ForEachWithTop(std::max(g, before.Asc - q), before.Mean + q, [&](const TOCRChar& p) {
      const int d = p.Bottom - p.Top;
      if (2 * d <= Mh || d >= 4 * Mh) return;
      if (p.Bottom < before.Base - q || p.Bottom > before.Desc + q) return;
      if (std::abs(p.Top - before.Asc) <= std::abs(p.Top - before.Mean))
        asc.Add(p.Top);
      else
        mean.Add(p.Top);
      if (std::abs(p.Bottom - before.Base) < std::abs(p.Bottom - before.Desc))
        base.Add(p.Bottom);
      else
        desc.Add(p.Bottom);
      line.Widen(p);
    });
    asc.Apply(line.Asc);
    mean.Apply(line.Mean);
    base.Apply(line.Base);
    desc.Apply(line.Desc);
  }

  // When no character passed the baseline probes (underlined text: the rule
  // just below the letters is ink under every one of them) the baseline is
  // still its start value below every letter; it is pulled up to the
  // descender line instead.
  static void KeepBaselineAboveDescender(TLineGuess& line) {
    if (line.Base > line.Desc) line.Base = line.Desc;
  }

  // Every character of the region standing within the line's span widens its
  // extent, also those above the scan row.
  void WidenByExtent(TLineGuess& line) const {
    Region.ForEachWithTop(line.Asc - 1, line.Desc, [&](const TOCRChar& p) {
      if (p.Bottom >= line.Asc && p.Bottom <= line.Desc + 1) line.Widen(p);
    });
  }

  // No line: the scan row moves to the middle of the guess, and always at
  // least one row down so that the scan ends.
  int NextScanRowWithoutLine(int g, const TLineGuess& line) const {
    int next = g;
    if (line.Base + line.Desc > 2 * g) next = (line.Base + line.Desc) / 2;
    return std::max(next, g + 1);
  }

  // Places the guides of the zones the line's characters did not show.
  void CompleteZones(TLineGuess& line, int prevBase, int prevDesc) const {
    int& asc = line.Asc;
    int& mean = line.Mean;
    int& base = line.Base;
    int& desc = line.Desc;
    bool noAsc = 5 * (mean - asc + 1) < base - mean || mean - asc < 2;
    bool noDesc = 5 * (desc - base + 1) < base - mean || desc - base < 2;
    if (noAsc && noDesc && desc - asc > Mh) {
      mean = asc + Mh / 8 + 1;
      desc = base + Mh / 8 + 1;
      noAsc = noDesc = false;
    }
    if (noAsc && noDesc && line.SmallTop > 0 && line.SmallTop < asc && line.SmallTop > prevDesc) {
      asc = line.SmallTop;
      noAsc = false;
    }
    if (noAsc && !noDesc && 4 * mean - (base - mean) > 4 * prevBase)
      asc = asc - prevDesc < desc - asc ? (mean + prevDesc) / 2 : mean - (base - mean) / 4;
    if (noAsc && noDesc) mean = asc + (base - asc) / 4 + 1;
    if (mean - asc < 2) mean = asc + 2;
    if (noDesc) desc = base + (desc - asc) / 4 + 1;
  }

  // Writes entry n; lines more than 5 pixels high are kept.
  int Record(int n, const TLineGuess& line) const {
    TLineEntry& entry = Engine.Lines[static_cast<std::size_t>(n)];
    entry.Asc = line.Asc;
    entry.Mean = line.Mean;
    entry.Base = line.Base;
    entry.Desc = line.Desc;
    entry.MinX = line.MinX;
    entry.MaxX = line.MaxX;
    if (n < MAXlines && line.Desc - line.Asc > 4) ++n;
    if (n >= MAXlines) throw EOCRError("lines>MAXlines");
    return n;
  }

  TOmnifontOCR& Engine;
  const int X0, Y0, XEnd, YEnd;
  const TRegionChars Region;
  int Mh = 0;
};

}  // namespace

void TOmnifontOCR::FindTextLines(bool cutRegions) {
  const int width = Page->Width(), height = Page->Height();
  if (cutRegions)
    CutRegion(0, 0, width, height, 0);
  else
    FindLinesInRegion(0, 0, width, height);
}

int TOmnifontOCR::FindLinesInRegion(int x0, int y0, int width, int height) {
  if (LineCount == 0) {
    Lines[0] = TLineEntry{0, 0, 0, 0, Page->Width(), 0};
    LineCount = 1;
  }
  int n = LineCount;
  if (height <= 4) return n;
  TLineSearch search(*this, x0, y0, width, height);
  const int mh = search.TypicalHeight();
  if (mh < 3) return n;
  n = search.Run(mh, n);
  LineCount = n;
  return n;
}

}  // namespace omniocr
