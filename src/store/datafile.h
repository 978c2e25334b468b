// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// Whether the file at `path` is a DataFile: its first line does not carry a tab followed by
// "Datafile:" within its first 20 characters (the old text format), and record 0 is live and
// carries DataFileSig or UnicodeDataFileSig in B3. Fails with Kind::TextFile when the file cannot
// even be opened as text (a folder, a FIFO, no permission), with Kind::File when it cannot be
// opened as records.
StoreResult<bool> IsDataFile(const std::string& path);

// A lesson as one pass over the DataFile reads it: its live header, when there is one, and its
// live entries in file order (at most `maxEntries`).
struct LessonRead {
  std::optional<TVocData> header;
  std::vector<TVocData> entries;
  bool cut = false;  // the lesson has more live entries than were read
};
StoreResult<LessonRead> ReadLesson(const std::string& path, std::uint8_t unitId,
                                   std::size_t maxEntries);

// Most entries a mode loads from one lesson.
inline constexpr std::size_t kMaxEntries = 255;

// Record 0. Fails with FileError::kShortRead when the file holds no whole record.
StoreResult<TVocData> ReadHeaderRecord(const std::string& path);

// The encoding of the DataFile's texts, read from its record 0 (EncodingOf).
StoreResult<TextEncoding> ReadDataFileEncoding(const std::string& path);

// Writes `newRecord` over the records of the file that equal `oldRecord` (only the first one
// unless `all`), holding the DataFile for itself meanwhile, and puts them on the disk. Equal old
// and new records leave the file untouched.
StoreResult<> ReplaceRecord(const std::string& path, const TVocData& oldRecord,
                            const TVocData& newRecord, bool all);

// Writes a new name and comment into the live header of lesson `unitId`, or into record 0 when
// no UnitID is given, and yields the record as it is now; nothing when there is no such lesson.
StoreResult<std::optional<TVocData>> WriteNameAndComment(const std::string& path,
                                                         std::optional<std::uint8_t> unitId,
                                                         const WinString& name,
                                                         const WinString& comment);

// The last record after record 0 that carries `unitId`, whatever it is (the lesson's own
// header until an entry is saved after it); nothing when there is none.
StoreResult<std::optional<TVocData>> LastRecordOf(const std::string& path, std::uint8_t unitId);

}  // namespace merkhaus
