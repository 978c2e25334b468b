// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <optional>

namespace merkhaus {

// The file that marks the executable's directory as the home of Merkhaus.cfg and Merkhaus.soz.
// The build puts one into every build folder, so that a developer's options stay beside the
// program they belong to; an installed program has none and never writes under its prefix, not
// even as root, who could write to /usr/bin. A copy of the program carried on a USB stick keeps
// its options with it when the learner puts this file beside it.
inline constexpr const char* kLocalConfigMarker = "Merkhaus.portable";

// The directory of the running executable, when the system tells it.
std::optional<std::filesystem::path> ExecutableDir();

// The user's base folders after the XDG base directory rules: $XDG_CONFIG_HOME and
// $XDG_DATA_HOME when they hold an absolute path, otherwise ~/.config and ~/.local/share.
struct UserDirs {
  std::filesystem::path config;
  std::filesystem::path data;
};
// `home` is $HOME; the two others are the variables' values, null when unset.
UserDirs UserDirsFor(const char* home, const char* xdgConfigHome, const char* xdgDataHome);
// The same, from this process's environment.
UserDirs UserDirsFromEnvironment();

// Where Merkhaus.cfg and Merkhaus.soz live: the executable's directory when it holds the marker
// file and the program may write there, otherwise `userConfig`/Merkhaus/ (created on demand).
std::filesystem::path ConfigDir(const std::optional<std::filesystem::path>& exeDir,
                                const std::filesystem::path& userConfig);

// Where the program keeps its data (the learning progress): the executable's directory in the
// portable mode, as for the options, otherwise `userData`/Merkhaus/ (created on demand).
std::filesystem::path DataDir(const std::optional<std::filesystem::path>& exeDir,
                              const std::filesystem::path& userData);

// True when a file can be created in the directory.
bool IsWritableDir(const std::filesystem::path& dir);

}  // namespace merkhaus
