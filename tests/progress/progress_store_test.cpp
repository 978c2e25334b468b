// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "maintenance/cleanup.h"
#include "platform/file_io.h"
#include "progress/datafile_read.h"
#include "progress/progress_store.h"
#include "store/datafile.h"
#include "store/lessons.h"
#include "store/restore.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace {

using merkhaus::DataFileRef;
using merkhaus::Day;
using merkhaus::Grade;
using merkhaus::MemoryState;
using merkhaus::Outcome;
using merkhaus::ProgressStore;
using merkhaus::TVocData;
using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

const Day kDay = merkhaus::DayFromDate(2025, 3, 10);
const merkhaus::SchedulerParams kParams;

// A raw connection beside the store's, to look into the file or to hold it locked.
class RawDb {
 public:
  explicit RawDb(const std::string& path) { sqlite3_open(path.c_str(), &db_); }
  ~RawDb() { sqlite3_close(db_); }
  void exec(const std::string& sql) {
    char* error = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error)) << error;
  }
  std::string text(const std::string& sql) {
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &s, nullptr);
    std::string value;
    if (sqlite3_step(s) == SQLITE_ROW)
      value = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
    sqlite3_finalize(s);
    return value;
  }

 private:
  sqlite3* db_ = nullptr;
};

TVocData Record(const mhtest::RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

class ProgressStoreTest : public ::testing::Test {
 protected:
  void TearDown() override { merkhaus::ClearFileFaults(); }

  ProgressStore open(ProgressStore::Options options = {}) {
    auto store = ProgressStore::open(db, options);
    if (!store) ADD_FAILURE() << store.error().text();
    return std::move(*store);
  }

  DataFileRef fileRef(ProgressStore& store, const std::string& at) {
    const auto entries = merkhaus::ReadDataFileEntries(at);
    EXPECT_TRUE(entries) << entries.error().text();
    const auto ref = store.dataFile(at, entries->header);
    EXPECT_TRUE(ref) << ref.error().text();
    return *ref;
  }

  // Every live entry of the DataFile at `at` answered with `grade` on `day`.
  void reviewAll(ProgressStore& store, const std::string& at, Grade grade, Day day) {
    const DataFileRef ref = fileRef(store, at);
    const auto file = merkhaus::ReadDataFileEntries(at);
    for (const auto& lesson : file->lessons) {
      for (const TVocData& e : lesson.entries)
        ASSERT_TRUE(store.review(ref, e, grade, day, kParams));
    }
  }

  // The A1 words of the DataFile at `at` that have progress, with their states.
  std::map<std::string, MemoryState> learned(ProgressStore& store, const std::string& at) {
    const DataFileRef ref = fileRef(store, at);
    std::map<std::string, MemoryState> words;
    const auto file = merkhaus::ReadDataFileEntries(at);
    for (const auto& lesson : file->lessons) {
      for (const TVocData& e : lesson.entries) {
        const auto state = store.state(ref, e);
        EXPECT_TRUE(state);
        if (!state->isNew()) words[std::string(e.A1.view())] = *state;
      }
    }
    return words;
  }

  static std::set<std::string> Words(const std::map<std::string, MemoryState>& states) {
    std::set<std::string> words;
    for (const auto& [word, state] : states)
      words.insert(word);
    return words;
  }

  mhtest::TempDir dir;
  std::string db = dir.file("lernstand.sqlite");
  std::string path = dir.file("vok.fid");
  mhtest::ScriptedMessages msgs;
};

TEST_F(ProgressStoreTest, CreatesAVersionedDatabaseInWalMode) {
  open();
  RawDb raw(db);
  EXPECT_EQ("1", raw.text("SELECT version FROM schema_version"));
  EXPECT_EQ(std::to_string(0x4D6B4C73), raw.text("PRAGMA application_id"));
  EXPECT_EQ("wal", raw.text("PRAGMA journal_mode"));
  // Opened again, it is taken as it is.
  open();
  EXPECT_EQ("1", raw.text("SELECT count(*) FROM schema_version"));
}

TEST_F(ProgressStoreTest, RefusesWhatItCannotUseAndLeavesItAlone) {
  struct Case {
    const char* name;
    std::function<void()> make;
    std::string step;  // "geöffnet", ...
    std::string reason;
  };
  const std::string sqliteFile = dir.file("other.sqlite");
  const Case cases[] = {
      {"garbage", [&] { mhtest::WriteBytes(db, std::string(4096, 'x')); }, "geöffnet",
       "sie ist keine Datenbank (sie ist beschädigt oder gehört einem anderen Programm)"},
      {"another program's database",
       [&] {
         RawDb raw(db);
         raw.exec("CREATE TABLE notes (text TEXT); INSERT INTO notes VALUES ('mine')");
       },
       "geöffnet", "sie ist keine Datenbank des Lernstands von Merkhaus"},
      {"a newer version",
       [&] {
         { open(); }
         RawDb raw(db);
         raw.exec("UPDATE schema_version SET version = 7");
       },
       "geöffnet", "sie stammt von einer neueren Version von Merkhaus (Version 7 der Datenbank)"},
      {"a folder", [&] { std::filesystem::create_directory(db); }, "geöffnet",
       "das ist ein Ordner"},
      {"a pipe", [&] { ASSERT_EQ(0, mkfifo(db.c_str(), 0600)); }, "geöffnet",
       "das ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät)"},
      {"read-only",
       [&] {
         { open(); }
         merkhaus::InjectFileFault({db, merkhaus::FileFault::At::Open, 0, EACCES});
       },
       "geöffnet", "keine Berechtigung"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(db);
    std::filesystem::remove(db + "-wal");
    std::filesystem::remove(db + "-shm");
    c.make();
    const bool regular = std::filesystem::is_regular_file(db);
    const std::string before = regular ? mhtest::ReadBytes(db) : "";
    const auto store = ProgressStore::open(db);
    ASSERT_FALSE(store);
    EXPECT_EQ("Der Lernstand kann nicht geführt werden.\nDie Datei \"" + db + "\" kann nicht " +
                  c.step + " werden: " + c.reason + ".",
              merkhaus::ProgressNotKeptText(store.error()));
    if (regular) {
      EXPECT_EQ(before, mhtest::ReadBytes(db));
    }
    merkhaus::ClearFileFaults();
  }
  // A missing folder is not created behind the learner's back.
  const std::string nowhere = dir.file("fehlt/lernstand.sqlite");
  const auto store = ProgressStore::open(nowhere);
  ASSERT_FALSE(store);
  EXPECT_EQ(
      "Die Datei \"" + nowhere + "\" kann nicht geöffnet werden: der Ordner ist nicht vorhanden.",
      store.error().text());
}

TEST_F(ProgressStoreTest, ALockedDatabaseRefusesWritesButStillReads) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus")});
  ProgressStore store = open({50});
  const DataFileRef ref = fileRef(store, path);
  const TVocData house = merkhaus::ReadDataFileEntries(path)->lessons[0].entries[0];
  ASSERT_TRUE(store.review(ref, house, Grade::Good, kDay, kParams));

  RawDb other(db);
  other.exec("BEGIN EXCLUSIVE");
  const auto refused = store.review(ref, house, Grade::Good, kDay + 3, kParams);
  ASSERT_FALSE(refused);
  EXPECT_EQ("Die Datei \"" + db +
                "\" kann nicht geschrieben werden: sie wird gerade von einem anderen Programm "
                "benutzt oder geändert.",
            refused.error().text());
  // The queue can still be built meanwhile.
  const auto states = store.states(ref);
  ASSERT_TRUE(states);
  EXPECT_EQ(1, states->size());
  EXPECT_EQ(1, store.state(ref, house)->reps);

  other.exec("COMMIT");
  ASSERT_TRUE(store.review(ref, house, Grade::Good, kDay + 3, kParams));
  EXPECT_EQ(2, store.state(ref, house)->reps);
}

// Progress belongs to entries: what the program does to a DataFile keeps it, only words changed
// elsewhere start anew.
TEST_F(ProgressStoreTest, ProgressFollowsItsEntriesThroughWhatHappensToTheDataFile) {
  struct Case {
    const char* name;
    // Changes the DataFile at `path`; returns where it is now.
    std::function<std::string(ProgressStore&)> change;
    std::set<std::string> learned;
  };
  const std::set<std::string> all = {"house", "cat", "dog", "tree"};
  const TVocData cat = Record(Entry(1, "cat", "Katze", "Tier"));
  const Case cases[] = {
      {"cleanup",
       [&](ProgressStore&) {
         EXPECT_TRUE(merkhaus::CleanupDataFile(path, dir.file("cleanup.tmp"), msgs).ok);
         return path;
       },
       all},
      {"lesson deleted and restored",
       [&](ProgressStore&) {
         EXPECT_TRUE(merkhaus::DeleteLessonRecords(path, 1));
         EXPECT_TRUE(merkhaus::RestoreLesson(path, merkhaus::WinString("eins")));
         return path;
       },
       all},
      {"lesson renamed",
       [&](ProgressStore&) {
         EXPECT_TRUE(merkhaus::ReplaceRecord(path, Record(Unit(1, "eins")),
                                             Record(Unit(1, "Lektion eins", "neu")), false));
         return path;
       },
       all},
      {"DataFile renamed in its header",
       [&](ProgressStore&) {
         EXPECT_TRUE(merkhaus::ReplaceRecord(
             path, Record(Header("V")),
             Record(Header("Vokabeln", "Englisch", "Deutsch", "", "umbenannt")), false));
         return path;
       },
       all},
      {"moved to another folder",
       [&](ProgressStore&) {
         std::filesystem::create_directory(dir.path() / "neu");
         const std::string moved = dir.file("neu/vok.fid");
         std::filesystem::rename(path, moved);
         return moved;
       },
       all},
      {"copied to another folder",
       [&](ProgressStore&) {
         std::filesystem::create_directory(dir.path() / "kopie");
         const std::string copy = dir.file("kopie/vok.fid");
         std::filesystem::copy_file(path, copy);
         return copy;
       },
       all},
      {"corrected in the program",
       [&](ProgressStore& store) {
         TVocData corrected = cat;
         corrected.A1.set(std::string_view("kitten"));
         EXPECT_TRUE(merkhaus::ReplaceRecord(path, cat, corrected, true));
         EXPECT_TRUE(store.entryCorrected(fileRef(store, path), cat, corrected));
         return path;
       },
       {"house", "kitten", "dog", "tree"}},
      {"words changed by another program",
       [&](ProgressStore&) {
         TVocData changed = cat;
         changed.B1.set(std::string_view("Kater"));
         EXPECT_TRUE(merkhaus::ReplaceRecord(path, cat, changed, true));
         return path;
       },
       {"house", "dog", "tree"}},
      {"comment changed by another program",
       [&](ProgressStore&) {
         TVocData changed = cat;
         changed.Comment.set(std::string_view("ein Haustier"));
         EXPECT_TRUE(merkhaus::ReplaceRecord(path, cat, changed, true));
         return path;
       },
       all},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::TempDir fresh;
    db = fresh.file("lernstand.sqlite");
    std::filesystem::remove_all(dir.path());
    std::filesystem::create_directory(dir.path());
    mhtest::WriteRecords(
        path,
        {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus"), Entry(1, "old", "alt", "", 1),
         Entry(1, "cat", "Katze", "Tier"), Unit(255, "zwei"), Entry(255, "tree", "Baum"),
         Unit(254, "weg", "", 1), Entry(254, "gone", "fort", "", 1), Entry(1, "dog", "Hund")});
    ProgressStore store = open();
    reviewAll(store, path, Grade::Good, kDay);
    const auto before = learned(store, path);
    ASSERT_EQ(all, Words(before));

    const std::string now = c.change(store);
    const auto after = learned(store, now);
    EXPECT_EQ(c.learned, Words(after));
    for (const auto& [word, state] : after) {
      if (before.count(word)) {
        EXPECT_EQ(before.at(word), state) << word;
      }
    }
    EXPECT_EQ(c.learned.count("kitten") ? before.at("cat") : MemoryState{},
              c.learned.count("kitten") ? after.at("kitten") : MemoryState{});
    // The DataFile was only read.
    EXPECT_TRUE(msgs.done());
  }
}

TEST_F(ProgressStoreTest, ACopyAndItsOriginalAreToldApartByPath) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus")});
  ProgressStore store = open();
  reviewAll(store, path, Grade::Good, kDay);
  const std::string copy = dir.file("kopie.fid");
  std::filesystem::copy_file(path, copy);
  const MemoryState original = learned(store, path).at("house");

  reviewAll(store, copy, Grade::Again, kDay + 2);
  EXPECT_EQ(original, learned(store, path).at("house"));
  EXPECT_EQ(1, learned(store, copy).at("house").lapses);
  EXPECT_NE(fileRef(store, path).id, fileRef(store, copy).id);

  // Both moved away, each keeps its own progress when it is opened at its new place.
  std::filesystem::create_directory(dir.path() / "a");
  std::filesystem::rename(copy, dir.file("a/kopie.fid"));
  EXPECT_EQ(1, learned(store, dir.file("a/kopie.fid")).at("house").lapses);
  EXPECT_EQ(original, learned(store, path).at("house"));
  // The moved copy is the same DataFile as before, not a third one.
  EXPECT_EQ("2", RawDb(db).text("SELECT count(*) FROM datafile"));

  // An original that cannot be read while a new copy is recognised stops nothing.
  const std::string third = dir.file("dritte.fid");
  std::filesystem::copy_file(path, third);
  merkhaus::InjectFileFault({path, merkhaus::FileFault::At::Read, 0, EIO});
  const auto ref = store.dataFile(third, Record(Header("V")));
  merkhaus::ClearFileFaults();
  ASSERT_TRUE(ref);
  EXPECT_EQ(original, *store.state(*ref, Record(Entry(1, "house", "Haus"))));
}

TEST_F(ProgressStoreTest, OnlyTheFirstOutcomeOfADayCounts) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus")});
  ProgressStore store = open();
  const DataFileRef ref = fileRef(store, path);
  const TVocData house = merkhaus::ReadDataFileEntries(path)->lessons[0].entries[0];
  struct Step {
    Day day;
    Outcome outcome;
    bool counts;
    Grade grade;  // that the state followed, when it counts
  };
  const Step steps[] = {
      {kDay, Outcome::Failed, true, Grade::Again},
      {kDay, Outcome::RightFirstTry, false, Grade::Good},
      {kDay + 1, Outcome::RightWithHelp, true, Grade::Hard},
      {kDay + 1, Outcome::Failed, false, Grade::Again},
      {kDay + 3, Outcome::RightFirstTry, true, Grade::Good},
      {kDay + 2, Outcome::RightFirstTry, false, Grade::Good},  // a clock turned back
  };
  MemoryState expected;
  for (const Step& s : steps) {
    SCOPED_TRACE(merkhaus::FormatDay(s.day));
    const auto result = store.recordOutcome(ref, house, s.outcome, s.day, kParams);
    ASSERT_TRUE(result);
    EXPECT_EQ(s.counts, result->has_value());
    if (s.counts) expected = merkhaus::Review(expected, s.grade, s.day, kParams);
    EXPECT_EQ(expected, *store.state(ref, house));
  }
  // A review graded directly always counts, also on the same day.
  expected = merkhaus::Review(expected, Grade::Easy, kDay + 3, kParams);
  EXPECT_EQ(expected, *store.review(ref, house, Grade::Easy, kDay + 3, kParams));
  EXPECT_EQ(expected, *store.state(ref, house));
}

TEST_F(ProgressStoreTest, KeepsTheTestHistoryAndResetsALessonAlone) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus"),
                              Unit(255, "zwei"), Entry(255, "tree", "Baum")});
  ProgressStore store = open();
  reviewAll(store, path, Grade::Good, kDay);
  const DataFileRef ref = fileRef(store, path);
  const merkhaus::TestResult tests[] = {
      {1, kDay + 5, 7, 10, 30}, {1, kDay, 10, 10, 0}, {255, kDay + 1, 1, 8, 88}};
  for (const auto& t : tests)
    ASSERT_TRUE(store.addTestResult(ref, t));
  EXPECT_EQ((std::vector<merkhaus::TestResult>{tests[1], tests[0]}), *store.testHistory(ref, 1));
  EXPECT_EQ(std::vector<merkhaus::TestResult>{tests[2]}, *store.testHistory(ref, 255));

  ASSERT_TRUE(store.resetLesson(ref, 1));
  EXPECT_EQ(std::set<std::string>{"tree"}, Words(learned(store, path)));
  EXPECT_EQ(2, store.testHistory(ref, 1)->size());

  // A copy takes the history along.
  const std::string copy = dir.file("kopie.fid");
  std::filesystem::copy_file(path, copy);
  EXPECT_EQ(*store.testHistory(ref, 1), *store.testHistory(fileRef(store, copy), 1));
}

TEST_F(ProgressStoreTest, ReadsTheDueStatesAndWhichOthersWereAnswered) {
  mhtest::WriteRecords(
      path, {Header("V"), Unit(1, "eins"), Entry(1, "house", "Haus"), Entry(1, "cat", "Katze"),
             Entry(1, "dog", "Hund"), Unit(255, "zwei"), Entry(255, "house", "Haus")});
  ProgressStore store = open();
  const DataFileRef ref = fileRef(store, path);
  const auto file = merkhaus::ReadDataFileEntries(path);
  const TVocData& house = file->lessons[0].entries[0];
  const TVocData& cat = file->lessons[0].entries[1];
  const TVocData& dog = file->lessons[0].entries[2];
  const MemoryState houseState = *store.review(ref, house, Grade::Again, kDay, kParams);  // 1 day
  const MemoryState catState = *store.review(ref, cat, Grade::Easy, kDay, kParams);       // 8 days
  const auto due = store.dueStates(ref, kDay + 1);
  ASSERT_TRUE(due);
  EXPECT_EQ(1, due->size());
  ASSERT_NE(nullptr, due->find(1, house));
  EXPECT_EQ(houseState, *due->find(1, house));
  EXPECT_EQ(nullptr, due->find(1, cat));
  const auto hashOf = [](std::uint8_t unit, const TVocData& e) {
    return merkhaus::EntryKeyHash(merkhaus::EntryKey(unit, e));
  };
  EXPECT_TRUE(due->answered(1, hashOf(1, cat)));
  EXPECT_FALSE(due->answered(1, hashOf(1, dog)));
  // The same words in another lesson are another entry.
  EXPECT_EQ(nullptr, due->find(255, file->lessons[1].entries[0]));
  EXPECT_FALSE(due->answered(255, hashOf(255, file->lessons[1].entries[0])));

  const auto all = store.states(ref);
  ASSERT_TRUE(all);
  EXPECT_EQ(2, all->size());
  EXPECT_EQ(catState, *all->find(1, cat));
  EXPECT_EQ(2, store.dueStates(ref, kDay + 8)->size());
  EXPECT_EQ(2, store.lessonStates(ref, 1)->size());
  EXPECT_EQ(0, store.lessonStates(ref, 255)->size());
}

TEST_F(ProgressStoreTest, MapsOutcomesToGrades) {
  EXPECT_EQ(Grade::Good, merkhaus::GradeFor(Outcome::RightFirstTry));
  EXPECT_EQ(Grade::Hard, merkhaus::GradeFor(Outcome::RightWithHelp));
  EXPECT_EQ(Grade::Again, merkhaus::GradeFor(Outcome::Failed));
}

}  // namespace
