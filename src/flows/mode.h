// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace merkhaus {

struct Services;

// A working mode as the main window starts it ("Eingeben", "Üben", "Testen", "Wörterbuch",
// "Editiern", "Drucken", and whatever comes next). The shell registers each mode once, with what
// the main window does before it runs (see shell/start_up.cpp); the mode itself only runs.

// The main window, as a running mode sees it.
class ModeHost {
 public:
  virtual ~ModeHost() = default;
  // Hides the main window until the mode ends: for a mode that hides it only once it is sure to
  // run (MainWindow::HiddenByMode).
  virtual void hideMainWindow() = 0;
};

class Mode {
 public:
  virtual ~Mode() = default;
  // Runs the mode on the lesson context until the learner leaves it.
  virtual void runMode(ModeHost& host) = 0;
};

// What the main window chooses before a mode runs.
enum class DataFileStep {
  DataFile,       // an existing DataFile ("DataFile öffnen")
  DataFileOrNew,  // the same, with "Neues..."
  OwnDataFile,    // the mode chooses its DataFile itself
};
enum class LessonStep {
  NoLesson,     // none (on the command-line file a lesson is still chosen, but not needed)
  Lesson,       // a lesson of the DataFile, or the mode does not start
  LessonOrNew,  // the same, with "&Neu..." and "&Löschen"
};
enum class MainWindow {
  Hidden,        // hidden while the mode runs
  Shown,         // stays as it is
  HiddenByMode,  // hidden by the mode itself, once it runs (ModeHost::hideMainWindow)
};

// A mode as the main window knows it: the form name of the button that starts it (a button of
// that name is made when the main window has none), its caption, the number of its help page,
// what is chosen before it runs, what becomes of the main window meanwhile, and the number by
// which the option `openreact` starts it on a DataFile of the command line (0: never); for a
// button whose caption tells something that changes (how many entries are due), how to word it.
struct ModeInfo {
  const char* button;
  const char* caption;
  int helpContext;
  DataFileStep dataFile;
  LessonStep lesson;
  MainWindow mainWindow;
  int commandLineReaction;
  // The caption as it is now, worked out whenever the main window comes back; null: `caption`.
  std::string (*currentCaption)(Services& services) = nullptr;
};

}  // namespace merkhaus
