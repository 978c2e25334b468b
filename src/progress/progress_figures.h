// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the learning progress tells about a DataFile on a day: the entries to review and the
// figures of the main window, the review's end and "Lernstand". Pure functions of the DataFile's
// entries and their memory states.
//
// Entries with the same words in one lesson share one memory (progress_store.h), so they count
// and are asked once, at the first of them.

#include <cstdint>
#include <optional>
#include <vector>

#include "progress/datafile_read.h"
#include "progress/fsrs.h"
#include "progress/progress_store.h"

namespace merkhaus {

// Entries at least this stable count as known, the others as still being learned.
inline constexpr double kKnownStability = 21.0;

// An entry to review.
struct ReviewItem {
  std::uint8_t unitId = 0;
  TVocData entry{};
  MemoryState state;  // isNew() for an entry never answered
};

// The entries to review on `today`: every due entry of every lesson, the lowest chance of recall
// (the most overdue) first, then up to `newEntries` never answered ones in lesson order.
std::vector<ReviewItem> BuildReviewQueue(const DataFileEntries& file, const EntryStates& states,
                                         Day today, int newEntries);

// The number of entries due on `today` (for "Wiederholen (23)").
int DueCount(const DataFileEntries& file, const EntryStates& states, Day today);

struct LessonFigures {
  std::uint8_t unitId = 0;
  WinString name;
  int fresh = 0;     // never answered
  int learning = 0;  // answered, stability below kKnownStability
  int known = 0;
  int due = 0;  // due on the day asked for (learning or known)
  bool operator==(const LessonFigures&) const = default;
};
// One line per lesson, in the order of the lesson list.
std::vector<LessonFigures> CountLessons(const DataFileEntries& file, const EntryStates& states,
                                        Day today);

// How many entries fall due on each of `days` days from `today` on; today's count includes the
// overdue ones. With `unitId`, of that lesson only.
std::vector<int> DueForecast(const DataFileEntries& file, const EntryStates& states, Day today,
                             int days, std::optional<std::uint8_t> unitId = std::nullopt);

// The first day after `today` on which entries fall due, and how many; nothing when no entry
// has been answered.
struct NextDue {
  Day day = 0;
  int count = 0;
  bool operator==(const NextDue&) const = default;
};
std::optional<NextDue> FindNextDue(const DataFileEntries& file, const EntryStates& states,
                                   Day today);

}  // namespace merkhaus
