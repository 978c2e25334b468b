#pragma once

#include <filesystem>
#include <optional>

namespace merkhaus {

// The directory of the running executable, when the system tells it.
std::optional<std::filesystem::path> ExecutableDir();

// Where Merkhaus.cfg and Merkhaus.soz live: the executable's directory when the program may
// write there, otherwise ~/.config/Merkhaus/ (created on demand). `home` is $HOME.
std::filesystem::path ConfigDir(const std::optional<std::filesystem::path>& exeDir,
                                const std::filesystem::path& home);

// True when a file can be created in the directory.
bool IsWritableDir(const std::filesystem::path& dir);

}  // namespace merkhaus
