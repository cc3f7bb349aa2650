// The PDF reader module: PDF pages rendered to grey images through poppler.

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <climits>
#include <cmath>
#include <memory>
#include <mutex>
#include <string>

#include "imaging/pdf_module.h"
#include "imaging/pdf_modules/module_guard.h"

namespace omniocr {

namespace {

// poppler keeps process-wide state (its error callback, font caches): every
// use is serialised, and its messages are dropped rather than printed.
std::mutex& PopplerMutex() {
  static std::mutex mutex;
  return mutex;
}

void DropMessage(const std::string&, void*) {}

std::unique_ptr<poppler::document> OpenPdf(const std::uint8_t* data, std::size_t size) {
  static std::once_flag silenced;
  std::call_once(silenced, [] { poppler::set_debug_error_function(DropMessage, nullptr); });
  if (size > static_cast<std::size_t>(INT32_MAX)) throw EPdfFailure("PDF file too large");
  std::unique_ptr<poppler::document> document(
      poppler::document::load_from_raw_data(reinterpret_cast<const char*>(data), static_cast<int>(size)));
  if (!document) throw EPdfFailure("corrupt PDF data");
  if (document->is_locked()) throw EPdfFailure("the PDF file is protected by a password");
  if (document->pages() <= 0) throw EPdfFailure("PDF file without pages");
  return document;
}

// The pixel size a page renders to, checked before anything is allocated.
void CheckRenderedSize(const poppler::page& page, int dpi, std::int64_t maxPixels) {
  const poppler::rectf box = page.page_rect(poppler::crop_box);
  const double w = std::ceil(box.width() * dpi / 72.0), h = std::ceil(box.height() * dpi / 72.0);
  if (!(w >= 1 && h >= 1)) throw EPdfFailure("PDF page of no size");
  const double limit = static_cast<double>(maxPixels);
  if (w > limit || h > limit || w * h > limit)
    throw EPdfFailure("PDF page of " + std::to_string(static_cast<long long>(w)) + " x " +
                      std::to_string(static_cast<long long>(h)) + " pixels at " + std::to_string(dpi) +
                      " dpi exceeds the limit of " + std::to_string(maxPixels) +
                      " pixels: choose a lower resolution");
}

int CountPages(const std::uint8_t* data, std::size_t size, int* pages, TPdfModuleError* error) {
  return Guarded(error, "PDF reading failed", [&] {
    std::lock_guard<std::mutex> lock(PopplerMutex());
    *pages = OpenPdf(data, size)->pages();
  });
}

int RenderPage(const std::uint8_t* data, std::size_t size, int pageNumber, int dpi, std::int64_t maxPixels,
               TPdfPageSink* sink, TPdfModuleError* error) {
  return Guarded(error, "PDF reading failed", [&] {
    std::lock_guard<std::mutex> lock(PopplerMutex());
    std::unique_ptr<poppler::document> document = OpenPdf(data, size);
    if (pageNumber > document->pages())
      throw EPdfFailure("no page " + std::to_string(pageNumber) + " in the file (it holds " +
                        std::to_string(document->pages()) + ")");
    std::unique_ptr<poppler::page> page(document->create_page(pageNumber - 1));
    if (!page) throw EPdfFailure("corrupt PDF data (page " + std::to_string(pageNumber) + ")");
    CheckRenderedSize(*page, dpi, maxPixels);
    poppler::page_renderer renderer;
    renderer.set_image_format(poppler::image::format_gray8);
    renderer.set_render_hints(poppler::page_renderer::antialiasing |
                              poppler::page_renderer::text_antialiasing);
    const poppler::image rendered = renderer.render_page(page.get(), dpi, dpi);
    if (!rendered.is_valid() || rendered.format() != poppler::image::format_gray8)
      throw EPdfFailure("PDF page " + std::to_string(pageNumber) + " could not be rendered");
    if (!sink->Take(sink->Context, reinterpret_cast<const std::uint8_t*>(rendered.const_data()),
                    rendered.width(), rendered.height(), rendered.bytes_per_row()))
      throw ECallerFailed();
  });
}

constexpr TPdfReaderModule kReader{kPdfModuleVersion, CountPages, RenderPage};

}  // namespace

}  // namespace omniocr

extern "C" const omniocr::TPdfReaderModule* omniocr_pdf_reader_module() { return &omniocr::kReader; }
