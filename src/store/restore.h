// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win_string.h"
#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// Deleted lessons and entries stay in the DataFile, marked, until the cleanup removes them; from
// here they are listed and brought back.
//
// A UnitID is free again as soon as its lesson is deleted, so over time several lessons may
// have carried the same number. A lesson restore brings back the range of its header: up to the
// next lesson header with the same UnitID (entries are only ever appended, and a new lesson with
// the number can only be made once the older one is gone), so that it never takes in a later
// lesson's entries. Entries that sit after a later header of the UnitID (added once the older
// lesson was restored) stay deleted then, but are never out of reach: the deleted entries of a
// live lesson are every deleted entry of its UnitID in the whole file, listed and restored one by
// one. Two live headers with one UnitID are never made: such a restore is refused.

// A deleted entry's line in the restore list: A1 and "  =  " cut to 65 characters, then B1, the
// whole cut to 125.
WinString DeletedEntryLine(const TVocData& entry, TextEncoding encoding = TextEncoding::Cp1252);

struct DeletedLines {
  std::uint64_t records = 0;  // whole records of the file
  std::vector<WinString> lines;
};

// The names of the deleted lessons, in file order.
StoreResult<DeletedLines> ListDeletedLessons(const std::string& path);

// The lines of the deleted entries of the live lesson `unitId` (all of the UnitID in the whole
// file), in file order; none when there is no such lesson.
StoreResult<DeletedLines> ListDeletedEntries(const std::string& path, std::uint8_t unitId);

// Brings back the first deleted lesson named `name` with every deleted record of its range
// (its header, the entries deleted with it and those deleted one by one before) and yields the
// number of records brought back (0 when no deleted lesson has the name). Refused, with the file
// unchanged, when a live lesson has that name (Kind::NameTaken) or now holds its UnitID
// (Kind::UnitIdHeld, naming that lesson). When a write fails, the records already restored are
// marked deleted again (`rolledBack`; false when even that failed).
StoreResult<std::uint32_t> RestoreLesson(const std::string& path, const WinString& name);

// Brings back the first deleted entry of the live lesson `unitId` whose restore-list line is
// `line` and yields 1; two equal lines are restored one per call, the earlier record first. 0
// when no entry has the line.
StoreResult<std::uint32_t> RestoreEntry(const std::string& path, std::uint8_t unitId,
                                        const WinString& line);

}  // namespace merkhaus
