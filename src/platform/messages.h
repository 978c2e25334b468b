// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/file_io.h"

namespace merkhaus {

// How the program talks to the learner: a modal box of one kind with one button set, answered
// by the button pressed. Core code reports only through this interface; the program shows
// QMessageBox, tests use a scripted fake that checks every text.
enum class MsgKind { Warning, Error, Information, Confirmation };
// YesNoDefaultNo asks a question whose "Ja" destroys data or ends the learner's session: Enter
// answers "Nein".
enum class MsgButtons { Ok, Yes, YesNo, YesNoCancel, YesNoDefaultNo };
enum class Answer { Ok, Yes, No, Cancel };

class Messages {
 public:
  virtual ~Messages() = default;
  // text is UTF-8; lines are separated by '\n'.
  virtual Answer show(MsgKind kind, const std::string& text, MsgButtons buttons) = 0;
};

// The error box of the DataFile routines: one OK button.
inline void ShowErr(Messages& messages, const std::string& text) {
  messages.show(MsgKind::Error, text, MsgButtons::Ok);
}

// A file that failed, in one error box: the program's message for the failure, then on a line
// of its own the file and the reason ("IO-Fehler 802!" / 'Die Datei "…" kann nicht geöffnet
// werden: …'), then, when given, what became of the learner's data ("Es wurde nichts
// importiert."). Every such box of the program is made here.
inline void ShowFileError(Messages& messages, const std::string& message, const FileError& error,
                          const std::string& after = {}, MsgButtons buttons = MsgButtons::Ok) {
  std::string text = message.empty() ? error.text() : WithReason(message, error);
  if (!after.empty()) text += "\n" + after;
  messages.show(MsgKind::Error, text, buttons);
}

}  // namespace merkhaus
