// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/export_file.h"

#include "platform/file_io.h"

namespace merkhaus {

bool CheckExportable(std::size_t entryCount, Messages& messages) {
  if (entryCount > 0) return true;
  messages.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  return false;
}

bool WriteExportFile(const std::string& outPath, std::string_view bytes, Messages& messages,
                     bool askBeforeOverwrite) {
  const bool there = PathExists(outPath);
  if (askBeforeOverwrite && there &&
      messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                    MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  // Written whole or not at all: half a file would import as fewer entries without anybody
  // noticing, and a file that was there keeps its contents when the disk is full. Where nothing
  // was, nothing that appears meanwhile (a planted link) is overwritten; a link the learner
  // chose to overwrite is replaced, not written through.
  const Publish publish = askBeforeOverwrite && !there ? Publish::NoReplace : Publish::ReplaceLink;
  if (const FileResult<> written = WriteWholeFile(outPath, bytes, publish); !written) {
    ShowFileError(messages, "Fehler beim schreiben!", written.error(),
                  "Es wurde nichts exportiert.", MsgButtons::Yes);
    return false;
  }
  return true;
}

WinString JoinSide(const PString<60>& first, const PString<60>& second, const PString<60>& third) {
  WinString side = first.get();
  if (!second.empty()) side += WinString("; ") + second.get();
  if (!third.empty()) side += WinString("; ") + third.get();
  return side;
}
}  // namespace merkhaus
