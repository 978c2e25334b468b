// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_session.h"

#include "maintenance/cleanup.h"
#include "maintenance/text_transfer.h"
#include "maintenance/transfer_formats.h"
#include "platform/cp1252.h"
#include "platform/today.h"
#include "store/datafile.h"
#include "store/lessons.h"
#include "store/record_file.h"

namespace merkhaus {

EditorStatistics EditorStatisticsOf(const DataFileCounts& counts) {
  EditorStatistics s;
  s.lessons = counts.liveLessons;
  s.entries = counts.liveEntries + counts.damagedEntries;
  s.deletedEntries = counts.deletedEntries;
  s.totalEntries = s.entries + s.deletedEntries;
  return s;
}

std::string SizeText(std::uint64_t records) {
  return std::to_string(records * kRecordSize / 1024) + "  Kb";
}

WinString EditorListLine(const TVocData& entry) {
  return entry.A1.get() + WinString(" = ") + entry.B1.get();
}

EditorSession::EditorSession(Shared& shared, Options& options, Messages& messages,
                             FileDialogs& fileDialogs, const Flows& flows)
    : backupPath(CleanupBackupPath),
      shared_(shared),
      options_(options),
      messages_(messages),
      fileDialogs_(fileDialogs),
      flows_(flows) {}

bool EditorSession::OpenEditor() {
  shared_.Cancelled = 0;
  const std::string path = flows_.dataFiles.ChooseDataFile(ChooseMode::NewDataFile);
  if (shared_.Cancelled) return false;
  shared_.DataFilePath = path;
  if (!ReadDataFileHeader()) return false;
  ShowStatistics();
  view_.dataFileEnabled = !options_.alwaysthisfile;
  // Every opening starts without a lesson.
  ClearUnitPanel();
  return shared_.Cancelled == 0;
}

bool EditorSession::ReadDataFileHeader() {
  RecordFile file;
  FileError error;
  if (!file.open(shared_.DataFilePath, Access::Read)) {
    error = file.error();
  } else if (file.count() < 1) {
    error = FileError{shared_.DataFilePath, FileError::Step::Read, FileError::kShortRead};
  } else {
    file.read(0, shared_.DataFileHeader);
    return true;
  }
  ShowErr(messages_, WithReason("RW - Fehler: 1101", error));
  shared_.Cancelled = 1;
  return false;
}

void EditorSession::ShowStatistics() {
  DataFileCounts counts;
  FileError error;
  if (!CountRecords(shared_.DataFilePath, counts, &error)) {
    ShowErr(messages_, WithReason("RW - Fehler in Unit11!", error));
  } else {
    const EditorStatistics s = EditorStatisticsOf(counts);
    view_.lessons = std::to_string(s.lessons);
    view_.entries = std::to_string(s.entries);
    view_.entriesSize = SizeText(s.entries);
    view_.deletedEntries = std::to_string(s.deletedEntries);
    view_.deletedSize = SizeText(s.deletedEntries);
    view_.totalEntries = std::to_string(s.totalEntries);
    view_.totalSize = SizeText(s.totalEntries);
  }
  ShowCaption();
}

void EditorSession::ShowCaption() {
  view_.caption = "DataFile-Editor -- " + ToUtf8(shared_.DataFileHeader.B1.get());
}

void EditorSession::ClearUnitPanel() {
  view_.lessonSelected = false;
  view_.lessonName = "<keine gewählt>";
  view_.lessonCount = "-";
  view_.lessonId = "-";
  view_.lines.clear();
}

void EditorSession::ShowUnitPanel() {
  if (!LoadUnitHeader(shared_, messages_, shared_.CurUnitID)) {
    ShowErr(messages_, "Böser Fehler: 1103");
  }
  view_.lessonName = ToUtf8(shared_.CurUnit.B1.get());
  view_.lessonCount = std::to_string(shared_.VocCount);
  view_.lessonId = std::to_string(shared_.CurUnit.UnitID);
}

void EditorSession::ShowLines() {
  view_.lines.clear();
  for (std::size_t i = 0; i < shared_.VocCount; ++i)
    view_.lines.push_back(EditorListLine(shared_.VocList[i]));
}

void EditorSession::FillEditorList() {
  ShowLines();
  if (shared_.VocCount == 0) {
    messages_.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  }
}

bool EditorSession::ReloadVocs() {
  const LessonRead lesson = ReadLesson(shared_.DataFilePath, shared_.CurUnitID, kMaxVocs);
  if (!lesson.opened) {
    ShowErr(messages_, WithReason("IO-Fehler 802!", lesson.error));
    shared_.Cancelled = 1;
    // What the list would show is no longer known.
    ClearUnitPanel();
    return false;
  }
  KeepEntries(shared_, lesson);
  return true;
}

bool EditorSession::ValidIndex(int index) const {
  return view_.lessonSelected && index >= 0 && index < shared_.VocCount;
}

void EditorSession::SelectLesson() {
  shared_.Cancelled = 0;
  const std::uint8_t id = flows_.lessons.SelectUnit(shared_.DataFilePath, true);
  if (id == 0 || shared_.Cancelled) return;
  shared_.CurUnitID = id;
  if (!ReloadVocs()) return;
  view_.lessonSelected = true;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::DeselectLesson() {
  ClearUnitPanel();
}

void EditorSession::DataFileInfo() {
  flows_.headerInfo.ShowHeaderInfo(true, true);
  ShowCaption();
}

void EditorSession::LessonInfo() {
  if (!view_.lessonSelected) return;
  flows_.headerInfo.ShowHeaderInfo(false, true);
  ShowUnitPanel();
}

void EditorSession::DeleteLesson() {
  if (!view_.lessonSelected) return;
  if (messages_.show(MsgKind::Warning, "Soll die Lektion wirklich gelöscht werden?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const std::uint32_t marked =
      DeleteUnitRecords(shared_.DataFilePath, shared_.CurUnitID, messages_).value_or(0);
  if (marked > 0) {
    // The lesson's own header is among the records marked.
    messages_.show(MsgKind::Information,
                   "Lektion \"" + ToUtf8(shared_.CurUnit.B1.get()) + "\" mit " +
                       std::to_string(marked - 1) + " Vokabeln erfolgreich gelöscht!",
                   MsgButtons::Ok);
  } else {
    messages_.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
  }
  ClearUnitPanel();
  ShowStatistics();
}

void EditorSession::RestoreLessons() {
  flows_.restore.ListDeletedUnits();
  ShowStatistics();
}

void EditorSession::Cleanup() {
  if (messages_.show(MsgKind::Warning,
                     "Bereinigen löschte alle 'gelöschten' Units und Vokabeln phsysikalisch. "
                     "Danach haben sie keine Möglichkeit mehr diese Informationen "
                     "wiederherzustellen! Fortfahren?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const CleanupResult result = CleanupDataFile(shared_.DataFilePath, backupPath(), messages_);
  ShowStatistics();
  if (showView) showView();
  if (result.ok) {
    messages_.show(MsgKind::Information, "Die Bereinigung ist erfolgreich abgeschlossen worden!",
                   MsgButtons::Ok);
  }
}

void EditorSession::Export() {
  if (!view_.lessonSelected || !CheckExportable(shared_.VocCount, messages_)) return;
  const auto path = fileDialogs_.saveFile(TransferDialogRequest());
  if (!path) return;
  ExportLessonFile(shared_, *path, TodayShortDateText(), messages_);
}

void EditorSession::Import() {
  const auto path = fileDialogs_.openFile(TransferDialogRequest());
  if (!path) return;
  const ImportResult result = ImportLessonFile(shared_, *path, view_.lessonSelected, messages_);
  if (!result.imported) return;
  if (!result.newLesson) {
    // The import has loaded the lesson's entries again.
    ShowUnitPanel();
    FillEditorList();
  }
  ShowStatistics();
}

void EditorSession::EditEntry(int index) {
  if (!ValidIndex(index)) return;
  if (flows_.entries.QuickEditEntry(static_cast<std::size_t>(index), true)) ShowLines();
}

void EditorSession::DeleteEntry(int index) {
  if (!ValidIndex(index)) return;
  if (messages_.show(MsgKind::Warning, "Soll die gewählt Vokabel aus der Lektion gelöscht werden?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const TVocData& entry = shared_.VocList[static_cast<std::size_t>(index)];
  shared_.RecBuf = entry;
  shared_.RecBuf.Deleted = 1;
  FileError error;
  if (!ReplaceRecord(shared_.DataFilePath, entry, shared_.RecBuf, false, error)) {
    ShowErr(messages_, WithReason("Löschen fehlgeschlagen!", error));
    return;
  }
  // The list follows the file: the reload also brings in an entry beyond the 255 loaded.
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  ShowLines();
}

void EditorSession::RestoreEntries() {
  if (!view_.lessonSelected) return;
  flows_.restore.ListDeletedVocs();
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::AddEntries() {
  if (!view_.lessonSelected) return;
  flows_.vocabularyEntry.OpenEntryWindow(false);
  // The entry window kept its buffer in VocList and may have switched the lesson.
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::ChangeDataFile() {
  if (!view_.dataFileEnabled) return;
  shared_.Cancelled = 0;
  const std::string path = flows_.dataFiles.ChooseDataFile(ChooseMode::NewDataFile);
  if (shared_.Cancelled) return;
  shared_.DataFilePath = path;
  if (ReadDataFileHeader()) ShowStatistics();
  ClearUnitPanel();
}

}  // namespace merkhaus
