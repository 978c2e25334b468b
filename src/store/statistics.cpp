// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/statistics.h"

#include "store/record_file.h"

namespace merkhaus {

StoreResult<DataFileCounts> CountRecords(const std::string& path) {
  auto opened = RecordFile::open(path, Access::Read);
  if (!opened) return Refused(opened.error());
  RecordFile& file = *opened;
  DataFileCounts counts;
  counts.records = file.count();
  counts.damaged = file.damaged();
  if (counts.records > 0) file.read(0, counts.header);
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (IsUnitHeader(r)) {
      ++(r.Deleted == 1 ? counts.deletedLessons : counts.liveLessons);
    } else {
      ++(r.Deleted == 0 ? counts.liveEntries : counts.deletedEntries);
      if (r.Deleted > 1) ++counts.damagedEntries;
    }
    return true;
  });
  return counts;
}

}  // namespace merkhaus
