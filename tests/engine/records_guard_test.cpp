// Every record the whole engine gives on a set of rendered pages (box,
// reading, candidates and their confidences, and the number of dispatches per
// run), compared with a stored listing. The pages are the rendered test lines
// stacked into paragraphs: two-level, 1-bit and anti-aliased grey, letters on
// and numbers only, and single characters, words and cut regions. A change of
// speed must leave every line of the listing as it is.
//
// After a deliberate change of behaviour, OMNIOCR_REWRITE_RECORDS=1 writes
// the listing anew (tests/data/records/engine-records.txt); say why in the
// commit.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "classify/glyph_fixtures.h"
#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {
namespace {

std::string ListingPath() { return std::string(OMNIOCR_TEST_DATA) + "/records/engine-records.txt"; }

// Lines of art one under the other: `top` blank rows, then each line followed
// by `between` blank rows (FromArt reads a short row as paper).
std::vector<std::string> Stacked(const std::vector<TArtLine>& lines, std::size_t top, std::size_t between) {
  std::vector<std::string> rows(top, "");
  for (const TArtLine& line : lines) {
    rows.insert(rows.end(), line.Rows.begin(), line.Rows.end());
    rows.resize(rows.size() + between, "");
  }
  return rows;
}

// The rendered lines of one font and size, one under the other with blank
// rows between them, as rows of art.
std::vector<std::string> StackedLines(const std::string& fontSize, const std::vector<std::string>& sets) {
  std::vector<TArtLine> lines;
  for (const std::string& set : sets) lines.push_back(LoadGlyphLine(fontSize + "-" + set));
  return Stacked(lines, 12, 14);
}

const std::vector<std::string> kAllSets = {"upper", "lower", "signs", "date"};

std::vector<std::string> DigitPage() {
  std::vector<TArtLine> lines;
  for (const char* name : {"mono-16", "mono-24", "mono-36", "roman-16", "roman-24", "roman-36", "sans-16",
                           "sans-24", "sans-36", "serif-16", "serif-24", "serif-36"})
    lines.push_back(LoadDigitLine(name));
  return Stacked(lines, 8, 10);
}

// Anti-aliased grey: each pixel the mean of a 2 x 2 block of the art.
std::unique_ptr<TDIB> HalvedGrey(const std::vector<std::string>& rows) {
  const std::unique_ptr<TDIB> full = FromArt(rows);
  const int w = full->Width() / 2, h = full->Height() / 2;
  std::unique_ptr<TDIB> grey = MakeGrey(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const int sum = full->PixelByte(2 * x, 2 * y) + full->PixelByte(2 * x + 1, 2 * y) +
                      full->PixelByte(2 * x, 2 * y + 1) + full->PixelByte(2 * x + 1, 2 * y + 1);
      grey->Row(y)[x] = static_cast<std::uint8_t>(sum / 4);
    }
  return grey;
}

TOwnedHandle PackedOneBit(const std::vector<std::string>& rows) {
  const std::unique_ptr<TDIB> art = FromArt(rows);
  const TDIB& a = *art;
  return MakePackedDib(a.Width(), a.Height(), 1,
                       [&a](int x, int y) { return a.PixelByte(x, y) < 128 ? 0u : 1u; });
}

std::string Hex(unsigned value) {
  char text[8];
  std::snprintf(text, sizeof text, "%x", value);
  return text;
}

// One line per record: box, reading and the candidates with their
// confidences, character codes in hexadecimal.
std::string RecordLine(const TOCRChar& c) {
  std::ostringstream line;
  line << c.Left << ' ' << c.Top << ' ' << c.Right << ' ' << c.Bottom << ' ' << Hex(c.BestChar);
  for (int k = 0; k < c.CandCount; ++k) line << ' ' << Hex(c.CandChar[k]) << ':' << c.CandConf[k];
  return line.str();
}

// The listing of one run: its dispatch count, then its records; a run that
// fails lists its message.
void ListRun(TOmnifontOCR& engine, TGlobalHandle handle, TAreaType area, std::vector<std::string>& out) {
  try {
    engine.Recognize(handle, area);
  } catch (const EOCRError& e) {
    out.push_back(std::string("error ") + e.what());
    return;
  }
  out.push_back("dispatches " + std::to_string(engine.DispatchCount));
  for (int i = 0; i < engine.Chars.Count(); ++i) out.push_back(RecordLine(*engine.Chars[i]));
}

struct TGuardPage {
  std::string Name;
  std::function<void(std::vector<std::string>&)> List;
};

TOmnifontOCR& LettersOn(TOmnifontOCR& engine) {
  engine.NumericOnly = false;
  return engine;
}

void ListParagraph(const std::vector<std::string>& rows, std::vector<std::string>& out) {
  TOmnifontOCR engine;
  const TOwnedHandle page = PackBitmap(*FromArt(rows));
  ListRun(LettersOn(engine), page.get(), atParagraph, out);
}

std::vector<TGuardPage> GuardPages() {
  std::vector<TGuardPage> pages;
  for (const char* font :
       {"dejavu-sans-25", "dejavu-serif-25", "freeserif-25", "liberation-mono-25", "liberation-sans-25",
        "liberation-serif-25", "dejavu-serif-50", "liberation-mono-50", "freeserif-50"}) {
    pages.push_back({std::string(font) + " paragraph",
                     [font](auto& out) { ListParagraph(StackedLines(font, kAllSets), out); }});
  }
  for (const char* font : {"dejavu-sans-50", "liberation-serif-50", "liberation-sans-50"}) {
    pages.push_back({std::string(font) + " grey paragraph", [font](auto& out) {
                       TOmnifontOCR engine;
                       const TOwnedHandle page = PackBitmap(*HalvedGrey(StackedLines(font, kAllSets)));
                       ListRun(LettersOn(engine), page.get(), atParagraph, out);
                     }});
  }
  for (const char* font : {"dejavu-sans-25", "liberation-serif-25"}) {
    pages.push_back({std::string(font) + " 1-bit paragraph", [font](auto& out) {
                       TOmnifontOCR engine;
                       const TOwnedHandle page = PackedOneBit(StackedLines(font, kAllSets));
                       ListRun(LettersOn(engine), page.get(), atParagraph, out);
                     }});
  }
  pages.push_back({"digits numbers-only paragraph", [](auto& out) {
                     TOmnifontOCR engine;
                     const TOwnedHandle page = PackBitmap(*FromArt(DigitPage()));
                     ListRun(engine, page.get(), atParagraph, out);
                   }});
  pages.push_back({"liberation-sans-25 cut regions", [](auto& out) {
                     TOmnifontOCR engine;
                     engine.CutRegions = true;
                     const TOwnedHandle page =
                         PackBitmap(*FromArt(StackedLines("liberation-sans-25", kAllSets)));
                     ListRun(LettersOn(engine), page.get(), atRegions, out);
                   }});
  pages.push_back({"freeserif-25 date word", [](auto& out) {
                     TOmnifontOCR engine;
                     const TOwnedHandle page = PackBitmap(*FromArt(LoadGlyphLine("freeserif-25-date").Rows));
                     ListRun(LettersOn(engine), page.get(), atWord, out);
                   }});
  for (const char* line : {"dejavu-serif-50-upper", "liberation-sans-50-lower"}) {
    pages.push_back({std::string(line) + " characters", [line](auto& out) {
                       const TArtLine art = LoadGlyphLine(line);
                       TOmnifontOCR engine;
                       for (const auto& [from, to] : art.Columns) {
                         std::vector<std::string> rows;
                         for (const std::string& r : art.Rows)
                           rows.push_back(r.substr(from, static_cast<std::size_t>(to - from + 1)));
                         const TOwnedHandle page = PackBitmap(*FromArt(rows));
                         ListRun(LettersOn(engine), page.get(), atCharacter, out);
                       }
                     }});
  }
  return pages;
}

std::vector<std::string> Listing() {
  std::vector<std::string> lines;
  for (const TGuardPage& page : GuardPages()) {
    lines.push_back("page " + page.Name);
    page.List(lines);
  }
  return lines;
}

// The stored listing, page by page.
std::map<std::string, std::vector<std::string>> StoredPages() {
  std::ifstream in(ListingPath());
  std::map<std::string, std::vector<std::string>> pages;
  std::vector<std::string>* current = nullptr;
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("page ", 0) == 0)
      current = &pages[line.substr(5)];
    else if (current != nullptr)
      current->push_back(line);
  }
  return pages;
}

TEST(RecordsGuard, EveryRecordAsStored) {
  if (std::getenv("OMNIOCR_REWRITE_RECORDS") != nullptr) {
    std::ofstream out(ListingPath());
    for (const std::string& line : Listing()) out << line << '\n';
    GTEST_SKIP() << "listing written to " << ListingPath();
  }
  const auto stored = StoredPages();
  ASSERT_FALSE(stored.empty()) << "no listing at " << ListingPath();
  const std::vector<TGuardPage> pages = GuardPages();
  EXPECT_EQ(stored.size(), pages.size());
  for (const TGuardPage& page : pages) {
    SCOPED_TRACE(page.Name);
    const auto it = stored.find(page.Name);
    ASSERT_NE(it, stored.end()) << "page not in the listing";
    std::vector<std::string> now;
    page.List(now);
    const std::vector<std::string>& before = it->second;
    int reported = 0;
    for (std::size_t i = 0; i < std::max(now.size(), before.size()) && reported < 5; ++i) {
      const std::string a = i < before.size() ? before[i] : "(none)";
      const std::string b = i < now.size() ? now[i] : "(none)";
      if (a != b) {
        ADD_FAILURE() << "line " << i << ": stored \"" << a << "\", now \"" << b << "\"";
        ++reported;
      }
    }
  }
}

}  // namespace
}  // namespace omniocr::test
