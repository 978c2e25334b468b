// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <filesystem>
#include <optional>

#include "platform/messages.h"

namespace merkhaus {

// The characters that F5, F6, F7 and F8 type: per key a normal one and one for Shift, each a
// single Windows-1252 byte or unset. One table lives for the whole run, shared by every typing
// field.
struct SpecialCharTable {
  struct Slot {
    std::optional<char> normal;
    std::optional<char> shifted;
    bool operator==(const Slot&) const = default;
  };
  std::array<Slot, 4> keys{};  // F5, F6, F7, F8 ("slots" is a Qt keyword)
  bool operator==(const SpecialCharTable&) const = default;
};

inline constexpr const char* kSpecialCharFileName = "Merkhaus.soz";

// The character that function key F5..F8 (slot 0..3) types: the shifted one when exactly Shift
// is held, the normal one in every other state. Nothing for an unset character or another slot.
std::optional<char> SpecialCharFor(const SpecialCharTable& table, int slot, bool exactlyShift);

// Fills the table from Merkhaus.soz in `dir`; a missing file is first created with "çÇ" and "æÆ".
// On failure the learner is told and the table stays as it was. True when the table was read.
bool LoadSpecialChars(const std::filesystem::path& dir, SpecialCharTable& table,
                      Messages& messages);

// Writes the eight characters of `fields` to Merkhaus.soz, one line per key whose pair is
// complete (an unset character or a blank counts as missing), then reads the file back into
// `table`. Since incomplete keys write no line, the keys after them move up a slot on reading.
// On failure the learner is told, the file stays as it was and the table is not reloaded.
bool SaveSpecialChars(const std::filesystem::path& dir, const SpecialCharTable& fields,
                      SpecialCharTable& table, Messages& messages);

// The bytes SaveSpecialChars writes for `fields`.
std::string SpecialCharFileText(const SpecialCharTable& fields);

}  // namespace merkhaus
