// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scripted stand-ins for the message boxes, file dialogs and help viewer. A test states what it
// expects to be shown, in order, with the answer to give; anything else fails the test.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/messages.h"

namespace mhtest {

using merkhaus::Answer;
using merkhaus::MsgButtons;
using merkhaus::MsgKind;

// The line that the program adds to a message about a file that is not there.
inline std::string Missing(const std::string& path) {
  return "\nDie Datei \"" + path + "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.";
}

class ScriptedMessages : public merkhaus::Messages {
 public:
  struct Shown {
    MsgKind kind;
    std::string text;
    MsgButtons buttons;
  };

  ScriptedMessages() = default;
  // Fails the test when expected messages were never shown.
  ~ScriptedMessages() override;

  // The next message must have this text (UTF-8, lines joined by '\n'); `answer` is pressed.
  ScriptedMessages& expect(std::string text, Answer answer = Answer::Ok);
  // The same, checking the box's kind and buttons too.
  ScriptedMessages& expect(std::string text, Answer answer, MsgKind kind, MsgButtons buttons);

  Answer show(MsgKind kind, const std::string& text, MsgButtons buttons) override;

  // True when every expected message has been shown.
  bool done() const { return expected_.empty(); }
  // Every message shown so far.
  const std::vector<Shown>& shown() const { return shown_; }
  // Runs as each message comes up, with its text: a look at the windows behind the box.
  std::function<void(const std::string&)> onShow;

 private:
  struct Expected {
    std::string text;
    Answer answer;
    std::optional<MsgKind> kind;
    std::optional<MsgButtons> buttons;
  };
  std::deque<Expected> expected_;
  std::vector<Shown> shown_;
};

// File dialogs answered from a script: each call takes the next answer (a path, or nothing for
// "Abbrechen"). A call without a scripted answer fails the test and cancels.
class ScriptedFileDialogs : public merkhaus::FileDialogs {
 public:
  ~ScriptedFileDialogs() override;
  ScriptedFileDialogs& answerOpen(std::optional<std::string> path);
  ScriptedFileDialogs& answerSave(std::optional<std::string> path);

  std::optional<std::string> openFile(const merkhaus::FileDialogRequest& request) override;
  std::optional<std::string> saveFile(const merkhaus::FileDialogRequest& request) override;

  bool done() const { return open_.empty() && save_.empty(); }
  std::vector<merkhaus::FileDialogRequest> openRequests, saveRequests;

 private:
  std::deque<std::optional<std::string>> open_, save_;
};

// Records which help pages were asked for.
class RecordingHelp : public merkhaus::HelpViewer {
 public:
  void showContents() override { topics.push_back(0); }
  void showTopic(int context) override { topics.push_back(context); }
  void close() override { ++closed; }
  std::vector<int> topics;  // 0 for the contents page
  int closed = 0;
};

}  // namespace mhtest
