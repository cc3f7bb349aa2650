#pragma once

// The PDF reader (poppler) and the PDF writer (libharu) live in two small
// shared modules that the imaging library loads on first use, so that a
// program that never reads or writes a PDF does not pay for loading those
// libraries and theirs. This header is the whole interface between them:
// plain C structures and one table of functions per module, so that no
// exception and no library type crosses the boundary. Every function returns
// kPdfModuleOk or fills the TPdfModuleError it is given.

#include <cstddef>
#include <cstdint>

namespace omniocr {

// Raised to the module's table layout: a module of another version is refused.
constexpr int kPdfModuleVersion = 1;

constexpr int kPdfModuleOk = 0;
constexpr int kPdfModuleFailed = 1;        // Message says why
constexpr int kPdfModuleOutOfMemory = 2;   // std::bad_alloc inside the module
constexpr int kPdfModuleCallerFailed = 3;  // the caller's sink refused the page

struct TPdfModuleError {
  char Message[512] = {};
};

// ---- Reader ----

// Receives a rendered page: 8-bit grey, `stride` bytes from one row to the
// next, top row first. Returns false to stop (the caller keeps the reason).
struct TPdfPageSink {
  void* Context;
  bool (*Take)(void* context, const std::uint8_t* pixels, int width, int height, std::ptrdiff_t stride);
};

struct TPdfReaderModule {
  int Version;
  int (*CountPages)(const std::uint8_t* data, std::size_t size, int* pages, TPdfModuleError* error);
  // Renders page `pageNumber` (from 1) at `dpi`; a page whose rendered size
  // exceeds `maxPixels` is refused before anything is rendered.
  int (*RenderPage)(const std::uint8_t* data, std::size_t size, int pageNumber, int dpi,
                    std::int64_t maxPixels, TPdfPageSink* sink, TPdfModuleError* error);
};

// ---- Writer ----

enum class TPdfImageKind : int { Bilevel, Jpeg };

// A page image: bilevel rows of `RowBytes` bytes each (bit 0 black), or a
// JPEG file.
struct TPdfImageData {
  TPdfImageKind Kind;
  int Width, Height;
  const std::uint8_t* Bytes;
  std::size_t Size;
  int RowBytes;
};

// A word's text in Windows-1252 (NUL-terminated) and its columns in pixels.
struct TPdfWordData {
  int Left, Right;
  const char* Text;
};

// A line's rows in pixels (inclusive) and its words.
struct TPdfLineData {
  int Top, Bottom;
  const TPdfWordData* Words;
  std::size_t WordCount;
};

struct TPdfPageData {
  TPdfImageData Image;
  int XDpi, YDpi;
  const TPdfLineData* Lines;
  std::size_t LineCount;
};

// Room for the saved document: `size` bytes, or null when there is none.
struct TPdfBytesSink {
  void* Context;
  std::uint8_t* (*Allocate)(void* context, std::size_t size);
};

struct TPdfWriterModule {
  int Version;
  // A new document in *document (released by Free, also after a failure).
  int (*Create)(void** document, TPdfModuleError* error);
  void (*Free)(void* document);
  int (*AddPage)(void* document, const TPdfPageData* page, TPdfModuleError* error);
  // Writes the document into the sink's room; *size is the bytes written.
  int (*Save)(void* document, TPdfBytesSink* sink, std::size_t* size, TPdfModuleError* error);
};

// The one symbol each module exports, and the module files, found beside the
// running program.
constexpr const char* kPdfReaderEntry = "omniocr_pdf_reader_module";
constexpr const char* kPdfWriterEntry = "omniocr_pdf_writer_module";
constexpr const char* kPdfReaderFile = "omniocr-pdf-reader.so";
constexpr const char* kPdfWriterFile = "omniocr-pdf-writer.so";

}  // namespace omniocr

extern "C" {
const omniocr::TPdfReaderModule* omniocr_pdf_reader_module();
const omniocr::TPdfWriterModule* omniocr_pdf_writer_module();
}
