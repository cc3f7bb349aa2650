#pragma once

// The output forms. Each writes a header before the first image, one block
// per image that was read, and a footer after the last.

#include <string>

#include "cli/options.h"
#include "cli/page_result.h"

namespace omniocr::cli {

std::string FormatHeader(TOutputFormat format);
std::string FormatPage(TOutputFormat format, const TPageResult& page, int pageIndex);
std::string FormatFooter(TOutputFormat format);

std::string TextPage(const TPageResult& page);
std::string JsonPage(const TPageResult& page);
std::string HocrHeader();
std::string HocrPage(const TPageResult& page, int pageIndex);
std::string HocrFooter();
std::string TsvHeader();
std::string TsvPage(const TPageResult& page);

// The confidence of a record's best reading, 0 when it has none.
int BestConfidence(const TOCRChar& record);

}  // namespace omniocr::cli
