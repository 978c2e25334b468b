// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "flows/services.h"

namespace merkhaus {

// At most this many over-long fields are listed in one message; the rest are counted.
inline constexpr std::size_t kListedOverlongFields = 12;

// "In Unicode umwandeln…" of the DataFile editor, on the current DataFile: asks where its
// Unicode copy goes (beside it, "NAME-unicode.fid", proposed), writes the copy, and talks the
// learner through what may stop it: fields that no longer fit their 60 bytes (listed; written
// only if the learner agrees to cut them), an existing file at the target (replaced only if the
// learner agrees), a file error (named with its reason). The learning progress follows the copy.
// The source is never changed. Gives the copy's path when it was written and the learner wants
// to go on working in it; nothing otherwise.
std::optional<std::string> ConvertDataFileToUnicode(Services& services);

// The path proposed for the Unicode copy of `path`: "vokabeln.fid" -> "vokabeln-unicode.fid".
std::string UnicodeCopyPath(const std::string& path);

}  // namespace merkhaus
