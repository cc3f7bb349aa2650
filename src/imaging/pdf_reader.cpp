// PDF pages rendered to grey images through poppler. A page is always read
// from its rendered image, also when it already holds text.

#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-image.h>
#include <poppler-page-renderer.h>
#include <poppler-page.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <mutex>

#include "imaging/reader_support.h"
#include "imaging/readers.h"

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
  if (size > static_cast<std::size_t>(INT32_MAX)) throw EImageError("PDF file too large");
  std::unique_ptr<poppler::document> document(
      poppler::document::load_from_raw_data(reinterpret_cast<const char*>(data), static_cast<int>(size)));
  if (!document) throw EImageError("corrupt PDF data");
  if (document->is_locked()) throw EImageError("the PDF file is protected by a password");
  if (document->pages() <= 0) throw EImageError("PDF file without pages");
  return document;
}

// The pixel size a page renders to, checked before anything is allocated.
void CheckRenderedSize(const poppler::page& page, int dpi) {
  const poppler::rectf box = page.page_rect(poppler::crop_box);
  const double w = std::ceil(box.width() * dpi / 72.0), h = std::ceil(box.height() * dpi / 72.0);
  if (!(w >= 1 && h >= 1)) throw EImageError("PDF page of no size");
  const double limit = static_cast<double>(kMaxImagePixels);
  if (w > limit || h > limit || w * h > limit)
    throw EImageError("PDF page of " + std::to_string(static_cast<long long>(w)) + " x " +
                      std::to_string(static_cast<long long>(h)) + " pixels at " + std::to_string(dpi) +
                      " dpi exceeds the limit of " + std::to_string(kMaxImagePixels) +
                      " pixels: choose a lower resolution");
}

TDibGraphic CopyGrey(const poppler::image& rendered, int dpi) {
  TDibGraphic image;
  image.SetSize(rendered.width(), rendered.height(), 8);
  for (int y = 0; y < rendered.height(); ++y)
    std::memcpy(image.ScanLine(y),
                rendered.const_data() + static_cast<std::ptrdiff_t>(y) * rendered.bytes_per_row(),
                static_cast<std::size_t>(rendered.width()));
  image.XDpi = dpi;
  image.YDpi = dpi;
  return image;
}

}  // namespace

int CountPdfPages(const std::uint8_t* data, std::size_t size) {
  std::lock_guard<std::mutex> lock(PopplerMutex());
  return OpenPdf(data, size)->pages();
}

TDibGraphic ReadPdf(const std::uint8_t* data, std::size_t size, int pageNumber, int dpi) {
  std::lock_guard<std::mutex> lock(PopplerMutex());
  std::unique_ptr<poppler::document> document = OpenPdf(data, size);
  if (pageNumber > document->pages())
    throw EImageError("no page " + std::to_string(pageNumber) + " in the file (it holds " +
                      std::to_string(document->pages()) + ")");
  std::unique_ptr<poppler::page> page(document->create_page(pageNumber - 1));
  if (!page) throw EImageError("corrupt PDF data (page " + std::to_string(pageNumber) + ")");
  CheckRenderedSize(*page, dpi);
  poppler::page_renderer renderer;
  renderer.set_image_format(poppler::image::format_gray8);
  renderer.set_render_hints(poppler::page_renderer::antialiasing | poppler::page_renderer::text_antialiasing);
  const poppler::image rendered = renderer.render_page(page.get(), dpi, dpi);
  if (!rendered.is_valid() || rendered.format() != poppler::image::format_gray8)
    throw EImageError("PDF page " + std::to_string(pageNumber) + " could not be rendered");
  CheckImageSize(rendered.width(), rendered.height(), "PDF");
  return CopyGrey(rendered, dpi);
}

}  // namespace omniocr
