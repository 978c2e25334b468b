// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "support/datafile_builder.h"

namespace mhtest {

struct ToolResult {
  int status;  // -2 when the tool had to be stopped after the deadline
  std::string out;
  std::string err;
};

// How to start the tool: another copy of it (empty: the one built), and variables to set in its
// environment.
struct ToolSetup {
  std::string program;
  std::vector<std::pair<std::string, std::string>> environment;
};

// merkhaus-tool (or another program) started with the arguments (no shell involved), running
// beside the test, without a display, as in a script on a server.
class RunningTool {
 public:
  explicit RunningTool(const std::vector<std::string>& args, const ToolSetup& setup = {});
  // Waits for its end, at most `seconds`; a tool still running then is killed.
  ToolResult wait(int seconds = 30);

 private:
  std::unique_ptr<TempDir> dir_;
  pid_t pid_ = -1;
};

// Runs merkhaus-tool with the arguments and collects its output.
ToolResult RunTool(const std::vector<std::string>& args, const ToolSetup& setup = {});

// Puts the built tool into `folder` (a hard link, or a copy) and yields its path: a tool there
// knows nothing of the build folder's portable marker.
std::string PlaceToolIn(const std::filesystem::path& folder);

}  // namespace mhtest
