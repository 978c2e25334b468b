// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/app_paths.h"

#include "platform/file_io.h"

#include <cstdlib>
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

UserDirs UserDirsFor(const char* home, const char* xdgConfigHome, const char* xdgDataHome) {
  const std::filesystem::path homeDir = home && *home ? home : ".";
  // The rules say a relative value is invalid and to be ignored.
  const auto pick = [](const char* value, std::filesystem::path fallback) {
    if (value && *value == '/') return std::filesystem::path(value);
    return fallback;
  };
  return {pick(xdgConfigHome, homeDir / ".config"),
          pick(xdgDataHome, homeDir / ".local" / "share")};
}

UserDirs UserDirsFromEnvironment() {
  return UserDirsFor(std::getenv("HOME"), std::getenv("XDG_CONFIG_HOME"),
                     std::getenv("XDG_DATA_HOME"));
}

namespace {

std::filesystem::path PortableOr(const std::optional<std::filesystem::path>& exeDir,
                                 const std::filesystem::path& userBase) {
  std::error_code ec;
  if (exeDir && std::filesystem::is_regular_file(*exeDir / kLocalConfigMarker, ec) &&
      IsWritableDir(*exeDir)) {
    return *exeDir;
  }
  const auto dir = userBase / "Merkhaus";
  std::filesystem::create_directories(dir, ec);
  return dir;
}

}  // namespace

std::filesystem::path ConfigDir(const std::optional<std::filesystem::path>& exeDir,
                                const std::filesystem::path& userConfig) {
  return PortableOr(exeDir, userConfig);
}

std::filesystem::path DataDir(const std::optional<std::filesystem::path>& exeDir,
                              const std::filesystem::path& userData) {
  return PortableOr(exeDir, userData);
}

}  // namespace merkhaus
