// The driver's memory of its dispatches: a dispatch given from memory must
// leave the record exactly as a real one would, and anything that could
// change what a dispatch reads must make it run again.

#include "engine/classify/dispatch_memo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/classify/candidates.h"
#include "engine/classify/dispatcher.h"
#include "engine/classify/driver.h"
#include "engine/classify/grey_band.h"
#include "engine/classify/probe_scratch.h"
#include "glyph_fixtures.h"

namespace omniocr::test {
namespace {

// The same fields and candidates; the pages may be two copies of one.
bool SameRecord(const TOCRChar& a, const TOCRChar& b) {
  TGlyphState stateB = StateOf(b);
  stateB.Page = a.Page;
  if (!(StateOf(a) == stateB) || a.BestChar != b.BestChar || a.CandCount != b.CandCount) return false;
  for (int k = 0; k < a.CandCount; ++k)
    if (a.CandChar[k] != b.CandChar[k] || a.CandConf[k] != b.CandConf[k]) return false;
  return true;
}

struct TOfferCall {
  TCharCode Char;
  int Conf;
};

// The memory rests on this: offering again what a list was offered once, after
// any number of other offers, changes nothing (a character keeps its best
// confidence; a full list never takes back a character it dropped, since its
// lowest confidence only rises). Ties and full lists are the cases that matter,
// so the offers come from a few characters and a few confidences.
TEST(DispatchMemo, OffersMadeAgainLeaveTheListAsItIs) {
  TOmnifontOCR engine;
  std::mt19937 random(7);
  auto someOffers = [&](int n) {
    std::vector<TOfferCall> offers;
    for (int k = 0; k < n; ++k)
      offers.push_back({static_cast<TCharCode>(u'a' + random() % 14), 85 + static_cast<int>(random() % 6)});
    return offers;
  };
  for (int round = 0; round < 2000; ++round) {
    TOCRChar g;
    for (const TOfferCall& o : someOffers(random() % 12)) SetAC(engine, g, o.Char, o.Conf);
    const std::vector<TOfferCall> repeated = someOffers(1 + random() % 12);
    for (const TOfferCall& o : repeated) SetAC(engine, g, o.Char, o.Conf);
    for (const TOfferCall& o : someOffers(random() % 12)) SetAC(engine, g, o.Char, o.Conf);
    const TOCRChar before = g;
    for (const TOfferCall& o : repeated) SetAC(engine, g, o.Char, o.Conf);
    ASSERT_TRUE(SameRecord(g, before)) << "round " << round;
  }
}

// Two engines on the same page: one dispatches through the memory, the other
// always for real.
struct TTwinPages {
  explicit TTwinPages(const std::string& line) : Memo(LoadGlyphLine(line)), Real(LoadGlyphLine(line)) {}
  TGlyphLineFixture Memo;
  TGlyphLineFixture Real;
};

std::unique_ptr<TDIB> CutAtExtractionSeed(TOmnifontOCR& engine, const TOCRChar& g) {
  return CutGlyphBitmap(engine, g, g.StartX, g.StartY, engine.Threshold);
}

// Every glyph of a few rendered lines is dispatched, dispatched once more at
// another threshold, then in the other neighbourhood and asked for again with
// its fields as they were at the start, as the driver's retries and its second
// pass do: the answer from memory must be what a real dispatch gives, record
// and count alike.
TEST(DispatchMemo, RepeatedDispatchIsWhatARealOneGives) {
  int replays = 0, changedFields = 0;
  for (const char* line : {"dejavu-serif-25-lower", "freeserif-25-signs", "liberation-sans-25-upper"}) {
    TTwinPages pages(line);
    ASSERT_EQ(pages.Memo.Count(), pages.Real.Count());
    TDispatchMemo memo;
    for (int i = 0; i < pages.Memo.Count(); ++i) {
      SCOPED_TRACE(std::string(line) + " record " + std::to_string(i));
      TOCRChar& a = pages.Memo.Record(i);
      TOCRChar& b = pages.Real.Record(i);
      const TGlyphState start = StateOf(a);
      const int thr = pages.Memo.Engine.Threshold;
      const auto bitmapA = CutAtExtractionSeed(pages.Memo.Engine, a);
      const auto bitmapB = CutAtExtractionSeed(pages.Real.Engine, b);
      const TDispatchMemo::TCallScope call(memo);
      const std::int64_t replaysBefore = memo.Replays();

      EXPECT_EQ(memo.Dispatch(pages.Memo.Engine, a, *bitmapA, thr),
                DispatchGlyph(pages.Real.Engine, b, *bitmapB, thr));
      if (!(StateOf(a) == start)) ++changedFields;
      EXPECT_EQ(memo.Dispatch(pages.Memo.Engine, a, *bitmapA, thr + 32),
                DispatchGlyph(pages.Real.Engine, b, *bitmapB, thr + 32));
      RestoreState(a, start);
      RestoreState(b, start);
      ++pages.Memo.Engine.FillPass;  // the other neighbourhood
      ++pages.Real.Engine.FillPass;
      EXPECT_EQ(memo.Dispatch(pages.Memo.Engine, a, *bitmapA, thr),
                DispatchGlyph(pages.Real.Engine, b, *bitmapB, thr));
      --pages.Memo.Engine.FillPass;
      --pages.Real.Engine.FillPass;
      RestoreState(a, start);
      RestoreState(b, start);
      EXPECT_EQ(memo.Dispatch(pages.Memo.Engine, a, *bitmapA, thr),
                DispatchGlyph(pages.Real.Engine, b, *bitmapB, thr));

      EXPECT_TRUE(SameRecord(a, b));
      EXPECT_EQ(pages.Memo.Engine.DispatchCount, pages.Real.Engine.DispatchCount);
      replays += static_cast<int>(memo.Replays() - replaysBefore);
    }
  }
  // The lines hold glyphs whose head stays what the first dispatch left, and
  // glyphs whose first dispatch moved their box.
  EXPECT_GT(replays, 0);
  EXPECT_GT(changedFields, 0);
}

// A drawn dash on a line: the punctuation rules end its dispatch with "-".
const TLineGuides kLine{2, 10, 20, 26};

std::vector<std::string> Dash() {
  std::vector<std::string> rows(28, std::string(30, '.'));
  for (int y = 14; y <= 15; ++y)
    for (int x = 4; x <= 15; ++x) rows[y][x] = '#';
  return rows;
}

// A punctuation rule's character is the dispatch's answer even when another
// reading heads the list; from memory too.
TEST(DispatchMemo, PunctuationAnswerComesBackUnderAnotherHead) {
  TPageFixture f(Dash(), kLine);
  ASSERT_EQ(f.Count(), 1);
  TOCRChar& g = f.Record(0);
  SetAC(f.Engine, g, u'x', 100);
  const TGlyphState start = StateOf(g);
  const auto bitmap = CutAtExtractionSeed(f.Engine, g);
  TDispatchMemo memo;
  const TDispatchMemo::TCallScope call(memo);
  EXPECT_EQ(memo.Dispatch(f.Engine, g, *bitmap, f.Engine.Threshold), u'-');
  RestoreState(g, start);
  EXPECT_EQ(memo.Dispatch(f.Engine, g, *bitmap, f.Engine.Threshold), u'-');
  EXPECT_EQ(memo.Replays(), 1);
  EXPECT_EQ(g.BestChar, u'x');
  EXPECT_EQ(f.Engine.DispatchCount, 2);
}

// What a dispatch reads, changed one thing at a time after a first dispatch:
// only a change the dispatch cannot see (FillPass by two, or by one where no
// two paper pixels touch only at a corner, or the threshold on a page with no
// grey level between) is answered from memory.
TEST(DispatchMemo, AnythingADispatchReadsMakesItRunAgain) {
  struct TCase {
    const char* what;
    bool replayed;
    void (*change)(TPageFixture& f, TOCRChar& g, TDIB& bitmap, int& thr, TDispatchMemo& memo);
  } cases[] = {
      {"nothing", true, [](TPageFixture&, TOCRChar&, TDIB&, int&, TDispatchMemo&) {}},
      {"FillPass by two", true,
       [](TPageFixture& f, TOCRChar&, TDIB&, int&, TDispatchMemo&) { f.Engine.FillPass += 2; }},
      {"FillPass by one", true,
       [](TPageFixture& f, TOCRChar&, TDIB&, int&, TDispatchMemo&) { f.Engine.FillPass += 1; }},
      {"threshold", true, [](TPageFixture&, TOCRChar&, TDIB&, int& thr, TDispatchMemo&) { thr += 8; }},
      {"a glyph pixel", false,
       [](TPageFixture&, TOCRChar&, TDIB& b, int&, TDispatchMemo&) { b.Row(1)[1] ^= 1; }},
      {"a record field", false,
       [](TPageFixture&, TOCRChar& g, TDIB&, int&, TDispatchMemo&) { g.MarkAbove = 1; }},
      {"the page", false, [](TPageFixture&, TOCRChar&, TDIB&, int&, TDispatchMemo& m) { m.Forget(); }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPageFixture f({"......", ".####.", ".#..#.", ".#.##.", ".####.", "......"}, {0, 1, 4, 6});
    TOCRChar& g = f.Record(0);
    const auto bitmap = CutAtExtractionSeed(f.Engine, g);
    TDispatchMemo memo;
    const TDispatchMemo::TCallScope call(memo);
    int thr = f.Engine.Threshold;
    memo.Dispatch(f.Engine, g, *bitmap, thr);
    c.change(f, g, *bitmap, thr, memo);
    memo.Dispatch(f.Engine, g, *bitmap, thr);
    EXPECT_EQ(memo.Replays(), c.replayed ? 1 : 0);
    EXPECT_EQ(f.Engine.DispatchCount, 2);
  }
}

// The other neighbourhood: the same dispatch when every hole count comes out
// the same there, also where paper touches only at a corner; a new one when
// a hole opens to the outside through such a corner.
TEST(DispatchMemo, OtherNeighbourhoodIsTheSameWhereTheHolesAre) {
  struct TCase {
    const char* what;
    std::vector<std::string> rows;
    bool replayed;
  } cases[] = {
      {"corner outside the holes", {".......", ".###...", ".#.#...", ".###...", "....#..", "......."}, true},
      {"hole open at a corner",
       {".......", ".#####.", ".#...#.", ".#...#.", ".#...#.", ".####..", "......."},
       false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPageFixture f(c.rows, {0, 1, static_cast<int>(c.rows.size()) - 2, static_cast<int>(c.rows.size())});
    TOCRChar& g = f.Record(0);
    const auto bitmap = CutAtExtractionSeed(f.Engine, g);
    TDispatchMemo memo;
    const TDispatchMemo::TCallScope call(memo);
    const TGlyphState start = StateOf(g);
    memo.Dispatch(f.Engine, g, *bitmap, f.Engine.Threshold);
    RestoreState(g, start);
    ++f.Engine.FillPass;
    memo.Dispatch(f.Engine, g, *bitmap, f.Engine.Threshold);
    EXPECT_EQ(memo.Replays(), c.replayed ? 1 : 0);
  }
}

// Another threshold: the same dispatch while no pixel of the page or of the
// glyph bitmap lies between the two, wherever it is; a new one otherwise.
TEST(DispatchMemo, AnotherThresholdIsTheSameWithNoGreyBetween) {
  struct TCase {
    const char* what;
    void (*grey)(TDIB& page, TDIB& bitmap, int thr);
    bool replayed;
  } cases[] = {
      {"black and white only", [](TDIB&, TDIB&, int) {}, true},
      {"a grey pixel far from the glyph",
       [](TDIB& page, TDIB&, int thr) { page.Row(0)[0] = static_cast<std::uint8_t>(thr - 1); }, false},
      {"a grey pixel of the glyph",
       [](TDIB&, TDIB& b, int thr) { b.Row(1)[1] = static_cast<std::uint8_t>(thr - 1); }, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPageFixture f({"........", "........", "..####..", "..#..#..", "..#.##..", "..####..", "........"},
                   {1, 2, 5, 7});
    TOCRChar& g = f.Record(0);
    const auto bitmap = CutAtExtractionSeed(f.Engine, g);
    const int thr = f.Engine.Threshold;
    c.grey(*f.Engine.Page, *bitmap, thr);
    TDispatchMemo memo;
    const TDispatchMemo::TCallScope call(memo);
    const TGlyphState start = StateOf(g);
    memo.Dispatch(f.Engine, g, *bitmap, thr);
    RestoreState(g, start);
    memo.Dispatch(f.Engine, g, *bitmap, thr - 8);
    EXPECT_EQ(memo.Replays(), c.replayed ? 1 : 0);
  }
}

// The bytes that pad a row of the glyph bitmap to its stride are not pixels:
// whatever they hold, before the first dispatch or changed after it, the
// dispatch is the same, also at another threshold on a black and white page;
// the last pixel of a row is read.
TEST(DispatchMemo, PaddingOfTheRowsIsNoPixel) {
  struct TCase {
    const char* what;
    int column;   // of row 1, counted from the row's start
    bool before;  // changed before the first dispatch, else after it
    int thrShift;
    bool replayed;
  } cases[] = {
      {"padding changed", 5, false, 0, true},
      {"padding in the band", 5, true, -8, true},
      {"last pixel changed", 4, false, 0, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.what);
    TPageFixture f({".......", ".#####.", ".#...#.", ".#.###.", ".#####.", "......."}, {0, 1, 4, 6});
    TOCRChar& g = f.Record(0);
    const auto bitmap = CutAtExtractionSeed(f.Engine, g);
    ASSERT_EQ(bitmap->Width(), 5);
    ASSERT_GT(bitmap->Stride, 5);
    const int thr = f.Engine.Threshold;
    // A grey level ink at the first threshold and paper at the second.
    auto change = [&] { bitmap->Row(1)[c.column] = static_cast<std::uint8_t>(TGreyBand(thr, thr - 8).Lo); };
    TDispatchMemo memo;
    const TDispatchMemo::TCallScope call(memo);
    const TGlyphState start = StateOf(g);
    if (c.before) change();
    memo.Dispatch(f.Engine, g, *bitmap, thr);
    RestoreState(g, start);
    if (!c.before) change();
    memo.Dispatch(f.Engine, g, *bitmap, thr + c.thrShift);
    EXPECT_EQ(memo.Replays(), c.replayed ? 1 : 0);
  }
}

// A record with the same fields is another candidate list; and nothing is
// remembered outside a driver call or from one call into the next.
TEST(DispatchMemo, RemembersOnlyTheSameRecordInOneCall) {
  TPageFixture f({"......", ".####.", ".#..#.", ".#.##.", ".####.", "......"}, {0, 1, 4, 6});
  TOCRChar& g = f.Record(0);
  TOCRChar twin = g;
  const auto bitmap = CutAtExtractionSeed(f.Engine, g);
  TDispatchMemo memo;
  const int thr = f.Engine.Threshold;
  memo.Dispatch(f.Engine, g, *bitmap, thr);
  memo.Dispatch(f.Engine, g, *bitmap, thr);
  EXPECT_EQ(memo.Replays(), 0) << "outside a call";
  {
    const TDispatchMemo::TCallScope call(memo);
    memo.Dispatch(f.Engine, g, *bitmap, thr);
    memo.Dispatch(f.Engine, twin, *bitmap, thr);
    EXPECT_EQ(memo.Replays(), 0) << "another record";
  }
  const TDispatchMemo::TCallScope next(memo);
  memo.Dispatch(f.Engine, g, *bitmap, thr);
  EXPECT_EQ(memo.Replays(), 0) << "the next call";
  EXPECT_EQ(f.Engine.DispatchCount, 5);
}

// The driver on a blob no rule reads: of its ten dispatches (the first, two
// neighbourhood passes, two grey retries, and all of them again with the
// accent sentinel) only the first sees something new on a black and white
// page (its hole is the same in either neighbourhood); a grey level between
// the threshold and the one 32 above makes that retry real.
TEST(DispatchMemo, DriverComputesOnlyWhatIsNew) {
  for (const bool grey : {false, true}) {
    SCOPED_TRACE(grey ? "grey" : "black and white");
    TPageFixture f({"......", ".####.", ".#..#.", ".#.##.", ".####.", "......"}, {0, 1, 4, 6});
    if (grey) f.Engine.Page->Row(5)[0] = static_cast<std::uint8_t>(f.Engine.Threshold + 8);
    EXPECT_EQ(f.Read(0), NoChar);
    EXPECT_EQ(f.Engine.DispatchCount, 10);
    EXPECT_EQ(f.Engine.Scratch().Dispatches.Replays(), grey ? 8 : 9);
  }
}

}  // namespace
}  // namespace omniocr::test
