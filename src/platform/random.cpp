// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/random.h"

#include <chrono>

namespace merkhaus {

ClockRandom::ClockRandom() {
  reseed();
}

void ClockRandom::reseed() {
  const auto ticks = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  gen_.seed(static_cast<std::mt19937::result_type>(ticks ^ (ticks >> 32)));
}

int ClockRandom::draw(int n) {
  if (n <= 1) return 0;
  return std::uniform_int_distribution<int>(0, n - 1)(gen_);
}

}  // namespace merkhaus
