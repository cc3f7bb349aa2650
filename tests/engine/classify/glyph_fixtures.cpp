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
  Read(i);
  TOCRChar& g = Record(i);
  const int thr = Engine.Threshold;
  int seedX = 0, seedY = 0;
  ChooseGlyphSeed(g, thr, seedX, seedY);
  const std::unique_ptr<TDIB> bitmap = CutGlyphBitmap(Engine, g, seedX, seedY, thr);
  TRecogContext context;
  context.Glyph = &g;
  context.Bitmap = bitmap.get();
  context.Threshold = thr;
  context.Tall = IsTall(g);
  context.Descends = IsDescending(g);
  CountHoles(Engine, *g.Page, g.Left, g.Top, g.Right, g.Bottom, thr, &context.HoleList);
  g.CandCount = 0;
  g.BestChar = NoChar;
  RunGuarded(recogniser, Engine, context);
  TOffers offers;
  for (int k = 0; k < g.CandCount; ++k)
    offers.push_back({Utf8Encode(CodeToUnicode(g.CandChar[k])), g.CandConf[k]});
  return offers;
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

int ConfOf(const TOffers& offers, const std::string& ch) {
  for (const TOffer& o : offers)
    if (o.Char == ch) return o.Conf;
  return 0;
}

std::string Reading(const TOCRChar& record) { return RecordText(record); }

}  // namespace omniocr::test
