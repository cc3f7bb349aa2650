#include "cli/formats.h"
#include "cli/page_layout.h"
#include "imaging/pdf_writer.h"

namespace omniocr::cli {

namespace {

// The text layer of a page: each line set in its box's rows, each word on its box.
std::vector<TPdfLine> TextLayer(const TPageResult& page) {
  std::vector<TPdfLine> lines;
  for (const TLayoutLine& line : LayoutLines(page.Records)) {
    TPdfLine pdfLine{line.Box.Top, line.Box.Bottom, {}};
    for (const TLayoutWord& word : line.Words)
      pdfLine.Words.push_back({word.Box.Left, word.Box.Top, word.Box.Right, word.Box.Bottom, word.Text});
    lines.push_back(std::move(pdfLine));
  }
  return lines;
}

// The document grows page by page and is written whole at the end.
class TPdfPageWriter : public TPageWriter {
 public:
  explicit TPdfPageWriter(int fallbackDpi) : FallbackDpi(fallbackDpi) {}
  void Begin(std::ostream&) override {}
  void Page(std::ostream&, const TPageResult& page, int) override {
    if (!page.Image) return;
    // An image that states no resolution is taken at the fallback's.
    const bool known = page.XDpi > 0 && page.YDpi > 0;
    Document.AddPage(*page.Image, known ? page.XDpi : FallbackDpi, known ? page.YDpi : FallbackDpi,
                     TextLayer(page));
  }
  void End(std::ostream& out) override {
    if (Document.PageCount() == 0) return;  // no page was read: no file
    const std::vector<std::uint8_t> bytes = Document.Save();
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    out.flush();
  }

 private:
  int FallbackDpi;
  TPdfDocument Document;
};

}  // namespace

std::unique_ptr<TPageWriter> MakePdfWriter(int fallbackDpi) {
  return std::make_unique<TPdfPageWriter>(fallbackDpi);
}

}  // namespace omniocr::cli
