#pragma once

#include <string>
#include <vector>

namespace mhtest {

struct ToolResult {
  int status;
  std::string out;
  std::string err;
};

// Runs merkhaus-tool with the arguments (no shell involved) and collects its output.
ToolResult RunTool(const std::vector<std::string>& args);

}  // namespace mhtest
