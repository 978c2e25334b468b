// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_tool.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <thread>

namespace mhtest {

RunningTool::RunningTool(const std::vector<std::string>& args, const ToolSetup& setup)
    : dir_(std::make_unique<TempDir>()) {
  const std::string program = setup.program.empty() ? MERKHAUS_TOOL : setup.program;
  const std::string outPath = dir_->file("out"), errPath = dir_->file("err");
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("fork failed");
  if (pid_ == 0) {
    const int out = open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(out, 1);
    dup2(err, 2);
    for (const char* display : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
      unsetenv(display);
    for (const auto& [name, value] : setup.environment)
      setenv(name.c_str(), value.c_str(), 1);
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
}

ToolResult RunningTool::wait(int seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
  int status = 0;
  bool killed = false;
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      killed = true;
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  const int code = killed ? -2 : WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return {code, ReadBytes(dir_->file("out")), ReadBytes(dir_->file("err"))};
}

ToolResult RunTool(const std::vector<std::string>& args, const ToolSetup& setup) {
  return RunningTool(args, setup).wait();
}

std::string PlaceToolIn(const std::filesystem::path& folder) {
  const auto placed = folder / "merkhaus-tool";
  std::error_code ec;
  std::filesystem::create_hard_link(MERKHAUS_TOOL, placed, ec);
  if (ec) std::filesystem::copy_file(MERKHAUS_TOOL, placed);
  return placed.string();
}

}  // namespace mhtest
