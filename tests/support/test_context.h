// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The services of a window test: scripted messages and file dialogs, a recording help viewer,
// fresh shared state and options, and a temporary directory for the program's files.

#include <memory>

#include "config/options.h"
#include "config/special_chars.h"
#include "flows/services.h"
#include "store/shared.h"
#include "support/datafile_builder.h"
#include "support/fake_print.h"
#include "support/fakes.h"
#include "support/scripted_random.h"

namespace mhtest {

struct TestContext {
  TempDir dir;
  std::unique_ptr<merkhaus::Shared> shared = std::make_unique<merkhaus::Shared>();
  merkhaus::Options options;
  merkhaus::SpecialCharTable specialChars;
  ScriptedMessages messages;
  ScriptedFileDialogs fileDialogs;
  RecordingHelp help;
  ScriptedRandom random;  // a test that lets the program draw scripts the draws
  ScriptedPrintDialog printDialog;
  merkhaus::Services services{*shared, options, messages,     fileDialogs,
                              help,    random,  specialChars, printDialog};
};

}  // namespace mhtest
