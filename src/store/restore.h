// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// Deleted lessons and entries stay in the DataFile, marked, until the cleanup removes them; from
// here they are listed and brought back.
//
// A UnitID is free again as soon as its lesson is deleted, so over time several lessons may
// have carried the same number. The records of one of them are those from its header up to the
// next lesson header with the same UnitID: entries are only ever appended, and a new lesson
// with the number can only be made once the older one is gone. Restoring keeps to that range,
// so that one lesson never brings back, or receives, the entries of another.

// A deleted entry's line in the restore list: A1 and "  =  " cut to 65 characters, then B1, the
// whole cut to 125.
WinString DeletedVocLine(const TVocData& entry);

struct DeletedLines {
  bool opened = false;  // false: `error` tells why
  FileError error;
  std::uint64_t records = 0;  // whole records of the file
  std::vector<WinString> lines;
};

// The names of the deleted lessons, in file order.
DeletedLines ListDeletedUnits(const std::string& path);

// The lines of the deleted entries of the live lesson `unitId`, in file order; none when there
// is no such lesson.
DeletedLines ListDeletedVocs(const std::string& path, std::uint8_t unitId);

// What a restore window offers: the lines to show, or nothing when the window is not to open.
// Nothing is said for a DataFile without any lesson record; an empty list is told ("Es
// existieren derzeit keine gelöschten Units/Vokabeln, die wieder hergestellt werden können."),
// and so is a DataFile that cannot be read ("RW - Fehler in Unit15!"/"...Unit16!" with the
// reason).
std::optional<std::vector<WinString>> OfferDeletedUnits(const std::string& path,
                                                        Messages& messages);
std::optional<std::vector<WinString>> OfferDeletedVocs(const std::string& path, std::uint8_t unitId,
                                                       Messages& messages);

struct RestoreResult {
  bool ok = false;            // false: refused or failed, and the learner has been told
  std::uint32_t records = 0;  // records brought back; 0 when nothing matched the line
};

// Brings back the first deleted lesson named `name` with every deleted record of its range
// (its header, the entries deleted with it and those deleted one by one before). Refused, with
// the file unchanged, when a live lesson has that name ("Eine Lektion mit diesem Namen Existiert
// bereits!") or now holds its UnitID (the message names that lesson). When a write fails, the
// records already restored are marked deleted again before the error is passed on.
RestoreResult RestoreUnit(const std::string& path, const WinString& name, Messages& messages);

// Brings back the first deleted entry of the live lesson `unitId` whose restore-list line is
// `line`; two equal lines are restored one per call, the earlier record first.
RestoreResult RestoreVoc(const std::string& path, std::uint8_t unitId, const WinString& line,
                         Messages& messages);

}  // namespace merkhaus
