// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/error_quotient.h"

#include <gtest/gtest.h>

namespace merkhaus {
namespace {

TEST(ErrorQuotient, RoundsTheShareInExtendedPrecisionHalvesToEven) {
  struct Case {
    unsigned right, asked;
    int quotient;
  };
  const Case cases[] = {
      {10, 10, 0},
      {0, 10, 100},
      {7, 10, 30},
      {1, 8, 88},   // 12.5 goes down to the even 12
      {3, 8, 62},   // 37.5 goes up to the even 38
      {1, 40, 98},  // 2.5 goes down to the even 2
      // 62.5 in exact arithmetic (and in double precision, which would give 38 %), but 104 / 100
      // in extended precision is a little below 1.04, so the share is a little above 62.5.
      {65, 104, 37},
      {2, 3, 33},  // 66.67
      {1, 1, 0},
      {0, 1, 100},
      {255, 255, 0},
      {254, 255, 0},
      {1, 255, 100},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.quotient, ErrorQuotient(c.right, c.asked)) << c.right << " of " << c.asked;
  }
}

}  // namespace
}  // namespace merkhaus
