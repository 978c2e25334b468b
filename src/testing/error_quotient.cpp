// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/error_quotient.h"

#include <cmath>
#include <limits>

namespace merkhaus {

// The quotient is computed in the x87 extended format (a 64-bit significand). On a platform
// whose long double is narrower, this arithmetic has to be emulated; results must not change.
static_assert(std::numeric_limits<long double>::digits == 64,
              "the error quotient needs long double with a 64-bit significand");

namespace {

// Rounds to the nearest whole number; a value exactly halfway goes to the even neighbour. Does
// not depend on the rounding mode of the floating-point environment.
long double RoundHalfEven(long double x) {
  const long double below = std::floor(x);
  const long double fraction = x - below;
  if (fraction > 0.5L) return below + 1;
  if (fraction < 0.5L) return below;
  return std::fmod(below, 2.0L) == 0 ? below : below + 1;
}

}  // namespace

int ErrorQuotient(unsigned right, unsigned asked) {
  const long double share =
      static_cast<long double>(right) / (static_cast<long double>(asked) / 100.0L);
  return 100 - static_cast<int>(RoundHalfEven(share));
}

}  // namespace merkhaus
