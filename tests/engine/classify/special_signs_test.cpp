// The special sign recogniser on the rendered sign lines and on drawn and
// edited glyphs: what it offers, with which confidence, and what it must
// leave alone.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/classify/probes.h"
#include "engine/classify/recognisers.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// The characters of a "signs" line from the first sign of this recogniser.
constexpr int kFirstSign = 10;
const char* const kSigns[] = {"ß", "+", "$", "&", "?", "!", "*", "@", "§", "#", "€", "%"};
constexpr int kSignCount = 12;
constexpr int kSharpS = 10, kPlus = 11, kQuestion = 14, kExclamation = 15, kSection = 18, kEuro = 20,
              kPercent = 21;

// --- Rendered signs ---------------------------------------------------------

struct TLineCase {
  const char* Line;
  // Each sign's own offer, in the order of the line: ß + $ & ? ! * @ § # € %.
  int Conf[kSignCount];
};

// 0 where a rule turns the font's glyph away: the "&" whose upper loop stays
// open (the DejaVu faces) or whose top edge never falls toward its tail; the
// "§" whose middle strokes reach the middle column in the rows where it must
// be empty; a "$" whose stem ends a pixel to the right at its foot; the small
// monospaced "@" whose ring is open. A "%" that came apart into pieces is no
// one record.
const TLineCase kLineCases[] = {
    //                             ß   +    $    &    ?    !    *    @    §    #    €    %
    {"dejavu-sans-25-signs", {98, 100, 100, 0, 100, 100, 100, 100, 100, 100, 100, 0}},
    {"dejavu-sans-50-signs", {98, 100, 100, 0, 100, 100, 100, 100, 100, 100, 100, 0}},
    {"dejavu-serif-25-signs", {98, 100, 100, 0, 100, 100, 100, 100, 0, 100, 100, 0}},
    {"dejavu-serif-50-signs", {98, 100, 0, 0, 100, 100, 100, 100, 100, 100, 100, 0}},
    {"freeserif-25-signs", {98, 100, 100, 0, 100, 100, 100, 100, 0, 100, 100, 0}},
    {"freeserif-50-signs", {98, 100, 100, 95, 100, 100, 100, 100, 0, 100, 100, 99}},
    {"liberation-mono-25-signs", {98, 100, 100, 0, 100, 100, 100, 0, 100, 100, 100, 96}},
    {"liberation-mono-50-signs", {98, 100, 100, 0, 100, 100, 100, 100, 100, 100, 100, 100}},
    {"liberation-sans-25-signs", {98, 100, 100, 95, 100, 100, 100, 100, 100, 100, 100, 0}},
    {"liberation-sans-50-signs", {98, 100, 100, 95, 100, 100, 100, 100, 100, 100, 100, 0}},
    {"liberation-serif-25-signs", {98, 100, 100, 100, 100, 100, 100, 100, 0, 100, 100, 0}},
    {"liberation-serif-50-signs", {98, 100, 100, 100, 100, 100, 100, 100, 0, 100, 100, 0}},
};

// The offers as text, "ß98 +100 ... %0", so that a difference names its sign.
std::string OwnOffers(TGlyphLineFixture& line) {
  std::string text;
  for (int s = 0; s < kSignCount; ++s) {
    const int conf = ConfOf(line.OffersForChar(RecognizeSpecialSigns, kFirstSign + s), kSigns[s]);
    text += (s == 0 ? "" : " ") + std::string(kSigns[s]) + std::to_string(conf);
  }
  return text;
}

TEST(RenderedSigns, EachSignWithItsConfidence) {
  for (const TLineCase& t : kLineCases) {
    std::string expected;
    for (int s = 0; s < kSignCount; ++s)
      expected += (s == 0 ? "" : " ") + std::string(kSigns[s]) + std::to_string(t.Conf[s]);
    TGlyphLineFixture line(t.Line);
    EXPECT_EQ(OwnOffers(line), expected) << t.Line;
  }
}

TEST(RenderedSigns, SignsOutsideAsciiReadAsTheirCharacters) {
  TGlyphLineFixture line("liberation-sans-50-signs");
  EXPECT_EQ(line.ReadChar(kSharpS), "ß");
  EXPECT_EQ(line.ReadChar(kSection), "§");
  EXPECT_EQ(line.ReadChar(kEuro), "€");
}

// Letters whose shapes come closest to a sign get none.
class LetterLineSignTest : public ::testing::TestWithParam<std::string> {};

TEST_P(LetterLineSignTest, NoSignForLetters) {
  TGlyphLineFixture line(GetParam());
  const bool upper = GetParam().ends_with("upper");
  const std::string letters = upper ? "ABCDGHKOPRSX" : "abcegosx";
  for (const char letter : letters) {
    const TOffers offers = line.OffersForChar(RecognizeSpecialSigns, letter - (upper ? 'A' : 'a'));
    EXPECT_TRUE(offers.empty()) << letter << " offered " << offers.front().Char;
  }
}

INSTANTIATE_TEST_SUITE_P(Fonts, LetterLineSignTest, ::testing::ValuesIn(RenderedLines({"upper", "lower"})),
                         ParamName);

// --- Edited renderings ------------------------------------------------------

TEST(SharpS, OfferedOnlyWhenItReachesTheAscenderZone) {
  TArtLine art = LoadGlyphLine("dejavu-serif-50-signs");
  {
    TGlyphLineFixture line(art);
    ASSERT_EQ(ConfOf(line.OffersForChar(RecognizeSpecialSigns, kSharpS), "ß"), 98);
  }
  // Guides moved up over the top of the line: nothing reaches above the
  // middle of the ascender zone.
  art.Guides.Asc = 0;
  art.Guides.Mean = 1;
  TGlyphLineFixture line(art);
  EXPECT_EQ(ConfOf(line.OffersForChar(RecognizeSpecialSigns, kSharpS), "ß"), 0);
}

// The last row of a sign's bar or hook: above the gap over its dot.
int BodyBottom(const TGlyphLineFixture& line, const TOCRChar& sign) {
  auto rowInk = [&](int y) {
    return ProbeRect(*sign.Page, sign.Left, y, sign.Right, y, line.Engine.Threshold, 1) != 0;
  };
  int y = sign.Bottom;
  while (y > sign.Top && rowInk(y)) --y;
  while (y > sign.Top && !rowInk(y)) --y;
  return y;
}

// A "?" or "!" whose dot was not merged into its record is read from the
// bar or hook with the dot found on the page below the box; with no dot
// there it is not offered.
TEST(DotBelowTheBox, QuestionAndExclamationFindTheirDotOnThePage) {
  for (const char* name : {"dejavu-sans-50-signs", "liberation-serif-25-signs"}) {
    for (const int k : {kQuestion, kExclamation}) {
      const char* sign = kSigns[k - kFirstSign];
      SCOPED_TRACE(std::string(name) + " " + sign);
      TArtLine art = LoadGlyphLine(name);
      TGlyphLineFixture merged(art);
      const int i = merged.RecordOfChar(k);
      const TOCRChar whole = merged.Record(i);
      const int body = BodyBottom(merged, whole);
      ASSERT_LT(body, whole.Bottom - 2) << "the dot is part of the record";
      EXPECT_EQ(ConfOf(merged.Offers(RecognizeSpecialSigns, i), sign), 100);

      TGlyphLineFixture apart(art);
      apart.Record(i).Bottom = body;
      EXPECT_EQ(ConfOf(apart.Offers(RecognizeSpecialSigns, i), sign), 100) << "dot below the box";

      for (int y = body + 1; y < static_cast<int>(art.Rows.size()); ++y)
        for (int x = whole.Left; x <= whole.Right; ++x) art.Rows[y][x] = '.';
      TGlyphLineFixture bare(art);
      EXPECT_EQ(ConfOf(bare.OffersForChar(RecognizeSpecialSigns, k), sign), 0) << "no dot";
    }
  }
}

// The "%" test looks a quarter width past the box's right side; where the
// page ends there, the missing columns read as paper.
TEST(Percent, AtTheRightEdgeOfThePage) {
  TArtLine art = LoadGlyphLine("liberation-mono-50-signs");
  int right = 0, conf = 0;
  {
    TGlyphLineFixture line(art);
    right = line.Record(line.RecordOfChar(kPercent)).Right;
    conf = ConfOf(line.OffersForChar(RecognizeSpecialSigns, kPercent), "%");
    ASSERT_EQ(conf, 100);
  }
  for (std::string& row : art.Rows) row.resize(right + 1);
  TGlyphLineFixture line(art);
  ASSERT_EQ(line.Record(line.RecordOfChar(kPercent)).Right, right);
  EXPECT_EQ(ConfOf(line.OffersForChar(RecognizeSpecialSigns, kPercent), "%"), conf);
}

// --- Drawn glyphs -------------------------------------------------------------

// A line with a margin of paper around the art; its first record's offers.
TOffers SignOffersOfDrawing(const std::vector<std::string>& art) {
  TGlyphLineFixture page(TArtLine{{2, 4, 14, 17}, OnPaper(art, 3, 3, 3), {}});
  EXPECT_EQ(page.Count(), 1);
  return page.Offers(RecognizeSpecialSigns, 0);
}

TEST(Plus, NeedsABarAcrossTheMiddle) {
  struct TCase {
    const char* Name;
    std::vector<std::string> Art;
    int Conf;
  };
  const TCase cases[] = {
      {"full bar",
       {"....##....",  //
        "....##....",  //
        "....##....",  //
        "....##....",  //
        "##########",  //
        "##########",  //
        "....##....",  //
        "....##....",  //
        "....##....",  //
        "....##...."},
       100},
      {"no row of the bar complete",  //
       {"....##....",                 //
        "....##....",                 //
        "....##....",                 //
        "....##....",                 //
        "#######.##",                 //
        "##.#######",                 //
        "....##....",                 //
        "....##....",                 //
        "....##....",                 //
        "....##...."},
       0},
  };
  for (const TCase& t : cases) EXPECT_EQ(ConfOf(SignOffersOfDrawing(t.Art), "+"), t.Conf) << t.Name;
}

}  // namespace
}  // namespace omniocr::test
