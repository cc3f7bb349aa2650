#pragma once

// The connected groups of ink of a page (8 neighbours), found in one pass
// over its rows: each row's runs of ink are joined to the runs they meet on
// the row above. A group keeps only what a character record takes from it:
// its box, its first pixel in raster order and its number of pixels.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <vector>

namespace omniocr {

struct TInkComponent {
  std::int32_t Parent;          // the group itself when it is a root
  std::int32_t Ink;             // its pixels (of a root: the whole group's)
  std::int32_t StartX, StartY;  // first pixel in raster order (of a root); also its top row
  std::int32_t MinX, MaxX, MaxY;
  std::int32_t Unused = 0;  // makes a group 32 bytes: addressed by a shift
};

// Groups are numbered in the raster order of the runs that started them, and
// the root of a group is its lowest-numbered part, the one its first pixel
// started; the buffers are kept from page to page.
class TInkComponents {
 public:
  // A run of a row: columns X0 to X1, and the group it joined.
  struct TRun {
    std::int32_t X0, X1, Label;
  };

  // Starts a page of rows `width` pixels wide.
  void StartPage(int width) {
    Parts.clear();
    // A row holds at most (width + 1) / 2 runs, and one more place ends it.
    const std::size_t most = static_cast<std::size_t>(width) / 2 + 2;
    if (RowRuns[0].size() < most) {
      RowRuns[0].resize(most);
      RowRuns[1].resize(most);
    }
    Above = RowRuns[0].data();
    Current = RowRuns[1].data();
    Above[0] = kRowEnd;
    Y = -1;
  }

  // Starts the next row (rows come one after another from the top) and
  // gives the place for its runs, room for every run a row can hold.
  TRun* StartRow() {
    ++Y;
    return Current;
  }

  // Joins the `count` runs of the current row to the groups of the runs they
  // meet on the row above, or starts a group with each that meets none; the
  // row then becomes the row above.
  void EndRow(std::size_t count) {
    // Each row ends in a run past every column, so the scans of the row
    // above stop without counting.
    Current[count] = kRowEnd;
    const TRun* above = Above;  // first run of the row above that a later run may meet
    const int y = Y;
    for (TRun *run = Current, *end = Current + count; run != end; ++run) {
      const int x0 = run->X0, x1 = run->X1;
      while (above->X1 < x0 - 1) ++above;
      if (above->X0 > x1 + 1) {  // meets none: a group of its own
        run->Label = static_cast<int>(Parts.size());
        Parts.push_back({run->Label, x1 - x0 + 1, x0, y, x0, x1, y});
        continue;
      }
      int root = RootOf(above->Label);
      for (++above; above->X0 <= x1 + 1; ++above) {
        const int r = RootOf(above->Label);
        if (r != root) root = Join(root, r);
      }
      --above;  // the last run met may also meet the next run
      TInkComponent& part = Parts[static_cast<std::size_t>(root)];
      part.MinX = std::min(part.MinX, x0);
      part.MaxX = std::max(part.MaxX, x1);
      part.MaxY = y;
      part.Ink += x1 - x0 + 1;
      run->Label = root;
    }
    std::swap(Above, Current);
  }

  // The groups of the page; the roots are those whose Parent is themselves.
  const std::vector<TInkComponent>& Groups() const { return Parts; }

 private:
  static constexpr TRun kRowEnd = {INT_MAX, INT_MAX, -1};

  int RootOf(int i) {
    while (Parts[static_cast<std::size_t>(i)].Parent != i) {
      TInkComponent& part = Parts[static_cast<std::size_t>(i)];
      part.Parent = Parts[static_cast<std::size_t>(part.Parent)].Parent;
      i = part.Parent;
    }
    return i;
  }

  // Joins two roots into the lower-numbered one and returns it. Its first
  // pixel and top row come first in raster order, so only the columns
  // change; the bottom row becomes the current one as the run is added.
  int Join(int a, int b) {
    if (b < a) std::swap(a, b);
    TInkComponent& keep = Parts[static_cast<std::size_t>(a)];
    TInkComponent& gone = Parts[static_cast<std::size_t>(b)];
    keep.MinX = std::min(keep.MinX, gone.MinX);
    keep.MaxX = std::max(keep.MaxX, gone.MaxX);
    keep.Ink += gone.Ink;
    gone.Parent = a;
    return a;
  }

  std::vector<TInkComponent> Parts;
  std::vector<TRun> RowRuns[2];
  TRun* Above = nullptr;
  TRun* Current = nullptr;
  int Y = -1;
};

}  // namespace omniocr
