#pragma once

// Splitting of touching characters by trial recognition: limits on the work
// spent on one component.

namespace omniocr {

// Pieces the driver reads for one component. Every trial (piece start, cut
// column) is read once and its reading reused wherever the same piece comes
// up again; a component that would need more trials stays as it is.
constexpr int kMaxSplitTrials = 2000;

// Nodes of one component's tree of piece sequences. Equal subtrees repeat
// under every path that reaches the same column, so their number can grow
// exponentially with the length of a run of touching characters even when
// the trials are reused; past this limit the component stays as it is.
constexpr int kMaxSplitNodes = 5000;

}  // namespace omniocr
