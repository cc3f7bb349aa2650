#include "engine/classify/candidates.h"

#include <array>
#include <cstddef>
#include <iterator>

#include "dibunit/errors.h"
#include "engine/omnifont_ocr.h"

namespace omniocr {

namespace {

struct TComposition {
  TCharCode Accent;
  TCharCode Base;
  TCharCode Composed;
};

// Every base character that takes each mark, with its precomposed form. The
// digit 0 composes like the capital O; with the dot above, "," and "." give
// ";" and ":".
constexpr TComposition kCompositions[] = {
    // acute
    {180, u'0', 0x00D3},
    {180, u'O', 0x00D3},
    {180, u'A', 0x00C1},
    {180, u'C', 0x0106},
    {180, u'E', 0x00C9},
    {180, u'G', 0x01F4},
    {180, u'I', 0x00CD},
    {180, u'L', 0x0139},
    {180, u'N', 0x0143},
    {180, u'R', 0x0154},
    {180, u'S', 0x015A},
    {180, u'U', 0x00DA},
    {180, u'Y', 0x00DD},
    {180, u'Z', 0x0179},
    {180, u'a', 0x00E1},
    {180, u'c', 0x0107},
    {180, u'e', 0x00E9},
    {180, u'g', 0x01F5},
    {180, u'i', 0x00ED},
    {180, u'l', 0x013A},
    {180, u'n', 0x0144},
    {180, u'o', 0x00F3},
    {180, u'r', 0x0155},
    {180, u's', 0x015B},
    {180, u'u', 0x00FA},
    {180, u'y', 0x00FD},
    {180, u'z', 0x017A},
    // breve
    {728, u'A', 0x0102},
    {728, u'E', 0x0114},
    {728, u'G', 0x011E},
    {728, u'I', 0x012C},
    {728, u'O', 0x014E},
    {728, u'U', 0x016C},
    {728, u'a', 0x0103},
    {728, u'e', 0x0115},
    {728, u'g', 0x011F},
    {728, u'i', 0x012D},
    {728, u'o', 0x014F},
    {728, u'u', 0x016D},
    // caron
    {711, u'0', 0x01D1},
    {711, u'O', 0x01D1},
    {711, u'A', 0x01CD},
    {711, u'C', 0x010C},
    {711, u'E', 0x011A},
    {711, u'I', 0x01CF},
    {711, u'S', 0x0160},
    {711, u'U', 0x01D3},
    {711, u'Z', 0x017D},
    {711, u'a', 0x01CE},
    {711, u'c', 0x010D},
    {711, u'e', 0x011B},
    {711, u'i', 0x01D0},
    {711, u'o', 0x01D2},
    {711, u's', 0x0161},
    {711, u'u', 0x01D4},
    {711, u'z', 0x017E},
    // tilde
    {126, u'0', 0x00D5},
    {126, u'O', 0x00D5},
    {126, u'A', 0x00C3},
    {126, u'I', 0x0128},
    {126, u'N', 0x00D1},
    {126, u'U', 0x0168},
    {126, u'a', 0x00E3},
    {126, u'i', 0x0129},
    {126, u'n', 0x00F1},
    {126, u'o', 0x00F5},
    {126, u'u', 0x0169},
    // grave
    {96, u'0', 0x00D2},
    {96, u'O', 0x00D2},
    {96, u'A', 0x00C0},
    {96, u'E', 0x00C8},
    {96, u'I', 0x00CC},
    {96, u'N', 0x01F8},
    {96, u'U', 0x00D9},
    {96, u'a', 0x00E0},
    {96, u'e', 0x00E8},
    {96, u'i', 0x00EC},
    {96, u'n', 0x01F9},
    {96, u'o', 0x00F2},
    {96, u'u', 0x00F9},
    // diaeresis
    {168, u'0', 0x00D6},
    {168, u'O', 0x00D6},
    {168, u'A', 0x00C4},
    {168, u'E', 0x00CB},
    {168, u'I', 0x00CF},
    {168, u'U', 0x00DC},
    {168, u'Y', 0x0178},
    {168, u'a', 0x00E4},
    {168, u'e', 0x00EB},
    {168, u'i', 0x00EF},
    {168, u'o', 0x00F6},
    {168, u'u', 0x00FC},
    {168, u'y', 0x00FF},
    // circumflex
    {94, u'0', 0x00D4},
    {94, u'O', 0x00D4},
    {94, u'A', 0x00C2},
    {94, u'C', 0x0108},
    {94, u'E', 0x00CA},
    {94, u'G', 0x011C},
    {94, u'H', 0x0124},
    {94, u'I', 0x00CE},
    {94, u'J', 0x0134},
    {94, u'S', 0x015C},
    {94, u'U', 0x00DB},
    {94, u'W', 0x0174},
    {94, u'Y', 0x0176},
    {94, u'a', 0x00E2},
    {94, u'c', 0x0109},
    {94, u'e', 0x00EA},
    {94, u'g', 0x011D},
    {94, u'h', 0x0125},
    {94, u'i', 0x00EE},
    {94, u'j', 0x0135},
    {94, u'o', 0x00F4},
    {94, u's', 0x015D},
    {94, u'u', 0x00FB},
    {94, u'w', 0x0175},
    {94, u'y', 0x0177},
    // macron
    {175, u'A', 0x0100},
    {175, u'E', 0x0112},
    {175, u'I', 0x012A},
    {175, u'O', 0x014C},
    {175, u'U', 0x016A},
    {175, u'Y', 0x0232},
    {175, u'a', 0x0101},
    {175, u'e', 0x0113},
    {175, u'i', 0x012B},
    {175, u'o', 0x014D},
    {175, u'u', 0x016B},
    {175, u'y', 0x0233},
    // dot above
    {729, u',', 0x003B},
    {729, u'.', 0x003A},
    {729, u'A', 0x0226},
    {729, u'C', 0x010A},
    {729, u'E', 0x0116},
    {729, u'G', 0x0120},
    {729, u'I', 0x0130},
    {729, u'O', 0x022E},
    {729, u'Z', 0x017B},
    {729, u'a', 0x0227},
    {729, u'c', 0x010B},
    {729, u'e', 0x0117},
    {729, u'g', 0x0121},
    {729, u'o', 0x022F},
    {729, u'z', 0x017C},
    // ring above
    {730, u'A', 0x00C5},
    {730, u'U', 0x016E},
    {730, u'a', 0x00E5},
    {730, u'u', 0x016F},
};

// The table by accent, each with the composed form of every ASCII base (0
// where it has none): a composition is looked up on every offer to a
// record with an accent. The first entry of a pair wins, as in the table.
constexpr int kAsciiBases = 128;

struct TAccentCompositions {
  TCharCode Accent = 0;
  std::array<TCharCode, kAsciiBases> Composed{};
};

constexpr int CountAccents() {
  int n = 0;
  for (std::size_t i = 0; i < std::size(kCompositions); ++i) {
    bool seen = false;
    for (std::size_t k = 0; k < i; ++k) seen = seen || kCompositions[k].Accent == kCompositions[i].Accent;
    n += seen ? 0 : 1;
  }
  return n;
}

constexpr auto kByAccent = [] {
  std::array<TAccentCompositions, CountAccents()> byAccent{};
  int n = 0;
  for (const TComposition& c : kCompositions) {
    int i = 0;
    while (i < n && byAccent[i].Accent != c.Accent) ++i;
    if (i == n) byAccent[n++].Accent = c.Accent;
    if (byAccent[i].Composed[c.Base] == 0) byAccent[i].Composed[c.Base] = c.Composed;
  }
  return byAccent;
}();

static_assert([] {
  for (const TComposition& c : kCompositions)
    if (c.Base >= kAsciiBases || c.Composed == 0) return false;
  return true;
}());

// The lowest code among the accents: a code below it composes nothing (as
// the driver's "no accent yet" does).
constexpr TCharCode kLowestAccent = [] {
  TCharCode lowest = kByAccent[0].Accent;
  for (const TAccentCompositions& a : kByAccent) lowest = a.Accent < lowest ? a.Accent : lowest;
  return lowest;
}();

static_assert(kLowestAccent > 0, "0 is no accent");

}  // namespace

TCharCode ComposeAccent(TCharCode ch, TCharCode accent) {
  if (ch == NoChar || ch == RejectedChar || accent < kLowestAccent || ch >= kAsciiBases) return ch;
  for (const TAccentCompositions& a : kByAccent)
    if (a.Accent == accent) return a.Composed[ch] != 0 ? a.Composed[ch] : ch;
  return ch;
}

void SetAC(const TOmnifontOCR& engine, TOCRChar& glyph, TCharCode ch, int confidence) {
  if (glyph.CandCount > kMaxCandidates || glyph.CandCount < 0) throw EOCRError("Something wrong in setac()!");
  if (ch == NoChar) throw EOCRError("SetAC called with bad parameters");
  if (!engine.AllowedChars.empty() && engine.AllowedChars.find(ch) == std::u16string::npos) return;
  ch = ComposeAccent(ch, glyph.Accent);

  int& count = glyph.CandCount;
  for (int i = 0; i < count; ++i) {
    if (glyph.CandChar[i] != ch) continue;
    if (glyph.CandConf[i] >= confidence) return;  // a character keeps its best confidence
    for (int k = i; k < count - 1; ++k) {
      glyph.CandChar[k] = glyph.CandChar[k + 1];
      glyph.CandConf[k] = glyph.CandConf[k + 1];
    }
    --count;
    break;
  }
  int j = 0;
  while (j < count && glyph.CandConf[j] >= confidence) ++j;
  if (count < 9) ++count;
  for (int k = count - 1; k > j; --k) {
    glyph.CandChar[k] = glyph.CandChar[k - 1];
    glyph.CandConf[k] = glyph.CandConf[k - 1];
  }
  if (j < count) {
    glyph.CandChar[j] = ch;
    glyph.CandConf[j] = static_cast<std::uint16_t>(confidence);
  }
  if (j == 0) glyph.BestChar = ch;
}

void SetSeparatorCandidate(TOCRChar& record, TCharCode separator) {
  record.CandCount = 1;
  record.CandChar[0] = separator;
  record.CandConf[0] = 100;
  record.BestChar = separator;
}

}  // namespace omniocr
