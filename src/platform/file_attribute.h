// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace merkhaus {

// A few bytes kept with a file of the program's own in an extended attribute, where the file
// system has them. They live in the file's metadata, so a file that holds nothing else needs no
// block on the disk: making, flushing and removing it is cheaper.

// Writes `bytes` into the attribute `name` (e.g. "user.merkhaus.journal") of the file at `path`,
// never through a symbolic link, in one step. False, with nothing written, where the file system
// keeps no such attributes; any other failure throws IoError naming the file. The test seam's
// Write fault of the path applies as to the file's bytes: the attribute is written whole or not
// at all.
bool SetOwnAttribute(const std::string& path, const char* name, std::string_view bytes);

// The attribute's bytes, or nothing when the file has none (or the file system keeps none).
std::optional<std::string> OwnAttribute(const std::string& path, const char* name);

}  // namespace merkhaus
