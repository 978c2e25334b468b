// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the exports of every vocabulary file format (lesson text, CSV, KVTML) share: the file is
// written whole or not at all, after the overwrite question when it exists.

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

struct ExportSettings {
  // Ask "Dateiname vorhanden! Überschreiben?" before replacing a file, or replace it silently.
  bool askBeforeOverwrite = true;
  // Lesson text files only; CSV and KVTML are always UTF-8. Text of a Unicode DataFile is always
  // written as UTF-8.
  TextEncoding encoding = TextEncoding::Windows1252;
  // The encoding of the DataFile the entries come from (EncodingOf its record 0).
  TextEncoding source = TextEncoding::Cp1252;
};

// False, after "Diese Lektion enhält keine Vokabeln!", when there is nothing to export. The
// editor calls it before it shows the save dialog.
bool CheckExportable(std::size_t entryCount, Messages& messages);

// Writes an export file whole or not at all, after the overwrite question when the file exists.
// False when nothing was written: the learner declined, or the file could not be written
// ("Fehler beim schreiben!" with the reason; a file that was there is unchanged, and a FIFO, a
// device or a folder is never written to).
bool WriteExportFile(const std::string& outPath, std::string_view bytes, Messages& messages,
                     bool askBeforeOverwrite);

// A side as the exports write it: the first synonym, then "; " and each further one that is not
// empty.
WinString JoinSide(const PString<60>& first, const PString<60>& second, const PString<60>& third);

}  // namespace merkhaus
