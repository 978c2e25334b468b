// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/append.h"

namespace merkhaus {

StoreResult<> AppendAllOrNothing(const std::string& path, const AppendFill& fill) {
  auto opened = RecordFile::open(path, Access::Write);
  if (!opened) return Refused(opened.error());
  RecordFile& file = *opened;
  const std::uint64_t before = file.count();
  try {
    Appender out(file);
    StoreResult<> filled = fill(out);
    if (filled) {
      file.finish();
    } else if (file.count() != before) {
      file.truncate(before);
      file.finish();
    }
    return filled;
  } catch (const IoError& e) {
    bool rolledBack = true;
    try {
      if (file.isOpen()) {
        file.truncate(before);
        file.finish();
      }
    } catch (const IoError&) {
      rolledBack = false;
    }
    return Refused(StoreError::writeInterrupted(e.error(), rolledBack));
  }
}

}  // namespace merkhaus
