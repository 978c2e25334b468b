// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_figures.h"

#include <algorithm>
#include <unordered_set>

namespace merkhaus {

namespace {

// Calls f(lesson, entry, state) once for every distinct entry of every lesson (of `unitId`
// only, when given), in lesson order; `state` is null for an entry never answered.
template <class F>
void ForEachEntry(const DataFileEntries& file, const EntryStates& states,
                  std::optional<std::uint8_t> unitId, F&& f) {
  std::unordered_set<std::string> seen;
  for (const LessonEntries& lesson : file.lessons) {
    if (unitId && lesson.unitId != *unitId) continue;
    seen.clear();
    for (const TVocData& entry : lesson.entries) {
      std::string key = EntryKey(lesson.unitId, entry);
      const auto it = states.find(key);
      if (!seen.insert(std::move(key)).second) continue;
      f(lesson, entry, it == states.end() ? nullptr : &it->second);
    }
  }
}

}  // namespace

std::vector<ReviewItem> BuildReviewQueue(const DataFileEntries& file, const EntryStates& states,
                                         Day today, int newEntries) {
  std::vector<std::pair<double, ReviewItem>> due;
  std::vector<ReviewItem> fresh;
  ForEachEntry(file, states, std::nullopt,
               [&](const LessonEntries& lesson, const TVocData& entry, const MemoryState* state) {
                 if (!state) {
                   if (static_cast<int>(fresh.size()) < newEntries)
                     fresh.push_back({lesson.unitId, entry, MemoryState{}});
                 } else if (state->due <= today) {
                   due.push_back({Retrievability(*state, today), {lesson.unitId, entry, *state}});
                 }
               });
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  std::vector<ReviewItem> queue;
  queue.reserve(due.size() + fresh.size());
  for (auto& [recall, item] : due)
    queue.push_back(std::move(item));
  for (auto& item : fresh)
    queue.push_back(std::move(item));
  return queue;
}

int DueCount(const DataFileEntries& file, const EntryStates& states, Day today) {
  int count = 0;
  ForEachEntry(file, states, std::nullopt,
               [&](const LessonEntries&, const TVocData&, const MemoryState* state) {
                 if (state && state->due <= today) ++count;
               });
  return count;
}

std::vector<LessonFigures> CountLessons(const DataFileEntries& file, const EntryStates& states,
                                        Day today) {
  std::vector<LessonFigures> lines;
  for (const LessonEntries& lesson : file.lessons)
    lines.push_back({lesson.unitId, lesson.header.B1.get(), 0, 0, 0, 0});
  std::size_t line = 0;
  ForEachEntry(file, states, std::nullopt,
               [&](const LessonEntries& lesson, const TVocData&, const MemoryState* state) {
                 while (lines[line].unitId != lesson.unitId)
                   ++line;
                 LessonFigures& f = lines[line];
                 if (!state) {
                   ++f.fresh;
                   return;
                 }
                 ++(state->stability < kKnownStability ? f.learning : f.known);
                 if (state->due <= today) ++f.due;
               });
  return lines;
}

std::vector<int> DueForecast(const DataFileEntries& file, const EntryStates& states, Day today,
                             int days, std::optional<std::uint8_t> unitId) {
  std::vector<int> counts(static_cast<std::size_t>(std::max(days, 0)), 0);
  ForEachEntry(file, states, unitId,
               [&](const LessonEntries&, const TVocData&, const MemoryState* state) {
                 if (!state) return;
                 const int day = std::max(0, state->due - today);
                 if (day < days) ++counts[static_cast<std::size_t>(day)];
               });
  return counts;
}

std::optional<NextDue> FindNextDue(const DataFileEntries& file, const EntryStates& states,
                                   Day today) {
  std::optional<NextDue> next;
  ForEachEntry(file, states, std::nullopt,
               [&](const LessonEntries&, const TVocData&, const MemoryState* state) {
                 if (!state || state->due <= today) return;
                 if (!next || state->due < next->day) {
                   next = NextDue{state->due, 1};
                 } else if (state->due == next->day) {
                   ++next->count;
                 }
               });
  return next;
}

}  // namespace merkhaus
