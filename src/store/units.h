#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/vocdata.h"

namespace merkhaus {

// A lesson's line in the lesson list: B1, then " - " and the comment when there is one; the name
// part is cut to 63 characters and the whole line to 255.
WinString UnitListLine(const TVocData& header);

struct UnitLine {
  std::uint8_t UnitID;
  WinString Line;
};

// The live lessons of a DataFile in file order. False when the file cannot be opened. When
// `header` is given, record 0 is copied into it; `records` receives the number of records.
bool ReadUnitList(const std::string& path, std::vector<UnitLine>& lines, TVocData* header = nullptr,
                  std::uint64_t* records = nullptr);

enum class Lookup { Found, NotFound, CannotOpen };

// The first live lesson whose line matches `line`, either as name + " - " + comment (also with
// an empty comment) or as the name alone. Two lessons whose lines read alike resolve to the one
// that comes first in the file.
Lookup FindUnitByLine(const std::string& path, const WinString& line, TVocData& header);

// The UnitID of the lesson of a list line, 0 when none matches or the file cannot be opened.
std::uint8_t SelectedUnitID(const std::string& path, const WinString& line);

}  // namespace merkhaus
