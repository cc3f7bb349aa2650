#include "engine/arith.h"

#include <gtest/gtest.h>

namespace omniocr {
namespace {

TEST(Arith, NearestDivRoundsTiesToEven) {
  struct Case {
    std::int64_t n, d, expected;
  } cases[] = {{5, 2, 2},  {7, 2, 4}, {1, 2, 0}, {3, 2, 2}, {-5, 2, -2}, {-7, 2, -4}, {10, 4, 2},
               {11, 4, 3}, {9, 4, 2}, {2, 3, 1}, {1, 3, 0}, {5, -2, -2}, {0, 7, 0}};
  for (const Case& c : cases) EXPECT_EQ(NearestDiv(c.n, c.d), c.expected) << c.n << "/" << c.d;
}

TEST(Arith, RoundHalfEvenAndSuccessiveFactorsTruncate) {
  EXPECT_EQ(RoundHalfEven(76.5), 76);
  EXPECT_EQ(RoundHalfEven(77.5), 78);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(Factor(Factor(100, 95), 90), 85);  // not 85.5
  EXPECT_EQ(Factor(Factor(100, 98), 98), 96);
}

}  // namespace
}  // namespace omniocr
