// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// What a DataFile holds, counted record by record; record 0 counts in `records` only. Lessons
// count as live the way the lesson list shows them (Deleted not 1). Entries count as live the
// way the loaders take them (Deleted 0), every other entry as deleted. The program only ever
// writes 0 or 1; an entry with another Deleted byte (a damaged file) is also counted in
// `damagedEntries`, so that a view which counts "not 1" as live can be derived exactly.
struct DataFileCounts {
  std::uint64_t records = 0;  // whole records, record 0 included
  std::uint64_t liveLessons = 0;
  std::uint64_t deletedLessons = 0;
  std::uint64_t liveEntries = 0;
  std::uint64_t deletedEntries = 0;
  std::uint64_t damagedEntries = 0;  // part of deletedEntries
  bool damaged = false;              // the file ends in a partial record
  TVocData header{};                 // record 0
};

// Counts the records of the file in one scan.
StoreResult<DataFileCounts> CountRecords(const std::string& path);

}  // namespace merkhaus
