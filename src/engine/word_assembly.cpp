// Word and line assembly: space records where a gap between two characters
// of a line is a word gap, and a line-break record before the first
// character of every further line.

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "engine/arith.h"
#include "engine/classify/candidates.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

int LineHeight(const TLineEntry& line) { return line.Desc - line.Asc + 1; }

// The mean line height, taken over the lines of about average height when
// there are such lines and they are not tiny.
int AverageLineHeight(const TOmnifontOCR& engine) {
  const int lines = engine.LineCount - 1;
  int avgH = 0;
  if (lines > 0) {
    long long total = 0;
    for (int i = 1; i <= lines; ++i) total += LineHeight(engine.Lines[i]);
    avgH = static_cast<int>(total / lines);
    long long typical = 0;
    int count = 0;
    for (int i = 1; i <= lines; ++i) {
      const int h = LineHeight(engine.Lines[i]);
      if (0.8 * avgH <= h && h <= 1.2 * avgH) {
        typical += h;
        ++count;
      }
    }
    if (count > 0 && typical / count > 7) avgH = static_cast<int>(typical / count);
  }
  if (avgH == 0) avgH = RoundHalfEven(1.1 * engine.MeanCharHeight) + 1;
  return avgH;
}

}  // namespace

void TOmnifontOCR::AssembleWordsAndLines(bool multiLine) {
  if (Chars.Count() < 2) return;
  const int avgH = AverageLineHeight(*this);
  const int mcw = MeanCharWidth;
  int curLine = -1;
  int gap = SpaceWidth;

  // The list is made anew in one pass, the separators put in before the
  // record they precede: inserting each into the list would move every
  // record after it, which grows with the square of the page.
  std::vector<std::unique_ptr<TOCRChar>>& list = Chars.Storage();
  std::vector<std::unique_ptr<TOCRChar>> records = std::move(list);
  list.clear();
  const int recordCount = static_cast<int>(records.size());
  auto record = [&records](int k) -> TOCRChar& { return *records[static_cast<std::size_t>(k)]; };

  // The letter gap of the line that starts at record `first`.
  auto measureGap = [&](int first) {
    const int line = record(first).LineNo;
    long long sum = 0;
    int count = 0;
    for (int k = first + 1; k < recordCount && record(k).LineNo == line; ++k) {
      const TOCRChar& a = record(k - 1);
      const TOCRChar& b = record(k);
      if (a.HasEmptyBox() || b.HasEmptyBox()) continue;
      const int g = b.Left - a.Right + 2;
      if (g < mcw) {
        sum += g + 1;
        ++count;
      }
    }
    if (count > 0) return RoundHalfEven(static_cast<double>(sum) / count);
    const int lh = curLine >= 0 && curLine < MAXlines ? LineHeight(Lines[curLine]) : 1;
    return RoundHalfEven(static_cast<double>(lh) * SpaceWidth / avgH) / 2;
  };

  list.push_back(std::move(records[0]));
  const TOCRChar* previous = list.back().get();
  for (int pos = 1; pos < recordCount; ++pos) {
    TOCRChar& q = record(pos);
    const TOCRChar& prev = *previous;
    TCharCode sep = NoChar;
    if (q.LineNo > curLine) {
      if (curLine >= 0) sep = LineBreakChar;
      curLine = q.LineNo;
      gap = measureGap(pos);
    }
    if (curLine != 0 && q.LineNo == 0 && sep == NoChar) sep = SpaceChar;
    if (q.LineNo <= curLine && sep == NoChar && !prev.HasEmptyBox() && !q.HasEmptyBox()) {
      const int d = std::max(q.Left - prev.Right, 0);
      if (std::abs(d - mcw) <= std::abs(d - gap)) sep = SpaceChar;
    }
    if (sep == SpaceChar) {
      int n = 1;
      if (mcw > 0 && mcw + gap != 0) n = std::max((q.Left - prev.Right + 2) / (mcw + gap), 1);
      for (int k = 1; k <= n; ++k) {
        auto space = std::make_unique<TOCRChar>();
        space->Left = prev.Right + gap + (k - 1) * (mcw + gap);
        space->Right = q.Left < space->Left + mcw ? q.Left - 2 : space->Left + mcw;
        space->Top = q.AscLine;
        space->Bottom = q.BaseLine;
        space->Accent = 0;
        space->Id = -1;
        CopyLineFields(*space, q);
        space->Page = Page.get();
        SetSeparatorCandidate(*space, SpaceChar);
        list.push_back(std::move(space));
      }
    } else if (sep == LineBreakChar && multiLine) {
      auto lineBreak = std::make_unique<TOCRChar>();
      lineBreak->Left = q.LineNo >= 0 && q.LineNo < MAXlines ? Lines[q.LineNo].MinX : 0;
      lineBreak->Right = q.Left - 2;
      lineBreak->Top = prev.Bottom;
      lineBreak->Bottom = q.Top;
      lineBreak->StartX = q.Left - 1;
      lineBreak->StartY = q.Top;
      lineBreak->MarkAbove = 0;
      lineBreak->Accent = 0;
      lineBreak->Id = -1;
      CopyLineFields(*lineBreak, q);
      lineBreak->Page = Page.get();
      SetSeparatorCandidate(*lineBreak, LineBreakChar);
      list.push_back(std::move(lineBreak));
    }
    list.push_back(std::move(records[static_cast<std::size_t>(pos)]));
    previous = list.back().get();
  }
}

}  // namespace omniocr
