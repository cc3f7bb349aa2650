#pragma once

#include <cstdint>
#include <vector>

namespace omniocr {

struct TTracePoint {
  std::int32_t X;
  std::int32_t Y;
  bool Expanded;
};

// Growable list of points, the work queue of the region fills.
class TPointList {
 public:
  int Add(std::int32_t x, std::int32_t y, bool expanded) {
    Points.push_back({x, y, expanded});
    return static_cast<int>(Points.size()) - 1;
  }
  TTracePoint& Items(int index) { return Points[static_cast<std::size_t>(index)]; }
  const TTracePoint& Items(int index) const { return Points[static_cast<std::size_t>(index)]; }
  int Count() const { return static_cast<int>(Points.size()); }
  // Empties the list but keeps its storage, so a fill can reuse it.
  void Clear() { Points.clear(); }

 private:
  std::vector<TTracePoint> Points;
};

}  // namespace omniocr
