// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "entry/entry_buffer.h"
#include "flows/flows.h"
#include "flows/read_aloud.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "platform/win_string.h"

namespace merkhaus {

// Everything the entry window shows. The window copies it into its controls after every call
// into EntrySession.
struct EntryView {
  WinString dataFileName;
  WinString dataFileComment;
  WinString lessonName;
  WinString lessonComment;
  WinString foreignLanguage;     // heading of the A column
  WinString nativeLanguage;      // heading of the B column
  std::vector<WinString> lines;  // the buffer, one line per entry
  int selected = -1;             // the selected line, -1 for none
  EntryTexts fields;             // the seven edit fields
};

// Typing new vocabulary into a lesson ("Eingeben"): the buffer of new entries, its corrections,
// and saving it into the DataFile. Made once with its window and used for every opening.
class EntrySession {
 public:
  // `window` is shown before the message about a save, so that the emptied list is already seen
  // while it is up.
  EntrySession(Services& services, const Flows& flows, Redraw& window = Unseen());

  const EntryView& view() const { return view_; }
  const EntryBuffer& buffer() const { return buffer_; }

  // The fields and the list's selection as the learner left them; call before every action.
  void setFields(const EntryTexts& fields) { view_.fields = fields; }
  void setSelected(int line) { view_.selected = line; }

  // Starts with an empty buffer and empty fields on the current DataFile. With `checkLesson` the
  // header of the current lesson is read afresh ("Böser Fehler: 301" when it is gone; the window
  // opens all the same with the lesson data it has).
  void open(bool checkLesson);

  // "Eintragen": the fields as a new entry of the current lesson. True when it was added and the
  // fields were emptied.
  bool add();
  // "Ändern": the fields replace the selected entry. True when it was replaced.
  bool change();
  // "Entfernen": the selected entry leaves the buffer, without a question.
  void remove();
  // Double click on a line: its entry into the fields, to be corrected with "Ändern".
  void loadSelected();
  // "Clear": empties the fields.
  void clearFields();
  // "Speichern": appends the buffer to the DataFile and tells how many entries went into which
  // lesson. True when the buffer was saved.
  bool save();
  // "Ende": true when the window may close. Asks first when the buffer holds entries; when the
  // learner wants them saved and that fails, the window stays open with the buffer.
  bool confirmEnd();
  // "Letzte Vok.": the lesson's last entry in the DataFile, saved ones only.
  void showLastEntry();
  // "Lektion": another lesson (or a new one) for the entries typed from now on.
  void changeLesson();
  // The "i" buttons: name and comment of the DataFile or the lesson, editable.
  void dataFileInfo();
  void lessonInfo();
  // "Vorlesen": what is typed in the foreign fields, to check a spelling by ear.
  void readAloud();
  const ReadAloud& speech() const { return speech_; }

 private:
  void showHeaders();
  void showLines();
  // The current lesson's name, for the message about a lesson that is gone when saving.
  void rememberLessonName();
  int selected() const;

  LessonContext& lesson_;
  Options& options_;
  Messages& messages_;
  Flows flows_;
  Redraw& window_;
  EntryBuffer buffer_;
  std::map<std::uint8_t, WinString> lessonNames_;
  EntryView view_;
  ReadAloud speech_;
};

}  // namespace merkhaus
