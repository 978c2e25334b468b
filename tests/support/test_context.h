#pragma once

// An AppContext of fakes for window tests: scripted messages and file dialogs, a recording help
// viewer, fresh shared state and options, and a temporary directory for the program's files.

#include <memory>

#include "config/options.h"
#include "shell/app_context.h"
#include "store/shared.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "support/scripted_random.h"

namespace mhtest {

struct TestContext {
  TempDir dir;
  std::unique_ptr<merkhaus::Shared> shared = std::make_unique<merkhaus::Shared>();
  merkhaus::Options options;
  ScriptedMessages messages;
  ScriptedFileDialogs fileDialogs;
  RecordingHelp help;
  ScriptedRandom random;  // a test that lets the program draw scripts the draws
  merkhaus::AppContext ctx{
      *shared, options,    messages, fileDialogs,       help,
      random,  dir.path(), {},       merkhaus::Forms{}, merkhaus::SpecialCharTable{}};
};

}  // namespace mhtest
