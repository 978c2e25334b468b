// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <new>
#include <string>

#include "platform/file_io.h"
#include "platform/messages.h"

namespace merkhaus {

// Runs one action of the learner: a click, a key, a timer. An input or output error after a file
// was opened, or a lack of memory, ends the action here with one error box that says what went
// wrong; the program goes on. Windows run every handler through this, so no exception ever
// reaches the window system. False when the action ended early.
template <class Action>
bool RunAction(Messages& messages, Action&& action) noexcept {
  std::string text;
  try {
    action();
    return true;
  } catch (const IoError& e) {
    text = e.what();
  } catch (const std::bad_alloc&) {
    text = "Nicht genügend Arbeitsspeicher! Die Aktion wurde abgebrochen.";
  } catch (const std::exception& e) {
    text = std::string("Unerwarteter Fehler: ") + e.what();
  }
  try {
    ShowErr(messages, text);
  } catch (...) {
    // Nothing more can be told.
  }
  return false;
}

}  // namespace merkhaus
