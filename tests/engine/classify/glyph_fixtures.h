#pragma once

// Fixtures for the recognition tests: a page drawn from ASCII art (or loaded
// from a rendered line under tests/data), extracted into records that stand
// on one text line whose guides the fixture sets by hand; one recogniser run
// on one record's context, and the checks the letter tests share.

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <ostream>
#include <string>
#include <utility>
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

// The fonts and sizes of the rendered glyph lines, "<font>-<size>": six fonts
// at 25 and 50 pixels.
std::vector<std::string> RenderedFontSizes();

// The rendered glyph lines of every font and size in each of `sets`
// ("upper", "lower", "signs"), "<font>-<size>-<set>", a font and size's sets
// one after the other.
std::vector<std::string> RenderedLines(std::initializer_list<const char*> sets);

// A line or font name as a test case name: '_' for each '-'.
std::string TestNameOf(std::string name);

// The case names of a suite whose parameter is a line or font name.
std::string ParamName(const ::testing::TestParamInfo<std::string>& info);

// `art` on a page of paper: `above` rows over it, `side` columns on either
// side and `below` rows under it.
std::vector<std::string> OnPaper(const std::vector<std::string>& art, int above, int side, int below);

// `art` with the rows given as {row, text} put in place of its own: a drawn
// glyph told from another by a few rows.
std::vector<std::string> WithRows(std::vector<std::string> art,
                                  std::initializer_list<std::pair<int, std::string>> rows);

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

void PrintTo(const TOffer& offer, std::ostream* os);

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
  // context (TRecordContext) on a fresh candidate list.
  TOffers Offers(TRecogniser recogniser, int i);
  // The same for the k-th character of the line.
  TOffers OffersForChar(TRecogniser recogniser, int k);
  // The reading of the k-th character ("?" when it has no record).
  std::string ReadChar(int k);

 private:
  std::vector<std::pair<int, int>> Columns;
};

// One dispatch's recognition context for record i of a page, built as the
// dispatcher builds it: the glyph bitmap cut from the driver's seed, Tall and
// Descends from the box and its guides, the holes of the box, and an empty
// candidate list. The record, its guides, the flags and the bitmap may be
// changed before a recogniser, or a single test of one, runs on Context.
class TRecordContext {
 public:
  // How the record stands when the context is built: as extracted (or as the
  // test has left it), or read by the driver first, so that its box is
  // tightened and any mark above it recorded.
  enum TSettle { AsItStands, ReadByDriver };

  TRecordContext(TPageFixture& page, int i, TSettle settle);
  // Takes Tall, Descends and the holes from the record's box again, for a box
  // moved after the bitmap was cut.
  void TakeFlagsFromBox();
  // Runs `recogniser` as the dispatcher does (an exception it raises stops it
  // and is discarded); the offers since the context was built.
  TOffers Run(TRecogniser recogniser);
  // The candidates added since the context was built, best first.
  TOffers Offers() const;
  TGlyphView View() const { return TGlyphView::OfBox(Engine, Context); }

  TOmnifontOCR& Engine;
  TOCRChar& Glyph;
  std::unique_ptr<TDIB> Bitmap;
  TRecogContext Context;
};

// What `recogniser` offers for a glyph drawn as ASCII art: the largest record
// of the page as extracted (no driver, no accent detection), its mark above
// set to `markAbove`.
TOffers DrawnGlyphOffers(TRecogniser recogniser, const std::vector<std::string>& rows,
                         const TLineGuides& guides, int markAbove = 0);

// What `recogniser` offers for the first record of a drawn letter, read by
// the driver, on a line whose ascender and mean lines are row 2 and whose
// baseline is the second last row: with a row of paper above and below the
// letter in `rows`, it is tall and does not descend.
TOffers TallLetterOffers(TRecogniser recogniser, const std::vector<std::string>& rows);

// The letter `upper` in the case of its line: "U" on an upper-case line, "u"
// on a lower-case one.
std::string InCase(char upper, bool lowerLine);

// Expects the offers for a letter of a line in one case to be the pair: the
// letter in the line's case first at 95 or more, then the other case at 98 %
// of it. A wrong number of offers is a fatal failure.
void ExpectCasePair(const TOffers& offers, char upper, bool lowerLine);

// Letters of a rendered line that a recogniser must leave alone: `Name` is
// what it would offer, `First` the line's first letter ('A' or 'a').
struct TLookAlikes {
  TGlyphLineFixture& Line;
  TRecogniser Recogniser;
  const char* Name;
  std::string Letters;
  char First;
};
void ExpectNothingOffered(const TLookAlikes& lookAlikes);

// Offers as text, best first: "R100 r98" ("" for none).
std::string OffersText(const TOffers& offers);

// The offer of `ch` in `offers`, or confidence 0.
int ConfOf(const TOffers& offers, const std::string& ch);

// The text of a record's reading (UTF-8; "~" for none).
std::string Reading(const TOCRChar& record);

}  // namespace omniocr::test
