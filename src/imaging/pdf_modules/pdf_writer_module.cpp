// The PDF writer module: searchable PDF documents through libharu.

#include <hpdf.h>

#include <algorithm>
#include <cstdio>
#include <new>
#include <string>

#include "imaging/pdf_module.h"
#include "imaging/pdf_modules/module_guard.h"

namespace omniocr {

namespace {

// The text layer's font, Helvetica, spans from 0.718 of its size above the
// baseline to 0.207 below it in the metrics PDF readers use for the built-in
// fonts; a line's font size is chosen so that this span fills the line.
constexpr double kFontAscent = 0.718;
constexpr double kFontDescent = 0.207;

// The document and the first error libharu reported for it: its calls
// return error codes through a callback, which must not throw across C.
struct TDocument {
  HPDF_Doc Doc = nullptr;
  HPDF_Font Font = nullptr;
  HPDF_STATUS Error = HPDF_OK;
  HPDF_STATUS Detail = 0;

  void Check(const char* what) {
    if (Error == HPDF_OK) return;
    const std::string message = std::string("PDF output failed (") + what + ", error 0x" + Hex(Error) +
                                (Detail ? ", detail " + std::to_string(Detail) : "") + ")";
    Error = HPDF_OK;
    Detail = 0;
    HPDF_ResetError(Doc);
    throw EPdfFailure(message);
  }
  static std::string Hex(HPDF_STATUS value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04lX", static_cast<unsigned long>(value));
    return text;
  }
};

void HpdfError(HPDF_STATUS error, HPDF_STATUS detail, void* user) {
  auto* state = static_cast<TDocument*>(user);
  if (state->Error == HPDF_OK) {
    state->Error = error;
    state->Detail = detail;
  }
}

HPDF_Image LoadImage(HPDF_Doc doc, const TPdfImageData& image) {
  if (image.Kind == TPdfImageKind::Bilevel)
    // With libharu's black_is1 flag set the 0 bits of these rows (black
    // here) come out black in the PDF; the writer's tests render it back.
    return HPDF_Image_LoadRaw1BitImageFromMem(doc, image.Bytes, static_cast<HPDF_UINT>(image.Width),
                                              static_cast<HPDF_UINT>(image.Height),
                                              static_cast<HPDF_UINT>(image.RowBytes), HPDF_TRUE, HPDF_TRUE);
  return HPDF_LoadJpegImageFromMem(doc, image.Bytes, static_cast<HPDF_UINT>(image.Size));
}

int Create(void** document, TPdfModuleError* error) {
  *document = nullptr;
  return Guarded(error, "PDF output failed", [&] {
    auto* state = new TDocument;
    *document = state;
    state->Doc = HPDF_New(HpdfError, state);
    if (state->Doc == nullptr) throw EPdfFailure("out of memory for PDF output");
    HPDF_SetCompressionMode(state->Doc, HPDF_COMP_ALL);
    HPDF_SetInfoAttr(state->Doc, HPDF_INFO_CREATOR, "omniocr");
    HPDF_SetInfoAttr(state->Doc, HPDF_INFO_PRODUCER, "omniocr");
    state->Font = HPDF_GetFont(state->Doc, "Helvetica", "WinAnsiEncoding");
    state->Check("font");
  });
}

void Free(void* document) {
  auto* state = static_cast<TDocument*>(document);
  if (state == nullptr) return;
  if (state->Doc != nullptr) HPDF_Free(state->Doc);
  delete state;
}

void SetTextLayer(TDocument& state, HPDF_Page page, const TPdfPageData& data, double pageH) {
  const double sx = 72.0 / data.XDpi, sy = 72.0 / data.YDpi;
  HPDF_Page_BeginText(page);
  HPDF_Page_SetTextRenderingMode(page, HPDF_INVISIBLE);
  for (std::size_t l = 0; l < data.LineCount; ++l) {
    const TPdfLineData& line = data.Lines[l];
    const double bandTop = pageH - line.Top * sy, bandBottom = pageH - (line.Bottom + 1) * sy;
    const double size = std::max(bandTop - bandBottom, 0.5) / (kFontAscent + kFontDescent);
    HPDF_Page_SetFontAndSize(page, state.Font, static_cast<HPDF_REAL>(size));
    const double baseline = bandBottom + kFontDescent * size;
    for (std::size_t w = 0; w < line.WordCount; ++w) {
      const TPdfWordData& word = line.Words[w];
      if (word.Text[0] == '\0') continue;
      const double natural = HPDF_Page_TextWidth(page, word.Text);
      if (!(natural > 0)) continue;
      // The word is stretched to its box horizontally.
      const double stretch = (word.Right - word.Left + 1) * sx / natural;
      HPDF_Page_SetTextMatrix(page, static_cast<HPDF_REAL>(stretch), 0, 0, 1,
                              static_cast<HPDF_REAL>(word.Left * sx), static_cast<HPDF_REAL>(baseline));
      HPDF_Page_ShowText(page, word.Text);
    }
  }
  HPDF_Page_EndText(page);
}

int AddPage(void* document, const TPdfPageData* data, TPdfModuleError* error) {
  return Guarded(error, "PDF output failed", [&] {
    TDocument& state = *static_cast<TDocument*>(document);
    const double pageW = data->Image.Width * 72.0 / data->XDpi,
                 pageH = data->Image.Height * 72.0 / data->YDpi;
    const HPDF_Image picture = LoadImage(state.Doc, data->Image);
    state.Check("page image");
    HPDF_Page page = HPDF_AddPage(state.Doc);
    HPDF_Page_SetWidth(page, static_cast<HPDF_REAL>(pageW));
    HPDF_Page_SetHeight(page, static_cast<HPDF_REAL>(pageH));
    HPDF_Page_DrawImage(page, picture, 0, 0, static_cast<HPDF_REAL>(pageW), static_cast<HPDF_REAL>(pageH));
    state.Check("page");
    SetTextLayer(state, page, *data, pageH);
    state.Check("text layer");
  });
}

int Save(void* document, TPdfBytesSink* sink, std::size_t* size, TPdfModuleError* error) {
  *size = 0;
  return Guarded(error, "PDF output failed", [&] {
    TDocument& state = *static_cast<TDocument*>(document);
    HPDF_SaveToStream(state.Doc);
    state.Check("saving");
    const HPDF_UINT32 length = HPDF_GetStreamSize(state.Doc);
    std::uint8_t* bytes = sink->Allocate(sink->Context, length);
    if (bytes == nullptr && length > 0) throw std::bad_alloc();
    HPDF_ResetStream(state.Doc);
    HPDF_UINT32 got = length;
    HPDF_ReadFromStream(state.Doc, bytes, &got);
    *size = got;
    // The stream ends with an end-of-stream "error", which is none.
    HPDF_ResetError(state.Doc);
    state.Error = HPDF_OK;
  });
}

constexpr TPdfWriterModule kWriter{kPdfModuleVersion, Create, Free, AddPage, Save};

}  // namespace

}  // namespace omniocr

extern "C" const omniocr::TPdfWriterModule* omniocr_pdf_writer_module() { return &omniocr::kWriter; }
