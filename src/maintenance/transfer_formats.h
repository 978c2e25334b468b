// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The vocabulary file formats side by side, chosen by the file's extension: what the DataFile
// editor's "Exportieren" and "Importieren" and merkhaus-tool's export and import call.
//
//   *.txt (and anything else)   lesson text file (text_transfer.h)
//   *.csv                       CSV (csv_transfer.h)
//   *.kvtml                     KVTML 2.0 (kvtml_transfer.h)

#include <cstdint>
#include <span>
#include <string>

#include "maintenance/export_file.h"
#include "maintenance/import_pipeline.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

enum class TransferFormat { LessonText, Csv, Kvtml };

// By the extension of the file's name, letter case ignored: ".csv" and ".kvtml"; every other
// name is a lesson text file.
TransferFormat FormatOfPath(const std::string& path);

// The open and save dialogs of "Exportieren" and "Importieren": lesson text files first (the
// default extension), then CSV, KVTML and all files.
FileDialogRequest TransferDialogRequest();

// Exports one lesson into `outPath` in the format of its extension: a lesson text file (with
// `date` in its head), CSV, or a KVTML document holding this one lesson (the DataFile header
// gives its title and languages). False when nothing was written; the learner has been told
// why.
bool ExportLessonFile(const std::string& outPath, const TVocData& dataFileHeader,
                      const TVocData& lessonHeader, std::span<const TVocData> entries,
                      const WinString& date, Messages& messages,
                      const ExportSettings& settings = {});

// Imports `path` in the format of its extension into the DataFile: a lesson text or CSV file
// into lesson `intoLesson` or, with 0, into a new lesson; a KVTML document always into new
// lessons (`intoLesson` does not apply). Questions and reports go through `messages`.
ImportResult ImportFile(const std::string& dataFilePath, const std::string& path,
                        std::uint8_t intoLesson, Messages& messages,
                        const ImportOptions& options = {});

}  // namespace merkhaus
