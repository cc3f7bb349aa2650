#pragma once

// Fixtures for the recognition tests: a page drawn from ASCII art (or loaded
// from a rendered line under tests/data/digits), extracted into records that
// stand on one text line whose guides the fixture sets by hand.

#include <memory>
#include <string>
#include <vector>

#include "engine/omnifont_ocr.h"

namespace omniocr::test {

struct TLineGuides {
  int Asc = 0, Mean = 0, Base = 0, Desc = 0;
};

// A rendered line: its guides and its rows of art.
struct TArtLine {
  TLineGuides Guides;
  std::vector<std::string> Rows;
};

// Reads tests/data/digits/<name>.txt.
TArtLine LoadDigitLine(const std::string& name);

// An engine whose page is `rows`, thresholded, with every component
// extracted as a record on line 1 with the given guides (records sorted left
// to right).
class TPageFixture {
 public:
  TPageFixture(const std::vector<std::string>& rows, const TLineGuides& guides, bool bilevel = false);
  TOmnifontOCR Engine;
  TOCRChar& Record(int i) { return *Engine.Chars[i]; }
  int Count() const { return Engine.Chars.Count(); }
  // Runs the driver on record i at the page threshold, level 0.
  TCharCode Read(int i);
};

// The text of a record's reading (UTF-8; "~" for none).
std::string Reading(const TOCRChar& record);

}  // namespace omniocr::test
