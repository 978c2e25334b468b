// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_io.h"

namespace merkhaus {

// The small text files of the program (Merkhaus.cfg, Merkhaus.soz): lines of Windows-1252 bytes.

// Reads at most `maxLines` lines. A line ends at LF; a CR right before the LF belongs to the line
// end, so files with CR LF and files with LF alone read the same. Bytes of a line beyond
// `maxLineBytes` are dropped, so that a damaged or foreign file can never exhaust memory.
// Fails when the file cannot be opened or read (missing, a folder, a FIFO, no permission).
FileResult<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                   std::size_t maxLines, std::size_t maxLineBytes);

// Replaces the file's contents with `bytes` (WriteWholeFile): a failed or interrupted write
// leaves the old file whole, and a file that the learner made read-only is not replaced.
FileResult<> ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace merkhaus
