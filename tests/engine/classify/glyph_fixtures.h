#pragma once

// Fixtures for the recognition tests: a page drawn from ASCII art (or loaded
// from a rendered line under tests/data/digits), extracted into records that
// stand on one text line whose guides the fixture sets by hand.

#include <memory>
#include <string>
#include <vector>

#include "engine/classify/notation.h"
#include "engine/omnifont_ocr.h"

namespace omniocr::test {

struct TLineGuides {
  int Asc = 0, Mean = 0, Base = 0, Desc = 0;
};

// A rendered line: its guides and its rows of art.
struct TArtLine {
  TLineGuides Guides;
  std::vector<std::string> Rows;
  // For the glyph lines: the columns of each character's advance, in order.
  std::vector<std::pair<int, int>> Columns;
};

// Reads tests/data/digits/<name>.txt.
TArtLine LoadDigitLine(const std::string& name);

// Reads tests/data/glyphs/<name>.txt: "<font>-<size>-<set>", the set being
// "upper" (A..Z), "lower" (a..z) or "signs", the characters one space apart.
TArtLine LoadGlyphLine(const std::string& name);

// Reads tests/data/spaced-lines/<name>.txt: a line set with its own letter
// spacing (touching letters, or a word gap where it matters).
TArtLine LoadSpacedLine(const std::string& name);

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

// One candidate: its character as UTF-8 and its confidence.
struct TOffer {
  std::string Char;
  int Conf = 0;
  bool operator==(const TOffer&) const = default;
};
using TOffers = std::vector<TOffer>;

// A rendered line of letters or signs with letters on: its records in
// reading order, dots and accents merged into their characters.
class TGlyphLineFixture : public TPageFixture {
 public:
  explicit TGlyphLineFixture(const TArtLine& line);
  explicit TGlyphLineFixture(const std::string& name) : TGlyphLineFixture(LoadGlyphLine(name)) {}
  // The record of the k-th character of the line's text (spaces not
  // counted): of the records centred in its advance the largest; -1 when
  // none is.
  int RecordOfChar(int k) const;
  // Reads every record; their readings, one per record.
  std::vector<std::string> ReadAll();
  // What `recogniser` alone offers for record i, after the driver has read
  // it (so the box is tightened and any accent found): one dispatch's
  // context on a fresh candidate list.
  TOffers Offers(TRecogniser recogniser, int i);
  // The same for the k-th character of the line.
  TOffers OffersForChar(TRecogniser recogniser, int k);
  // The reading of the k-th character ("?" when it has no record).
  std::string ReadChar(int k);

 private:
  std::vector<std::pair<int, int>> Columns;
};

// The offer of `ch` in `offers`, or confidence 0.
int ConfOf(const TOffers& offers, const std::string& ch);

// The text of a record's reading (UTF-8; "~" for none).
std::string Reading(const TOCRChar& record);

}  // namespace omniocr::test
