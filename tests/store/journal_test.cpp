// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "store/append.h"
#include "store/datafile.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "store/restore.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

TVocData Record(const RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

// Runs `work` in a child process and yields its exit status; a fault of the seam with `kill`
// stops the child dead at that point, as kill -9 would.
int RunInChild(const std::function<void()>& work) {
  const pid_t child = ::fork();
  if (child == 0) {
    work();
    std::_Exit(0);
  }
  int status = 0;
  ::waitpid(child, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

std::vector<std::string> FilesIn(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    names.push_back(e.path().filename().string());
  }
  return names;
}

class JournalTest : public ::testing::Test {
 protected:
  void TearDown() override {
    ClearFileFaults();
    TakeRepairs();
  }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string journal = JournalPath(path);
};

// A write cut off at any point (the program killed while writing the journal or the DataFile,
// before or after a flush, before the journal is removed) leaves, once the DataFile is next
// opened, the old DataFile, byte for byte, and nothing beside it; a write that ran to its end
// leaves the new one.
TEST_F(JournalTest, EveryKillPointOfEveryWriteGivesTheOldOrTheNewFile) {
  struct Verb {
    const char* name;
    std::vector<RawRecord> before;
    std::function<void()> run;
  };
  const std::vector<Verb> verbs = {
      {"an import of two lessons",
       {Header("V"), Unit(1, "L"), Entry(1, "a", "b")},
       [&] {
         AppendAllOrNothing(path, [](Appender& out) -> StoreResult<> {
           LessonRoster roster(out.file());
           for (const char* name : {"Neu 1", "Neu 2"}) {
             const std::uint8_t id = roster.create(out, WinString(name), WinString());
             for (const char* word : {"x", "y", "z"})
               out.add(Record(Entry(id, word, word)));
           }
           return {};
         });
       }},
      {"deleting a lesson",
       {Header("V"), Unit(1, "L"), Entry(1, "a", "b"), Unit(2, "M"), Entry(1, "c", "d"),
        Entry(2, "e", "f"), Entry(1, "g", "h")},
       [&] { DeleteLessonRecords(path, 1); }},
      {"restoring a lesson",
       {Header("V"), Unit(1, "L", "", 1), Entry(1, "a", "b", "", 1), Entry(1, "c", "d", "", 1)},
       [&] { RestoreLesson(path, WinString("L")); }},
      {"the quick edit's replace-all",
       {Header("V"), Unit(1, "L"), Entry(1, "a", "b"), Entry(1, "c", "d"), Entry(1, "a", "b")},
       [&] {
         TVocData corrected = Record(Entry(1, "a", "B"));
         ReplaceRecord(path, Record(Entry(1, "a", "b")), corrected, true);
       }},
  };
  struct Point {
    FileFault fault;
    bool told;  // the next opener says that it took a change back
  };
  using At = FileFault::At;
  const Point points[] = {
      {{path, At::Open}, false},          {{journal, At::Open}, false},
      {{journal, At::Write, 0}, false},   {{journal, At::Write, 20}, false},
      {{journal, At::Write, 700}, false}, {{journal, At::Sync}, true},
      {{path, At::Write, 0}, true},       {{path, At::Write, 300}, true},
      {{path, At::Write, 624}, true},     {{path, At::Write, 1500}, true},
      {{path, At::Sync}, true},           {{journal, At::Remove}, true},
  };
  for (const Verb& verb : verbs) {
    SCOPED_TRACE(verb.name);
    mhtest::WriteRecords(path, verb.before);
    const std::string oldBytes = mhtest::ReadBytes(path);
    ASSERT_EQ(0, RunInChild(verb.run));
    const std::string newBytes = mhtest::ReadBytes(path);
    ASSERT_NE(oldBytes, newBytes);

    int kills = 0;
    for (const Point& p : points) {
      SCOPED_TRACE(p.fault.path + " at " + std::to_string(static_cast<int>(p.fault.at)) + " " +
                   std::to_string(p.fault.afterBytes));
      mhtest::WriteBytes(path, oldBytes);
      FileFault fault = p.fault;
      fault.kill = true;
      const int status = RunInChild([&] {
        InjectFileFault(fault);
        verb.run();
      });
      ASSERT_TRUE(status == 0 || status == FileFault::kKilledStatus) << status;
      const bool killed = status == FileFault::kKilledStatus;
      kills += killed;

      ASSERT_TRUE(ReadHeaderRecord(path));  // the next opener
      const std::vector<FileRepair> repairs = TakeRepairs();
      EXPECT_EQ(killed ? oldBytes : newBytes, mhtest::ReadBytes(path));
      EXPECT_EQ(std::vector<std::string>{"v.fid"}, FilesIn(dir.path()));
      if (killed && p.told) {
        ASSERT_EQ(1u, repairs.size());
        EXPECT_EQ("Das DataFile \"" + path +
                      "\" wurde nach einem Abbruch wiederhergestellt: die abgebrochene Änderung "
                      "wurde zurückgenommen.",
                  repairs[0].text());
      } else {
        EXPECT_TRUE(repairs.empty());
      }
    }
    EXPECT_GE(kills, 9) << "most points must be reached";
  }
}

// One test with real processes: a writer that appends blocks and deletes and restores a lesson
// in turn, killed with SIGKILL at random moments. After each kill the DataFile holds whole
// blocks only, and the lesson is live or deleted as a whole.
TEST_F(JournalTest, AWriterKilledAtRandomLeavesWholeChanges) {
  constexpr int kBlock = 500;
  std::vector<RawRecord> start = {Header("V"), Unit(1, "L")};
  for (int i = 0; i < 4000; ++i)
    start.push_back(Entry(2, "fill", "fill"));
  mhtest::WriteRecords(path, start);
  const std::size_t base = start.size();

  std::mt19937 random(23);
  // A dozen kills, or as many as fit into a few seconds on a slow (sanitised, busy) machine.
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
  int trials = 0;
  while (trials < 12 && (trials < 2 || std::chrono::steady_clock::now() < end)) {
    ++trials;
    const pid_t child = ::fork();
    if (child == 0) {
      for (int round = 0;; ++round) {
        TVocData header;
        {
          auto file = RecordFile::open(path, Access::Read);
          if (!file) std::_Exit(2);
          file->read(1, header);
        }
        if (round % 2 == 0) {
          std::vector<TVocData> block(kBlock, Record(Entry(1, "w", std::to_string(round))));
          for (TVocData& r : block)
            r.Deleted = header.Deleted;
          AppendAllOrNothing(path, [&](Appender& out) -> StoreResult<> {
            out.add(block);
            return {};
          });
        } else if (header.Deleted == 0) {
          DeleteLessonRecords(path, 1);
        } else {
          RestoreLesson(path, WinString("L"));
        }
      }
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 40));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed on its own";

    ASSERT_TRUE(ReadHeaderRecord(path));
    TakeRepairs();
    const std::vector<RawRecord> records = mhtest::ReadRecords(path);
    ASSERT_EQ(records.size() * 624, mhtest::ReadBytes(path).size());
    ASSERT_EQ(0u, (records.size() - base) % kBlock) << "after trial " << trials;
    for (std::size_t i = base; i < records.size(); ++i) {
      ASSERT_EQ(records[1][mhtest::kDeleted], records[i][mhtest::kDeleted]) << i;
      ASSERT_EQ(mhtest::GetText(records[i - (i - base) % kBlock], mhtest::kB1),
                mhtest::GetText(records[i], mhtest::kB1))
          << "a block written in part, at " << i;
    }
    ASSERT_FALSE(std::filesystem::exists(journal));
  }
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// A DataFile of a legal name of any length has a journal of its own: a name too long to take
// "-journal" gets a shorter one, different for names that start alike, and is written all the
// same.
TEST_F(JournalTest, LongNamesHaveJournalsOfTheirOwn) {
  const std::string a = dir.file(std::string(250, 'n') + ".fid");
  const std::string b = dir.file(std::string(250, 'n') + ".fie");
  EXPECT_EQ(path + "-journal", JournalPath(path));
  for (const std::string& p : {a, b}) {
    const std::string name = std::filesystem::path(JournalPath(p)).filename().string();
    EXPECT_LE(name.size(), 255u);
    EXPECT_EQ(std::string(200, 'n'), name.substr(0, 200));
  }
  EXPECT_NE(JournalPath(a), JournalPath(b));
  // A name cut between the two bytes of a character leaves the character out.
  std::string umlauts(229, 'x');
  for (int i = 0; i < 10; ++i)
    umlauts += "\xC3\xA4";
  const std::string cut =
      std::filesystem::path(JournalPath(dir.file(umlauts + ".fid"))).filename().string();
  EXPECT_EQ(std::string(229, 'x') + "-", cut.substr(0, 230));
  EXPECT_EQ(229u + 17u + 8u, cut.size());

  mhtest::WriteRecords(a, {Header("V"), Unit(1, "L")});
  const StoreResult<> added = AppendAllOrNothing(a, [](Appender& out) -> StoreResult<> {
    out.add(Record(Entry(1, "a", "b")));
    out.add(Record(Entry(1, "c", "d")));
    return {};
  });
  ASSERT_TRUE(added) << added.error().file.text();
  EXPECT_EQ(4u, mhtest::ReadRecords(a).size());
  // A kill after the journal is on the disk is taken back by the next opener.
  EXPECT_EQ(FileFault::kKilledStatus, RunInChild([&] {
              InjectFileFault({a, FileFault::At::Write, 0, EIO, true});
              static_cast<void>(AppendAllOrNothing(a, [](Appender& out) -> StoreResult<> {
                out.add(Record(Entry(1, "e", "f")));
                return {};
              }));
            }));
  EXPECT_TRUE(std::filesystem::exists(JournalPath(a)));
  ASSERT_TRUE(RecordFile::open(a, Access::Write).has_value());
  EXPECT_EQ(4u, mhtest::ReadRecords(a).size());
  EXPECT_FALSE(std::filesystem::exists(JournalPath(a)));
}

// A DataFile that is damaged or write-protected is known as such when it is chosen, with the
// sentence the learner reads; one that a write can handle is not held back.
TEST_F(JournalTest, WhyReadOnlyNamesTheFileAndTheReason) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  const std::string whole = mhtest::ReadBytes(path);
  struct Case {
    const char* what;
    std::string bytes;
    bool journalBeside;
    int openToWrite;  // errno of the seam when opening for writing, 0 for none
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"a whole DataFile", whole, false, 0, ""},
      {"a partial record at the end", whole + std::string(100, 'x'), false, 0,
       "Die Datei \"" + path +
           "\" kann nicht geschrieben werden: die Datei ist beschädigt (ihre Länge ist kein "
           "Vielfaches von 624 Bytes)."},
      {"a partial record and the journal that explains it", whole + std::string(100, 'x'), true, 0,
       ""},
      {"no permission", whole, false, EACCES,
       "Die Datei \"" + path + "\" kann nicht geschrieben werden: keine Berechtigung."},
      {"a read-only file system", whole, false, EROFS,
       "Die Datei \"" + path +
           "\" kann nicht geschrieben werden: das Dateisystem ist schreibgeschützt."},
      {"locked by another program: a reader meets it", whole, false, FileError::kBusy, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mhtest::WriteBytes(path, c.bytes);
    std::filesystem::remove(journal);
    if (c.journalBeside) mhtest::WriteBytes(journal, "MHJOURN1");
    ClearFileFaults();
    if (c.openToWrite != 0) InjectFileFault({path, FileFault::At::OpenToWrite, 0, c.openToWrite});
    const std::optional<FileError> why = WhyReadOnly(path);
    EXPECT_EQ(c.expected, why ? why->text() : std::string());
    // Looking changes nothing.
    EXPECT_EQ(c.bytes, mhtest::ReadBytes(path));
  }
  ClearFileFaults();
  // Opening for reading is not hit by a write protection.
  InjectFileFault({path, FileFault::At::OpenToWrite, 0, EACCES});
  EXPECT_TRUE(File::open(path, File::Mode::Read, Lock::Shared).has_value());
  EXPECT_FALSE(File::open(path, File::Mode::ReadWrite, Lock::None).has_value());
}

}  // namespace
}  // namespace merkhaus
