// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/stream_messages.h"
#include "platform/win_string.h"
#include "store/lesson_list.h"

namespace merkhaus::tool {

// Splits arguments into positional ones and "--name value" / "--flag" options; after a "--" every
// argument is positional. `valued` lists the options that take a value. False (with a German
// message on err) on an unknown or incomplete option.
struct ParsedArgs {
  std::vector<std::string> positional;
  std::vector<std::pair<std::string, std::string>> options;  // name without "--", value
  bool has(const std::string& name) const;
  std::optional<std::string> value(const std::string& name) const;
};
bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, ParsedArgs& out, std::ostream& err);

// Checks that the file exists and is a DataFile; otherwise writes the German message and yields
// false.
bool RequireDataFile(const std::string& path, Messages& messages);
// RequireDataFile for a verb that changes the DataFile: a write-protected one is refused before
// anything is tried, the file and the reason in the first line. A damaged one is taken, as the
// write cuts its partial record away (and says so).
bool RequireWritableDataFile(const std::string& path, Messages& messages);

// The encoding of the DataFile at `path` (Windows-1252 when it cannot be read: the verb then
// fails on the file and says so).
TextEncoding FileEncoding(const std::string& path);

// A text argument (UTF-8, as the shell hands it over) as text of the DataFile's encoding
// (Windows-1252 unless told). Nothing, with a German message on err, when it holds a character
// that the DataFile cannot store.
std::optional<WinString> ArgText(const std::string& utf8, std::ostream& err,
                                 TextEncoding encoding = TextEncoding::Cp1252);

// A UNITID argument; nothing, with a German message on err, when it is not 1 to 255.
std::optional<std::uint8_t> UnitIdArg(const std::string& text, std::ostream& err);

// One text of a record as a field of a tab-separated line, in UTF-8: tabs and line breaks inside
// it would split the line or the field, so each becomes a blank.
std::string TsvField(std::string_view bytes, TextEncoding encoding = TextEncoding::Cp1252);
inline std::string TsvField(const WinString& text) {
  return TsvField(text.view(), text.encoding());
}

// Checks that a live lesson with this UnitID exists; otherwise tells why and yields false.
bool RequireLesson(const std::string& path, std::uint8_t unitId, Messages& messages);

}  // namespace merkhaus::tool
