#pragma once

// The output forms. A writer puts a header before the first page, one block
// per page that was read, and a footer after the last; the text forms are
// written page by page, the PDF at the end.

#include <memory>
#include <ostream>
#include <string>

#include "cli/options.h"
#include "cli/page_result.h"

namespace omniocr::cli {

class TPageWriter {
 public:
  virtual ~TPageWriter() = default;
  virtual void Begin(std::ostream& out) = 0;
  // `pageIndex` counts the pages before this one, unreadable ones included.
  virtual void Page(std::ostream& out, const TPageResult& page, int pageIndex) = 0;
  // A page that could not be read still holds its place where a form counts
  // pages by separators.
  virtual void Missing(std::ostream& /*out*/, int /*pageIndex*/) {}
  virtual void End(std::ostream& out) = 0;
};

std::unique_ptr<TPageWriter> MakePageWriter(const TOptions& options);

std::string TextPage(const TPageResult& page, int pageIndex);
std::string JsonPage(const TPageResult& page);
std::string HocrHeader();
std::string HocrPage(const TPageResult& page, int pageIndex);
std::string HocrFooter();
std::string TsvHeader();
std::string TsvPage(const TPageResult& page, int pageIndex);
std::string TsvCharsHeader();
std::string TsvCharsPage(const TPageResult& page);
std::unique_ptr<TPageWriter> MakePdfWriter(int fallbackDpi);

}  // namespace omniocr::cli
