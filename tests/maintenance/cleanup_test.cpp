// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/cleanup.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utime.h>

#include <filesystem>
#include <optional>

#include "platform/file_io.h"
#include "store/append.h"
#include "store/restore.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class CleanupTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string backup = dir.file("cleanup.tmp");
  mhtest::ScriptedMessages msgs;
  void TearDown() override { ClearFileFaults(); }

  // Only the DataFile and the backup: no temporary file is left behind.
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
      names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(CleanupTest, KeepsTheLiveRecordsInOrderAndTheOldFileAsBackup) {
  const std::vector<mhtest::RawRecord> before = {
      Header("V"),
      Unit(1, "eins"),
      Entry(1, "a", "1"),
      Entry(1, "b", "2", "", 1),
      Entry(1, "c", "3"),
      Unit(255, "zwei", "", 1),
      Entry(255, "d", "4", "", 1),
      Entry(255, "e", "5", "", 1),
  };
  mhtest::WriteRecords(path, before);
  const std::string oldBytes = mhtest::ReadBytes(path);

  CleanupResult r = CleanupDataFile(path, backup, msgs);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(4u, r.kept);
  EXPECT_EQ(4u, r.dropped);
  const std::vector<mhtest::RawRecord> after = {before[0], before[1], before[2], before[4]};
  EXPECT_EQ(after, mhtest::ReadRecords(path));
  EXPECT_EQ(oldBytes, mhtest::ReadBytes(backup));
  EXPECT_TRUE(ListDeletedLessons(path).value().lines.empty());
  EXPECT_TRUE(ListDeletedEntries(path, 1).value().lines.empty());

  // Again, with nothing deleted: the DataFile stays byte for byte, the backup is replaced.
  const std::string cleanBytes = mhtest::ReadBytes(path);
  r = CleanupDataFile(path, backup, msgs);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(0u, r.dropped);
  EXPECT_EQ(cleanBytes, mhtest::ReadBytes(path));
  EXPECT_EQ(cleanBytes, mhtest::ReadBytes(backup));
  EXPECT_EQ((std::vector<std::string>{"cleanup.tmp", "v.fid"}), Files());
  // Neither backup is the DataFile under another name: a later change leaves them as they were.
  ASSERT_TRUE(AppendAllOrNothing(path, [](Appender& out) -> StoreResult<> {
    out.add(TVocData{});
    return {};
  }));
  EXPECT_EQ(cleanBytes, mhtest::ReadBytes(backup));
}

// Whatever fails, the DataFile keeps its contents; the backup is replaced only by a complete copy.
TEST_F(CleanupTest, FailuresLeaveTheDataFileAsItWas) {
  const std::string reasonFull =
      "kann nicht geschrieben werden: kein Speicherplatz mehr auf dem "
      "Datenträger.";
  struct Case {
    const char* name;
    std::optional<FileFault> fault;
    std::string told;     // the lines between "Fehler beim bereinigen!" and the last one
    bool backupReplaced;  // the backup holds the DataFile afterwards
  };
  const Case cases[] = {
      {"backup cannot be written", FileFault{backup, FileFault::At::Write, 1000, ENOSPC},
       "Die Datei \"" + backup + "\" " + reasonFull, false},
      {"backup cannot be created", FileFault{backup, FileFault::At::Open, 0, EROFS},
       "Die Datei \"" + backup +
           "\" kann nicht geschrieben werden: das Dateisystem ist schreibgeschützt.",
       false},
      {"the new DataFile cannot be written", FileFault{path, FileFault::At::Write, 624, ENOSPC},
       "Die Datei \"" + path + "\" " + reasonFull, false},
      {"the new DataFile cannot be put in place", FileFault{path, FileFault::At::Rename, 0, EIO},
       "Die Datei \"" + path +
           "\" kann nicht geschrieben werden: Ein-/Ausgabefehler des Datenträgers.",
       true},
  };
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "1", "", 1)});
  const std::string before = mhtest::ReadBytes(path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::WriteBytes(backup, "die Sicherung von gestern");
    if (c.fault) InjectFileFault(*c.fault);
    msgs.expect("Fehler beim bereinigen!\n" + c.told + "\nDas DataFile ist unverändert.",
                Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(CleanupDataFile(path, backup, msgs).ok);
    ClearFileFaults();
    EXPECT_EQ(before, mhtest::ReadBytes(path));
    EXPECT_EQ(c.backupReplaced ? before : "die Sicherung von gestern", mhtest::ReadBytes(backup));
    EXPECT_EQ((std::vector<std::string>{"cleanup.tmp", "v.fid"}), Files());
  }

  // The DataFile itself named as the backup would leave no backup at all.
  msgs.expect("Fehler beim bereinigen!\nDas DataFile \"" + path +
              "\" ist selbst die Sicherungsdatei \"" + path + "\".\nDas DataFile ist unverändert.");
  EXPECT_FALSE(CleanupDataFile(path, path, msgs).ok);
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

// A link at cleanup.tmp is refused, wherever it points; the file it names is never replaced.
TEST_F(CleanupTest, ALinkAtTheBackupIsRefused) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "1", "", 1)});
  const std::string before = mhtest::ReadBytes(path);
  const std::string victim = dir.file("wichtig.txt");
  mhtest::WriteBytes(victim, "wichtig");
  std::filesystem::create_symlink("wichtig.txt", backup);
  msgs.expect("Fehler beim bereinigen!\nDie Datei \"" + backup +
                  "\" kann nicht geschrieben werden: das ist eine symbolische Verknüpfung.\nDas "
                  "DataFile ist unverändert.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(CleanupDataFile(path, backup, msgs).ok);
  EXPECT_TRUE(msgs.done());
  EXPECT_EQ("wichtig", mhtest::ReadBytes(victim));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  EXPECT_TRUE(std::filesystem::is_symlink(backup));
}

// A cleanup killed before it put the new DataFile in place leaves the old one and temporary
// files; the next cleanup (of a later process) removes them.
TEST_F(CleanupTest, AKilledCleanupLeavesTheOldFileAndItsLeftoversGoNextTime) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "1", "", 1)});
  const std::string before = mhtest::ReadBytes(path);
  const pid_t child = ::fork();
  if (child == 0) {
    FileFault kill{path, FileFault::At::Rename};
    kill.kill = true;
    InjectFileFault(kill);
    CleanupDataFile(path, backup, msgs);
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  ASSERT_EQ(FileFault::kKilledStatus, WEXITSTATUS(status));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  std::vector<std::string> left = Files();
  ASSERT_EQ(3u, left.size()) << "the cleaned file, not yet in place";
  // As a later process sees them: older than itself.
  const utimbuf old{1000000000, 1000000000};
  for (const std::string& name : left)
    ::utime(dir.file(name).c_str(), &old);

  EXPECT_TRUE(CleanupDataFile(path, backup, msgs).ok);
  EXPECT_EQ((std::vector<std::string>{"cleanup.tmp", "v.fid"}), Files());
  EXPECT_EQ(before, mhtest::ReadBytes(backup));
  EXPECT_EQ(2u * 624, mhtest::ReadBytes(path).size());
}

}  // namespace
}  // namespace merkhaus
