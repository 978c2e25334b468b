// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/app_paths.h"

#include "platform/file_io.h"

#include <string>
#include <system_error>

namespace merkhaus {

std::optional<std::filesystem::path> ExecutableDir() {
  std::error_code ec;
  const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec || exe.empty()) return std::nullopt;
  return exe.parent_path();
}

bool IsWritableDir(const std::filesystem::path& dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return false;
  // Probing is the only sure test: permission bits say nothing about read-only mounts.
  return CanCreateFilesIn(dir.string());
}

std::filesystem::path ConfigDir(const std::optional<std::filesystem::path>& exeDir,
                                const std::filesystem::path& home) {
  std::error_code ec;
  if (exeDir && std::filesystem::is_regular_file(*exeDir / kLocalConfigMarker, ec) &&
      IsWritableDir(*exeDir)) {
    return *exeDir;
  }
  const auto dir = home / ".config" / "Merkhaus";
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace merkhaus
