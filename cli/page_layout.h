#pragma once

// The records of a page grouped the way structured outputs present them:
// blocks of paragraphs of lines of words. Lines end at line-break records
// and where the line number changes, words at spaces; a block ends where the
// next line lies beside or above the last one or far below it, a paragraph
// where a blank line's height separates two lines.

#include <climits>
#include <cstddef>
#include <string>
#include <vector>

#include "engine/ocr_types.h"

namespace omniocr::cli {

// An inclusive box; empty until something is added.
struct TBox {
  int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN;
  bool Empty() const { return Right < Left || Bottom < Top; }
  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  void Add(const TBox& box);
  void Add(const TOCRChar& record);
};

TBox BoxOf(const TOCRChar& record);

struct TLayoutWord {
  TBox Box;
  std::vector<std::size_t> Records;  // its character records, indexes into the page's records
  std::string Text;                  // their readings, '~' for none
  int Confidence = 100;              // the lowest of its characters' confidences
};

struct TLayoutLine {
  TBox Box;
  int LineNo = 0;          // the engine's line, 0 for none
  bool HasGuides = false;  // the guides below come from the engine's line
  int Asc = 0, Mean = 0, Base = 0, Desc = 0;
  std::size_t FirstRecord = 0;  // its records: characters, spaces and the
  std::size_t EndRecord = 0;    // line break that ends it, [First, End)
  std::vector<TLayoutWord> Words;
  int Height() const { return HasGuides ? Desc - Asc + 1 : Box.Height(); }
};

struct TLayoutParagraph {
  TBox Box;
  std::vector<TLayoutLine> Lines;
};

struct TLayoutBlock {
  TBox Box;
  std::vector<TLayoutParagraph> Paragraphs;
};

// The lines of a page in record order; records that are rejected or have no
// box belong to no word (but to the line whose record range holds them).
std::vector<TLayoutLine> LayoutLines(const std::vector<TOCRChar>& records);

std::vector<TLayoutBlock> LayoutBlocks(const std::vector<TOCRChar>& records);

// The confidence of a record's best reading, 0 when it has none.
int BestConfidence(const TOCRChar& record);

}  // namespace omniocr::cli
