// Tab-separated rows, one per record of the engine, with a header.

#include "cli/formats.h"
#include "cli/page_layout.h"
#include "cli/tsv_field.h"
#include "engine/char_codes.h"

namespace omniocr::cli {

std::string TsvCharsHeader() {
  return "file\tpage\trecord\tlevel\tline\tleft\ttop\twidth\theight\tconf\ttext\n";
}

std::string TsvCharsPage(const TPageResult& page) {
  std::string out;
  const std::string prefix = TsvField(page.Name) + "\t" + std::to_string(page.PageNumber) + "\t";
  for (std::size_t i = 0; i < page.Records.size(); ++i) {
    const TOCRChar& r = page.Records[i];
    out +=
        prefix + std::to_string(i + 1) + "\t" + KindName(KindOf(r)) + "\t" + std::to_string(r.LineNo) + "\t";
    // A record without a box (line breaks, usually) has empty box fields.
    if (r.HasEmptyBox())
      out += "\t\t\t\t";
    else
      out += std::to_string(r.Left) + "\t" + std::to_string(r.Top) + "\t" + std::to_string(r.Width()) + "\t" +
             std::to_string(r.Height()) + "\t";
    out += std::to_string(BestConfidence(r)) + "\t" + TsvField(RecordText(r)) + "\n";
  }
  return out;
}

}  // namespace omniocr::cli
