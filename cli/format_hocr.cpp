// hOCR: XHTML with pages, content areas, paragraphs, lines, words and
// characters, each with its box. A character carries its confidence
// (x_confs) and, as x_choices, every candidate with its confidence; they
// live in the title so that the text of a word is its reading alone.

#include <cstdio>

#include "cli/formats.h"
#include "cli/page_layout.h"
#include "cli/utf8_text.h"
#include "engine/char_codes.h"

#ifndef OMNIOCR_VERSION
#define OMNIOCR_VERSION "0"
#endif

namespace omniocr::cli {

namespace {

// hOCR boxes: left and top inclusive, right and bottom exclusive.
std::string BoxText(const TBox& box) {
  return std::to_string(box.Left) + " " + std::to_string(box.Top) + " " + std::to_string(box.Right + 1) +
         " " + std::to_string(box.Bottom + 1);
}

// A candidate as U+XXXX, which no title parser can mistake for a separator.
std::string CodePoint(TCharCode code) {
  char text[16];
  std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(CodeToUnicode(code)));
  return text;
}

std::string CharacterSpan(const TOCRChar& c) {
  std::string title = "x_bboxes " + BoxText(BoxOf(c)) + "; x_confs " + std::to_string(BestConfidence(c));
  if (c.CandCount > 0) {
    title += "; x_choices";
    for (int i = 0; i < c.CandCount && i < kMaxCandidates; ++i)
      title += " " + CodePoint(c.CandChar[i]) + " " + std::to_string(c.CandConf[i]);
  }
  return "<span class=\"ocrx_cinfo\" title=\"" + title + "\">" + XmlEscape(RecordText(c)) + "</span>";
}

// Characters follow one another without white space, which would become
// part of the word's text.
std::string WordSpan(const TLayoutWord& word, const std::vector<TOCRChar>& records, const std::string& id) {
  std::string chars;
  for (std::size_t index : word.Records) chars += CharacterSpan(records[index]);
  return "      <span class=\"ocrx_word\" id=\"" + id + "\" title=\"bbox " + BoxText(word.Box) +
         "; x_wconf " + std::to_string(word.Confidence) + "\">" + chars + "</span>\n";
}

// The baseline as an offset from the box's bottom edge; the line's size
// from its ascender to its descender guide.
std::string LineTitle(const TLayoutLine& line) {
  std::string title = "bbox " + BoxText(line.Box);
  if (!line.HasGuides) return title + "; x_size " + std::to_string(line.Box.Height());
  return title + "; baseline 0 " + std::to_string(line.Base - line.Box.Bottom) + "; x_size " +
         std::to_string(line.Desc - line.Asc + 1) + "; x_descenders " +
         std::to_string(line.Desc - line.Base) + "; x_ascenders " + std::to_string(line.Mean - line.Asc);
}

// The skew found, in degrees counter-clockwise, when it was looked for.
std::string SkewProperty(const TPageResult& page) {
  if (!page.SkewSearched) return "";
  char angle[32];
  std::snprintf(angle, sizeof angle, "%.2f", page.SkewAngle);
  return std::string("; x_skew ") + (std::string(angle) == "-0.00" ? "0.00" : angle);
}

std::string PageTitle(const TPageResult& page) {
  std::string title = "image &quot;" + XmlEscape(page.Name) + "&quot;; bbox 0 0 " +
                      std::to_string(page.Width) + " " + std::to_string(page.Height) + "; ppageno " +
                      std::to_string(page.PageNumber - 1);
  if (page.XDpi > 0 && page.YDpi > 0)
    title += "; scan_res " + std::to_string(page.XDpi) + " " + std::to_string(page.YDpi);
  return title + SkewProperty(page);
}

// Ids are unique in the document: page_P, block_P_B, par_P_N, line_P_L and
// word_P_W with the page's place in the output and running numbers.
struct TIds {
  std::string Page;
  int Block = 0, Paragraph = 0, Line = 0, Word = 0;
  std::string Next(const char* kind, int& counter) {
    return std::string(kind) + "_" + Page + "_" + std::to_string(++counter);
  }
};

}  // namespace

std::string HocrHeader() {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\"\n"
         "    \"http://www.w3.org/TR/xhtml1/DTD/xhtml1-transitional.dtd\">\n"
         "<html xmlns=\"http://www.w3.org/1999/xhtml\" xml:lang=\"en\" lang=\"en\">\n"
         " <head>\n"
         "  <title></title>\n"
         "  <meta http-equiv=\"Content-Type\" content=\"text/html;charset=utf-8\"/>\n"
         "  <meta name=\"ocr-system\" content=\"omniocr " OMNIOCR_VERSION
         "\"/>\n"
         "  <meta name=\"ocr-capabilities\" content=\"ocr_page ocr_carea ocr_par ocr_line ocrx_word "
         "ocrx_cinfo "
         "ocrp_wconf\"/>\n"
         " </head>\n"
         " <body>\n";
}

std::string HocrPage(const TPageResult& page, int pageIndex) {
  TIds ids{std::to_string(pageIndex + 1)};
  std::string out =
      "  <div class=\"ocr_page\" id=\"page_" + ids.Page + "\" title=\"" + PageTitle(page) + "\">\n";
  for (const TLayoutBlock& block : LayoutBlocks(page.Records)) {
    out += "   <div class=\"ocr_carea\" id=\"" + ids.Next("block", ids.Block) + "\" title=\"bbox " +
           BoxText(block.Box) + "\">\n";
    for (const TLayoutParagraph& paragraph : block.Paragraphs) {
      out += "    <p class=\"ocr_par\" id=\"" + ids.Next("par", ids.Paragraph) + "\" title=\"bbox " +
             BoxText(paragraph.Box) + "\">\n";
      for (const TLayoutLine& line : paragraph.Lines) {
        out += "     <span class=\"ocr_line\" id=\"" + ids.Next("line", ids.Line) + "\" title=\"" +
               LineTitle(line) + "\">\n";
        for (const TLayoutWord& word : line.Words)
          out += WordSpan(word, page.Records, ids.Next("word", ids.Word));
        out += "     </span>\n";
      }
      out += "    </p>\n";
    }
    out += "   </div>\n";
  }
  return out + "  </div>\n";
}

std::string HocrFooter() { return " </body>\n</html>\n"; }

}  // namespace omniocr::cli
