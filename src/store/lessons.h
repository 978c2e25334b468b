// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "platform/messages.h"
#include "platform/win_string.h"

namespace merkhaus {

class RecordFile;

// Lessons are made, found and deleted here. Every change holds the DataFile for itself from the
// first read to the last write, so that a second program can neither hand out the same UnitID
// nor mix its records in half-way.

// True when a live lesson of exactly this name (case-sensitive, untrimmed) exists. Nothing when
// the DataFile cannot be opened; the learner has then been told.
std::optional<bool> UnitNameExists(const std::string& path, const WinString& name,
                                   Messages& messages);

// A free UnitID: 1 in a DataFile without lessons, otherwise the highest of 255..1 that no live
// lesson holds. 0 when all 255 are taken; nothing when the DataFile cannot be opened. Both
// failures have been reported to the learner.
std::optional<std::uint8_t> FindFreeUnitID(const std::string& path, Messages& messages);

// Appends a new lesson header and yields its UnitID, or 0 when no lesson was created (the
// learner has been told why). The name is neither trimmed nor checked for emptiness here.
std::uint8_t CreateUnit(const std::string& path, const WinString& name, const WinString& comment,
                        Messages& messages);

// The same in a DataFile that the caller holds open for writing across several steps; the
// header is appended but not yet put on the disk (RecordFile::finish).
std::uint8_t CreateUnitIn(RecordFile& file, const WinString& name, const WinString& comment,
                          Messages& messages);

// The lessons of a DataFile that the caller holds open for writing, as one scan finds them. An
// import that makes many lessons reads the file once through it, not once per lesson.
class UnitRoster {
 public:
  explicit UnitRoster(RecordFile& file);
  // The number of UnitIDs that no live lesson holds.
  std::size_t freeCount() const;
  // True when a live lesson, or one made through this roster, has exactly this name.
  bool nameExists(const WinString& name) const;
  // Appends a new lesson header with the UnitID that CreateUnitIn would give (the name cut to
  // 60, the comment to 255) and yields it; 0, with nothing appended, when all 255 are taken.
  // Names are not checked here.
  std::uint8_t create(const WinString& name, const WinString& comment);

 private:
  RecordFile& file_;
  std::array<bool, 256> used_{};
  std::set<std::string> names_;
};

// Creates a lesson from the new-lesson dialog's texts; yields the name, or an empty name after
// "Die Unit konnte nicht korrekt angelegt werden!".
WinString CreateUnitFromDialog(const std::string& path, const WinString& name,
                               const WinString& comment, Messages& messages);

// Marks the lesson's header and every live record of the UnitID as deleted (record 0 never).
// Yields the number of records marked, or nothing after "RW - Fehler in Unit6!".
std::optional<std::uint32_t> DeleteUnitRecords(const std::string& path, std::uint8_t unitId,
                                               Messages& messages);

// Deletes the lesson of a lesson-list line (SelectedUnitID) the same way. Yields the number of
// records marked (the header included), 0 when the line matches no lesson or the DataFile cannot
// be opened (after "RW - Fehler in Unit6!").
std::uint32_t DeleteUnit(const std::string& path, const WinString& selectedLine,
                         Messages& messages);

// The delete flow of the lesson list ("&Löschen"): asks, deletes the lesson of the selected line
// with its entries and tells the result. `selectedLine` is null when no line is selected. True
// when the line is to be removed from the list.
bool DeleteUnitFlow(const std::string& path, const WinString* selectedLine, Messages& messages);

}  // namespace merkhaus
