// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The services of a test: scripted messages and file dialogs, a recording help viewer, a fresh
// lesson context and options, a clock fixed on one day, a speaker without voices, and a
// temporary directory for the program's files.

#include <ctime>

#include "config/options.h"
#include "config/special_chars.h"
#include "flows/lesson_context.h"
#include "flows/services.h"
#include "platform/today.h"
#include "support/datafile_builder.h"
#include "support/fake_print.h"
#include "support/fake_progress.h"
#include "support/fake_speaker.h"
#include "support/fakes.h"
#include "support/scripted_random.h"

namespace mhtest {

// A clock that tells the day it is set to, in the German form whatever the environment says.
class FixedClock : public merkhaus::Clock {
 public:
  FixedClock(int year, int month, int day) { set(year, month, day); }
  void set(int year, int month, int day) {
    day_.tm_year = year - 1900;
    day_.tm_mon = month - 1;
    day_.tm_mday = day;
  }
  std::tm today() const override { return day_; }
  std::string dateLocale() const override { return {}; }

 private:
  std::tm day_{};
};

struct TestContext {
  TempDir dir;
  merkhaus::LessonContext lesson;
  merkhaus::Options options;
  merkhaus::SpecialCharTable specialChars;
  ScriptedMessages messages;
  ScriptedFileDialogs fileDialogs;
  RecordingHelp help;
  ScriptedRandom random;  // a test that lets the program draw scripts the draws
  ScriptedPrintDialog printDialog;
  FixedClock clock{2025, 12, 4};
  FakeSpeaker speaker;  // no speech, as on CI, until a test gives it voices
  RecordingProgress progress;
  merkhaus::Services services{lesson,       options,     messages, fileDialogs, help,    random,
                              specialChars, printDialog, clock,    speaker,     progress};

  // What a mode's window is made with, the flows answered by `flows`.
  merkhaus::ModeContext mode(const merkhaus::Flows& flows, int helpContext = 0) {
    return {services, flows, helpContext};
  }
};

}  // namespace mhtest
