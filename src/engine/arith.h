#pragma once

// The engine's integer arithmetic rules, each in one place. C++ integer
// division already truncates toward zero, as every plain division must.

#include <cmath>
#include <cstdint>

namespace omniocr {

// A real value taken to the nearest integer, ties to the even neighbour.
inline std::int32_t RoundHalfEven(double value) {
  return static_cast<std::int32_t>(std::nearbyint(value));  // default mode: to nearest, ties even
}

// numerator / denominator taken to the nearest integer, ties to the even
// neighbour, computed exactly. denominator must not be 0.
inline std::int64_t NearestDiv(std::int64_t numerator, std::int64_t denominator) {
  if (denominator < 0) {
    numerator = -numerator;
    denominator = -denominator;
  }
  std::int64_t q = numerator / denominator;
  std::int64_t r = numerator % denominator;  // same sign as numerator
  if (r < 0) {
    --q;
    r += denominator;
  }
  // Now numerator = q * denominator + r with 0 <= r < denominator.
  const std::int64_t twice = 2 * r;
  if (twice > denominator || (twice == denominator && (q & 1) != 0)) ++q;
  return q;
}

// The last y with 2y < s, and the last with 2y <= s: a scan "while 2y < s"
// ends its rows there.
constexpr int LastBelowHalf(int s) { return (s - 1) >> 1; }
constexpr int LastAtHalf(int s) { return s >> 1; }

// One confidence factor: c = c * percent / 100, truncating. Successive factors
// are applied one after another, each truncating.
inline int Factor(int confidence, int percent) { return confidence * percent / 100; }

}  // namespace omniocr
