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
  ShowFileError(messages, "Fehler beim bereinigen!", error, "Das DataFile ist unverändert.");
  return {};
}

// Whether both paths name one file by one name (a symbolic link, or the DataFile itself called
// "cleanup.tmp"). A second hard link is another name: the backup that a cleanup killed before it
// replaced the DataFile leaves, which the next backup replaces without touching the DataFile.
bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  if (!std::filesystem::equivalent(a, b, ec) || ec) return false;
  const std::filesystem::path realA = std::filesystem::canonical(a, ec);
  if (ec) return true;
  const std::filesystem::path realB = std::filesystem::canonical(b, ec);
  return ec || realA == realB;
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
  auto opened = RecordFile::open(path, Access::Write);
  if (!opened) return Failed(messages, opened.error());
  RecordFile& file = *opened;
  AtomicFile backup, cleaned;
  if (FileResult<> created = backup.create(backupPath, Publish::RefuseLink).and_then([&] {
        return cleaned.create(path);
      });
      !created) {
    return Failed(messages, created.error());
  }

  CleanupResult result;
  // The old bytes must be on the disk as the backup before the DataFile is replaced: the disk
  // starts on them now, while the kept records are written in large blocks, each run of kept
  // records with one write, and the disk gets those as they come.
  file.startWriteback();
  constexpr std::size_t kBlock = 4096;
  std::vector<TVocData> block(kBlock);
  for (std::uint64_t first = 0; first < file.count(); first += block.size()) {
    const std::size_t n =
        static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), file.count() - first));
    file.readBlock(first, n, block.data());
    // Kept records move forward over the dropped ones in place.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
      // Record 0, the DataFile's header, always stays first.
      if (block[i].Deleted == 0 || first + i == 0) {
        if (kept != i) block[kept] = block[i];
        ++kept;
      }
    }
    result.kept += kept;
    result.dropped += n - kept;
    if (kept == 0) continue;
    if (FileResult<> written = cleaned.write(block.data(), kept * kRecordSize); !written) {
      return Failed(messages, written.error());
    }
    cleaned.startWriteback();
  }
  // The backup is the old file itself under its second name when the new one replaces it;
  // otherwise (nothing dropped, or another file system) a copy made by the kernel.
  if (result.dropped == 0 || !file.linkTo(backup)) {
    if (FileResult<> copied = file.copyTo(backup); !copied) {
      return Failed(messages, copied.error());
    }
  }
  // The backup is complete on the disk before the DataFile is replaced.
  if (FileResult<> backedUp = backup.commit(); !backedUp) return Failed(messages, backedUp.error());
  if (result.dropped > 0) {
    if (FileResult<> replaced = cleaned.commit(); !replaced) {
      return Failed(messages, replaced.error());
    }
  }
  file.close();
  result.ok = true;
  return result;
}

}  // namespace merkhaus
