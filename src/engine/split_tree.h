#pragma once

// The tree of piece sequences that touching-character splitting grows over
// one component: every node but the root carries one piece, and a path from
// the root is a reading of the component's columns from the left.

#include <cstdint>
#include <memory>
#include <vector>

#include "engine/ocr_types.h"

namespace omniocr {

// A trial piece of a component: the record the driver read, and how thin
// and how open the column where it was cut off on the right is.
struct TSplitPiece {
  TOCRChar Record;
  std::int32_t CutInk = 0;     // ink pixels of the cut column
  std::int32_t CutGap = 0;     // paper above plus paper below the ink of that column
  TCharCode Reading = NoChar;  // what the driver returned for the piece
};

// A node owns its children and its piece. Destroying a node destroys its
// children first and takes it out of its parent's list, so destroying the
// root frees the whole tree.
class TNode {
 public:
  // A new node, added to the parent's children (a root when parent is none).
  explicit TNode(TNode* parent);
  virtual ~TNode();
  TNode(const TNode&) = delete;
  TNode& operator=(const TNode&) = delete;

  TNode* Parent;
  std::vector<TNode*> Children;
  std::unique_ptr<TSplitPiece> Piece;  // none for the root
};

}  // namespace omniocr
