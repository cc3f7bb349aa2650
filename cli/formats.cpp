#include "cli/formats.h"

namespace omniocr::cli {

int BestConfidence(const TOCRChar& record) { return record.CandCount > 0 ? record.CandConf[0] : 0; }

std::string FormatHeader(TOutputFormat format) {
  if (format == TOutputFormat::Hocr) return HocrHeader();
  if (format == TOutputFormat::Tsv) return TsvHeader();
  return "";
}

std::string FormatPage(TOutputFormat format, const TPageResult& page, int pageIndex) {
  switch (format) {
    case TOutputFormat::Json: return JsonPage(page);
    case TOutputFormat::Hocr: return HocrPage(page, pageIndex);
    case TOutputFormat::Tsv: return TsvPage(page);
    case TOutputFormat::Text: break;
  }
  return TextPage(page);
}

std::string FormatFooter(TOutputFormat format) { return format == TOutputFormat::Hocr ? HocrFooter() : ""; }

std::string TextPage(const TPageResult& page) {
  std::string text = PageText(page);
  if (!text.empty() && text.back() != '\n') text += '\n';
  return text;
}

}  // namespace omniocr::cli
