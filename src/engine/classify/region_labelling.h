#pragma once

// Connected regions of one pixel class, found in a single pass over the rows:
// each row's runs of the class are joined to the runs they meet on the row
// above (4 or 8 neighbours), and each region keeps its size, box, first pixel
// in row-major and in column-major order, and whether it reaches the edge of
// the rectangle examined.

#include <cstdint>
#include <vector>

#include "dibunit/dib.h"

namespace omniocr {

class TProbeScratch;
struct TLabelRun;

// A connected region, coordinates relative to the rectangle examined.
struct TLabelRegion {
  std::int32_t Parent;          // the region itself when it is a root
  std::int32_t Size;            // pixels
  std::int32_t StartX, StartY;  // first pixel in row-major order (of a root)
  std::int32_t SeedX, SeedY;    // first pixel in column-major order
  std::int32_t MinX, MinY, MaxX, MaxY;
  bool TouchesBorder;
};

// Joins the runs of successive rows into regions (kept in scratch.Regions);
// the root of a region is its lowest-numbered part, which is the part its
// first pixel in row-major order started.
class TRunJoiner {
 public:
  TRunJoiner(TProbeScratch& scratch, bool eightConnected);
  // Starts row y; its runs must come left to right.
  void StartRow(int y);
  // Adds the run x0..x1 of the current row; returns its region's root.
  int AddRun(int x0, int x1, bool border);
  // Regions so far (roots).
  int Count() const { return Roots; }
  // The root of the region a run was added to.
  int RootOf(int label);

 private:
  int JoinRoots(int a, int b);
  int JoinAll(int root, const TLabelRun* met, int to);
  int NewRegion(int x0, int x1, bool border);

  std::vector<TLabelRegion>& Regions;
  std::vector<TLabelRun>* Previous;
  std::vector<TLabelRun>* Current;
  int Reach;
  int Y = -1;
  const TLabelRun* Next = nullptr;  // first run of the row above that a later run may meet
  const TLabelRun* AboveEnd = nullptr;
  int Roots = 0;
};

enum class TLabelClass {
  UnmarkedPaper,  // paper whose mark bits are 0
  Ink,            // ink, whatever its mark bits
};

// Labels the rectangle of w x h pixels at (left, top) without touching the
// bitmap (positions outside it read as unmarked paper, 248); the regions are
// left in scratch.Regions. Returns the number of regions.
int LabelRegions(TProbeScratch& scratch, const TDIB& bitmap, int left, int top, int w, int h, int threshold,
                 bool eightConnected, TLabelClass labelClass);

}  // namespace omniocr
