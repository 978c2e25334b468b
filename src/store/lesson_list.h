// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// A UnitID as a person writes it: a decimal number from 1 to 255, nothing else.
std::optional<std::uint8_t> ParseUnitId(const std::string& text);

// A lesson's line in the lesson list: its name, then " - " and the comment when there is one;
// the name part is cut to 63 characters and the whole line to 255 (bytes, at a character
// boundary, in a Unicode DataFile).
WinString LessonListLine(const TVocData& header, TextEncoding encoding = TextEncoding::Cp1252);

// Whether a record is the live lesson of a list line: its name + " - " + comment (also with an
// empty comment, cut as the list cuts it) or its name alone equals the line.
bool LessonMatchesLine(const TVocData& record, const WinString& line);

struct LessonLine {
  std::uint8_t unitId;
  WinString line;
};

// The live lessons of a DataFile in file order, with record 0 and the number of records.
struct LessonList {
  std::vector<LessonLine> lines;
  TVocData header{};
  std::uint64_t records = 0;
  TextEncoding encoding = TextEncoding::Cp1252;  // of the DataFile (record 0): of the lines
};
StoreResult<LessonList> ReadLessonList(const std::string& path);

// The header of the first live lesson whose line matches `line` (LessonMatchesLine): two lessons
// whose lines read alike resolve to the one that comes first in the file. Nothing when none
// matches.
StoreResult<std::optional<TVocData>> FindLessonByLine(const std::string& path,
                                                      const WinString& line);

}  // namespace merkhaus
