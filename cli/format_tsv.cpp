// Tab-separated rows in the 12 columns OCR tools share: a row for the page,
// each block, paragraph and line (confidence -1) and each word. Boxes are
// left, top, width and height in pixels of the whole image.

#include "cli/formats.h"
#include "cli/page_layout.h"
#include "cli/tsv_field.h"

namespace omniocr::cli {

namespace {

struct TTsvLevel {
  int Level, Page, Block = 0, Paragraph = 0, Line = 0, Word = 0;
};

std::string TsvRow(const TTsvLevel& at, const TBox& box, int confidence, const std::string& text) {
  std::string row;
  for (int field : {at.Level, at.Page, at.Block, at.Paragraph, at.Line, at.Word, box.Left, box.Top,
                    box.Width(), box.Height(), confidence})
    row += std::to_string(field) + "\t";
  return row + TsvField(text) + "\n";
}

}  // namespace

std::string TsvHeader() {
  return "level\tpage_num\tblock_num\tpar_num\tline_num\tword_num\tleft\ttop\twidth\theight\tconf\ttext\n";
}

// Pages are numbered in output order from 1, so that the pages of several
// files stay apart.
std::string TsvPage(const TPageResult& page, int pageIndex) {
  TTsvLevel at{1, pageIndex + 1};
  std::string out = TsvRow(at, TBox{0, 0, page.Width - 1, page.Height - 1}, -1, "");
  for (const TLayoutBlock& block : LayoutBlocks(page.Records)) {
    at = {2, at.Page, at.Block + 1};
    out += TsvRow(at, block.Box, -1, "");
    for (const TLayoutParagraph& paragraph : block.Paragraphs) {
      at = {3, at.Page, at.Block, at.Paragraph + 1};
      out += TsvRow(at, paragraph.Box, -1, "");
      for (const TLayoutLine& line : paragraph.Lines) {
        at = {4, at.Page, at.Block, at.Paragraph, at.Line + 1};
        out += TsvRow(at, line.Box, -1, "");
        for (const TLayoutWord& word : line.Words) {
          at = {5, at.Page, at.Block, at.Paragraph, at.Line, at.Word + 1};
          out += TsvRow(at, word.Box, word.Confidence, word.Text);
        }
      }
    }
  }
  return out;
}

}  // namespace omniocr::cli
