// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the learning progress tells about a DataFile on a day: the figures of the main window
// and of "Lernstand", the entries to review, when the next ones are due. Each is one pass over
// the DataFile in blocks, with the states read from the database beforehand; the records are
// not all kept in memory, a full DataFile holds 65,025 entries.
//
// Entries count as practice loads them (live, the first 255 of a lesson), in lessons of the
// lesson list. Entries with the same words in one lesson share one memory (progress_store.h),
// so they count and are asked once, at the first of them.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <tl/expected.hpp>

#include "platform/file_io.h"
#include "progress/entry_states.h"
#include "progress/fsrs.h"

namespace merkhaus {

// Entries at least this stable count as known, the others as still being learned.
inline constexpr double kKnownStability = 21.0;

// An entry to review.
struct ReviewItem {
  std::uint8_t unitId = 0;
  TVocData entry{};
  MemoryState state;  // isNew() for an entry never answered
};

struct DueRequest {
  Day today = 0;
  // The entries to review: every due entry of every lesson, the lowest chance of recall (the
  // most overdue) first, then up to `newEntries` never answered ones in lesson order.
  bool queue = false;
  int newEntries = 0;
};

struct LessonDue {
  std::uint8_t unitId = 0;
  WinString name;
  int due = 0;    // due on the day, overdue ones included
  int fresh = 0;  // never answered
  bool operator==(const LessonDue&) const = default;
};

struct DueFigures {
  TVocData header{};
  std::vector<LessonDue> lessons;  // in the order of the lesson list
  int due = 0;                     // of all lessons: "Wiederholen (23)"
  int fresh = 0;
  std::vector<ReviewItem> queue;  // when asked for
};

// `states` needs to hold the due entries' states and know which entries have been answered
// (ProgressStore::dueStates), or hold them all.
tl::expected<DueFigures, FileError> ScanDue(const std::string& path, const EntryStates& states,
                                            const DueRequest& request);

struct LessonFigures {
  std::uint8_t unitId = 0;
  WinString name;
  int fresh = 0;     // never answered
  int learning = 0;  // answered, stability below kKnownStability
  int known = 0;
  int due = 0;                // due on the day (learning or known)
  std::vector<int> forecast;  // due on each day from the day on, today with the overdue ones
  bool operator==(const LessonFigures&) const = default;
};

// The first day after the day asked for on which entries fall due, and how many.
struct NextDue {
  Day day = 0;
  int count = 0;
  bool operator==(const NextDue&) const = default;
};

struct ProgressFigures {
  TVocData header{};
  std::vector<LessonFigures> lessons;  // in the order of the lesson list
  std::vector<int> forecast;           // of all lessons
  std::optional<NextDue> nextDue;      // nothing when no entry waits beyond the day
};

// `states` must hold every state of the DataFile (ProgressStore::states).
tl::expected<ProgressFigures, FileError> ScanFigures(const std::string& path,
                                                     const EntryStates& states, Day today,
                                                     int forecastDays);

}  // namespace merkhaus
