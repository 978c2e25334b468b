// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/lesson_context.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/lesson_list.h"

namespace merkhaus {

// "Neue Lektion anlegen", as the lesson choice opens it.
class NewLessonDialog {
 public:
  virtual ~NewLessonDialog() = default;
  // Shows the dialog modally. False when the learner abandoned it.
  virtual bool newLesson() = 0;
};

// Makes a lesson from the new-lesson dialog's texts, the name cut to 60 and the comment to 255.
// Yields the name; an empty name after the reason and "Die Unit konnte nicht korrekt angelegt
// werden!".
WinString CreateLessonFromDialog(const std::string& path, const WinString& name,
                                 const WinString& comment, Messages& messages);

// What "Lektionsauswahl" shows.
struct LessonChoiceView {
  WinString dataFileName;
  WinString dataFileComment;
  std::vector<WinString> lines;  // the lesson-list lines, as the DataFile gives them
  bool mayCreate = false;        // "&Neu..." and "&Löschen"
  // Grows whenever the list was read again, so that the window knows when to fill it anew.
  unsigned listVersion = 0;
};

// The lesson choice ("Lektionsauswahl") without its window: what it lists, what it tells, the
// lessons it makes and deletes, and the answer it gives (LessonChooser::selectLesson). The
// window shows the view and hands the learner's clicks over.
class LessonChoice {
 public:
  LessonChoice(LessonContext& lesson, Messages& messages, NewLessonDialog& newLesson,
               HeaderInfoViewer& headerInfo);

  const LessonChoiceView& view() const { return view_; }

  // Prepares a choice of a lesson of the DataFile at `path` and refreshes the context's DataFile
  // header. False when there is nothing to show the window for: the answer is then outcome().
  bool begin(const std::string& path, bool allowCreate);
  // The answer when begin() was false.
  std::optional<std::uint8_t> outcome() const { return outcome_; }

  // "&Neu...": a new lesson; the list is read again after OK. Abandoning the dialog abandons the
  // whole choice, whichever line is chosen afterwards.
  void newLesson();
  // "&Löschen" of the line at `row` (-1: none selected). True when the line leaves the list.
  bool deleteLine(int row);
  // "I": the read-only information of the lesson of the line at `row`.
  void showInfo(int row);

  // The window has closed: on the line at `row` ("&Wählen", a double click, Enter), or by
  // "&Zurück" (`back`). The chosen UnitID, 0 when the line matches no lesson any more.
  std::optional<std::uint8_t> end(int row, bool back);

 private:
  // Reads the lesson list again ("RW - Fehler in Unit6!" when it cannot; the list is then empty).
  void refill();
  const WinString* line(int row) const;

  LessonContext& lesson_;
  Messages& messages_;
  NewLessonDialog& newLesson_;
  HeaderInfoViewer& headerInfo_;
  std::string path_;
  bool abandoned_ = false;
  std::optional<std::uint8_t> outcome_;
  LessonChoiceView view_;
};

}  // namespace merkhaus
