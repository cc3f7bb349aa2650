#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "dibunit/errors.h"
#include "dibunit/threshold.h"
#include "engine/omnifont_ocr.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

using test::FillRect;
using test::MakeGrey;
using test::MakePackedDib;
using test::PackBitmap;
using test::TOwnedHandle;

std::string RunError(TOmnifontOCR& engine, TGlobalHandle handle, TAreaType area = atParagraph,
                     const TOmnifontOCR::TPageHints& hints = {}) {
  try {
    engine.Recognize(handle, area, hints);
  } catch (const EOCRError& e) {
    return e.what();
  }
  return "";
}

// Records that are characters: word and line assembly adds space and
// line-break records (Id -1) to a paragraph's result.
int CharacterCount(const TOmnifontOCR& engine) {
  int n = 0;
  for (int i = 0; i < engine.Chars.Count(); ++i) n += engine.Chars[i]->Id >= 0;
  return n;
}

// A page with a few letter-sized blocks of the given level on the given paper.
TOwnedHandle BlocksPage(std::uint8_t ink, std::uint8_t paper) {
  auto page = MakeGrey(120, 40, paper);
  for (int i = 0; i < 5; ++i) FillRect(*page, 5 + 20 * i, 10, 14 + 20 * i, 29, ink);
  return PackBitmap(*page);
}

TEST(Recognize, BilevelInputRunsWithThreshold160) {
  TOwnedHandle h =
      MakePackedDib(40, 20, 1, [](int x, int y) { return (x > 10 && x < 20 && y > 5 && y < 15) ? 0u : 1u; });
  TOmnifontOCR engine;
  engine.RecognizeWord(h.get());
  EXPECT_EQ(engine.Threshold, 160);
  EXPECT_TRUE(engine.BilevelSource);
  ASSERT_EQ(engine.Chars.Count(), 1);
  EXPECT_EQ(engine.Chars[0]->Left, 11);
  EXPECT_EQ(engine.Page, nullptr);  // freed at the end of the run
}

TEST(Recognize, BlankPageFailsAndClearsEarlierResults) {
  TOmnifontOCR engine;
  TOwnedHandle text = BlocksPage(0, 255);
  engine.RecognizeParagraph(text.get());
  EXPECT_GT(engine.Chars.Count(), 0);
  TOwnedHandle blank = MakePackedDib(40, 20, 1, [](int, int) { return 1u; });
  EXPECT_EQ(RunError(engine, blank.get()), "no characters found");
  EXPECT_EQ(engine.Threshold, 128);  // Otsu finds no split: 127, ink below 128
  EXPECT_EQ(engine.Chars.Count(), 0);
  EXPECT_EQ(engine.Page, nullptr);
  engine.RecognizeParagraph(text.get());  // still usable
  EXPECT_EQ(CharacterCount(engine), 5);
}

TEST(Recognize, WholeZoneForCharacterAreaNeverFailsAsEmpty) {
  TOmnifontOCR engine;
  TOwnedHandle blank = MakePackedDib(30, 20, 8, [](int, int) { return 255u; });
  engine.RecognizeCharacter(blank.get());
  ASSERT_EQ(engine.Chars.Count(), 1);
  EXPECT_EQ(engine.Chars[0]->Right, 29);
  EXPECT_EQ(engine.Chars[0]->Bottom, 19);
}

TEST(Recognize, RefusesWhatItCannotReadAndStaysUsable) {
  TOmnifontOCR engine;
  TOwnedHandle sixteen = MakePackedDib(8, 8, 16, [](int, int) { return 0u; });
  EXPECT_EQ(RunError(engine, sixteen.get()), "This operation requires 8 bit per pixel bitmap !");
  EXPECT_EQ(engine.Chars.Count(), 0);
  TOwnedHandle thirtyTwo = MakePackedDib(8, 8, 8, [](int, int) { return 0u; });
  static_cast<TBitmapInfoHeader*>(GlobalLock(thirtyTwo.get()))->BitCount = 32;
  GlobalUnlock(thirtyTwo.get());
  EXPECT_NE(RunError(engine, thirtyTwo.get()), "");
  EXPECT_NE(RunError(engine, nullptr), "");
  TOwnedHandle text = BlocksPage(0, 255);
  GlobalFailNextAllocations(1);
  EXPECT_NE(RunError(engine, text.get()), "");
  EXPECT_EQ(engine.Page, nullptr);
  engine.RecognizeParagraph(text.get());
  EXPECT_EQ(CharacterCount(engine), 5);
}

TEST(Recognize, LeavesTheCallersBlockUnchanged) {
  TOmnifontOCR engine;
  std::vector<TOwnedHandle> inputs;
  inputs.push_back(BlocksPage(0, 255));
  inputs.push_back(MakePackedDib(16, 8, 24, [](int x, int) { return x < 8 ? 0u : 0xFFFFFFu; }));
  inputs.push_back(MakePackedDib(8, 8, 16, [](int, int) { return 5u; }));
  for (const TOwnedHandle& h : inputs) {
    const std::vector<std::uint8_t> before = test::BlockBytes(h.get());
    RunError(engine, h.get());
    EXPECT_EQ(test::BlockBytes(h.get()), before);
    EXPECT_EQ(GlobalLockCount(h.get()), 0);
  }
}

// A histogram handed over takes the place of the run's own count: the same
// one reads the same, another one moves the threshold, and a page the run
// cannot read is refused with or without one.
TEST(Recognize, TakesTheThresholdFromAHistogramHandedOver) {
  TOwnedHandle text = BlocksPage(60, 255);
  TOmnifontOCR counting;
  counting.RecognizeParagraph(text.get());
  THistogram histogram{};
  histogram[60] = 5 * 10 * 20;
  histogram[255] = 120 * 40 - histogram[60];
  TOmnifontOCR::TPageHints hints;
  hints.Histogram = &histogram;
  TOmnifontOCR handed;
  handed.Recognize(text.get(), atParagraph, hints);
  EXPECT_EQ(handed.Threshold, counting.Threshold);
  EXPECT_EQ(CharacterCount(handed), 5);

  THistogram darker{};
  darker[0] = 10;
  darker[40] = 1000;
  hints.Histogram = &darker;
  EXPECT_EQ(RunError(handed, text.get(), atParagraph, hints), "no characters found");
  EXPECT_EQ(handed.Threshold, InkThresholdFromOtsu(OtsuThreshold(darker), darker));

  TOwnedHandle sixteen = MakePackedDib(8, 8, 16, [](int, int) { return 0u; });
  EXPECT_EQ(RunError(handed, sixteen.get(), atParagraph, hints),
            "This operation requires 8 bit per pixel bitmap !");
}

// A block given up becomes the run's page: it reads as a copy would, and
// the run frees it on every way out (the sanitized build sees a leak or a
// second free), also when the block is refused or the run fails.
TEST(Recognize, FreesABlockGivenUpOnEveryWayOut) {
  TOmnifontOCR::TPageHints giveUp;
  giveUp.GiveUpBlock = true;
  TOmnifontOCR copying;
  TOwnedHandle text = BlocksPage(0, 255);
  copying.RecognizeParagraph(text.get());
  TOmnifontOCR taking;
  struct TCase {
    const char* what;
    std::function<TOwnedHandle()> block;
    std::string error;
  } cases[] = {
      {"text", [] { return BlocksPage(0, 255); }, ""},
      {"bilevel text",
       [] {
         return MakePackedDib(40, 20, 1,
                              [](int x, int y) { return x > 10 && x < 20 && y > 5 && y < 15 ? 0u : 1u; });
       },
       ""},
      {"blank", [] { return MakePackedDib(40, 20, 8, [](int, int) { return 255u; }); },
       "no characters found"},
      {"16 bits", [] { return MakePackedDib(8, 8, 16, [](int, int) { return 0u; }); },
       "This operation requires 8 bit per pixel bitmap !"},
      {"empty block", [] { return TOwnedHandle(GlobalAllocZeroed(0)); },
       "Unsupported bitmap: no bitmap data"},
      {"no header", [] { return TOwnedHandle(GlobalAllocZeroed(12)); },
       "Unsupported bitmap: the block is smaller than a bitmap header"},
  };
  for (const TCase& c : cases) {
    TOwnedHandle block = c.block();
    EXPECT_EQ(RunError(taking, block.release(), atParagraph, giveUp), c.error) << c.what;
    EXPECT_EQ(taking.Page, nullptr) << c.what;
  }
  taking.Recognize(BlocksPage(0, 255).release(), atParagraph, giveUp);
  ASSERT_EQ(taking.Chars.Count(), copying.Chars.Count());
  for (int i = 0; i < taking.Chars.Count(); ++i) {
    EXPECT_EQ(taking.Chars[i]->Left, copying.Chars[i]->Left);
    EXPECT_EQ(taking.Chars[i]->BestChar, copying.Chars[i]->BestChar);
  }
}

// Pages that the plain threshold rules lose: ink whose level lies just under
// the threshold, a dark level that is a multiple of 8, text on grey paper.
TEST(Recognize, KeepsInkOfEveryTwoLevelPage) {
  struct Case {
    std::uint8_t ink, paper;
  } cases[] = {{160, 255}, {64, 255}, {0, 200}, {0, 100}, {40, 41 + 8}};
  for (const Case& c : cases) {
    TOmnifontOCR engine;
    TOwnedHandle h = BlocksPage(c.ink, c.paper);
    engine.RecognizeParagraph(h.get());
    EXPECT_EQ(CharacterCount(engine), 5) << int(c.ink) << " on " << int(c.paper);
  }
}

}  // namespace
}  // namespace omniocr
