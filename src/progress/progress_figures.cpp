// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_figures.h"

#include <algorithm>
#include <array>
#include <tuple>

#include "progress/datafile_read.h"

namespace merkhaus {

namespace {

// One pass over the DataFile: calls f(entry, key hash, state) for every entry; `state` is null
// for an entry whose state `states` does not hold.
template <class F>
tl::expected<DataFileOutline, FileError> ScanEntries(const std::string& path,
                                                     const EntryStates& states, F&& f) {
  EntryKeyBuffer buffer;
  return ScanDataFile(path, [&](const TVocData& entry) {
    const std::string_view key = EntryKey(entry.UnitID, entry, buffer);
    const std::uint64_t hash = EntryKeyHash(key);
    f(entry, hash, states.find(key, hash));
  });
}

}  // namespace

tl::expected<DueFigures, FileError> ScanDue(const std::string& path, const EntryStates& states,
                                            const DueRequest& request) {
  std::array<int, 256> due{}, fresh{};
  struct Due {
    double recall;
    std::size_t order;
    ReviewItem item;
  };
  std::vector<Due> dueItems;
  std::array<std::vector<TVocData>, 256> freshItems;
  // Most entries of a DataFile learned for long are neither due nor new; only the ones counted
  // need telling from a duplicate.
  DuplicateFilter duplicates;
  const auto outline = ScanEntries(
      path, states, [&](const TVocData& entry, std::uint64_t hash, const MemoryState* state) {
        const std::uint8_t unit = entry.UnitID;
        if (state) {
          if (state->due > request.today || !duplicates.first(unit, hash)) return;
          ++due[unit];
          if (request.queue) {
            dueItems.push_back(
                {Retrievability(*state, request.today), dueItems.size(), {unit, entry, *state}});
          }
        } else if (!states.answered(unit, hash) && duplicates.first(unit, hash)) {
          ++fresh[unit];
          if (request.queue && static_cast<int>(freshItems[unit].size()) < request.newEntries)
            freshItems[unit].push_back(entry);
        }
      });
  if (!outline) return tl::unexpected(outline.error());

  DueFigures figures;
  figures.header = outline->header;
  for (const TVocData& lesson : outline->lessons) {
    const std::uint8_t unit = lesson.UnitID;
    figures.lessons.push_back(
        {unit, lesson.B1.get(EncodingOf(outline->header)), due[unit], fresh[unit]});
    figures.due += due[unit];
    figures.fresh += fresh[unit];
  }
  if (!request.queue) return figures;

  // Equally likely to be forgotten: in lesson order.
  std::erase_if(dueItems, [&](const Due& d) { return outline->lessonOf[d.item.unitId] < 0; });
  std::sort(dueItems.begin(), dueItems.end(), [&](const Due& a, const Due& b) {
    return std::tuple(a.recall, outline->lessonOf[a.item.unitId], a.order) <
           std::tuple(b.recall, outline->lessonOf[b.item.unitId], b.order);
  });
  for (Due& d : dueItems)
    figures.queue.push_back(std::move(d.item));
  int taken = 0;
  for (const TVocData& lesson : outline->lessons) {
    for (const TVocData& entry : freshItems[lesson.UnitID]) {
      if (taken++ >= request.newEntries) return figures;
      figures.queue.push_back({lesson.UnitID, entry, MemoryState{}});
    }
  }
  return figures;
}

tl::expected<ProgressFigures, FileError> ScanFigures(const std::string& path,
                                                     const EntryStates& states, Day today,
                                                     int forecastDays) {
  const std::size_t days = static_cast<std::size_t>(std::max(forecastDays, 0));
  std::array<LessonFigures, 256> byUnit;
  for (LessonFigures& f : byUnit)
    f.forecast.assign(days, 0);
  std::array<std::optional<NextDue>, 256> next;
  DuplicateFilter duplicates;
  const auto outline = ScanEntries(
      path, states, [&](const TVocData& entry, std::uint64_t hash, const MemoryState* s) {
        if (!duplicates.first(entry.UnitID, hash)) return;
        LessonFigures& f = byUnit[entry.UnitID];
        if (!s) {
          ++f.fresh;
          return;
        }
        ++(s->stability < kKnownStability ? f.learning : f.known);
        if (s->due <= today) ++f.due;
        const std::size_t day = static_cast<std::size_t>(std::max(0, s->due - today));
        if (day < days) ++f.forecast[day];
        auto& n = next[entry.UnitID];
        if (s->due <= today) return;
        if (!n || s->due < n->day) {
          n = NextDue{s->due, 1};
        } else if (s->due == n->day) {
          ++n->count;
        }
      });
  if (!outline) return tl::unexpected(outline.error());

  ProgressFigures figures;
  figures.header = outline->header;
  figures.forecast.assign(days, 0);
  for (const TVocData& lesson : outline->lessons) {
    LessonFigures& f = byUnit[lesson.UnitID];
    f.unitId = lesson.UnitID;
    f.name = lesson.B1.get(EncodingOf(outline->header));
    for (std::size_t d = 0; d < days; ++d)
      figures.forecast[d] += f.forecast[d];
    if (const auto& n = next[lesson.UnitID]) {
      if (!figures.nextDue || n->day < figures.nextDue->day) {
        figures.nextDue = n;
      } else if (n->day == figures.nextDue->day) {
        figures.nextDue->count += n->count;
      }
    }
    figures.lessons.push_back(std::move(f));
  }
  return figures;
}

}  // namespace merkhaus
