// PDF pages rendered to grey images by the PDF reader module, which is
// loaded on the first PDF read. A page is always read from its rendered
// image, also when it already holds text.

#include <cstring>
#include <exception>
#include <new>

#include "imaging/module_loading.h"
#include "imaging/pdf_module.h"
#include "imaging/pdf_module_access.h"
#include "imaging/reader_support.h"
#include "imaging/readers.h"

namespace omniocr {

namespace {

// Loaded once; a failed load is tried again at the next PDF.
const TPdfReaderModule& Reader() {
  static const TPdfReaderModule& module =
      LoadPdfModule<TPdfReaderModule>(kPdfReaderFile, kPdfReaderEntry, "reading PDF");
  return module;
}

// Copies the rendered page into the image; a failure is kept for the
// caller, as it cannot cross the module.
struct TGreyPage {
  TDibGraphic Image;
  std::exception_ptr Failure;

  static bool Take(void* context, const std::uint8_t* pixels, int width, int height, std::ptrdiff_t stride) {
    auto& page = *static_cast<TGreyPage*>(context);
    try {
      CheckImageSize(width, height, "PDF");
      page.Image.SetSize(width, height, 8);
      for (int y = 0; y < height; ++y)
        std::memcpy(page.Image.ScanLine(y), pixels + static_cast<std::ptrdiff_t>(y) * stride,
                    static_cast<std::size_t>(width));
      return true;
    } catch (...) {
      page.Failure = std::current_exception();
      return false;
    }
  }
};

}  // namespace

int CountPdfPages(const std::uint8_t* data, std::size_t size) {
  TPdfModuleError error;
  int pages = 0;
  CheckPdfStatus(Reader().CountPages(data, size, &pages, &error), error);
  return pages;
}

TDibGraphic ReadPdf(const std::uint8_t* data, std::size_t size, int pageNumber, int dpi) {
  TPdfModuleError error;
  TGreyPage page;
  TPdfPageSink sink{&page, &TGreyPage::Take};
  const int status = Reader().RenderPage(data, size, pageNumber, dpi, kMaxImagePixels, &sink, &error);
  if (status == kPdfModuleCallerFailed && page.Failure) std::rethrow_exception(page.Failure);
  CheckPdfStatus(status, error);
  page.Image.XDpi = dpi;
  page.Image.YDpi = dpi;
  return std::move(page.Image);
}

}  // namespace omniocr
