// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "config/options.h"

namespace merkhaus {

// The file beside Merkhaus.cfg that holds the settings Merkhaus.cfg has no line for. The 77
// lines of Merkhaus.cfg are read by position by every program that knows the format, so nothing
// is ever added to them.
inline constexpr const char* kMoreOptionsFileName = "Merkhaus3.conf";

// The file's text: one "key=value" line per setting, UTF-8, LF, in a fixed order, then the
// unknown lines.
std::string MoreOptionsText(const MoreOptions& options);

// Reads the text of the file. Lines without "=", blank lines and lines starting with "#" are
// passed over; a value that does not fit its setting leaves the setting as it is; the last of
// two lines with one key wins.
void ReadMoreOptions(std::string_view text, MoreOptions& options);

}  // namespace merkhaus
