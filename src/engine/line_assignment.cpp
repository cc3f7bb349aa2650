// Line assignment: every character takes the line whose horizontal extent
// holds it and whose mean line lies closest to its top (the first such line
// on a tie). Then characters that straddle two lines are cut at the upper
// line's descender line.

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

bool IsNoLine(const TLineEntry& entry) { return entry.Desc == entry.Asc; }

bool ExtentHolds(const TLineEntry& entry, const TOCRChar& p) {
  return p.Left >= entry.MinX && p.Right <= entry.MaxX;
}

void TakeLine(TOCRChar& p, const TLineEntry& entry, int index) {
  p.AscLine = entry.Asc;
  p.MeanLine = entry.Mean;
  p.BaseLine = entry.Base;
  p.DescLine = entry.Desc;
  p.LineNo = index;
}

// The table walked in order: a later line replaces the one held only when its
// mean line is strictly closer to the character's top.
void AssignBySequentialWalk(TOCRChar& p, const std::array<TLineEntry, MAXlines>& lines, int lineCount) {
  for (int i = 0; i < lineCount; ++i) {
    const TLineEntry& entry = lines[static_cast<std::size_t>(i)];
    if (IsNoLine(entry) || !ExtentHolds(entry, p)) continue;
    if (p.MeanLine != 0 && std::abs(p.Top - p.MeanLine) <= std::abs(p.Top - entry.Mean)) continue;
    TakeLine(p, entry, i);
  }
}

// The lines ordered by mean line. While every mean line is nonzero, the walk
// above ends on the line of least distance |Top - Mean| with the smallest
// index among equals, which a search outward from the character's top finds
// after looking at the nearby lines only.
class TMeanIndex {
 public:
  TMeanIndex(const std::array<TLineEntry, MAXlines>& lines, int lineCount) : Lines(lines) {
    for (int i = 0; i < lineCount; ++i)
      if (!IsNoLine(lines[static_cast<std::size_t>(i)])) Order.push_back(i);
    std::sort(Order.begin(), Order.end(), [&lines](int a, int b) {
      const int ma = lines[static_cast<std::size_t>(a)].Mean, mb = lines[static_cast<std::size_t>(b)].Mean;
      return ma != mb ? ma < mb : a < b;
    });
  }

  bool AnyZeroMean() const {
    return std::any_of(Order.begin(), Order.end(), [this](int i) { return Mean(i) == 0; });
  }

  // Index of the line p takes, or -1.
  int Closest(const TOCRChar& p) const {
    const auto split =
        std::lower_bound(Order.begin(), Order.end(), p.Top, [this](int i, int top) { return Mean(i) < top; });
    // below: lines with Mean < Top, walked downward; above: Mean >= Top, upward.
    auto below = split, above = split;
    while (below != Order.begin() || above != Order.end()) {
      const long long dBelow = below != Order.begin() ? p.Top - Mean(*(below - 1)) : -1;
      const long long dAbove = above != Order.end() ? Mean(*above) - p.Top : -1;
      const long long distance = dBelow < 0 ? dAbove : (dAbove < 0 ? dBelow : std::min(dBelow, dAbove));
      int best = -1;
      while (below != Order.begin() && p.Top - Mean(*(below - 1)) == distance) {
        --below;
        if (ExtentHolds(Line(*below), p) && (best < 0 || *below < best)) best = *below;
      }
      while (above != Order.end() && Mean(*above) - p.Top == distance) {
        if (ExtentHolds(Line(*above), p) && (best < 0 || *above < best)) best = *above;
        ++above;
      }
      if (best >= 0) return best;
    }
    return -1;
  }

 private:
  const TLineEntry& Line(int i) const { return Lines[static_cast<std::size_t>(i)]; }
  int Mean(int i) const { return Line(i).Mean; }

  const std::array<TLineEntry, MAXlines>& Lines;
  std::vector<int> Order;
};

void ClearLine(TOCRChar& p) {
  p.LineNo = 0;
  p.AscLine = p.MeanLine = p.BaseLine = p.DescLine = 0;
}

// A tall character that starts at the top of its line and reaches well below
// it. It is cut only where the descender line runs through its box, so that
// neither part is empty or turned upside down.
bool IsStraddler(const TOCRChar& p, int meanHeight) {
  const int h = p.Height();
  return 2 * meanHeight < h && h < 6 * meanHeight && p.AscLine != 0 && p.Top >= p.AscLine - 2 &&
         p.Top <= p.MeanLine + 2 && p.Bottom >= p.DescLine + meanHeight - 2 && p.Top <= p.DescLine &&
         p.DescLine < p.Bottom;
}

// List positions of the characters of each line, ascending, kept up to date
// while straddlers move to the next line and their upper parts are appended.
class TLineMembers {
 public:
  explicit TLineMembers(const TCharList& chars) {
    for (int i = 0; i < chars.Count(); ++i) Members(chars[i]->LineNo).push_back(i);
  }

  // The first position, in list order, of a character of `line` lying within
  // [left, right] horizontally; -1 when there is none.
  int FirstWithin(const TCharList& chars, int line, int left, int right) {
    for (int position : Members(line)) {
      const TOCRChar& q = *chars[position];
      if (q.Right >= left && q.Left <= right) return position;
    }
    return -1;
  }

  void Move(int position, int from, int to) {
    std::vector<int>& source = Members(from);
    source.erase(std::find(source.begin(), source.end(), position));
    std::vector<int>& target = Members(to);
    target.insert(std::lower_bound(target.begin(), target.end(), position), position);
  }

  void Append(int position, int line) { Members(line).push_back(position); }

 private:
  std::vector<int>& Members(int line) {
    // Line numbers come from the table, but stay safe for any value.
    auto it = ByLine.find(line);
    if (it == ByLine.end()) it = ByLine.emplace(line, std::vector<int>()).first;
    return it->second;
  }

  std::map<int, std::vector<int>> ByLine;
};

void TakeGuides(TOCRChar& p, const TOCRChar& q) {
  p.AscLine = q.AscLine;
  p.MeanLine = q.MeanLine;
  p.BaseLine = q.BaseLine;
  p.DescLine = q.DescLine;
}

}  // namespace

void TOmnifontOCR::AssignLines() {
  const TMeanIndex index(Lines, LineCount);
  const bool sequential = index.AnyZeroMean();
  for (int k = 0; k < Chars.Count(); ++k) {
    TOCRChar& p = *Chars[k];
    if (sequential || p.MeanLine != 0) {
      AssignBySequentialWalk(p, Lines, LineCount);
    } else {
      const int line = index.Closest(p);
      if (line >= 0) TakeLine(p, Lines[static_cast<std::size_t>(line)], line);
    }
    if (p.Bottom + 2 * MeanCharHeight < p.AscLine || p.Top - 2 * MeanCharHeight > p.DescLine) ClearLine(p);
  }
}

void TOmnifontOCR::SplitLineStraddlers() {
  TLineMembers members(Chars);
  const int initialCount = Chars.Count();
  for (int k = 0; k < initialCount; ++k) {
    TOCRChar& p = *Chars[k];
    if (!IsStraddler(p, MeanCharHeight)) continue;
    // The list scanned in order stops at the first character after which
    // both p's own line and the next line have shown a character within reach.
    const int reach = 4 * (p.Right - p.Left + 1 + MeanCharWidth);
    const int left = p.Left - reach, right = p.Right + reach;
    const int own = members.FirstWithin(Chars, p.LineNo, left, right);
    const int next = members.FirstWithin(Chars, p.LineNo + 1, left, right);
    if (own < 0 || next < 0) continue;
    const TOCRChar& stop = *Chars[std::max(own, next)];

    std::unique_ptr<TOCRChar> upper = CopyRecord(p);
    upper->Bottom = p.DescLine;
    const int oldLine = p.LineNo;
    p.Top = p.DescLine + 1;
    p.LineNo = oldLine + 1;
    if (stop.LineNo == p.LineNo) TakeGuides(p, stop);
    members.Move(k, oldLine, p.LineNo);
    upper->Id = CharCount;
    Chars.Add(std::move(upper));
    members.Append(Chars.Count() - 1, oldLine);
    ++CharCount;
  }
}

}  // namespace omniocr
