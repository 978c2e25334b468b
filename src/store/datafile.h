// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "platform/messages.h"
#include "store/shared.h"

namespace merkhaus {

// Whether the file at `path` is a DataFile: its first line does not carry a tab followed by
// "Datafile:" within its first 20 characters (the old text format), and record 0 is live and
// carries DataFileSig in B3. A file that cannot be opened for reading (a folder, a FIFO, no
// permission) is Unreadable, after its own message; callers then do not claim it is no DataFile.
enum class DataFileCheck { DataFile, NotDataFile, Unreadable };
DataFileCheck CheckDataFile(const std::string& path, Messages& messages);

// True when CheckDataFile finds a DataFile.
bool IsDataFile(const std::string& path, Messages& messages);

// A lesson as one pass over the DataFile reads it: its live header, and its live entries in file
// order (at most `maxEntries`).
struct LessonRead {
  bool opened = false;       // false: `error` tells why
  bool headerFound = false;  // a live header with the UnitID exists
  FileError error;
  TVocData header{};
  std::vector<TVocData> entries;
};
LessonRead ReadLesson(const std::string& path, std::uint8_t unitId, std::size_t maxEntries);

// Finds the live unit header of `unitId` in shared.DataFilePath and copies it into
// shared.CurUnit. False when there is none (CurUnit keeps its contents) or the file cannot be
// opened ("Schwerer Fehler 602").
bool LoadUnitHeader(Shared& shared, Messages& messages, std::uint8_t unitId);

// Reads lesson shared.CurUnitID (its header and at most 255 entries) in one pass for a mode that
// starts on it: "Schwerer Fehler 602" when the file cannot be opened; a header found becomes
// shared.CurUnit, and "Böser Fehler: 801" tells that there is none.
LessonRead ReadCurrentLesson(Shared& shared, Messages& messages);

// Loads the live entries of lesson shared.CurUnitID into VocList/VocCount, at most 255 in file
// order. When the file cannot be opened: "IO-Fehler 802!", Cancelled = 1, VocList unchanged.
void LoadUnitVocs(Shared& shared, Messages& messages);

// Puts the entries of a lesson read into VocList and VocCount (at most 255).
void KeepEntries(Shared& shared, const LessonRead& lesson);

// Writes `newRecord` over the records of the file that equal `oldRecord` (only the first one
// unless `all`), holding the DataFile for itself meanwhile, and puts them on the disk. Equal old
// and new records leave the file untouched. False, with `error` filled, when the file cannot be
// opened for writing.
bool ReplaceRecord(const std::string& path, const TVocData& oldRecord, const TVocData& newRecord,
                   bool all, FileError& error);

// Reads record 0. False when the file cannot be opened or holds no whole record.
bool ReadHeaderRecord(const std::string& path, TVocData& header);

}  // namespace merkhaus
