// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/cleanup.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "platform/file_io.h"
#include "store/record_file.h"
#include "store/vocdata.h"

namespace merkhaus {
namespace {

CleanupResult Failed(Messages& messages, const FileError& error) {
  ShowErr(messages,
          WithReason("Fehler beim bereinigen!", error) + "\nDas DataFile ist unverändert.");
  return {};
}

// Whether both paths name one file (a link, or the DataFile itself called "cleanup.tmp").
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return std::filesystem::equivalent(a, b, ec) && !ec;
}

}  // namespace

std::string CleanupBackupPath() {
  std::error_code ec;
  const std::filesystem::path folder = std::filesystem::current_path(ec);
  return ec ? std::string("cleanup.tmp") : (folder / "cleanup.tmp").string();
}

CleanupResult CleanupDataFile(const std::string& path, const std::string& backupPath,
                              Messages& messages) {
  if (SameFile(path, backupPath)) {
    // The backup would be replaced by the cleaned file: nothing of the old state would be left.
    ShowErr(messages, "Fehler beim bereinigen!\nDas DataFile \"" + path +
                          "\" ist selbst die Sicherungsdatei \"" + backupPath +
                          "\".\nDas DataFile ist unverändert.");
    return {};
  }
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    return Failed(messages, file.error());
  }
  FileError error;
  AtomicFile backup, cleaned;
  if (!backup.create(backupPath, error) || !cleaned.create(path, error)) {
    return Failed(messages, error);
  }

  CleanupResult result;
  std::vector<TVocData> block(RecordFile::kBlockRecords);
  std::vector<TVocData> kept;
  kept.reserve(block.size());
  for (std::uint64_t first = 0; first < file.count(); first += block.size()) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), file.count() - first));
    file.readBlock(first, n, block.data());
    if (!backup.write(block.data(), n * kRecordSize, error)) return Failed(messages, error);
    kept.clear();
    for (std::size_t i = 0; i < n; ++i) {
      // Record 0, the DataFile's header, always stays first.
      if (block[i].Deleted == 0 || first + i == 0) kept.push_back(block[i]);
    }
    result.kept += kept.size();
    result.dropped += n - kept.size();
    if (!kept.empty() && !cleaned.write(kept.data(), kept.size() * kRecordSize, error)) {
      return Failed(messages, error);
    }
  }
  // The backup is complete on the disk before the DataFile is replaced.
  if (!backup.commit(error)) return Failed(messages, error);
  if (result.dropped > 0 && !cleaned.commit(error)) return Failed(messages, error);
  file.close();
  result.ok = true;
  return result;
}

}  // namespace merkhaus
