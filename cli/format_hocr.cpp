#include <algorithm>
#include <climits>
#include <cstdio>

#include "cli/formats.h"
#include "cli/utf8_text.h"
#include "engine/char_codes.h"

#ifndef OMNIOCR_VERSION
#define OMNIOCR_VERSION "0"
#endif

namespace omniocr::cli {

namespace {

struct TBox {
  int Left = INT_MAX, Top = INT_MAX, Right = INT_MIN, Bottom = INT_MIN;
  void Add(const TOCRChar& r) {
    Left = std::min(Left, r.Left), Top = std::min(Top, r.Top);
    Right = std::max(Right, r.Right), Bottom = std::max(Bottom, r.Bottom);
  }
  void Add(const TBox& b) {
    Left = std::min(Left, b.Left), Top = std::min(Top, b.Top);
    Right = std::max(Right, b.Right), Bottom = std::max(Bottom, b.Bottom);
  }
  // hOCR boxes: left and top inclusive, right and bottom exclusive.
  std::string Text() const {
    return std::to_string(Left) + " " + std::to_string(Top) + " " + std::to_string(Right + 1) + " " +
           std::to_string(Bottom + 1);
  }
};

struct TWord {
  std::vector<const TOCRChar*> Chars;
  TBox Box;
};

struct TLine {
  std::vector<TWord> Words;
  TBox Box;
  int LineNo = 0;
  int BaseLine = 0;
};

// Lines end at line-break records and where the line number changes; words
// end at spaces. Rejected records and records without a box are left out.
std::vector<TLine> GroupLines(const std::vector<TOCRChar>& records) {
  std::vector<TLine> lines;
  TLine line;
  TWord word;
  auto closeWord = [&] {
    if (!word.Chars.empty()) line.Box.Add(word.Box), line.Words.push_back(word);
    word = TWord();
  };
  auto closeLine = [&] {
    closeWord();
    if (!line.Words.empty()) lines.push_back(line);
    line = TLine();
  };
  for (const TOCRChar& r : records) {
    const TRecordKind kind = KindOf(r);
    if (kind == TRecordKind::LineBreak) {
      closeLine();
    } else if (kind == TRecordKind::Space) {
      closeWord();
    } else if (kind != TRecordKind::Rejected && !r.HasEmptyBox()) {
      const bool started = !line.Words.empty() || !word.Chars.empty();
      if (started && r.LineNo != line.LineNo) closeLine();
      line.LineNo = r.LineNo;
      line.BaseLine = r.BaseLine;
      word.Chars.push_back(&r);
      word.Box.Add(r);
    }
  }
  closeLine();
  return lines;
}

std::string WordSpan(const TWord& word, const std::string& id) {
  int confidence = 100;
  std::string chars;
  for (const TOCRChar* c : word.Chars) {
    confidence = std::min(confidence, BestConfidence(*c));
    TBox box;
    box.Add(*c);
    chars += "<span class=\"ocrx_cinfo\" title=\"x_bboxes " + box.Text() + "; x_conf " +
             std::to_string(BestConfidence(*c)) + "\">" + XmlEscape(RecordText(*c)) + "</span>";
  }
  return "     <span class=\"ocrx_word\" id=\"" + id + "\" title=\"bbox " + word.Box.Text() + "; x_wconf " +
         std::to_string(confidence) + "\">" + chars + "</span>\n";
}

// The skew found, in degrees counter-clockwise, when it was looked for.
std::string SkewProperty(const TPageResult& page) {
  if (!page.SkewSearched) return "";
  char angle[32];
  std::snprintf(angle, sizeof angle, "%.2f", page.SkewAngle);
  return std::string("; x_skew ") + (std::string(angle) == "-0.00" ? "0.00" : angle);
}

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
         "  <meta name=\"ocr-capabilities\" content=\"ocr_page ocr_line ocrx_word ocrx_cinfo\"/>\n"
         " </head>\n"
         " <body>\n";
}

std::string HocrPage(const TPageResult& page, int pageIndex) {
  const std::string p = std::to_string(pageIndex + 1);
  std::string out = "  <div class=\"ocr_page\" id=\"page_" + p + "\" title=\"image &quot;" +
                    XmlEscape(page.Name) + "&quot;; bbox 0 0 " + std::to_string(page.Width) + " " +
                    std::to_string(page.Height) + "; ppageno " + std::to_string(page.PageNumber - 1) +
                    SkewProperty(page) + "\">\n";
  int lineIndex = 0, wordIndex = 0;
  for (const TLine& line : GroupLines(page.Records)) {
    const std::string l = p + "_" + std::to_string(++lineIndex);
    std::string title = "bbox " + line.Box.Text();
    if (line.LineNo != 0) title += "; baseline 0 " + std::to_string(line.BaseLine - line.Box.Bottom);
    out += "   <span class=\"ocr_line\" id=\"line_" + l + "\" title=\"" + title + "\">\n";
    for (const TWord& word : line.Words)
      out += WordSpan(word, "word_" + p + "_" + std::to_string(++wordIndex));
    out += "   </span>\n";
  }
  return out + "  </div>\n";
}

std::string HocrFooter() { return " </body>\n</html>\n"; }

}  // namespace omniocr::cli
