// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "platform/messages.h"

namespace merkhaus {

// The cleanup ("Bereinigen") removes the deleted records of a DataFile for good. The DataFile as
// it was before is kept in "cleanup.tmp" in the working folder, where learners look for it as
// their backup; the next cleanup replaces it.

// "cleanup.tmp" in the process's working folder.
std::string CleanupBackupPath();

struct CleanupResult {
  bool ok = false;            // false: the learner has been told why; the DataFile is unchanged
  std::uint64_t kept = 0;     // records of the cleaned DataFile, record 0 included
  std::uint64_t dropped = 0;  // deleted records removed
};

// Holding the DataFile for itself throughout: copies it whole to `backupPath`, then writes the
// live records (record 0 first, then every record whose Deleted byte is 0, in file order, byte
// for byte) to a new file beside it and puts that in its place. Every step writes a file of its
// own and renames it into place only when it is complete on the disk, so a failure at any point
// leaves the DataFile as it was ("Fehler beim bereinigen!" with the file and the reason); a
// DataFile without deleted records is left untouched. Read errors end it as an IoError, also
// with the DataFile unchanged.
CleanupResult CleanupDataFile(const std::string& path, const std::string& backupPath,
                              Messages& messages);

}  // namespace merkhaus
