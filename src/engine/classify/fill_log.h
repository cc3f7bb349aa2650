#pragma once

// The region labellings one dispatch asked for (holes and blobs of page
// rectangles) with what each answered. They are the only reads of a dispatch
// that depend on the fill neighbourhood: when each of them answers the same
// in the other neighbourhood, a dispatch there takes the same path through
// every rule and offers the same candidates.

#include <cstdint>
#include <vector>

#include "engine/classify/probes.h"

namespace omniocr {

class TDIB;
class TOmnifontOCR;

struct TFillQuery {
  bool Blobs = false;     // CountBlobs; otherwise CountHoles
  bool ListRead = false;  // the caller of CountHoles reads its list, not only the count
  const TDIB* Bitmap = nullptr;
  std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
  std::int32_t Threshold = 0;
  std::int32_t Result = 0;
  THoleList Holes;  // the first Holes.HoleCount entries, as CountHoles wrote them
};

class TFillLog {
 public:
  void Clear() {
    Queries.clear();
    Complete = true;
  }
  void Holes(const TDIB& bitmap, int left, int top, int right, int bottom, int threshold, int result,
             const THoleList& holes, bool listRead);
  void Blobs(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, int result);
  // A fill this log cannot answer for (one that marks a bitmap).
  void Unknown() { Complete = false; }

  // Whether every labelling answers as logged in the engine's present
  // neighbourhood; the pixels must be those the log was made on.
  bool SameIn(const TOmnifontOCR& engine) const;

 private:
  TFillQuery& Add(const TDIB& bitmap, int left, int top, int right, int bottom, int threshold, int result);

  std::vector<TFillQuery> Queries;
  bool Complete = true;
};

}  // namespace omniocr
