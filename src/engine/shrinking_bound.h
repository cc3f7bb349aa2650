#pragma once

// TShrinkingBound answers, for a set of values met in list order, where a
// bound ends that starts at `start` and moves to v - 1 for every value v met
// below it:
//
//   bound = start; for v in list order: if (v < bound) bound = v - 1;
//
// without walking the set. Only a value that is the smallest met so far can
// move the bound, and the outcome depends only on the run of consecutive
// smallest values each met before every smaller one (tmin, tmin + 1, ...):
// above that run the bound already lies past it.

#include <algorithm>
#include <map>

namespace omniocr {

class TShrinkingBound {
 public:
  // A value met at list position `position`.
  void Insert(int value, int position) {
    auto [it, inserted] = FirstPosition.emplace(value, position);
    if (!inserted) it->second = std::min(it->second, position);
  }

  bool Empty() const { return FirstPosition.empty(); }

  int Final(int start) const {
    if (FirstPosition.empty()) return start;
    // The run: each value is met, in list order, before every smaller one.
    auto it = FirstPosition.begin();
    int top = it->first;
    int earliest = it->second;
    for (auto next = std::next(it); next != FirstPosition.end(); ++next) {
      if (next->first != top + 1 || next->second > earliest) break;
      top = next->first;
      earliest = next->second;
    }
    // Values met before the run's top all lie at least two above it, so the
    // bound stands above the top when it is met, unless it never moved.
    int bound = top < start ? top + 1 : start;
    const int low = FirstPosition.begin()->first;
    for (int v = top; v >= low; --v)
      if (v < bound) bound = v - 1;
    return bound;
  }

 private:
  std::map<int, int> FirstPosition;  // value -> first list position it was met at
};

}  // namespace omniocr
