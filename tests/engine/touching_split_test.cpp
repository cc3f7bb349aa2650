// Splitting of touching characters: rendered lines whose letters run into
// each other, read through the whole pipeline, and the tree of pieces.

#include "engine/touching_split.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/char_codes.h"
#include "engine/classify/glyph_fixtures.h"
#include "engine/omnifont_ocr.h"
#include "engine/split_tree.h"
#include "support/test_bitmaps.h"

namespace omniocr {
namespace {

// One driver call dispatches at most six times, and once more six times when
// it runs again with an accent cut away.
constexpr int kMostDispatchesPerDriverCall = 12;

struct TWordRun {
  std::vector<TOCRChar> Records;
  std::int64_t Dispatches = 0;
  int CharCount = 0;
  std::string Text;
};

// Reads a rendered line as a word zone (no assembly, no context correction).
TWordRun ReadWord(const std::string& fixture, bool split, bool letters) {
  const test::TArtLine line = test::LoadSpacedLine(fixture);
  const auto page = test::FromArt(line.Rows);
  TOmnifontOCR engine;
  engine.NumericOnly = !letters;
  engine.SplitTouching = split ? 2 : 0;
  engine.ContextCorrection = false;
  test::TOwnedHandle handle = test::PackBitmap(*page);
  engine.RecognizeWord(handle.get());
  TWordRun run;
  for (int i = 0; i < engine.Chars.Count(); ++i) {
    run.Records.push_back(*engine.Chars[i]);
    run.Text += RecordText(*engine.Chars[i]);
  }
  run.Dispatches = engine.DispatchCount;
  run.CharCount = engine.CharCount;
  return run;
}

void ExpectSameRecords(const std::vector<TOCRChar>& a, const std::vector<TOCRChar>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (std::size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a[i].BestChar, b[i].BestChar);
    EXPECT_EQ(a[i].Left, b[i].Left);
    EXPECT_EQ(a[i].Right, b[i].Right);
    EXPECT_EQ(a[i].Top, b[i].Top);
    EXPECT_EQ(a[i].Bottom, b[i].Bottom);
  }
}

TEST(SplitTouchingChars, TouchingDigitsAreSplitAndRead) {
  const TWordRun whole = ReadWord("touching-58", false, false);
  ASSERT_EQ(whole.Records.size(), 1u);
  EXPECT_EQ(whole.Text, "~");

  const TWordRun split = ReadWord("touching-58", true, false);
  EXPECT_EQ(split.Text, "58");
  ASSERT_EQ(split.Records.size(), 2u);
  const TOCRChar& component = whole.Records[0];
  const TOCRChar& first = split.Records[0];
  const TOCRChar& second = split.Records[1];
  // The first piece takes the component's place; the second is a new record
  // that ends at the component's right edge.
  EXPECT_EQ(first.Id, component.Id);
  EXPECT_EQ(second.Id, split.CharCount - 1);
  EXPECT_EQ(first.Left, component.Left);
  EXPECT_LT(first.Right, second.Left);
  EXPECT_EQ(second.Right, component.Right);
  for (const TOCRChar& piece : split.Records) {
    EXPECT_GT(piece.CandConf[0], 90);
    EXPECT_EQ(piece.LineNo, component.LineNo);
  }
}

// An unread letter among digits: no reading of its pieces is confident
// enough, so the component is left as it was.
TEST(SplitTouchingChars, UnreadableComponentStaysWhole) {
  const TWordRun whole = ReadWord("single-m", false, false);
  const TWordRun split = ReadWord("single-m", true, false);
  ASSERT_EQ(whole.Records.size(), 1u);
  EXPECT_EQ(split.Text, "~");
  ExpectSameRecords(split.Records, whole.Records);
}

// A line set so tight that all its 64 letters form one component. Trying
// every sequence of pieces would take the driver millions of calls; each
// piece is read once and the component gives up at the limit, unchanged.
TEST(SplitTouchingChars, LongTouchingRunIsBounded) {
  const TWordRun whole = ReadWord("touching-run", false, true);
  const TWordRun split = ReadWord("touching-run", true, true);
  ExpectSameRecords(split.Records, whole.Records);
  EXPECT_LE(split.Dispatches - whole.Dispatches,
            static_cast<std::int64_t>(kMaxSplitTrials) * kMostDispatchesPerDriverCall);
}

TEST(TNode, DestroyingANodeTakesItOutOfItsParent) {
  auto root = std::make_unique<TNode>(nullptr);
  TNode* a = new TNode(root.get());
  TNode* b = new TNode(root.get());
  TNode* grandchild = new TNode(a);
  grandchild->Piece = std::make_unique<TSplitPiece>();
  new TNode(grandchild);
  EXPECT_EQ(root->Children, (std::vector<TNode*>{a, b}));
  delete a;  // frees its subtree as well
  EXPECT_EQ(root->Children, (std::vector<TNode*>{b}));
  EXPECT_EQ(b->Parent, root.get());
  new TNode(b);
  root.reset();  // the rest of the tree goes with the root
}

}  // namespace
}  // namespace omniocr
