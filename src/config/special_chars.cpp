// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/special_chars.h"

#include <string>
#include <system_error>

#include "config/config_file.h"
#include "config/text_file.h"

namespace merkhaus {
namespace {

// "çÇ" and "æÆ" in Windows-1252.
constexpr std::string_view kDefaultSpecialChars = "\xE7\xC7\r\n\xE6\xC6\r\n";

// Only the first two bytes of a line matter; the limit keeps a damaged file cheap to read.
constexpr std::size_t kMaxSpecialCharLine = 256;

bool IsBlank(const std::optional<char>& c) {
  return !c || *c == ' ';
}

}  // namespace

std::optional<char> SpecialCharFor(const SpecialCharTable& table, int slot, bool exactlyShift) {
  if (slot < 0 || slot >= static_cast<int>(table.keys.size())) return std::nullopt;
  const auto& s = table.keys[static_cast<std::size_t>(slot)];
  return exactlyShift ? s.shifted : s.normal;
}

bool LoadSpecialChars(const std::filesystem::path& dir, SpecialCharTable& table,
                      Messages& messages) {
  const auto path = dir / kSpecialCharFileName;
  std::error_code ec;
  const bool exists = std::filesystem::exists(path, ec);
  // Only a file that is not there gets the defaults; one that merely cannot be read is the
  // learner's own and must not be overwritten.
  if (!exists && !ec) {
    if (const FileResult<> written = ReplaceFile(path, kDefaultSpecialChars); !written) {
      ShowFileError(messages, kWriteError, written.error(), {}, MsgButtons::Yes);
      return false;
    }
  }
  const auto lines = ReadTextLines(path, table.keys.size(), kMaxSpecialCharLine);
  if (!lines) {
    ShowFileError(messages, kReadError, lines.error(), {}, MsgButtons::Yes);
    return false;
  }
  table = SpecialCharTable{};
  for (std::size_t i = 0; i < lines->size(); ++i) {
    const std::string& line = (*lines)[i];
    if (line.size() >= 1) table.keys[i].normal = line[0];
    if (line.size() >= 2) table.keys[i].shifted = line[1];
  }
  return true;
}

std::string SpecialCharFileText(const SpecialCharTable& fields) {
  std::string text;
  for (const auto& slot : fields.keys) {
    if (IsBlank(slot.normal) || IsBlank(slot.shifted)) continue;
    text += *slot.normal;
    text += *slot.shifted;
    text += "\r\n";
  }
  return text;
}

bool SaveSpecialChars(const std::filesystem::path& dir, const SpecialCharTable& fields,
                      SpecialCharTable& table, Messages& messages) {
  if (const FileResult<> written =
          ReplaceFile(dir / kSpecialCharFileName, SpecialCharFileText(fields));
      !written) {
    ShowFileError(messages, kWriteError, written.error(), {}, MsgButtons::Yes);
    return false;
  }
  return LoadSpecialChars(dir, table, messages);
}

}  // namespace merkhaus
