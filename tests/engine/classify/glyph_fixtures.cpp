#include "glyph_fixtures.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

#include "engine/char_codes.h"
#include "engine/classify/driver.h"
#include "support/test_bitmaps.h"

namespace omniocr::test {

namespace {

// tests/data, found from this source's own path (tests/engine/classify/).
std::string TestDataDir() {
  std::string here = __FILE__;
  for (int up = 0; up < 3; ++up) here = here.substr(0, here.find_last_of('/'));
  return here + "/data";
}

}  // namespace

TArtLine LoadDigitLine(const std::string& name) {
  const std::string path = TestDataDir() + "/digits/" + name + ".txt";
  std::ifstream in(path);
  if (!in) throw std::runtime_error("missing fixture " + path);
  TArtLine line;
  in >> line.Guides.Asc >> line.Guides.Mean >> line.Guides.Base >> line.Guides.Desc;
  std::string row;
  std::getline(in, row);
  while (std::getline(in, row))
    if (!row.empty()) line.Rows.push_back(row);
  return line;
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

std::string Reading(const TOCRChar& record) { return RecordText(record); }

}  // namespace omniocr::test
