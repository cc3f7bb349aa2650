#include "glyph_fixtures.h"

#include <algorithm>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "engine/char_codes.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/driver.h"
#include "engine/classify/probes.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {

namespace {

std::string TestDataDir() { return OMNIOCR_TEST_DATA; }

TArtLine LoadArtLine(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw std::runtime_error("missing fixture " + path);
  TArtLine line;
  in >> line.Guides.Asc >> line.Guides.Mean >> line.Guides.Base >> line.Guides.Desc;
  std::string row;
  std::getline(in, row);
  while (std::getline(in, row)) {
    if (row.rfind("columns", 0) == 0) {
      std::istringstream cols(row.substr(7));
      int a = 0, b = 0;
      while (cols >> a >> b) line.Columns.emplace_back(a, b);
    } else if (!row.empty()) {
      line.Rows.push_back(row);
    }
  }
  return line;
}

}  // namespace

TArtLine LoadDigitLine(const std::string& name) {
  return LoadArtLine(TestDataDir() + "/digits/" + name + ".txt");
}

TArtLine LoadGlyphLine(const std::string& name) {
  return LoadArtLine(TestDataDir() + "/glyphs/" + name + ".txt");
}

TArtLine LoadSpacedLine(const std::string& name) {
  return LoadArtLine(TestDataDir() + "/spaced-lines/" + name + ".txt");
}

std::vector<std::string> RenderedFontSizes() {
  std::vector<std::string> names;
  for (const char* font :
       {"dejavu-sans", "dejavu-serif", "freeserif", "liberation-mono", "liberation-sans", "liberation-serif"})
    for (const char* size : {"25", "50"}) names.push_back(std::string(font) + "-" + size);
  return names;
}

std::vector<std::string> RenderedLines(std::initializer_list<const char*> sets) {
  std::vector<std::string> names;
  for (const std::string& fontSize : RenderedFontSizes())
    for (const char* set : sets) names.push_back(fontSize + "-" + set);
  return names;
}

std::string TestNameOf(std::string name) {
  std::replace(name.begin(), name.end(), '-', '_');
  return name;
}

std::string ParamName(const ::testing::TestParamInfo<std::string>& info) { return TestNameOf(info.param); }

std::vector<std::string> OnPaper(const std::vector<std::string>& art, int above, int side, int below) {
  const std::string paper(art.front().size() + 2 * side, '.');
  const std::string margin(side, '.');
  std::vector<std::string> rows(above, paper);
  for (const std::string& row : art) rows.push_back(margin + row + margin);
  rows.insert(rows.end(), below, paper);
  return rows;
}

std::vector<std::string> WithRows(std::vector<std::string> art,
                                  std::initializer_list<std::pair<int, std::string>> rows) {
  for (const auto& [row, text] : rows) art.at(row) = text;
  return art;
}

TPageFixture::TPageFixture(const std::vector<std::string>& rows, const TLineGuides& guides, bool bilevel) {
  Engine.BeginRun();
  Engine.Page = FromArt(rows);
  Engine.BilevelSource = bilevel;
  Engine.ComputeThreshold();
  if (Engine.Threshold == 0) Engine.Threshold = 160;
  Engine.ExtractCharacters();
  auto& items = Engine.Chars.Storage();
  std::stable_sort(items.begin(), items.end(),
                   [](const auto& a, const auto& b) { return a->Left < b->Left; });
  Engine.LineCount = 2;
  Engine.Lines[1] = {guides.Asc, guides.Mean, guides.Base, guides.Desc, 0, Engine.Page->Width() - 1};
  for (int i = 0; i < Engine.Chars.Count(); ++i) {
    TOCRChar& c = *Engine.Chars[i];
    c.LineNo = 1;
    c.AscLine = guides.Asc;
    c.MeanLine = guides.Mean;
    c.BaseLine = guides.Base;
    c.DescLine = guides.Desc;
  }
}

TCharCode TPageFixture::Read(int i) { return RecognizeGlyph(Engine, Record(i), Engine.Threshold, 0); }

TGlyphLineFixture::TGlyphLineFixture(const TArtLine& line)
    : TPageFixture(line.Rows, line.Guides), Columns(line.Columns) {
  Engine.NumericOnly = false;
  Engine.ComputeCharStatistics();
  Engine.SortReadingOrder();
  Engine.MergeFragments();
}

std::vector<std::string> TGlyphLineFixture::ReadAll() {
  std::vector<std::string> readings;
  for (int i = 0; i < Count(); ++i) {
    Read(i);
    readings.push_back(Reading(Record(i)));
  }
  return readings;
}

TOffers TGlyphLineFixture::Offers(TRecogniser recogniser, int i) {
  return TRecordContext(*this, i, TRecordContext::ReadByDriver).Run(recogniser);
}

int TGlyphLineFixture::RecordOfChar(int k) const {
  if (k < 0 || k >= static_cast<int>(Columns.size())) return -1;
  const auto [from, to] = Columns[k];
  int best = -1, bestArea = 0;
  for (int i = 0; i < Count(); ++i) {
    const TOCRChar& c = *Engine.Chars[i];
    const int centre = (c.Left + c.Right) / 2;
    const int area = (c.Right - c.Left + 1) * (c.Bottom - c.Top + 1);
    if (centre >= from && centre <= to && area > bestArea) {
      best = i;
      bestArea = area;
    }
  }
  return best;
}

TOffers TGlyphLineFixture::OffersForChar(TRecogniser recogniser, int k) {
  const int i = RecordOfChar(k);
  return i < 0 ? TOffers{} : Offers(recogniser, i);
}

std::string TGlyphLineFixture::ReadChar(int k) {
  const int i = RecordOfChar(k);
  if (i < 0) return "?";
  Read(i);
  return Reading(Record(i));
}

void PrintTo(const TOffer& offer, std::ostream* os) { *os << offer.Char << " " << offer.Conf; }

TRecordContext::TRecordContext(TPageFixture& page, int i, TSettle settle)
    : Engine(page.Engine), Glyph(page.Record(i)) {
  if (settle == ReadByDriver) page.Read(i);
  const int thr = Engine.Threshold;
  int seedX = 0, seedY = 0;
  ChooseGlyphSeed(Glyph, thr, seedX, seedY);
  Bitmap = CutGlyphBitmap(Engine, Glyph, seedX, seedY, thr);
  Context.Glyph = &Glyph;
  Context.Bitmap = Bitmap.get();
  Context.Threshold = thr;
  TakeFlagsFromBox();
  Glyph.CandCount = 0;
  Glyph.BestChar = NoChar;
}

void TRecordContext::TakeFlagsFromBox() {
  Context.Tall = IsTall(Glyph);
  Context.Descends = IsDescending(Glyph);
  CountHoles(Engine, *Glyph.Page, Glyph.Left, Glyph.Top, Glyph.Right, Glyph.Bottom, Context.Threshold,
             &Context.HoleList);
}

TOffers TRecordContext::Run(TRecogniser recogniser) {
  RunGuarded(recogniser, Engine, Context);
  return Offers();
}

TOffers TRecordContext::Offers() const {
  TOffers offers;
  for (int k = 0; k < Glyph.CandCount; ++k)
    offers.push_back({Utf8Encode(CodeToUnicode(Glyph.CandChar[k])), Glyph.CandConf[k]});
  return offers;
}

TOffers DrawnGlyphOffers(TRecogniser recogniser, const std::vector<std::string>& rows,
                         const TLineGuides& guides, int markAbove) {
  TPageFixture page(rows, guides);
  int largest = 0, largestArea = 0;
  for (int i = 0; i < page.Count(); ++i) {
    const TOCRChar& c = page.Record(i);
    if (c.Width() * c.Height() > largestArea) {
      largestArea = c.Width() * c.Height();
      largest = i;
    }
  }
  TRecordContext record(page, largest, TRecordContext::AsItStands);
  record.Glyph.MarkAbove = markAbove;
  return record.Run(recogniser);
}

TOffers TallLetterOffers(TRecogniser recogniser, const std::vector<std::string>& rows) {
  const int n = static_cast<int>(rows.size());
  TGlyphLineFixture line(TArtLine{{2, 2, n - 2, n + 2}, rows, {}});
  return line.Offers(recogniser, 0);
}

std::string InCase(char upper, bool lowerLine) {
  return std::string(1, lowerLine ? static_cast<char>(upper - 'A' + 'a') : upper);
}

void ExpectCasePair(const TOffers& offers, char upper, bool lowerLine) {
  ASSERT_EQ(offers.size(), 2u) << upper;
  EXPECT_EQ(offers[0].Char, InCase(upper, lowerLine)) << upper;
  EXPECT_EQ(offers[1].Char, InCase(upper, !lowerLine)) << upper;
  EXPECT_EQ(offers[1].Conf, offers[0].Conf * 98 / 100) << upper;
  EXPECT_GE(offers[0].Conf, 95) << upper;
}

void ExpectNothingOffered(const TLookAlikes& lookAlikes) {
  for (const char letter : lookAlikes.Letters)
    EXPECT_TRUE(lookAlikes.Line.OffersForChar(lookAlikes.Recogniser, letter - lookAlikes.First).empty())
        << lookAlikes.Name << " offers for " << letter;
}

std::string OffersText(const TOffers& offers) {
  std::string text;
  for (const TOffer& o : offers) text += (text.empty() ? "" : " ") + o.Char + std::to_string(o.Conf);
  return text;
}

int ConfOf(const TOffers& offers, const std::string& ch) {
  for (const TOffer& o : offers)
    if (o.Char == ch) return o.Conf;
  return 0;
}

std::string Reading(const TOCRChar& record) { return RecordText(record); }

}  // namespace omniocr::test
