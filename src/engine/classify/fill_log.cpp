#include "engine/classify/fill_log.h"

#include <algorithm>

#include "engine/classify/probes.h"

namespace omniocr {

TFillQuery& TFillLog::Add(const TDIB& bitmap, int left, int top, int right, int bottom, int threshold,
                          int result) {
  TFillQuery& q = Queries.emplace_back();
  q.Bitmap = &bitmap;
  q.Left = left;
  q.Top = top;
  q.Right = right;
  q.Bottom = bottom;
  q.Threshold = threshold;
  q.Result = result;
  return q;
}

void TFillLog::Holes(const TDIB& bitmap, int left, int top, int right, int bottom, int threshold, int result,
                     const THoleList& holes, bool listRead) {
  TFillQuery& q = Add(bitmap, left, top, right, bottom, threshold, result);
  q.ListRead = listRead;
  q.Holes.HoleCount = holes.HoleCount;
  std::copy(holes.Holes, holes.Holes + holes.HoleCount, q.Holes.Holes);
}

void TFillLog::Blobs(const TDIB& bitmap, int x0, int y0, int x1, int y1, int threshold, int result) {
  Add(bitmap, x0, y0, x1, y1, threshold, result).Blobs = true;
}

namespace {

bool SameHole(const TGlyphHole& a, const TGlyphHole& b) {
  return a.Size == b.Size && a.SeedX == b.SeedX && a.SeedY == b.SeedY && a.MinX == b.MinX &&
         a.MinY == b.MinY && a.MaxX == b.MaxX && a.MaxY == b.MaxY;
}

bool AnswersAsLogged(const TOmnifontOCR& engine, const TFillQuery& q) {
  if (q.Blobs)
    return CountBlobs(engine, *q.Bitmap, q.Left, q.Top, q.Right, q.Bottom, q.Threshold) == q.Result;
  THoleList holes;
  const int result = CountHoles(engine, *q.Bitmap, q.Left, q.Top, q.Right, q.Bottom, q.Threshold, &holes);
  if (result != q.Result) return false;
  if (!q.ListRead) return true;
  return holes.HoleCount == q.Holes.HoleCount &&
         std::equal(holes.Holes, holes.Holes + holes.HoleCount, q.Holes.Holes, SameHole);
}

}  // namespace

bool TFillLog::SameIn(const TOmnifontOCR& engine) const {
  if (!Complete) return false;
  return std::all_of(Queries.begin(), Queries.end(),
                     [&engine](const TFillQuery& q) { return AnswersAsLogged(engine, q); });
}

}  // namespace omniocr
