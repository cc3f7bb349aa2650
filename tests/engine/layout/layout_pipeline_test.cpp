#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/layout/layout_fixture.h"

namespace omniocr::test {
namespace {

// Three lines of box-shaped characters through the engine's entry point: every
// character of a line gets the same line number, the lines come in order, left
// to right, and the dot of each i is merged with its stem.
TEST(LayoutPipeline, ParagraphComesBackLineByLineWithDotsMerged) {
  const std::string pattern = "xxAxixpxAi";
  auto bitmap = MakeGrey(140, 100, 255);
  for (int k = 0; k < 3; ++k) {
    const int y = 16 + 24 * k;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
      const int left = 4 + 12 * static_cast<int>(i);
      const char c = pattern[i];
      FillRect(*bitmap, left, c == 'A' ? y : y + 4, left + 7, c == 'p' ? y + 17 : y + 13, 0);
      if (c == 'i') FillRect(*bitmap, left + 3, y, left + 4, y + 1, 0);
    }
  }
  TOwnedHandle handle = PackBitmap(*bitmap);
  for (bool cutRegions : {false, true}) {  // no effect on a paragraph
    TOmnifontOCR engine;
    engine.SpotRemoval = srNone;
    engine.SplitTouching = 0;
    engine.SimilarityCorrection = false;
    engine.ContextCorrection = false;
    engine.CutRegions = cutRegions;
    engine.RecognizeParagraph(handle.get());
    std::vector<const TOCRChar*> chars;
    for (int i = 0; i < engine.Chars.Count(); ++i)
      if (engine.Chars[i]->Id >= 0) chars.push_back(engine.Chars[i]);
    ASSERT_EQ(chars.size(), 30u);
    for (std::size_t i = 0; i < chars.size(); ++i) {
      const int line = static_cast<int>(i / 10), column = static_cast<int>(i % 10);
      EXPECT_EQ(chars[i]->LineNo, line + 1) << i;
      EXPECT_EQ(chars[i]->Left, 4 + 12 * column) << i;
      const bool tall = pattern[static_cast<std::size_t>(column)] == 'A' ||
                        pattern[static_cast<std::size_t>(column)] == 'i';
      EXPECT_EQ(chars[i]->Top, 16 + 24 * line + (tall ? 0 : 4)) << i;
    }
    EXPECT_EQ(engine.LineCount, 4);
  }
}

}  // namespace
}  // namespace omniocr::test
