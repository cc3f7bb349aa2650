#pragma once

// Result records and the small types shared by every stage of the engine.

#include <cstdint>
#include <memory>
#include <vector>

namespace omniocr {

class TDIB;

// Character codes are UTF-16 code units.
using TCharCode = char16_t;
constexpr TCharCode NoChar = 0;             // nothing recognised (yet)
constexpr TCharCode RejectedChar = 0xE001;  // the record is no character
constexpr TCharCode SpaceChar = 32;
constexpr TCharCode LineBreakChar = 13;

enum TAreaType : std::uint8_t {
  atCharacter = 0,
  atWord = 1,
  atTextLine = 2,
  atParagraph = 3,
  atRegions = 4,
};

enum TSpotRemoval : std::uint8_t {
  srNone = 0,
  srSmart = 1,
  srAlways = 2,
};

constexpr int kMaxCandidates = 10;  // slots; the candidate list keeps at most 9

// One record of the result list: a character, a space or a line break.
struct TOCRChar {
  std::int32_t Left = 0;
  std::int32_t Right = 0;
  std::int32_t Top = 0;
  std::int32_t Bottom = 0;
  std::int32_t StartX = 0;
  std::int32_t StartY = 0;
  std::int32_t MarkAbove = 0;
  std::int32_t InkCount = 0;
  TCharCode BestChar = NoChar;
  TCharCode Accent = 0;
  std::int32_t Id = 0;
  std::int32_t LineNo = 0;
  std::int32_t AscLine = 0;
  std::int32_t MeanLine = 0;
  std::int32_t BaseLine = 0;
  std::int32_t DescLine = 0;
  TDIB* Page = nullptr;  // valid only while the run lasts
  std::int32_t CandCount = 0;
  TCharCode CandChar[kMaxCandidates] = {};
  std::uint16_t CandConf[kMaxCandidates] = {};

  int Width() const { return Right - Left + 1; }
  int Height() const { return Bottom - Top + 1; }
  // A box whose right edge lies left of its left edge (line breaks usually)
  // covers no pixel: nothing is sized from it or drawn for it.
  bool HasEmptyBox() const { return Right < Left || Bottom < Top; }
  bool IsRejected() const { return BestChar == RejectedChar; }
};

// One entry of the line table.
struct TLineEntry {
  std::int32_t Asc = 0;
  std::int32_t Mean = 0;
  std::int32_t Base = 0;
  std::int32_t Desc = 0;
  std::int32_t MinX = 0;
  std::int32_t MaxX = 0;
};

constexpr int MAXlines = 2048;

// The ordered result list. It owns its records; positions are indices.
class TCharList {
 public:
  int Count() const { return static_cast<int>(Items.size()); }
  TOCRChar* operator[](int index) const { return Items[static_cast<std::size_t>(index)].get(); }
  TOCRChar* Add(std::unique_ptr<TOCRChar> record) {
    Items.push_back(std::move(record));
    return Items.back().get();
  }
  TOCRChar* Insert(int index, std::unique_ptr<TOCRChar> record) {
    auto it = Items.insert(Items.begin() + index, std::move(record));
    return it->get();
  }
  // Frees the record at index and closes the gap.
  void Delete(int index) { Items.erase(Items.begin() + index); }
  // Empties the list. Its records are kept, to come back from Fresh for the
  // next page: a page makes a record for every character.
  void Clear() {
    for (std::unique_ptr<TOCRChar>& record : Items)
      if (record) Spare.push_back(std::move(record));
    Items.clear();
  }
  // A record holding what a newly made one holds, not yet in the list.
  std::unique_ptr<TOCRChar> Fresh() {
    if (Spare.empty()) return std::make_unique<TOCRChar>();
    std::unique_ptr<TOCRChar> record = std::move(Spare.back());
    Spare.pop_back();
    *record = TOCRChar{};
    return record;
  }
  // Direct access for stages that reorder the list as a whole.
  std::vector<std::unique_ptr<TOCRChar>>& Storage() { return Items; }

 private:
  std::vector<std::unique_ptr<TOCRChar>> Items;
  std::vector<std::unique_ptr<TOCRChar>> Spare;  // records of earlier pages
};

// Gives `to` the text line and guide lines of `from`.
inline void CopyLineFields(TOCRChar& to, const TOCRChar& from) {
  to.LineNo = from.LineNo;
  to.AscLine = from.AscLine;
  to.MeanLine = from.MeanLine;
  to.BaseLine = from.BaseLine;
  to.DescLine = from.DescLine;
}

// A copy of a record for a stage that creates one from another.
inline std::unique_ptr<TOCRChar> CopyRecord(const TOCRChar& source) {
  return std::make_unique<TOCRChar>(source);
}

}  // namespace omniocr
