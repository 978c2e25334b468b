// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "platform/win_string.h"
#include "store/statistics.h"

namespace merkhaus {

// The two restore windows ("Wieder herstellen", "Vokabeln wieder herstellen"), which the editor's
// window owns; the session opens them through this.
class RestoreWindows {
 public:
  virtual ~RestoreWindows() = default;
  // The deleted lessons of the current DataFile, modal.
  virtual void listDeletedLessons() = 0;
  // The deleted entries of the current lesson, modal.
  virtual void listDeletedEntries() = 0;
};

// The editor's four figures. Entries count as live unless marked deleted (Deleted 1) and as
// deleted unless live (Deleted 0), so an entry with a damaged Deleted byte shows in both.
// Counted in full width: a large DataFile holds more than 65,535 records.
struct EditorStatistics {
  std::uint64_t lessons = 0;
  std::uint64_t entries = 0;
  std::uint64_t deletedEntries = 0;
  std::uint64_t totalEntries = 0;
};
EditorStatistics EditorStatisticsOf(const DataFileCounts& counts);

// The room that `records` records take, as the editor shows it: whole kilobytes and two blanks
// before "Kb" (100 entries: "60  Kb").
std::string SizeText(std::uint64_t records);

// An entry's line in the editor's list: A1 = B1.
WinString EditorListLine(const TVocData& entry, TextEncoding encoding = TextEncoding::Cp1252);

// Everything the editor window shows; texts are UTF-8, list lines Windows-1252.
struct EditorView {
  std::string caption = "DataFile-Editor";
  std::string lessons = "0";
  std::string entries = "0";
  std::string entriesSize = "0  Kb";
  std::string deletedEntries = "0";
  std::string deletedSize = "0  Kb";
  std::string totalEntries = "0";
  std::string totalSize = "0  Kb";
  bool lessonSelected = false;  // enables the lesson buttons
  std::string lessonName = "<keine gewählt>";
  std::string lessonId = "-";
  std::string lessonCount = "-";
  std::vector<WinString> lines;  // the lesson's entries, line i is entry i
  bool dataFileEnabled = true;   // "DataFile": another DataFile may be chosen
  // Why the DataFile is only read (damaged, write-protected), as the learner was told when it
  // was chosen; empty when it can be changed. Every control that writes is off meanwhile.
  std::string readOnlyReason;
};

// The DataFile editor ("Editiern"): the figures of one DataFile and every maintenance action on
// it, its lessons and their entries. Made once with its window and used for every opening. It
// owns the entries of the lesson selected.
class EditorSession {
 public:
  // `window` is shown before the message about the cleanup, so that the new figures are seen
  // while it is up.
  EditorSession(Services& services, const Flows& flows, RestoreWindows& restore,
                Redraw& window = Unseen());

  const EditorView& view() const { return view_; }
  // The entries of the lesson selected, at most 255 in file order; line i is entry i.
  const std::vector<TVocData>& entries() const { return entries_; }
  // Where the cleanup keeps the DataFile as it was; the working folder's "cleanup.tmp".
  std::function<std::string()> backupPath;

  // Chooses the DataFile (offering "Neues...") and prepares the editor on it without a lesson.
  // False when the editor is not to open: the choice was cancelled or the file cannot be read.
  bool openEditor();

  // Record 0 into the context's DataFile header; false when it cannot be read
  // ("RW - Fehler: 1101").
  bool readDataFileHeader();
  // Counts the DataFile in one pass and shows the figures and the caption.
  void showStatistics();
  // No lesson selected.
  void clearUnitPanel();
  // The lesson's name, UnitID and number of loaded entries.
  void showUnitPanel();
  // The list from the entries; an empty lesson is told.
  void fillEditorList();

  // The buttons, named after what they do. `index` is the selected list line, -1 for none.
  void selectLesson();          // "Unit auswählen"
  void deselectLesson();        // "Unit abwählen"
  void dataFileInfo();          // "Name / Info" of the DataFile
  void lessonInfo();            // "Name / Info" of the lesson
  void deleteLesson();          // "Unit löschen"
  void restoreLessons();        // "Wiederherstellen" of lessons
  void cleanup();               // "Bereinigen"
  void exportLesson();          // "Exportieren"
  void importFile();            // "Importieren"
  void editEntry(int index);    // "Bearbeiten", double click
  void deleteEntry(int index);  // "Löschen"
  void restoreEntries();        // "Wiederherstellen" of entries
  void addEntries();            // "Neue hinzufügen"
  void changeDataFile();        // "DataFile"

 private:
  void showCaption();
  void showLines();
  // Tells a DataFile just chosen that is damaged or write-protected, once, and runs on it
  // read-only.
  void checkWritable();
  bool writable() const { return view_.readOnlyReason.empty(); }
  // Reloads the lesson's entries; false (and no lesson any more) when the file cannot be read.
  bool reloadEntries();
  bool validIndex(int index) const;

  LessonContext& lesson_;
  Options& options_;
  Messages& messages_;
  FileDialogs& fileDialogs_;
  Clock& clock_;
  Flows flows_;
  RestoreWindows& restore_;
  Redraw& window_;
  std::vector<TVocData> entries_;
  EditorView view_;
};

}  // namespace merkhaus
