// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <exception>
#include <new>
#include <optional>
#include <string>

#include "platform/file_io.h"
#include "platform/messages.h"

namespace merkhaus {

// Runs one action and catches what ends it early: an input or output error after a file was
// opened, a lack of memory, or anything else thrown. The text that tells the learner what went
// wrong; nothing when the action ran to its end. The windows (RunAction) and merkhaus-tool (for
// each command) end their actions through this, so both catch the same things.
template <class Action>
std::optional<std::string> Attempt(Action&& action) noexcept {
  try {
    action();
    return std::nullopt;
  } catch (const IoError& e) {
    return std::string(e.what());
  } catch (const std::bad_alloc&) {
    return std::string("Nicht genügend Arbeitsspeicher! Die Aktion wurde abgebrochen.");
  } catch (const std::exception& e) {
    return std::string("Unerwarteter Fehler: ") + e.what();
  } catch (...) {
    return std::string("Unerwarteter Fehler!");
  }
}

// Tells what opening a DataFile mended during an action (a change taken back after a crash, a
// partial record cut away), one warning each.
inline void TellRepairs(Messages& messages) {
  for (const FileRepair& repair : TakeRepairs()) {
    messages.show(MsgKind::Warning, repair.text(), MsgButtons::Ok);
  }
}

// Runs one action of the learner: a click, a key, a timer. What opening a DataFile mended on the
// way is told first; whatever ends the action early is told in one error box; the program goes
// on. Windows run every handler through this, so no exception ever
// reaches the window system. False when the action ended early.
template <class Action>
bool RunAction(Messages& messages, Action&& action) noexcept {
  const std::optional<std::string> failure = Attempt(action);
  try {
    TellRepairs(messages);
  } catch (...) {
    // Nothing more can be told.
  }
  if (!failure) return true;
  try {
    ShowErr(messages, *failure);
  } catch (...) {
    // Nothing more can be told.
  }
  return false;
}

}  // namespace merkhaus
