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

WinString EditorListLine(const TVocData& entry, TextEncoding enc) {
  return entry.A1.get(enc) + WinString(" = ") + entry.B1.get(enc);
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

bool EditorSession::openEditor() {
  const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(ChooseMode::NewDataFile);
  if (!path) return false;
  lesson_.dataFilePath = *path;
  if (!readDataFileHeader()) return false;
  checkWritable();
  showStatistics();
  view_.dataFileEnabled = !options_.alwaysthisfile;
  // Every opening starts without a lesson.
  clearUnitPanel();
  return true;
}

bool EditorSession::readDataFileHeader() {
  const StoreResult<TVocData> header = ReadHeaderRecord(lesson_.dataFilePath);
  if (!header) {
    ShowFileError(messages_, "RW - Fehler: 1101", header.error().file);
    return false;
  }
  lesson_.dataFileHeader = *header;
  return true;
}

void EditorSession::showStatistics() {
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
  showCaption();
}

void EditorSession::showCaption() {
  view_.caption = "DataFile-Editor -- " + ToUtf8(DataFileName(lesson_.dataFileHeader));
}

void EditorSession::clearUnitPanel() {
  view_.lessonSelected = false;
  view_.lessonName = "<keine gewählt>";
  view_.lessonCount = "-";
  view_.lessonId = "-";
  view_.lines.clear();
}

void EditorSession::showUnitPanel() {
  if (!LoadLessonHeader(lesson_, messages_, lesson_.unitId)) {
    ShowErr(messages_, "Böser Fehler: 1103");
  }
  view_.lessonName = ToUtf8(LessonName(lesson_.lessonHeader).as(lesson_.encoding()));
  view_.lessonCount = std::to_string(entries_.size());
  view_.lessonId = std::to_string(lesson_.lessonHeader.UnitID);
}

void EditorSession::showLines() {
  view_.lines.clear();
  for (const TVocData& entry : entries_)
    view_.lines.push_back(EditorListLine(entry, lesson_.encoding()));
}

void EditorSession::fillEditorList() {
  showLines();
  if (entries_.empty()) {
    messages_.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  }
}

bool EditorSession::reloadEntries() {
  std::optional<std::vector<TVocData>> entries = LoadLessonEntries(lesson_, messages_);
  if (!entries) {
    // What the list would show is no longer known.
    clearUnitPanel();
    return false;
  }
  entries_ = std::move(*entries);
  return true;
}

bool EditorSession::validIndex(int index) const {
  return view_.lessonSelected && index >= 0 && static_cast<std::size_t>(index) < entries_.size();
}

void EditorSession::selectLesson() {
  const std::optional<std::uint8_t> id = flows_.lessons.selectLesson(lesson_.dataFilePath, true);
  if (!id || *id == 0) return;
  lesson_.unitId = *id;
  if (!reloadEntries()) return;
  view_.lessonSelected = true;
  showUnitPanel();
  fillEditorList();
}

void EditorSession::deselectLesson() {
  clearUnitPanel();
}

void EditorSession::dataFileInfo() {
  flows_.headerInfo.showHeaderInfo(true, writable());
  showCaption();
}

void EditorSession::lessonInfo() {
  if (!view_.lessonSelected) return;
  flows_.headerInfo.showHeaderInfo(false, writable());
  showUnitPanel();
}

void EditorSession::deleteLesson() {
  if (!view_.lessonSelected || !writable()) return;
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
                   "Lektion \"" + ToUtf8(LessonName(lesson_.lessonHeader).as(lesson_.encoding())) +
                       "\" mit " + std::to_string(*marked - 1) + " Vokabeln erfolgreich gelöscht!",
                   MsgButtons::Ok);
  } else {
    messages_.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
  }
  clearUnitPanel();
  showStatistics();
}

void EditorSession::restoreLessons() {
  if (!writable()) return;
  restore_.listDeletedLessons();
  showStatistics();
}

void EditorSession::cleanup() {
  if (!writable()) return;
  if (messages_.show(MsgKind::Warning,
                     "Bereinigen löschte alle 'gelöschten' Units und Vokabeln phsysikalisch. "
                     "Danach haben sie keine Möglichkeit mehr diese Informationen "
                     "wiederherzustellen! Fortfahren?",
                     MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const CleanupResult result = CleanupDataFile(lesson_.dataFilePath, backupPath(), messages_);
  showStatistics();
  window_.redraw();
  if (result.ok) {
    messages_.show(MsgKind::Information, "Die Bereinigung ist erfolgreich abgeschlossen worden!",
                   MsgButtons::Ok);
  }
}

void EditorSession::exportLesson() {
  if (!view_.lessonSelected || !CheckExportable(entries_.size(), messages_)) return;
  const auto path = fileDialogs_.saveFile(TransferDialogRequest());
  if (!path) return;
  ExportLessonFile(*path, lesson_.dataFileHeader, lesson_.lessonHeader, entries_,
                   TodayShortDateText(clock_), messages_);
}

void EditorSession::importFile() {
  if (!writable()) return;
  const auto path = fileDialogs_.openFile(TransferDialogRequest());
  if (!path) return;
  // Into the selected lesson (not KVTML, which always makes lessons of its own), otherwise into
  // new lessons.
  const bool into = view_.lessonSelected && FormatOfPath(*path) != TransferFormat::Kvtml;
  const ImportResult result =
      ImportFile(lesson_.dataFilePath, *path, into ? lesson_.unitId : 0, messages_);
  if (!result.imported) return;
  messages_.show(MsgKind::Information,
                 ImportDoneText(result, LessonName(lesson_.lessonHeader).as(lesson_.encoding())),
                 MsgButtons::Ok);
  if (!result.newLesson) {
    // The list follows the file: the selected lesson has new entries.
    if (std::optional<std::vector<TVocData>> entries = LoadLessonEntries(lesson_, messages_)) {
      entries_ = std::move(*entries);
    }
    showUnitPanel();
    fillEditorList();
  }
  showStatistics();
}

void EditorSession::editEntry(int index) {
  if (!validIndex(index)) return;
  TVocData& entry = entries_[static_cast<std::size_t>(index)];
  if (const std::optional<TVocData> corrected = flows_.entries.quickEditEntry(entry, writable())) {
    entry = *corrected;
    showLines();
  }
}

void EditorSession::deleteEntry(int index) {
  if (!validIndex(index) || !writable()) return;
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
  if (!reloadEntries()) return;
  showUnitPanel();
  showLines();
}

void EditorSession::restoreEntries() {
  if (!view_.lessonSelected || !writable()) return;
  restore_.listDeletedEntries();
  if (!reloadEntries()) return;
  showUnitPanel();
  fillEditorList();
}

void EditorSession::addEntries() {
  if (!view_.lessonSelected || !writable()) return;
  flows_.vocabularyEntry.openEntryWindow(false);
  // The entry window may have saved entries and switched the current lesson: the list shows the
  // current lesson as the DataFile holds it now.
  if (!reloadEntries()) return;
  showUnitPanel();
  fillEditorList();
}

void EditorSession::changeDataFile() {
  if (!view_.dataFileEnabled) return;
  const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(ChooseMode::NewDataFile);
  if (!path) return;
  lesson_.dataFilePath = *path;
  lesson_.readOnlyReason.clear();
  view_.readOnlyReason.clear();
  if (readDataFileHeader()) {
    checkWritable();
    showStatistics();
  }
  clearUnitPanel();
}

void EditorSession::checkWritable() {
  TellWhenReadOnly(lesson_, messages_);
  view_.readOnlyReason = lesson_.readOnlyReason;
}

}  // namespace merkhaus
