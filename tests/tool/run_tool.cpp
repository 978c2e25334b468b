// SPDX-License-Identifier: GPL-3.0-or-later
#include "run_tool.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace mhtest {

RunningTool::RunningTool(const std::vector<std::string>& args, const char* program)
    : dir_(std::make_unique<TempDir>()) {
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
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program));
    for (const auto& a : args)
      argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(program, argv.data());
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

ToolResult RunTool(const std::vector<std::string>& args) {
  return RunningTool(args).wait();
}

}  // namespace mhtest
