// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <string_view>

#include "progress/calendar.h"

namespace merkhaus {

// The scheduler that decides when an entry is asked again: FSRS-6, the free spaced repetition
// scheduler with its 21 published default parameters, computed as its reference implementation
// (ts-fsrs 5) computes it in its long-term mode: no learning steps within a day and no random
// spread of the intervals, so that the same answers give the same days everywhere.
//
// Pure functions on a memory state; the progress database keeps the states.

// How well the learner knew an entry.
enum class Grade { Again = 1, Hard = 2, Good = 3, Easy = 4 };

// "Nochmal", "Schwer", "Gut", "Leicht".
std::string_view GradeName(Grade grade);

// What the scheduler knows of one entry. A state with no reviews is a new entry; its other
// values mean nothing.
struct MemoryState {
  double stability = 0;   // days until the chance of recall falls to 90 %
  double difficulty = 0;  // 1 (easy) to 10 (hard)
  Day lastReview = 0;
  Day due = 0;
  int reps = 0;    // reviews so far
  int lapses = 0;  // "Nochmal" on an entry that had been learned

  bool isNew() const { return reps == 0; }
  bool operator==(const MemoryState&) const = default;
};

struct SchedulerParams {
  // The chance of recall at which an entry becomes due: higher means shorter intervals.
  double desiredRetention = 0.9;  // 0.70 to 0.99
  int maximumInterval = 36500;    // days
};

inline constexpr double kMinRetention = 0.70;
inline constexpr double kMaxRetention = 0.99;

// The states that each of the four grades would lead to, answered on `today`: index 0 for
// Again up to 3 for Easy. Their intervals (due − today) are at least 1 day and strictly
// increase from Hard to Easy, Again's never exceeding Hard's. A day before the last review
// counts as the same day.
std::array<MemoryState, 4> PreviewReview(const MemoryState& state, Day today,
                                         const SchedulerParams& params);

// The state after answering with `grade` on `today`.
MemoryState Review(const MemoryState& state, Grade grade, Day today, const SchedulerParams& params);

// The days until due that each grade would give (Again, Hard, Good, Easy).
std::array<int, 4> NextIntervals(const MemoryState& state, Day today,
                                 const SchedulerParams& params);

// The chance of recalling a learned entry on `today`, 0 to 1 (rounded to 8 decimals).
double Retrievability(const MemoryState& state, Day today);

}  // namespace merkhaus
