// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_flows.h"

#include "store/datafile.h"
#include "store/record_file.h"

namespace merkhaus {

bool WriteHeaderInfo(Shared& shared, Messages& messages, bool dataFile, const WinString& name,
                     const WinString& comment) {
  RecordFile file;
  if (!file.open(shared.DataFilePath, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler in Unit12!", file.error()));
    return false;
  }
  bool written = false;
  file.scan(0, [&](std::uint64_t index, TVocData& r) {
    const bool wanted =
        dataFile ? index == 0 : IsUnitHeader(r) && r.Deleted == 0 && r.UnitID == shared.CurUnitID;
    if (!wanted) return true;
    r.B1.set(name);
    r.Comment.set(comment);
    file.write(index, r);
    (dataFile ? shared.DataFileHeader : shared.CurUnit) = r;
    written = true;
    return false;
  });
  file.finish();
  return written;
}

}  // namespace merkhaus
