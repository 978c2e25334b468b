#pragma once

#include <cstdint>
#include <string>

namespace merkhaus {

// What a DataFile holds, counted record by record. Lessons count as live the way the lesson list
// shows them (Deleted not 1); entries count as live the way the loaders take them (Deleted 0).
// Record 0 is counted in `records` only.
struct DataFileCounts {
  std::uint64_t records = 0;  // whole records, record 0 included
  std::uint64_t liveLessons = 0;
  std::uint64_t deletedLessons = 0;
  std::uint64_t liveEntries = 0;
  std::uint64_t deletedEntries = 0;
};

// Counts the records of the file in one scan. False when the file cannot be opened.
bool CountRecords(const std::string& path, DataFileCounts& counts);

}  // namespace merkhaus
