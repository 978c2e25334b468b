// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lessons as CSV files, as spreadsheets and other vocabulary trainers write them:
//
//   to go; to walk,gehen,irregular
//   "big, large",groß,
//   "say ""hello""",„Hallo“ sagen,"two
//   lines"
//
// Columns: the foreign side, the native side and an optional comment; a side holds up to three
// synonyms separated by ";" as in lesson text files. Fields are separated by commas or tabs and
// quoted as RFC 4180 quotes them (a separator, a quote or a line break inside a quoted field;
// a quote inside one is doubled). The export writes UTF-8 with commas and CR LF line ends,
// quoting only where needed. The import reads UTF-8, with or without a byte-order mark (a file
// that is no UTF-8 at all is read as Windows-1252), takes the separator from a leading
// "#separator:tab" or "#separator:comma" line or else from the first line (a tab outside quotes
// makes a tab file), and passes over the other "#" lines at the start of the file.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/export_file.h"
#include "maintenance/import_pipeline.h"
#include "platform/messages.h"
#include "store/vocdata.h"

namespace merkhaus {

// ---------------------------------------------------------------------------------------------
// Export

// The bytes of the file: one line per entry (foreign side, native side, comment).
std::string CsvText(std::span<const TVocData> entries, TextEncoding source = TextEncoding::Cp1252);

// Writes the entries into `outPath` whole (after the overwrite question when the file exists).
// False when nothing was written: the lesson is empty, the learner declined, or the file could
// not be written.
bool ExportCsv(const std::string& outPath, std::span<const TVocData> entries, Messages& messages,
               const ExportSettings& settings = {});

// ---------------------------------------------------------------------------------------------
// Import

// One record of the file: its fields without quotes, and the line where it starts (from 1).
struct CsvRecord {
  std::size_t line = 0;
  std::vector<std::string> fields;
  bool quoted = false;  // some field was quoted: a row of empty fields is then meant
};

struct CsvTable {
  char separator = ',';
  bool byteOrderMark = false;
  std::vector<CsvRecord> records;
  // A quoted field that runs to the end of the file: the line where its record starts (0: none).
  // That record is not among `records`.
  std::size_t unclosedQuoteLine = 0;
  // A "#separator:" line naming something else than tab or comma: its value and line. Nothing
  // else is read then.
  std::string unknownSeparator;
  std::size_t unknownSeparatorLine = 0;
};

// Splits the bytes of a CSV file into records. Empty lines are passed over.
CsvTable ParseCsv(std::string_view bytes);

// Reads the CSV file for an import into lesson `intoLesson`, or, with `intoLesson` 0, into a new
// lesson named after the file (a name taken gets " (2)", " (3)" ...). A file without any entry
// changes nothing.
// `target` is the encoding of the DataFile the entries go into.
ParsedImport ReadCsvImport(const std::string& csvPath, std::uint8_t intoLesson,
                           TextEncoding target = TextEncoding::Cp1252);

// Imports the CSV file (ReadCsvImport) through the pipeline of every import (RunImport).
ImportResult ImportCsv(const std::string& dataFilePath, const std::string& csvPath,
                       std::uint8_t intoLesson, Messages& messages,
                       const ImportOptions& options = {});

}  // namespace merkhaus
