// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/fsrs.h"

#include <algorithm>
#include <cmath>

namespace merkhaus {

namespace {

// The published default parameters of FSRS-6. w[20] is the decay of the forgetting curve.
constexpr std::array<double, 21> w = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                      0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                      1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
constexpr double kMinStability = 0.001;
constexpr double kMaxStability = 36500.0;

// The reference rounds almost every intermediate value to 8 decimals, with JavaScript's
// rounding (halves towards +infinity, also for negative numbers); the same steps here give the
// same days and the same stored values.
double RoundHalfUp(double x) {
  const double down = std::floor(x);
  return x - down >= 0.5 ? down + 1 : down;
}
double Round8(double x) {
  return RoundHalfUp(x * 1e8) / 1e8;
}

double Clamp(double x, double low, double high) {
  return std::min(std::max(x, low), high);
}

constexpr double kDecay = -w[20];
const double kFactor = Round8(std::exp(std::pow(kDecay, -1) * std::log(0.9)) - 1.0);

// Days per unit of stability at which the chance of recall falls to the desired retention.
double IntervalModifier(double retention) {
  return Round8((std::pow(retention, 1 / kDecay) - 1) / kFactor);
}

double ForgettingCurve(double elapsedDays, double stability) {
  return Round8(std::pow(1 + (kFactor * elapsedDays) / stability, kDecay));
}

double InitStability(Grade g) {
  return std::max(w[static_cast<int>(g) - 1], 0.1);
}

double InitDifficulty(Grade g) {
  return Round8(w[4] - std::exp((static_cast<int>(g) - 1) * w[5]) + 1);
}

// The change towards 10 shrinks as the difficulty nears it, and every review pulls a little
// towards the difficulty of a first "Leicht" (mean reversion).
double NextDifficulty(double d, Grade g) {
  const double delta = -w[6] * (static_cast<int>(g) - 3);
  const double next = d + Round8((delta * (10 - d)) / 9);
  return Clamp(Round8(w[7] * InitDifficulty(Grade::Easy) + (1 - w[7]) * next), 1, 10);
}

double RecallStability(double d, double s, double r, Grade g) {
  const double hardPenalty = g == Grade::Hard ? w[15] : 1;
  const double easyBonus = g == Grade::Easy ? w[16] : 1;
  return Round8(Clamp(s * (1 + std::exp(w[8]) * (11 - d) * std::pow(s, -w[9]) *
                                   (std::exp((1 - r) * w[10]) - 1) * hardPenalty * easyBonus),
                      kMinStability, kMaxStability));
}

double ForgetStability(double d, double s, double r) {
  const double fresh = Round8(
      Clamp(w[11] * std::pow(d, -w[12]) * (std::pow(s + 1, w[13]) - 1) * std::exp((1 - r) * w[14]),
            kMinStability, kMaxStability));
  // Forgetting never makes the memory more stable than it was.
  return Clamp(Round8(s), kMinStability, fresh);
}

int Interval(double stability, const SchedulerParams& params) {
  const double days = RoundHalfUp(stability * IntervalModifier(params.desiredRetention));
  return static_cast<int>(std::min(std::max(1.0, days), double(params.maximumInterval)));
}

}  // namespace

std::string_view GradeName(Grade grade) {
  switch (grade) {
    case Grade::Again:
      return "Nochmal";
    case Grade::Hard:
      return "Schwer";
    case Grade::Good:
      return "Gut";
    case Grade::Easy:
      return "Leicht";
  }
  return "";
}

std::array<MemoryState, 4> PreviewReview(const MemoryState& state, Day today,
                                         const SchedulerParams& params) {
  constexpr Grade kGrades[4] = {Grade::Again, Grade::Hard, Grade::Good, Grade::Easy};
  std::array<MemoryState, 4> next;
  // A second review on one day, or a clock turned back, counts 0 days.
  const int elapsed = state.isNew() ? 0 : std::max(0, today - state.lastReview);
  const double r = state.isNew() ? 1 : ForgettingCurve(elapsed, state.stability);
  for (int i = 0; i < 4; ++i) {
    const Grade g = kGrades[i];
    MemoryState& n = next[i];
    n = state;
    if (state.isNew()) {
      n.stability = InitStability(g);
      n.difficulty = Clamp(InitDifficulty(g), 1, 10);
    } else {
      n.stability = g == Grade::Again ? ForgetStability(state.difficulty, state.stability, r)
                                      : RecallStability(state.difficulty, state.stability, r, g);
      n.difficulty = NextDifficulty(state.difficulty, g);
    }
    n.lastReview = state.isNew() ? today : std::max(today, state.lastReview);
    n.reps = state.reps + 1;
  }
  if (!state.isNew()) ++next[0].lapses;

  // The four intervals strictly increase, so that each button means more time than the last.
  int again = Interval(next[0].stability, params), hard = Interval(next[1].stability, params);
  int good = Interval(next[2].stability, params), easy = Interval(next[3].stability, params);
  again = std::min(again, hard);
  hard = std::max(hard, again + 1);
  good = std::max(good, hard + 1);
  easy = std::max(easy, good + 1);
  const int days[4] = {again, hard, good, easy};
  for (int i = 0; i < 4; ++i)
    next[i].due = next[i].lastReview + days[i];
  return next;
}

MemoryState Review(const MemoryState& state, Grade grade, Day today,
                   const SchedulerParams& params) {
  return PreviewReview(state, today, params)[static_cast<int>(grade) - 1];
}

std::array<int, 4> NextIntervals(const MemoryState& state, Day today,
                                 const SchedulerParams& params) {
  const auto next = PreviewReview(state, today, params);
  std::array<int, 4> days;
  for (int i = 0; i < 4; ++i)
    days[i] = next[i].due - next[i].lastReview;
  return days;
}

double Retrievability(const MemoryState& state, Day today) {
  if (state.isNew()) return 0;
  return ForgettingCurve(std::max(0, today - state.lastReview), state.stability);
}

}  // namespace merkhaus
