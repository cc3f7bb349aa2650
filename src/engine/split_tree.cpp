#include "engine/split_tree.h"

#include <algorithm>

namespace omniocr {

TNode::TNode(TNode* parent) : Parent(parent) {
  if (Parent != nullptr) Parent->Children.push_back(this);
}

TNode::~TNode() {
  // Each child takes itself out of Children; the last one goes first so
  // that this stays cheap for wide nodes.
  while (!Children.empty()) delete Children.back();
  if (Parent != nullptr) {
    std::vector<TNode*>& siblings = Parent->Children;
    const auto it = std::find(siblings.rbegin(), siblings.rend(), this);
    if (it != siblings.rend()) siblings.erase(std::next(it).base());
  }
}

}  // namespace omniocr
