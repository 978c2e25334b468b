// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace merkhaus {

// How the program talks to the learner: a modal box of one kind with one button set, answered
// by the button pressed. Core code reports only through this interface; the program shows
// QMessageBox, tests use a scripted fake that checks every text.
enum class MsgKind { Warning, Error, Information, Confirmation };
// YesNoDefaultNo asks a question whose "Ja" destroys data: Enter answers "Nein".
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

}  // namespace merkhaus
