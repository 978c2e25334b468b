#include "store/statistics.h"

#include "store/record_file.h"

namespace merkhaus {

bool CountRecords(const std::string& path, DataFileCounts& counts) {
  counts = DataFileCounts{};
  RecordFile file;
  if (!file.open(path)) return false;
  counts.records = file.count();
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (IsUnitHeader(r)) {
      ++(r.Deleted == 1 ? counts.deletedLessons : counts.liveLessons);
    } else {
      ++(r.Deleted == 0 ? counts.liveEntries : counts.deletedEntries);
      if (r.Deleted > 1) ++counts.damagedEntries;
    }
    return true;
  });
  return true;
}

}  // namespace merkhaus
