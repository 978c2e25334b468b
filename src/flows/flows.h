// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace merkhaus {

// The choosers and dialogs that every working mode uses. A mode sees only these small
// interfaces, handed to it when it is made; the shell's windows implement them. So a mode never
// reaches another window, and a test hands it fakes.

// New-DataFile mode enables "Neues..." in "DataFile öffnen"; plain mode does not.
enum class ChooseMode { Plain, NewDataFile };

class DataFileChooser {
 public:
  virtual ~DataFileChooser() = default;
  // Decides the DataFile for a flow: without asking where the options say so, otherwise through
  // "DataFile öffnen". The caller sets Cancelled to 0 before and uses the path only when
  // Cancelled is still 0 afterwards.
  virtual std::string ChooseDataFile(ChooseMode mode) = 0;
};

class LessonChooser {
 public:
  virtual ~LessonChooser() = default;
  // Lets the learner choose a lesson of the DataFile at `path` ("Lektionsauswahl"); yields its
  // UnitID, or 0 when none was chosen. Refreshes DataFileHeader from record 0. The caller sets
  // Cancelled to 0 before and goes on only when Cancelled is still 0.
  virtual std::uint8_t SelectUnit(const std::string& path, bool allowCreate) = 0;
};

class HeaderInfoViewer {
 public:
  virtual ~HeaderInfoViewer() = default;
  // "DataFile Info" (DataFileHeader) or "Lektions Info" (CurUnit), shown or edited.
  virtual void ShowHeaderInfo(bool forDataFile, bool editable) = 0;
};

class EntryViewer {
 public:
  virtual ~EntryViewer() = default;
  // "Quick-View" or "Quick-Edit" of VocList[index]. True when the learner confirmed in edit mode
  // and the entry was written back.
  virtual bool QuickEditEntry(std::size_t index, bool editable) = 0;
};

class VocabularyEntry {
 public:
  virtual ~VocabularyEntry() = default;
  // "Eingeben" on DataFilePath and CurUnitID, modal; returns after "Ende". `checkLesson`: read
  // the lesson's header afresh. The window may switch CurUnitID ("Lektion") and fills VocList
  // with its buffer, so the caller reloads what it shows.
  virtual void OpenEntryWindow(bool checkLesson) = 0;
};

class OptionsEditor {
 public:
  virtual ~OptionsEditor() = default;
  // "Optionen", modal; returns when it is closed.
  virtual void ShowOptions() = 0;
};

}  // namespace merkhaus
