// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "store/vocdata.h"

namespace merkhaus {

// A UnitID as a person writes it: a decimal number from 1 to 255, nothing else.
std::optional<std::uint8_t> ParseUnitId(const std::string& text);

// A lesson's line in the lesson list: B1, then " - " and the comment when there is one; the name
// part is cut to 63 characters and the whole line to 255.
WinString UnitListLine(const TVocData& header);

// Whether a record is the live lesson of a list line: its name + " - " + comment (also with an
// empty comment, cut as the list cuts it) or its name alone equals the line.
bool UnitMatchesLine(const TVocData& record, const WinString& line);

struct UnitLine {
  std::uint8_t UnitID;
  WinString Line;
};

// The live lessons of a DataFile in file order, with record 0 and the number of records.
struct UnitList {
  bool opened = false;  // false: `error` tells why
  FileError error;
  std::vector<UnitLine> lines;
  TVocData header{};
  std::uint64_t records = 0;
};
UnitList ReadUnitList(const std::string& path);

enum class Lookup { Found, NotFound, CannotOpen };

// The first live lesson whose line matches `line` (UnitMatchesLine). Two lessons whose lines
// read alike resolve to the one that comes first in the file.
Lookup FindUnitByLine(const std::string& path, const WinString& line, TVocData& header,
                      FileError* error = nullptr);

// The UnitID of the lesson of a list line, 0 when none matches or the file cannot be opened.
std::uint8_t SelectedUnitID(const std::string& path, const WinString& line);

}  // namespace merkhaus
