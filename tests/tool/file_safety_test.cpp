// SPDX-License-Identifier: GPL-3.0-or-later
// The DataFile in the hands of several programs, of special files and of damaged files, tried
// with merkhaus-tool as a second program would use it.

#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <set>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::RunningTool;
using mhtest::RunTool;
using mhtest::Unit;

class FileSafety : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");

  std::string LessonText(const std::string& name, int entries) {
    std::string text = "<%>HEAD<%>\r\nName: " + name + "\r\n<%>BODY<%>\r\n";
    for (int i = 0; i < entries; ++i)
      text += name + std::to_string(i) + " == x\r\n";
    const std::string file = dir.file(name + ".txt");
    mhtest::WriteBytes(file, text);
    return file;
  }
};

// Writers that run at the same time take turns: every lesson gets a UnitID of its own, none is
// lost, and no entry stays live under a lesson that was deleted meanwhile.
TEST_F(FileSafety, WritersAtTheSameTimeTakeTurns) {
  const std::string first = LessonText("Erste", 40), second = LessonText("Zweite", 40);
  for (int round = 0; round < 25; ++round) {
    SCOPED_TRACE(round);
    mhtest::WriteRecords(path, {Header("V"), Unit(7, "Alt"), Entry(7, "a", "b")});
    RunningTool a({"add-lesson", path, "A"}), b({"add-lesson", path, "B"});
    RunningTool c({"import", path, first}), d({"import", path, second});
    RunningTool into({"import", path, first, "--into", "7"}), gone({"delete-lesson", path, "7"});
    for (RunningTool* tool : {&a, &b, &c, &d, &gone}) {
      const auto r = tool->wait();
      EXPECT_EQ(0, r.status) << r.err;
    }
    const auto intoResult = into.wait();  // before or after the deletion
    const auto recs = mhtest::ReadRecords(path);
    std::set<int> ids;
    int headers = 0, entries = 0, liveUnder7 = 0;
    for (std::size_t i = 1; i < recs.size(); ++i) {
      const bool header = mhtest::GetText(recs[i], mhtest::kA1).rfind("Merkhaus ]I[", 0) == 0;
      if (recs[i][mhtest::kDeleted] != 0) continue;
      if (header) {
        ++headers;
        ids.insert(recs[i][mhtest::kUnitID]);
      } else {
        ++entries;
        if (recs[i][mhtest::kUnitID] == 7) ++liveUnder7;
      }
    }
    EXPECT_EQ(4, headers);
    EXPECT_EQ(4u, ids.size()) << "one UnitID each";
    EXPECT_EQ(80, entries);
    EXPECT_EQ(0, liveUnder7) << intoResult.err;
    EXPECT_EQ(recs.size() * 624, std::filesystem::file_size(path));
  }
}

// A program that finds the DataFile held by another waits a few seconds, then gives up with a
// message and changes nothing.
TEST_F(FileSafety, ABusyDataFileIsReportedAfterAShortWait) {
  mhtest::WriteRecords(path, {Header("V")});
  const std::string before = mhtest::ReadBytes(path);
  const int fd = open(path.c_str(), O_RDONLY);
  ASSERT_EQ(0, flock(fd, LOCK_EX));
  const auto start = std::chrono::steady_clock::now();
  const auto r = RunTool({"add-lesson", path, "A"});
  const auto waited = std::chrono::steady_clock::now() - start;
  close(fd);
  EXPECT_EQ(1, r.status);
  // The tool's first look at the file is the one that waits.
  EXPECT_EQ("Fehler beim lesen der Datei als Bin-File!\nDie Datei \"" + path +
                "\" kann nicht geöffnet werden: sie wird gerade von einem anderen Programm "
                "benutzt oder geändert.\n",
            r.err);
  EXPECT_GE(waited, std::chrono::milliseconds(2500));
  EXPECT_LT(waited, std::chrono::seconds(10));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

// A FIFO, a device or a folder is refused at once, never waited on, never replaced.
TEST_F(FileSafety, SpecialFilesAreRefusedAtOnce) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  const std::string fifo = dir.file("pipe.fid"), fifoText = dir.file("pipe.txt");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  ASSERT_EQ(0, mkfifo(fifoText.c_str(), 0600));
  const std::string text = LessonText("L", 1);
  const std::vector<std::vector<std::string>> calls = {
      {"info", fifo},
      {"lessons", fifo},
      {"entries", fifo, "1"},
      {"add-lesson", fifo, "X"},
      {"delete-lesson", fifo, "1"},
      {"export", fifo, "1", dir.file("out.txt")},
      {"import", fifo, text},
      {"import", path, fifoText},
      {"export", path, "1", fifoText, "--force"},
      {"export", path, "1", "/dev/null", "--force"},
      {"new", fifo, "--name", "N", "--foreign", "F", "--native", "D", "--force"},
  };
  for (const auto& args : calls) {
    const auto r = RunningTool(args).wait(10);
    EXPECT_EQ(1, r.status) << args[0] << " " << args[1];
    EXPECT_NE(std::string::npos, r.err.find("keine gewöhnliche Datei")) << r.err;
  }
  EXPECT_EQ(std::filesystem::file_type::fifo, std::filesystem::status(fifo).type());
  EXPECT_EQ(std::filesystem::file_type::fifo, std::filesystem::status(fifoText).type());
  EXPECT_EQ(std::filesystem::file_type::character, std::filesystem::status("/dev/null").type());
}

// Everything that only reads works on a DataFile that may only be read.
TEST_F(FileSafety, AReadOnlyDataFileServesEveryReader) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"info", path},
                                               {"lessons", path},
                                               {"entries", path, "1"},
                                               {"export", path, "1", dir.file("l.txt")}}) {
    const auto r = RunTool(args);
    EXPECT_EQ(0, r.status) << args[0] << ": " << r.err;
  }
}

// A DataFile whose length is no multiple of 624 (an append an older program did not finish) is
// read as far as it goes; the next write cuts the partial record away and says so.
TEST_F(FileSafety, ADamagedDataFileIsCutByTheNextWrite) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  const std::string cut = mhtest::ReadBytes(path).substr(0, 1247);
  mhtest::WriteBytes(path, cut);
  const auto info = RunTool({"info", path});
  EXPECT_EQ(0, info.status);
  EXPECT_EQ("Warnung: Die Datei \"" + path +
                "\" ist beschädigt: ihre Länge ist kein Vielfaches von 624 Bytes. Der "
                "unvollständige letzte Datensatz wird nicht gelesen; die nächste Änderung "
                "entfernt ihn.\n",
            info.err);
  EXPECT_NE(std::string::npos, info.out.find("Lektionen: 0\n")) << "the cut lesson is not read";
  EXPECT_EQ(cut, mhtest::ReadBytes(path)) << "reading changes nothing";

  const auto added = RunTool({"add-lesson", path, "X"});
  EXPECT_EQ(0, added.status);
  EXPECT_EQ("Das DataFile \"" + path +
                "\" endete in einem unvollständigen Datensatz; die letzten 623 Bytes wurden "
                "entfernt.\n",
            added.err);
  const std::vector<RawRecord> records = mhtest::ReadRecords(path);
  ASSERT_EQ(2u, records.size());
  EXPECT_EQ(2u * 624, mhtest::ReadBytes(path).size());
  EXPECT_EQ("X", mhtest::GetText(records[1], mhtest::kB1));
  EXPECT_EQ(cut.substr(0, 624), mhtest::ReadBytes(path).substr(0, 624));
}

// A DataFile written anew keeps the permission bits of the file it replaces, and no link
// planted beside it is written through.
TEST_F(FileSafety, ANewDataFileKeepsModeAndWritesThroughNoLink) {
  mhtest::WriteRecords(path, {Header("Alt")});
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  const std::string victim = dir.file("victim.txt");
  std::filesystem::create_symlink(victim, path + ".merkhaus-neu");
  const auto r =
      RunTool({"new", path, "--name", "Neu", "--foreign", "F", "--native", "D", "--force"});
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_FALSE(std::filesystem::is_symlink(path));
  EXPECT_EQ(std::filesystem::perms::owner_read | std::filesystem::perms::owner_write,
            std::filesystem::status(path).permissions());
  EXPECT_EQ((std::vector<mhtest::RawRecord>{Header("Neu", "F", "D")}), mhtest::ReadRecords(path));
}

}  // namespace
