#pragma once

// Searchable PDF: every page is a page image at its own resolution with an
// invisible text layer above it, each word set on the box it was read from,
// so that a viewer selects and finds the words where the image shows them.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/dib_graphic.h"

namespace omniocr {

// A word in pixels of the page image: columns Left..Right, rows Top..Bottom
// (inclusive), its text in UTF-8. Characters beyond Windows-1252 are set as '?'.
struct TPdfWord {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::string Text;
};

// A text line: its words share one font size, which fills rows Top..Bottom.
struct TPdfLine {
  int Top = 0, Bottom = 0;
  std::vector<TPdfWord> Words;
};

class TPdfDocument {
 public:
  TPdfDocument();
  ~TPdfDocument();
  TPdfDocument(const TPdfDocument&) = delete;
  TPdfDocument& operator=(const TPdfDocument&) = delete;

  // Adds a page the size of the image at the given resolution (dots per
  // inch, both above 0). Bilevel images are stored losslessly (CCITT G4),
  // grey and colour ones as JPEG. Raises EImageError when the page cannot be made.
  void AddPage(const TDibGraphic& image, int xDpi, int yDpi, const std::vector<TPdfLine>& lines);

  int PageCount() const { return Pages; }

  // The document as a PDF file.
  std::vector<std::uint8_t> Save();

  struct TState;  // the PDF writer module's document

 private:
  std::unique_ptr<TState> State;
  int Pages = 0;
};

// The text in Windows-1252, the encoding of the text layer; characters it
// lacks become '?'.
std::string Utf8ToWindows1252(const std::string& text);

}  // namespace omniocr
