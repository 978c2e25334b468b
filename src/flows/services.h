// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/options.h"
#include "config/special_chars.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/print.h"
#include "platform/random.h"
#include "store/shared.h"

namespace merkhaus {

// What every window is handed: the shared state, the one options object and the services of
// the platform. Made once in main; tests make their own with fakes.
struct Services {
  Shared& shared;
  Options& options;
  Messages& messages;
  FileDialogs& fileDialogs;
  HelpViewer& help;
  Random& random;                  // the practice's and the test's pseudo-random numbers
  SpecialCharTable& specialChars;  // F5..F8, shared by every typing field
  PrintDialog& printDialog;        // the printer, or a PDF file, for "Drucken"
};

}  // namespace merkhaus
