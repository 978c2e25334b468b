// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "store/store_error.h"
#include "store/vocdata.h"

namespace merkhaus {

// Converting a Windows-1252 DataFile into a Unicode copy ("In Unicode umwandeln…",
// `merkhaus-tool convert`). Every record keeps its place, UnitID and Deleted byte (deleted
// entries can still be restored from the copy); every text becomes UTF-8 and record 0 gets the
// Unicode signature. A character beyond ASCII takes two or three bytes in UTF-8, so a full field
// may no longer fit its 60 bytes (the comment 255): the conversion reports each such field and
// writes nothing unless it may cut, at a character boundary.

// A text that does not fit its field once it is UTF-8.
struct OverlongField {
  std::uint64_t record = 0;  // its index in the DataFile (0: the header)
  std::uint8_t unitId = 0;
  bool unitHeader = false;   // the record is a lesson header (its name or comment)
  std::string field;         // "A1" .. "B3" or "Kommentar"
  std::string text;          // the whole text, UTF-8
  std::size_t capacity = 0;  // 60 or 255 bytes
  std::string kept;          // what a cut keeps of it, UTF-8 (the longest start that fits)
};

struct ConversionReport {
  enum class Outcome {
    Written,         // the copy is in place
    TooLong,         // fields do not fit and cutting was not allowed: nothing was written
    AlreadyUnicode,  // the DataFile is Unicode already: nothing was written
    NotDataFile,     // the source is no DataFile: nothing was written
    SameFile,        // the copy would go over the source: nothing was written
    TargetExists,    // the target exists and replacing it was not allowed: nothing was written
  };
  Outcome outcome = Outcome::Written;
  std::uint64_t records = 0;            // records of the DataFile, record 0 included
  std::vector<OverlongField> overlong;  // in file order; cut when written
  // When written: record 0 of the source and of the copy, for the learning progress to follow
  // the copy (ProgressRecorder::converted, ProgressStore::dataFileConverted).
  TVocData sourceHeader{};
  TVocData copyHeader{};
};

struct ConvertSettings {
  bool cut = false;      // cut over-long fields (at a character boundary) instead of refusing
  bool replace = false;  // replace an existing target (never the source)
};

// Reads the DataFile `from` (sharing it with other readers) and writes its Unicode copy to `to`
// through a temporary file in the target's folder, renamed into place only when complete (no
// existing file is replaced unless settings.replace). The source is never changed. File errors
// (source unreadable, target folder not writable, disk full) come back as the error; the other
// reasons not to write as the report's outcome.
StoreResult<ConversionReport> ConvertToUnicode(const std::string& from, const std::string& to,
                                               const ConvertSettings& settings);

// The report in German, one line per over-long field, e.g.
//   Eintrag 12 (Lektion 3), Feld B1: "…" hat 64 Bytes, das Feld nur 60.
// and, when the copy was written with cuts, " Gekürzt auf: "…"" after each.
std::string OverlongLine(const OverlongField& f, bool cut);

// The sentence for an outcome other than Written, naming the file(s).
std::string ConversionRefusal(const ConversionReport& report, const std::string& from,
                              const std::string& to);

}  // namespace merkhaus
