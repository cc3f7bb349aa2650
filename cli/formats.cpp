#include "cli/formats.h"

#include <functional>
#include <utility>

namespace omniocr::cli {

namespace {

// A text form: header, pages and footer are strings.
class TTextFormWriter : public TPageWriter {
 public:
  using TPageFunction = std::function<std::string(const TPageResult&, int)>;
  TTextFormWriter(std::string header, TPageFunction page, std::string footer, std::string separator = "")
      : Header(std::move(header)),
        PageText(std::move(page)),
        Footer(std::move(footer)),
        Separator(std::move(separator)) {}
  void Begin(std::ostream& out) override { out << Header; }
  void Page(std::ostream& out, const TPageResult& page, int pageIndex) override {
    out << PageText(page, pageIndex) << std::flush;
  }
  void Missing(std::ostream& out, int pageIndex) override {
    if (pageIndex > 0) out << Separator << std::flush;
  }
  void End(std::ostream& out) override { out << Footer << std::flush; }

 private:
  std::string Header;
  TPageFunction PageText;
  std::string Footer;
  std::string Separator;  // what stands between two pages, for a page that is missing
};

}  // namespace

std::unique_ptr<TPageWriter> MakePageWriter(const TOptions& options) {
  switch (options.Format) {
    case TOutputFormat::Json:
      return std::make_unique<TTextFormWriter>(
          "", [](const TPageResult& p, int) { return JsonPage(p); }, "");
    case TOutputFormat::Hocr: return std::make_unique<TTextFormWriter>(HocrHeader(), HocrPage, HocrFooter());
    case TOutputFormat::Tsv: return std::make_unique<TTextFormWriter>(TsvHeader(), TsvPage, "");
    case TOutputFormat::TsvChars:
      return std::make_unique<TTextFormWriter>(
          TsvCharsHeader(), [](const TPageResult& p, int) { return TsvCharsPage(p); }, "");
    case TOutputFormat::Pdf: return MakePdfWriter(options.Dpi);
    case TOutputFormat::Text: break;
  }
  return std::make_unique<TTextFormWriter>("", TextPage, "", "\f");
}

// Pages are separated by a form feed, as OCR tools do; none follows the last.
std::string TextPage(const TPageResult& page, int pageIndex) {
  std::string text = pageIndex > 0 ? "\f" : "";
  text += PageText(page);
  if (!text.empty() && text.back() != '\n' && text.back() != '\f') text += '\n';
  return text;
}

}  // namespace omniocr::cli
