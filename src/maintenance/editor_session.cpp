// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_session.h"

#include "flows/lesson_loading.h"
#include "maintenance/cleanup.h"
#include "maintenance/transfer_formats.h"
#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/lessons.h"

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

EditorSession::EditorSession(Services& services, const Flows& flows, RestoreWindows& restore,
                             Redraw& window)
    : backupPath(CleanupBackupPath),
      lesson_(services.lesson),
      options_(services.options),
      messages_(services.messages),
      fileDialogs_(services.fileDialogs),
      clock_(services.clock),
      flows_(flows),
      restore_(restore),
      window_(window) {}

bool EditorSession::OpenEditor() {
  const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(ChooseMode::NewDataFile);
  if (!path) return false;
  lesson_.dataFilePath = *path;
  if (!ReadDataFileHeader()) return false;
  ShowStatistics();
  view_.dataFileEnabled = !options_.alwaysthisfile;
  // Every opening starts without a lesson.
  ClearUnitPanel();
  return true;
}

bool EditorSession::ReadDataFileHeader() {
  const StoreResult<TVocData> header = ReadHeaderRecord(lesson_.dataFilePath);
  if (!header) {
    ShowFileError(messages_, "RW - Fehler: 1101", header.error().file);
    return false;
  }
  lesson_.dataFileHeader = *header;
  return true;
}

void EditorSession::ShowStatistics() {
  const StoreResult<DataFileCounts> counts = CountRecords(lesson_.dataFilePath);
  if (!counts) {
    ShowFileError(messages_, "RW - Fehler in Unit11!", counts.error().file);
  } else {
    const EditorStatistics s = EditorStatisticsOf(*counts);
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
  view_.caption = "DataFile-Editor -- " + ToUtf8(DataFileName(lesson_.dataFileHeader));
}

void EditorSession::ClearUnitPanel() {
  view_.lessonSelected = false;
  view_.lessonName = "<keine gewählt>";
  view_.lessonCount = "-";
  view_.lessonId = "-";
  view_.lines.clear();
}

void EditorSession::ShowUnitPanel() {
  if (!LoadLessonHeader(lesson_, messages_, lesson_.unitId)) {
    ShowErr(messages_, "Böser Fehler: 1103");
  }
  view_.lessonName = ToUtf8(LessonName(lesson_.lessonHeader));
  view_.lessonCount = std::to_string(entries_.size());
  view_.lessonId = std::to_string(lesson_.lessonHeader.UnitID);
}

void EditorSession::ShowLines() {
  view_.lines.clear();
  for (const TVocData& entry : entries_)
    view_.lines.push_back(EditorListLine(entry));
}

void EditorSession::FillEditorList() {
  ShowLines();
  if (entries_.empty()) {
    messages_.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  }
}

bool EditorSession::ReloadVocs() {
  std::optional<std::vector<TVocData>> entries = LoadLessonEntries(lesson_, messages_);
  if (!entries) {
    // What the list would show is no longer known.
    ClearUnitPanel();
    return false;
  }
  entries_ = std::move(*entries);
  return true;
}

bool EditorSession::ValidIndex(int index) const {
  return view_.lessonSelected && index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

void EditorSession::SelectLesson() {
  const std::optional<std::uint8_t> id = flows_.lessons.selectLesson(lesson_.dataFilePath, true);
  if (!id || *id == 0) return;
  lesson_.unitId = *id;
  if (!ReloadVocs()) return;
  view_.lessonSelected = true;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::DeselectLesson() {
  ClearUnitPanel();
}

void EditorSession::DataFileInfo() {
  flows_.headerInfo.showHeaderInfo(true, true);
  ShowCaption();
}

void EditorSession::LessonInfo() {
  if (!view_.lessonSelected) return;
  flows_.headerInfo.showHeaderInfo(false, true);
  ShowUnitPanel();
}

void EditorSession::DeleteLesson() {
  if (!view_.lessonSelected) return;
  if (messages_.show(MsgKind::Warning, "Soll die Lektion wirklich gelöscht werden?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const StoreResult<std::uint32_t> marked =
      DeleteLessonRecords(lesson_.dataFilePath, lesson_.unitId);
  if (!marked) ShowFileError(messages_, "RW - Fehler in Unit6!", marked.error().file);
  if (marked.value_or(0) > 0) {
    // The lesson's own header is among the records marked.
    messages_.show(MsgKind::Information,
                   "Lektion \"" + ToUtf8(LessonName(lesson_.lessonHeader)) + "\" mit " +
                       std::to_string(*marked - 1) + " Vokabeln erfolgreich gelöscht!",
                   MsgButtons::Ok);
  } else {
    messages_.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
  }
  ClearUnitPanel();
  ShowStatistics();
}

void EditorSession::RestoreLessons() {
  restore_.ListDeletedUnits();
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
  const CleanupResult result = CleanupDataFile(lesson_.dataFilePath, backupPath(), messages_);
  ShowStatistics();
  window_.redraw();
  if (result.ok) {
    messages_.show(MsgKind::Information, "Die Bereinigung ist erfolgreich abgeschlossen worden!",
                   MsgButtons::Ok);
  }
}

void EditorSession::Export() {
  if (!view_.lessonSelected || !CheckExportable(entries_.size(), messages_)) return;
  const auto path = fileDialogs_.saveFile(TransferDialogRequest());
  if (!path) return;
  ExportLessonFile(*path, lesson_.dataFileHeader, lesson_.lessonHeader, entries_,
                   TodayShortDateText(clock_), messages_);
}

void EditorSession::Import() {
  const auto path = fileDialogs_.openFile(TransferDialogRequest());
  if (!path) return;
  // Into the selected lesson (not KVTML, which always makes lessons of its own), otherwise into
  // new lessons.
  const bool into = view_.lessonSelected && FormatOfPath(*path) != TransferFormat::Kvtml;
  const ImportResult result =
      ImportFile(lesson_.dataFilePath, *path, into ? lesson_.unitId : 0, messages_);
  if (!result.imported) return;
  if (!result.newLesson) {
    // The list follows the file: the selected lesson has new entries.
    if (std::optional<std::vector<TVocData>> entries = LoadLessonEntries(lesson_, messages_)) {
      entries_ = std::move(*entries);
    }
    ShowUnitPanel();
    FillEditorList();
  }
  ShowStatistics();
}

void EditorSession::EditEntry(int index) {
  if (!ValidIndex(index)) return;
  TVocData& entry = entries_[static_cast<std::size_t>(index)];
  if (const std::optional<TVocData> corrected = flows_.entries.quickEditEntry(entry, true)) {
    entry = *corrected;
    ShowLines();
  }
}

void EditorSession::DeleteEntry(int index) {
  if (!ValidIndex(index)) return;
  if (messages_.show(MsgKind::Warning, "Soll die gewählt Vokabel aus der Lektion gelöscht werden?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const TVocData& entry = entries_[static_cast<std::size_t>(index)];
  TVocData deleted = entry;
  deleted.Deleted = 1;
  if (const StoreResult<> marked = ReplaceRecord(lesson_.dataFilePath, entry, deleted, false);
      !marked) {
    ShowFileError(messages_, "Löschen fehlgeschlagen!", marked.error().file);
    return;
  }
  // The list follows the file: the reload also brings in an entry beyond the 255 loaded.
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  ShowLines();
}

void EditorSession::RestoreEntries() {
  if (!view_.lessonSelected) return;
  restore_.ListDeletedVocs();
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::AddEntries() {
  if (!view_.lessonSelected) return;
  flows_.vocabularyEntry.openEntryWindow(false);
  // The entry window may have saved entries and switched the current lesson: the list shows the
  // current lesson as the DataFile holds it now.
  if (!ReloadVocs()) return;
  ShowUnitPanel();
  FillEditorList();
}

void EditorSession::ChangeDataFile() {
  if (!view_.dataFileEnabled) return;
  const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(ChooseMode::NewDataFile);
  if (!path) return;
  lesson_.dataFilePath = *path;
  if (ReadDataFileHeader()) ShowStatistics();
  ClearUnitPanel();
}

}  // namespace merkhaus
