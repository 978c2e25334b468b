// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <random>

namespace merkhaus {

// The pseudo-random numbers of the practice and the test: where the program wants fresh
// randomness it re-seeds from the clock, and otherwise draws from the same stream. An interface
// so that tests can script every draw.
class Random {
 public:
  virtual ~Random() = default;
  // Seeds the generator from the clock.
  virtual void reseed() = 0;
  // A uniform draw from 0 to n - 1; n must be at least 1.
  virtual int draw(int n) = 0;
};

// The program's generator: a Mersenne twister seeded from the clock.
class ClockRandom : public Random {
 public:
  ClockRandom();
  void reseed() override;
  int draw(int n) override;

 private:
  std::mt19937 gen_;
};

}  // namespace merkhaus
