// Splitting of touching characters: a component that no recogniser read is
// cut at thin columns with paper above and below, every candidate piece is
// read by the per-character driver, and the sequence of confident pieces
// that covers the component best replaces it.

#include "engine/touching_split.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <map>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/arith.h"
#include "engine/classify/dispatch_memo.h"
#include "engine/classify/driver.h"
#include "engine/classify/probe_scratch.h"
#include "engine/classify/probes.h"
#include "engine/omnifont_ocr.h"
#include "engine/split_tree.h"

namespace omniocr {

namespace {

// A narrower piece than this (from its start) is never tried.
constexpr int kMinPieceSpan = 5;
// Confidence a piece needs, exclusive.
constexpr int kPieceConfidence = 90;
// Readings of pieces that are no use as a part of a split: a component is
// not split into a letter and a mark.
constexpr std::u16string_view kUnusableReadings = u",.|:;-_!?(){}[]'\"*%";

bool WorthSplitting(const TOCRChar& p) {
  return p.BestChar == NoChar && p.Right - p.Left > kMinPieceSpan && p.Bottom - p.Top > kMinPieceSpan;
}

// A driver reading of one piece, kept for every later request of the same
// piece.
struct TTrial {
  TOCRChar Record;
  TCharCode Reading = NoChar;
  bool Usable = false;
};

// How good a cut and a reading are together, 0 to 100.
int PieceScore(const TSplitPiece& piece) {
  const std::int64_t h = piece.Record.Height();
  if (h <= 0) return 0;
  // ((1 - ink/h) * 0.1 + conf/100 * 0.7 + gap/h * 0.2) * 100, exactly.
  const std::int64_t numerator =
      100 * (h - piece.CutInk) + 7 * piece.Record.CandConf[0] * h + 200 * piece.CutGap;
  return static_cast<int>(NearestDiv(numerator, 10 * h));
}

class TComponentSplitter {
 public:
  TComponentSplitter(TOmnifontOCR& engine, const TOCRChar& component)
      : Engine(engine),
        Component(component),
        L(component.Left),
        R(component.Right),
        H(component.Bottom - component.Top + 1),
        Step(std::max<int>(1, static_cast<int>(NearestDiv(H, 18)))) {
    MeasureColumns();
  }

  // The pieces of the best path, left to right; none when no path scores
  // above 0 or the component needs more work than allowed.
  std::vector<TOCRChar> Split() {
    Root = std::make_unique<TNode>(nullptr);
    if (!Expand()) return {};
    const TNode* best = BestLeaf();
    std::vector<TOCRChar> pieces;
    for (const TNode* node = best; node != nullptr && node->Piece != nullptr; node = node->Parent)
      pieces.insert(pieces.begin(), node->Piece->Record);
    return pieces;
  }

 private:
  TOmnifontOCR& Engine;
  const TOCRChar& Component;
  const int L, R, H, Step;
  std::vector<int> Ink;  // ink pixels per column, index x - L
  std::vector<int> Gap;  // paper above plus paper below the ink, per column
  std::map<std::pair<int, int>, TTrial> Trials;
  std::unique_ptr<TNode> Root;  // frees the whole tree on every way out
  std::vector<TNode*> Leaves;
  int NodeCount = 0;

  void MeasureColumns() {
    const TDIB& page = *Component.Page;
    const int thr = Engine.Threshold;
    Ink.assign(static_cast<std::size_t>(R - L + 1), 0);
    Gap.assign(Ink.size(), 0);
    for (int x = L; x <= R; ++x) {
      int count = 0;
      for (int y = Component.Top; y <= Component.Bottom; ++y)
        if (InkAt(page, x, y, thr)) ++count;
      Ink[x - L] = count;
      Gap[x - L] = ScanRun(page, x, Component.Top, dirDown, tgInk, thr, H - 1) +
                   ScanRun(page, x, Component.Bottom, dirUp, tgInk, thr, H - 1);
    }
    Ink[R - L] = 0;  // the right edge is always a place to end a piece
  }

  // A path whose last piece ends this close to the right edge covers the
  // component.
  bool EndsNearRightEdge(const TOCRChar& piece) const {
    return std::abs(piece.Right - R) < (piece.Right - piece.Left) / 2;
  }

  bool IsCutCandidate(int segStart, int x) const {
    return x - segStart > kMinPieceSpan && Ink[x - L] < H / 2 && Gap[x - L] > H / 5;
  }

  // The driver's reading of the piece segStart..x, read once; none when the
  // component has used up its trials.
  const TTrial* Trial(int segStart, int x) {
    const auto key = std::make_pair(segStart, x);
    if (const auto found = Trials.find(key); found != Trials.end()) return &found->second;
    if (static_cast<int>(Trials.size()) >= kMaxSplitTrials) return nullptr;
    TTrial& trial = Trials[key];
    trial.Record = Component;
    trial.Record.Left = segStart;
    trial.Record.Right = x;
    trial.Record.StartX = segStart;
    // Level 0: the driver's reset keeps the component's accent off the piece.
    trial.Reading = RecognizeGlyph(Engine, trial.Record, Engine.Threshold, 0);
    const TCharCode c = trial.Reading;
    trial.Usable = c != NoChar && c != RejectedChar && trial.Record.CandCount > 0 &&
                   kUnusableReadings.find(c) == std::u16string_view::npos &&
                   trial.Record.CandConf[0] > kPieceConfidence;
    return &trial;
  }

  TNode* AddNode(TNode* parent, const TTrial& trial, int x) {
    ++NodeCount;
    TNode* node = new TNode(parent);  // owned by its parent
    node->Piece = std::make_unique<TSplitPiece>();
    SetPiece(*node->Piece, trial, x);
    return node;
  }

  void SetPiece(TSplitPiece& piece, const TTrial& trial, int x) const {
    piece.Record = trial.Record;
    piece.Reading = trial.Reading;
    piece.CutInk = Ink[x - L];
    piece.CutGap = Gap[x - L];
  }

  // The children of one node: a piece for every confident reading from
  // segStart, one per run of equal readings at consecutive cuts. False when
  // the component needs more work than allowed.
  bool ExpandNode(TNode* parent, int segStart, std::deque<TNode*>& queue) {
    TNode* last = nullptr;
    for (int x = segStart + kMinPieceSpan; x <= R; x += Step) {
      if (R - x < kMinPieceSpan) x = R;  // the scan always ends at the right edge
      if (!IsCutCandidate(segStart, x)) continue;
      const TTrial* trial = Trial(segStart, x);
      if (trial == nullptr) return false;
      if (!trial->Usable) continue;
      const TCharCode c = trial->Reading;
      if (last != nullptr && last->Piece->Reading == c) {
        TSplitPiece& held = *last->Piece;
        // The same reading one step further: keep the better of the two cuts.
        if (held.Record.Right + Step == trial->Record.Right &&
            (trial->Record.CandConf[0] > held.Record.CandConf[0] || Ink[x - L] <= held.CutInk ||
             Gap[x - L] >= held.CutGap))
          SetPiece(held, *trial, x);
        continue;
      }
      if (NodeCount >= kMaxSplitNodes) return false;
      last = AddNode(parent, *trial, x);
      queue.push_back(last);
    }
    if (last != nullptr && EndsNearRightEdge(last->Piece->Record)) {
      last->Piece->Record.Right = R;
      Leaves.push_back(last);
    }
    return true;
  }

  // Grows the tree breadth first. False when the component needs more work
  // than allowed.
  bool Expand() {
    std::deque<TNode*> queue;
    TNode* parent = Root.get();
    int segStart = L;
    for (;;) {
      if (!ExpandNode(parent, segStart, queue)) return false;
      if (queue.empty()) return true;
      parent = queue.front();
      queue.pop_front();
      segStart = parent->Piece->Record.Right + Step;
    }
  }

  // The first leaf whose path scores highest, when that is above 0.
  const TNode* BestLeaf() const {
    const TNode* best = nullptr;
    std::int64_t bestScore = 0;
    for (const TNode* leaf : Leaves) {
      std::int64_t sum = 0, n = 0;
      for (const TNode* node = leaf; node != Root.get(); node = node->Parent) {
        sum += PieceScore(*node->Piece);
        ++n;
      }
      const std::int64_t score = NearestDiv(sum, n) - n;
      if (score > bestScore) {
        bestScore = score;
        best = leaf;
      }
    }
    return best;
  }
};

}  // namespace

void TOmnifontOCR::SplitTouchingChars() {
  // Only the driver changes pixels here, and it tells the memory of its
  // dispatches when it does.
  const TDispatchMemo::TPageScope page(Scratch().Dispatches);
  for (int i = 0; i < Chars.Count(); ++i) {
    if (!WorthSplitting(*Chars[i])) continue;
    std::vector<TOCRChar> pieces = TComponentSplitter(*this, *Chars[i]).Split();
    if (pieces.empty()) continue;
    *Chars[i] = pieces[0];
    for (std::size_t k = 1; k < pieces.size(); ++k) {
      std::unique_ptr<TOCRChar> record = CopyRecord(pieces[k]);
      record->Id = CharCount++;
      Chars.Insert(i + static_cast<int>(k), std::move(record));
    }
    // The inserted pieces are read; the walk passes over them.
  }
}

}  // namespace omniocr
