// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <set>

#include "maintenance/kvtml_transfer.h"
#include "maintenance/transfer_formats.h"
#include "platform/file_io.h"
#include "store/datafile.h"
#include "store/record_file.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

TVocData Record(const mhtest::RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

// The status of `work` run in a child process; a seam fault with `kill` ends it there as kill -9.
int RunInChild(const std::function<bool()>& work) {
  const pid_t child = ::fork();
  if (child == 0) std::_Exit(work() ? 0 : 1);
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::set<std::string> FilesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

// A new DataFile or an export killed at any point of its writing leaves no output (or the old
// one, when it replaces a file) or the whole new output, and no temporary file beside it.
TEST(PublishKill, EveryKillPointOfNewAndExportLeavesTheOldOrTheNewOutput) {
  struct Verb {
    const char* name;
    const char* output;
    const char* oldOutput;  // nullptr: no file there before
    std::function<bool(const std::string& data, const std::string& out)> run;  // true: written
  };
  const auto header = Record(Header("V"));
  const auto lesson = Record(Unit(1, "Tiere"));
  const std::vector<TVocData> entries = {Record(Entry(1, "cat", "Katze")),
                                         Record(Entry(1, "dog", "Hund"))};
  const std::vector<Verb> verbs = {
      {"new", "neu.fid", nullptr,
       [&](const std::string&, const std::string& out) {
         return CreateDataFile(out, header, false).has_value();
       }},
      {"new --force", "neu.fid", "old DataFile",
       [&](const std::string&, const std::string& out) {
         return CreateDataFile(out, header, true).has_value();
       }},
      {"export", "tiere.txt", nullptr,
       [&](const std::string&, const std::string& out) {
         mhtest::ScriptedMessages messages;
         return ExportLessonFile(out, header, lesson, entries, WinString("09.12.2026"), messages);
       }},
      {"export --force", "tiere.txt", "old text",
       [&](const std::string&, const std::string& out) {
         mhtest::ScriptedMessages messages;
         return ExportLessonFile(out, header, lesson, entries, WinString("09.12.2026"), messages,
                                 {.askBeforeOverwrite = false});
       }},
      {"export-kvtml", "alle.kvtml", nullptr,
       [&](const std::string& data, const std::string& out) {
         mhtest::ScriptedMessages messages;
         return ExportDataFileKvtml(data, out, messages);
       }},
  };
  struct Point {
    const char* name;
    FileFault::At at;
    std::uint64_t afterBytes;
  };
  const std::vector<Point> points = {{"open", FileFault::At::Open, 0},
                                     {"write 0", FileFault::At::Write, 0},
                                     {"write 100", FileFault::At::Write, 100},
                                     {"flush", FileFault::At::Sync, 0},
                                     {"publish", FileFault::At::Rename, 0}};
  for (const Verb& verb : verbs) {
    mhtest::TempDir dir;
    const std::string data = dir.file("v.fid");
    const std::string out = dir.file(verb.output);
    mhtest::WriteRecords(
        data, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"), Entry(1, "dog", "Hund")});
    // The whole new output, from a run that is not stopped.
    ASSERT_EQ(0, RunInChild([&] { return verb.run(data, out); })) << verb.name;
    const std::string done = mhtest::ReadBytes(out);
    ASSERT_FALSE(done.empty());
    int killed = 0;
    for (const Point& point : points) {
      SCOPED_TRACE(std::string(verb.name) + ", killed at " + point.name);
      std::filesystem::remove(out);
      if (verb.oldOutput) mhtest::WriteBytes(out, verb.oldOutput);
      const int status = RunInChild([&] {
        FileFault kill{out, point.at, point.afterBytes};
        kill.kill = true;
        InjectFileFault(kill);
        return verb.run(data, out);
      });
      if (status == FileFault::kKilledStatus) {
        ++killed;
        if (verb.oldOutput) {
          EXPECT_EQ(verb.oldOutput, mhtest::ReadBytes(out));
        } else {
          EXPECT_FALSE(std::filesystem::exists(out));
        }
      } else {
        EXPECT_EQ(0, status);
        EXPECT_EQ(done, mhtest::ReadBytes(out));
      }
      // What a killed writer left behind goes with the next whole-file write in the folder, by a
      // later run of the program (its temporary files are older than that run).
      for (const std::string& name : FilesIn(dir.path())) {
        if (name.starts_with(".merkhaus-")) {
          const auto leftover = dir.path() / name;
          std::filesystem::last_write_time(
              leftover, std::filesystem::last_write_time(leftover) - std::chrono::hours(1));
        }
      }
      ASSERT_TRUE(WriteWholeFile(dir.file("next.txt"), "x").has_value());
      std::set<std::string> expected = {"v.fid", "next.txt"};
      if (std::filesystem::exists(out)) expected.insert(verb.output);
      EXPECT_EQ(expected, FilesIn(dir.path()));
      std::filesystem::remove(dir.file("next.txt"));
    }
    // Opening, the first write, the flush and the publishing are always reached.
    EXPECT_GE(killed, 4) << verb.name;
  }
}

}  // namespace
}  // namespace merkhaus
