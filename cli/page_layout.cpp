#include "cli/page_layout.h"

#include <algorithm>

#include "cli/page_result.h"
#include "engine/char_codes.h"

namespace omniocr::cli {

void TBox::Add(const TBox& box) {
  if (box.Empty()) return;
  Left = std::min(Left, box.Left), Top = std::min(Top, box.Top);
  Right = std::max(Right, box.Right), Bottom = std::max(Bottom, box.Bottom);
}

void TBox::Add(const TOCRChar& record) { Add(BoxOf(record)); }

TBox BoxOf(const TOCRChar& record) {
  if (record.HasEmptyBox()) return TBox();
  return TBox{record.Left, record.Top, record.Right, record.Bottom};
}

int BestConfidence(const TOCRChar& record) { return record.CandCount > 0 ? record.CandConf[0] : 0; }

namespace {

// Builds lines record by record.
class TLineBuilder {
 public:
  explicit TLineBuilder(const std::vector<TOCRChar>& records) : Records(records) {}

  std::vector<TLayoutLine> Build() {
    for (std::size_t i = 0; i < Records.size(); ++i) {
      const TOCRChar& r = Records[i];
      const TRecordKind kind = KindOf(r);
      if (kind == TRecordKind::LineBreak) {
        CloseLine(i + 1);
      } else if (kind == TRecordKind::Space) {
        CloseWord();
      } else if (kind != TRecordKind::Rejected && !r.HasEmptyBox()) {
        if (Started() && r.LineNo != Line.LineNo) CloseLine(i);
        AddCharacter(i, r);
      }
    }
    CloseLine(Records.size());
    return std::move(Lines);
  }

 private:
  bool Started() const { return !Line.Words.empty() || !Word.Records.empty(); }

  void AddCharacter(std::size_t index, const TOCRChar& r) {
    Line.LineNo = r.LineNo;
    if (r.LineNo != 0) {
      Line.HasGuides = true;
      Line.Asc = r.AscLine, Line.Mean = r.MeanLine, Line.Base = r.BaseLine, Line.Desc = r.DescLine;
    }
    Word.Records.push_back(index);
    Word.Box.Add(r);
    Word.Text += RecordText(r);
    Word.Confidence = std::min(Word.Confidence, BestConfidence(r));
  }

  void CloseWord() {
    if (!Word.Records.empty()) {
      Line.Box.Add(Word.Box);
      Line.Words.push_back(std::move(Word));
    }
    Word = TLayoutWord();
  }

  // The line takes every record before `end` that no earlier line took.
  void CloseLine(std::size_t end) {
    CloseWord();
    if (!Line.Words.empty()) {
      Line.FirstRecord = NextRecord;
      Line.EndRecord = end;
      NextRecord = end;
      Lines.push_back(std::move(Line));
    } else if (!Lines.empty()) {
      Lines.back().EndRecord = end;  // spaces or breaks after a line stay with it
      NextRecord = end;
    }
    Line = TLayoutLine();
  }

  const std::vector<TOCRChar>& Records;
  std::vector<TLayoutLine> Lines;
  TLayoutLine Line;
  TLayoutWord Word;
  std::size_t NextRecord = 0;
};

int Overlap(int a0, int a1, int b0, int b1) { return std::min(a1, b1) - std::max(a0, b0) + 1; }

// What the grouping compares of the last line placed.
struct TPlacedLine {
  TBox Box;
  int Height = 0;
};

// A new block starts where the next line does not lie below the last one
// in the same column: beside it, above it, or more than two lines' heights down.
bool StartsBlock(const TPlacedLine& last, const TLayoutLine& next) {
  const int height = std::max(last.Height, next.Height());
  const int gap = next.Box.Top - last.Box.Bottom - 1;
  return Overlap(last.Box.Left, last.Box.Right, next.Box.Left, next.Box.Right) <= 0 ||
         next.Box.Top <= last.Box.Top || gap > 2 * height;
}

// A new paragraph starts after a gap about the height of a blank line.
bool StartsParagraph(const TPlacedLine& last, const TLayoutLine& next) {
  const int height = std::max(last.Height, next.Height());
  const int gap = next.Box.Top - last.Box.Bottom - 1;
  return 4 * gap > 3 * height;
}

}  // namespace

std::vector<TLayoutLine> LayoutLines(const std::vector<TOCRChar>& records) {
  return TLineBuilder(records).Build();
}

std::vector<TLayoutBlock> LayoutBlocks(const std::vector<TOCRChar>& records) {
  std::vector<TLayoutBlock> blocks;
  TPlacedLine last;
  for (TLayoutLine& line : LayoutLines(records)) {
    if (blocks.empty() || StartsBlock(last, line)) {
      blocks.emplace_back();
      blocks.back().Paragraphs.emplace_back();
    } else if (StartsParagraph(last, line)) {
      blocks.back().Paragraphs.emplace_back();
    }
    TLayoutBlock& block = blocks.back();
    TLayoutParagraph& paragraph = block.Paragraphs.back();
    block.Box.Add(line.Box);
    paragraph.Box.Add(line.Box);
    last = TPlacedLine{line.Box, line.Height()};
    paragraph.Lines.push_back(std::move(line));
  }
  return blocks;
}

}  // namespace omniocr::cli
