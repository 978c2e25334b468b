// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/options.h"
#include "config/special_chars.h"
#include "flows/flows.h"
#include "flows/lesson_context.h"
#include "flows/progress_recorder.h"
#include "flows/speaker.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/print.h"
#include "platform/random.h"
#include "platform/today.h"

namespace merkhaus {

// What every window and session is handed: the lesson context, the one options object and the
// services of the platform. Made once in main; tests make their own with fakes. A service that
// a new mode needs is added here, not to every constructor.
struct Services {
  LessonContext& lesson;
  Options& options;
  Messages& messages;
  FileDialogs& fileDialogs;
  HelpViewer& help;
  Random& random;                  // the practice's and the test's pseudo-random numbers
  SpecialCharTable& specialChars;  // F5..F8, shared by every typing field
  PrintDialog& printDialog;        // the printer, or a PDF file, for "Drucken"
  Clock& clock;                    // today's date, for exports and printed lists
  Speaker& speaker;                // "Vorlesen": the system's text-to-speech
  ProgressRecorder& progress;      // what practice and test report for the learning progress
};

// What the window of a working mode is made with: the services, the flows it may start and the
// number of its help page.
struct ModeContext {
  Services& services;
  Flows flows;
  int helpContext = 0;
};

}  // namespace merkhaus
