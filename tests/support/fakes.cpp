// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/fakes.h"

#include <gtest/gtest.h>

namespace mhtest {

ScriptedMessages::~ScriptedMessages() {
  for (const auto& e : expected_)
    ADD_FAILURE() << "message never shown: \"" << e.text << "\"";
}

ScriptedMessages& ScriptedMessages::expect(std::string text, Answer answer) {
  expected_.push_back({std::move(text), answer, std::nullopt, std::nullopt});
  return *this;
}

ScriptedMessages& ScriptedMessages::expect(std::string text, Answer answer, MsgKind kind,
                                           MsgButtons buttons) {
  expected_.push_back({std::move(text), answer, kind, buttons});
  return *this;
}

Answer ScriptedMessages::show(MsgKind kind, const std::string& text, MsgButtons buttons) {
  shown_.push_back({kind, text, buttons});
  if (onShow) onShow(text);
  if (expected_.empty()) {
    ADD_FAILURE() << "unexpected message: \"" << text << "\"";
  } else {
    const Expected e = expected_.front();
    expected_.pop_front();
    EXPECT_EQ(e.text, text) << "a different message was shown";
    if (e.kind) {
      EXPECT_EQ(static_cast<int>(*e.kind), static_cast<int>(kind)) << "box kind of: " << text;
    }
    if (e.buttons) {
      EXPECT_EQ(static_cast<int>(*e.buttons), static_cast<int>(buttons)) << "buttons of: " << text;
    }
    if (e.text == text) return e.answer;
  }
  // Unexpected: take the answer that changes least.
  switch (buttons) {
    case MsgButtons::Ok:
      return Answer::Ok;
    case MsgButtons::Yes:
      return Answer::Yes;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
      return Answer::No;
    case MsgButtons::YesNoCancel:
      return Answer::Cancel;
  }
  return Answer::Cancel;
}

ScriptedFileDialogs::~ScriptedFileDialogs() {
  for (const auto& p : open_)
    ADD_FAILURE() << "open dialog never shown (answer " << p.value_or("<cancel>") << ")";
  for (const auto& p : save_)
    ADD_FAILURE() << "save dialog never shown (answer " << p.value_or("<cancel>") << ")";
}

ScriptedFileDialogs& ScriptedFileDialogs::answerOpen(std::optional<std::string> path) {
  open_.push_back(std::move(path));
  return *this;
}

ScriptedFileDialogs& ScriptedFileDialogs::answerSave(std::optional<std::string> path) {
  save_.push_back(std::move(path));
  return *this;
}

std::optional<std::string> ScriptedFileDialogs::openFile(const merkhaus::FileDialogRequest& r) {
  openRequests.push_back(r);
  if (open_.empty()) {
    ADD_FAILURE() << "unexpected open dialog: " << r.title;
    return std::nullopt;
  }
  auto answer = open_.front();
  open_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedFileDialogs::saveFile(const merkhaus::FileDialogRequest& r) {
  saveRequests.push_back(r);
  if (save_.empty()) {
    ADD_FAILURE() << "unexpected save dialog: " << r.title;
    return std::nullopt;
  }
  auto answer = save_.front();
  save_.pop_front();
  return answer;
}

}  // namespace mhtest
