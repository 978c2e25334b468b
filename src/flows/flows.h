// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "store/vocdata.h"

namespace merkhaus {

// The choosers and dialogs that the working modes use. A mode sees only these small interfaces,
// handed to it in one Flows bundle when it is made; the shell's windows implement them. So a mode
// never reaches another window, and a test hands it fakes. Every flow returns its answer: an
// empty optional means that the learner abandoned it.

// New-DataFile mode enables "Neues..." in "DataFile öffnen"; plain mode does not.
enum class ChooseMode { Plain, NewDataFile };

class DataFileChooser {
 public:
  virtual ~DataFileChooser() = default;
  // Decides the DataFile for a flow: without asking where the options say so (the path may then
  // be empty), otherwise through "DataFile öffnen".
  virtual std::optional<std::string> chooseDataFile(ChooseMode mode) = 0;
};

class LessonChooser {
 public:
  virtual ~LessonChooser() = default;
  // Lets the learner choose a lesson of the DataFile at `path` ("Lektionsauswahl") and refreshes
  // the context's DataFile header from record 0. The chosen UnitID; 0 when the choice ended
  // without a lesson although the learner did not abandon it (a DataFile without lessons, a list
  // that could not be read).
  virtual std::optional<std::uint8_t> selectLesson(const std::string& path, bool allowCreate) = 0;
};

class HeaderInfoViewer {
 public:
  virtual ~HeaderInfoViewer() = default;
  // "DataFile Info" (the context's DataFile header) or "Lektions Info" (its lesson header), shown
  // or edited; a change is written into the DataFile and into the context.
  virtual void showHeaderInfo(bool forDataFile, bool editable) = 0;
};

class EntryViewer {
 public:
  virtual ~EntryViewer() = default;
  // "Quick-View" or "Quick-Edit" of an entry of the current DataFile. In edit mode a confirmed
  // correction is written into the DataFile (every record equal to `entry`) and returned;
  // nothing when the learner cancelled, only looked, or the DataFile could not be written.
  virtual std::optional<TVocData> quickEditEntry(const TVocData& entry, bool editable) = 0;
};

class VocabularyEntry {
 public:
  virtual ~VocabularyEntry() = default;
  // "Eingeben" on the context's DataFile and lesson, modal; returns after "Ende". `checkLesson`:
  // read the lesson's header afresh. The window may switch the current lesson ("Lektion").
  virtual void openEntryWindow(bool checkLesson) = 0;
};

class OptionsEditor {
 public:
  virtual ~OptionsEditor() = default;
  // "Optionen", modal; returns when it is closed.
  virtual void showOptions() = 0;
  // Writes the settings that Merkhaus.cfg has no line for (Merkhaus3.conf) at once: a choice
  // made in a mode's own window that is to be remembered.
  virtual void saveMoreOptions() = 0;
};

// The flows as one bundle, so that a mode that needs another flow does not change its
// constructor.
struct Flows {
  DataFileChooser& dataFiles;
  LessonChooser& lessons;
  HeaderInfoViewer& headerInfo;
  EntryViewer& entries;
  OptionsEditor& options;
  VocabularyEntry& vocabularyEntry;
};

}  // namespace merkhaus
