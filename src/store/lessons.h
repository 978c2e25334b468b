// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <set>
#include <string>

#include "platform/win_string.h"
#include "store/append.h"
#include "store/store_error.h"

namespace merkhaus {

// Lessons are made, found and deleted here. Every change holds the DataFile for itself from the
// first read to the last write, so that a second program can neither hand out the same UnitID
// nor mix its records in half-way.

// The lessons of a DataFile that an append holds, as one scan finds them. An import that makes
// many lessons reads the file once through it, not once per lesson.
class LessonRoster {
 public:
  explicit LessonRoster(RecordFile& file);
  // The number of UnitIDs that no live lesson holds.
  std::size_t freeCount() const;
  // True when a live lesson, or one made through this roster, has exactly this name
  // (case-sensitive, untrimmed).
  bool nameExists(const WinString& name) const;
  // Adds a new lesson header with the next free UnitID (the name cut to 60, the comment to 255)
  // and yields it: 1 in a DataFile without lessons, otherwise the highest of 255..1 that no live
  // lesson holds; 0, with nothing added, when all 255 are taken. Names are not checked here.
  std::uint8_t create(Appender& out, const WinString& name, const WinString& comment);

 private:
  RecordFile& file_;
  std::array<bool, 256> used_{};
  std::set<std::string> names_;
};

// Adds a new lesson and yields its UnitID. Refused with Kind::NoFreeUnitId when all 255 are
// taken, Kind::NameTaken when a live lesson has the name. The name is neither trimmed nor
// checked for emptiness here.
StoreResult<std::uint8_t> CreateLesson(const std::string& path, const WinString& name,
                                       const WinString& comment);

// Marks the lesson's header and every live record of the UnitID as deleted (record 0 never).
// Yields the number of records marked.
StoreResult<std::uint32_t> DeleteLessonRecords(const std::string& path, std::uint8_t unitId);

// Deletes the first live lesson whose lesson-list line is `line` the same way. Yields the
// number of records marked (the header included), 0 when the line matches no lesson.
StoreResult<std::uint32_t> DeleteLessonOfLine(const std::string& path, const WinString& line);

}  // namespace merkhaus
