// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/action.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <optional>
#include <stdexcept>

#include "support/fakes.h"

namespace merkhaus {
namespace {

// The windows (RunAction) and merkhaus-tool (Attempt) end an action on the same failures, with
// the same texts.
TEST(Action, WhatEndsAnActionAndWhatItSays) {
  struct Case {
    const char* what;
    std::function<void()> action;
    std::optional<std::string> told;
  };
  const FileError error{"/tmp/v.fid", FileError::Step::Read, EIO};
  const Case cases[] = {
      {"runs to its end", [] {}, std::nullopt},
      {"a file fails", [&] { throw IoError(error); }, error.text()},
      {"no memory", [] { throw std::bad_alloc(); },
       "Nicht genügend Arbeitsspeicher! Die Aktion wurde abgebrochen."},
      {"anything else", [] { throw std::logic_error("kaputt"); }, "Unerwarteter Fehler: kaputt"},
      {"not even an exception", [] { throw 42; }, "Unerwarteter Fehler!"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.told, Attempt(c.action)) << c.what;
    mhtest::ScriptedMessages messages;
    if (c.told) messages.expect(*c.told, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_EQ(!c.told, RunAction(messages, c.action)) << c.what;
    EXPECT_TRUE(messages.done()) << c.what;
  }
}

}  // namespace
}  // namespace merkhaus
