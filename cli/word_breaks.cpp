#include "cli/word_breaks.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "engine/classify/candidates.h"

namespace omniocr::cli {

namespace {

bool IsLineCharacter(const TOCRChar& r) {
  return r.BestChar != SpaceChar && r.BestChar != LineBreakChar && !r.IsRejected() && !r.HasEmptyBox() &&
         r.LineNo != 0;
}

// A character box of a line and its place in the line.
struct TLineBox {
  int Left, Right, Top, Bottom;
  std::size_t Place;
};

bool Contains(const TLineBox& outer, const TLineBox& inner) {
  return inner.Left >= outer.Left && inner.Right <= outer.Right && inner.Top >= outer.Top &&
         inner.Bottom <= outer.Bottom;
}

// What the spacing of one line works with, kept from line to line.
struct TLineWork {
  std::vector<TLineBox> ByLeft;
  std::vector<char> Nested;
  std::vector<std::size_t> Counted;
  std::vector<const TOCRChar*> Boxes;
  std::vector<int> Gaps, SortedGaps, Guides, Heights, Spaces;
};

// The characters of one line, as indices into the records, in order.
using TLine = std::vector<std::size_t>;

std::vector<TLine> LinesOf(const std::vector<TOCRChar>& records) {
  std::vector<TLine> lines;
  TLine line;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TOCRChar& r = records[i];
    const bool newLine = r.BestChar == LineBreakChar ||
                         (IsLineCharacter(r) && !line.empty() && records[line.back()].LineNo != r.LineNo);
    if (newLine && !line.empty()) {
      // The next line is about as long: room for it at once, not by doubling.
      const std::size_t length = line.size();
      lines.push_back(std::move(line));
      line = TLine();
      line.reserve(length);
    }
    if (IsLineCharacter(r)) line.push_back(i);
  }
  if (!line.empty()) lines.push_back(std::move(line));
  return lines;
}

// Boxes inside another box of the line take no part in the spacing; of two
// equal boxes the first one counts. A box that holds another starts no
// further left of it than the widest box is wide, so each box looks among
// the few that start there, not along the whole line; taken in the order of
// their left edges, the boxes find where those few begin by one walk.
// work.Nested[k]: whether the line's k-th box is nested.
void FindNestedBoxes(const std::vector<TOCRChar>& records, const TLine& line, TLineWork& work) {
  std::vector<TLineBox>& byLeft = work.ByLeft;
  byLeft.clear();
  int widest = 0;
  for (std::size_t k = 0; k < line.size(); ++k) {
    const TOCRChar& r = records[line[k]];
    byLeft.push_back({r.Left, r.Right, r.Top, r.Bottom, k});
    widest = std::max(widest, r.Width());
  }
  std::sort(byLeft.begin(), byLeft.end(),
            [](const TLineBox& p, const TLineBox& q) { return p.Left < q.Left; });
  work.Nested.assign(line.size(), 0);
  std::size_t first = 0;  // the first box that starts near enough to hold the current one
  for (const TLineBox& inner : byLeft) {
    while (byLeft[first].Left <= inner.Left - widest) ++first;
    for (std::size_t b = first; b < byLeft.size() && byLeft[b].Left <= inner.Left; ++b) {
      const TLineBox& outer = byLeft[b];
      if (outer.Place == inner.Place || !Contains(outer, inner)) continue;
      if (!Contains(inner, outer) || outer.Place < inner.Place) {
        work.Nested[inner.Place] = 1;
        break;
      }
    }
  }
}

// The median of the values, which it reorders.
int Median(std::vector<int>& values) {
  if (values.empty()) return 0;
  std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2),
                   values.end());
  return values[values.size() / 2];
}

// The line's x-height from its guides, or from its boxes when it has none.
int XHeight(const std::vector<TOCRChar>& records, const TLine& line, TLineWork& work) {
  std::vector<int>& guides = work.Guides;
  std::vector<int>& heights = work.Heights;
  guides.clear();
  heights.clear();
  for (const std::size_t i : line) {
    const TOCRChar& r = records[i];
    if (r.BaseLine > r.MeanLine) guides.push_back(r.BaseLine - r.MeanLine);
    heights.push_back(r.Height());
  }
  const int fromGuides = Median(guides);
  return fromGuides > 0 ? fromGuides : std::max(1, 2 * Median(heights) / 3);
}

// The character cells a box covers at a fixed pitch, at least one.
int Cells(const TOCRChar& r, double pitch) {
  return std::max(1, static_cast<int>(std::lround(r.Width() / pitch)));
}

// The engine's pitch is a page's, and capitals of a proportional face can
// pass for fixed pitch there. A line is set at a fixed pitch when the
// distances between its neighbouring box centres are whole numbers of
// pitches: each centre is given the cell its distance from the previous one
// suggests, and the pitch is refined by a straight line fitted through cell
// and centre. A distance more than a quarter of a pitch off a whole number
// of cells is off the grid: the word space of a proportional face lies there,
// between one and two pitches. The line keeps the grid when at most one
// distance in ten is off it and, if any is, more distances span a whole
// blank cell (the word space of a fixed pitch). The fitted pitch, or 0 for
// a proportional line.
double FittedPitch(const std::vector<const TOCRChar*>& boxes, int enginePitch) {
  const std::size_t n = boxes.size();
  if (n < 3) return 0;
  std::vector<double> centres(n), cells(n, 0);
  for (std::size_t i = 0; i < n; ++i) centres[i] = (boxes[i]->Left + boxes[i]->Right) / 2.0;
  for (std::size_t i = 1; i < n; ++i)
    cells[i] = cells[i - 1] + std::max(1.0, std::round((centres[i] - centres[i - 1]) / enginePitch));
  double meanCell = 0, meanCentre = 0;
  for (std::size_t i = 0; i < n; ++i) meanCell += cells[i], meanCentre += centres[i];
  meanCell /= static_cast<double>(n), meanCentre /= static_cast<double>(n);
  double covariance = 0, variance = 0;
  for (std::size_t i = 0; i < n; ++i) {
    covariance += (cells[i] - meanCell) * (centres[i] - meanCentre);
    variance += (cells[i] - meanCell) * (cells[i] - meanCell);
  }
  const double pitch = covariance / variance;
  if (!(pitch > 0.8 * enginePitch && pitch < 1.2 * enginePitch)) return 0;
  std::size_t offGrid = 0, blankCells = 0;
  for (std::size_t i = 1; i < n; ++i) {
    const double cellsApart = (centres[i] - centres[i - 1]) / pitch -
                              (Cells(*boxes[i - 1], pitch) + Cells(*boxes[i], pitch)) / 2.0 + 1;
    if (std::abs(cellsApart - std::round(cellsApart)) > 0.25)
      ++offGrid;
    else if (cellsApart >= 1.75)
      ++blankCells;
  }
  const bool onGrid = 10 * offGrid <= n - 1 && (offGrid == 0 || offGrid < blankCells);
  return onGrid ? pitch : 0;
}

// OtsuSplit of values in ascending order.
int OtsuSplitOfSorted(const std::vector<int>& values) {
  if (values.empty()) return 0;
  const double n = static_cast<double>(values.size());
  double total = 0;
  for (const int v : values) total += v;
  double best = 0, lowSum = 0;
  int split = values.back();
  for (std::size_t i = 0; i + 1 < values.size(); ++i) {
    lowSum += values[i];
    if (values[i] == values[i + 1]) continue;
    const double w0 = static_cast<double>(i + 1), w1 = n - w0;
    const double m0 = lowSum / w0, m1 = (total - lowSum) / w1;
    const double between = w0 * w1 * (m1 - m0) * (m1 - m0);
    if (between > best) best = between, split = values[i];
  }
  return split;
}

// How many spaces go before each character of the line (0: none).
const std::vector<int>& SpacesBefore(const std::vector<TOCRChar>& records, const TLine& line,
                                     const TPitch& pitch, TLineWork& work) {
  std::vector<int>& spaces = work.Spaces;
  spaces.assign(line.size(), 0);
  FindNestedBoxes(records, line, work);
  std::vector<std::size_t>& counted = work.Counted;  // positions in `line` that take part
  counted.clear();
  for (std::size_t k = 0; k < line.size(); ++k)
    if (!work.Nested[k]) counted.push_back(k);
  if (counted.size() < 2) return spaces;

  std::vector<const TOCRChar*>& boxes = work.Boxes;
  boxes.clear();
  for (const std::size_t k : counted) boxes.push_back(&records[line[k]]);
  const double linePitch = pitch.Fixed && pitch.Width > 0 ? FittedPitch(boxes, pitch.Width) : 0;
  if (linePitch > 0) {
    for (std::size_t j = 1; j < counted.size(); ++j) {
      const TOCRChar &a = *boxes[j - 1], &b = *boxes[j];
      const double distance = ((b.Left + b.Right) - (a.Left + a.Right)) / 2.0 / linePitch;
      // Neighbours in one cell each stand a pitch apart; a box the engine
      // left unsplit (two touching letters) fills more cells than one.
      const double adjacent = (Cells(a, linePitch) + Cells(b, linePitch)) / 2.0;
      if (distance >= adjacent + 0.5)
        spaces[counted[j]] = std::max(1, static_cast<int>(std::lround(distance - adjacent)));
    }
    return spaces;
  }

  std::vector<int>& gaps = work.Gaps;  // gaps[j - 1]: the white columns before counted[j]
  gaps.clear();
  int rightmost = records[line[counted[0]]].Right;
  for (std::size_t j = 1; j < counted.size(); ++j) {
    const TOCRChar& b = records[line[counted[j]]];
    gaps.push_back(b.Left - rightmost - 1);
    rightmost = std::max(rightmost, b.Right);
  }
  const int xHeight = XHeight(records, line, work);
  work.SortedGaps.assign(gaps.begin(), gaps.end());
  std::sort(work.SortedGaps.begin(), work.SortedGaps.end());
  const int split = OtsuSplitOfSorted(work.SortedGaps);
  double low = 0, high = 0;
  int lowCount = 0, highCount = 0;
  for (const int gap : gaps) (gap > split ? high : low) += gap, ++(gap > split ? highCount : lowCount);
  // Otsu's method splits any two values. Groups whose means lie less than a
  // quarter of the x-height apart are one group (a word of letters, or
  // single figures between spaces), told by the size of its gaps alone.
  const bool twoGroups = highCount > 0 && lowCount > 0 && 4 * (high / highCount - low / lowCount) >= xHeight;
  for (std::size_t j = 1; j < counted.size(); ++j) {
    const int gap = gaps[j - 1];
    const bool wordGap = twoGroups ? gap > split && 4 * gap >= xHeight : 5 * gap >= 2 * xHeight;
    if (wordGap) spaces[counted[j]] = 1;
  }
  return spaces;
}

// A space record filling the gap before `next`, one of `count` there.
TOCRChar SpaceRecord(int gapLeft, int gapRight, int index, int count, const TOCRChar& next) {
  TOCRChar space;
  const int width = std::max(gapRight - gapLeft + 1, 1);
  space.Left = gapLeft + width * index / count;
  space.Right = std::max(space.Left, gapLeft + width * (index + 1) / count - 1);
  space.Top = next.AscLine;
  space.Bottom = next.BaseLine;
  if (space.Bottom < space.Top) space.Top = next.Top, space.Bottom = next.Bottom;
  space.Id = -1;
  CopyLineFields(space, next);
  SetSeparatorCandidate(space, SpaceChar);
  return space;
}

}  // namespace

int OtsuSplit(std::vector<int> values) {
  std::sort(values.begin(), values.end());
  return OtsuSplitOfSorted(values);
}

std::vector<TOCRChar> BreakWordsByGaps(const std::vector<TOCRChar>& records, const TPitch& pitch) {
  // spacesBefore[i] for a character that starts no line: the spaces it gets.
  std::vector<int> spacesBefore(records.size(), -1);
  std::vector<int> gapLeft(records.size(), 0);
  TLineWork work;
  for (const TLine& line : LinesOf(records)) {
    const std::vector<int>& spaces = SpacesBefore(records, line, pitch, work);
    int rightmost = records[line[0]].Right;
    for (std::size_t k = 1; k < line.size(); ++k) {
      spacesBefore[line[k]] = spaces[k];
      gapLeft[line[k]] = rightmost + 1;
      rightmost = std::max(rightmost, records[line[k]].Right);
    }
  }
  // Records between two characters of one line wait for the second: the
  // engine's spaces among them give way to the new ones.
  std::vector<TOCRChar> out;
  // The new spaces about replace the engine's: room for a few more than
  // there were saves copying every record as the list grows.
  out.reserve(records.size() + records.size() / 8 + 8);
  std::vector<const TOCRChar*> waiting;
  for (std::size_t i = 0; i < records.size(); ++i) {
    const TOCRChar& r = records[i];
    if (!IsLineCharacter(r)) {
      waiting.push_back(&r);
      continue;
    }
    const bool insideLine = spacesBefore[i] >= 0;
    for (const TOCRChar* w : waiting)
      if (!insideLine || w->BestChar != SpaceChar) out.push_back(*w);
    waiting.clear();
    for (int s = 0; insideLine && s < spacesBefore[i]; ++s)
      out.push_back(SpaceRecord(gapLeft[i], r.Left - 1, s, spacesBefore[i], r));
    out.push_back(r);
  }
  for (const TOCRChar* w : waiting) out.push_back(*w);
  return out;
}

}  // namespace omniocr::cli
