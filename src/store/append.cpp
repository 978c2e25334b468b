// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/append.h"

namespace merkhaus {

StoreResult<> AppendAllOrNothing(const std::string& path, const AppendFill& fill) {
  auto opened = RecordFile::open(path, Access::Write);
  if (!opened) return Refused(opened.error());
  RecordFile& file = *opened;
  try {
    Appender out(file);
    StoreResult<> filled = fill(out);
    if (filled) {
      file.finish();
    } else if (!file.rollBack()) {
      return Refused(
          StoreError::writeInterrupted(FileError{path, FileError::Step::Write, EIO}, false));
    }
    return filled;
  } catch (const IoError& e) {
    return Refused(StoreError::writeInterrupted(e.error(), file.rollBack()));
  }
}

}  // namespace merkhaus
