#pragma once

#include <cstdint>
#include <string>

#include "platform/messages.h"
#include "store/shared.h"

namespace merkhaus {

// Whether the file at `path` is a DataFile: its first line does not carry a tab followed by
// "Datafile:" within its first 20 characters (the old text format), and record 0 is live and
// carries DataFileSig in B3. A file that cannot be opened (for reading and writing) is
// Unreadable, after its own message; callers then do not claim it is no DataFile.
enum class DataFileCheck { DataFile, NotDataFile, Unreadable };
DataFileCheck CheckDataFile(const std::string& path, Messages& messages);

// True when CheckDataFile finds a DataFile.
bool IsDataFile(const std::string& path, Messages& messages);

// Finds the live unit header of `unitId` in shared.DataFilePath and copies it into
// shared.CurUnit. False when there is none (CurUnit keeps its contents) or the file cannot be
// opened ("Schwerer Fehler 602").
bool LoadUnitHeader(Shared& shared, Messages& messages, std::uint8_t unitId);

// Loads the live entries of lesson shared.CurUnitID into VocList/VocCount, at most 255 in file
// order. When the file cannot be opened: "IO-Fehler 802!", Cancelled = 1, VocList unchanged.
void LoadUnitVocs(Shared& shared, Messages& messages);

// Loads at most `max` live entries of a lesson, in file order, into `out`; returns the number
// loaded, or -1 when the file cannot be opened. Shows nothing.
int ReadUnitVocs(const std::string& path, std::uint8_t unitId, TVocData* out, std::size_t max);

// Writes `newRecord` over the records of the file that equal `oldRecord` (only the first one
// unless `all`). Equal old and new records leave the file untouched. Shows nothing; false only
// when the file could not be opened, so that callers can report a failed write.
bool ReplaceRecord(const std::string& path, const TVocData& oldRecord, const TVocData& newRecord,
                   bool all);

// Reads record 0. False when the file cannot be opened or holds no whole record.
bool ReadHeaderRecord(const std::string& path, TVocData& header);

}  // namespace merkhaus
