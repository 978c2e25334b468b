// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/restore.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

std::vector<std::string> Utf8Lines(const StoreResult<DeletedLines>& list) {
  std::vector<std::string> lines;
  for (const WinString& l : list.value().lines)
    lines.push_back(l.bytes());
  return lines;
}

class RestoreTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  void TearDown() override { ClearFileFaults(); }
};

// UnitID 7 was held by "Alt" (deleted), then by "Tiere": deleting "Tiere" and restoring it brings
// back its entries, also the one deleted on its own before, but nothing of "Alt".
TEST_F(RestoreTest, ALessonComesBackWithItsOwnRecordsOnly) {
  const std::vector<RawRecord> before = {
      Header("V"),
      Unit(7, "Alt", "", 1),
      Entry(7, "old", "alt", "", 1),
      Unit(7, "Tiere", "Haus", 1),
      Entry(7, "cat", "Katze", "", 1),
      Entry(9, "x", "y", "", 1),  // another lesson's deleted entry in between
      Entry(7, "dog", "Hund", "", 1),
  };
  mhtest::WriteRecords(path, before);
  EXPECT_EQ((std::vector<std::string>{"Alt", "Tiere"}), Utf8Lines(ListDeletedLessons(path)));

  EXPECT_EQ(3u, RestoreLesson(path, WinString("Tiere")).value());
  std::vector<RawRecord> expected = before;
  for (int i : {3, 4, 6})
    expected[i][mhtest::kDeleted] = 0;
  EXPECT_EQ(expected, mhtest::ReadRecords(path));

  // A name that is no deleted lesson changes nothing.
  EXPECT_EQ(0u, RestoreLesson(path, WinString("Fehlt")).value());
  EXPECT_EQ(expected, mhtest::ReadRecords(path));
}

TEST_F(RestoreTest, RestoresThatWouldMixTwoLessonsAreRefused) {
  struct Case {
    const char* name;
    std::vector<RawRecord> records;
    StoreError::Kind kind;
    std::string holder;  // the lesson that holds the UnitID now
  };
  const Case cases[] = {
      {"name now taken",
       {Header("V"), Unit(3, "Verben", "", 1), Entry(3, "go", "gehen", "", 1), Unit(5, "Verben")},
       StoreError::Kind::NameTaken,
       ""},
      {"UnitID now taken",
       {Header("V"), Unit(255, "Verben", "", 1), Entry(255, "go", "gehen", "", 1),
        Unit(255, mhtest::Latin1("Gemüse"))},
       StoreError::Kind::UnitIdHeld,
       mhtest::Latin1("Gemüse")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::WriteRecords(path, c.records);
    const StoreResult<std::uint32_t> restored = RestoreLesson(path, WinString("Verben"));
    ASSERT_FALSE(restored);
    EXPECT_EQ(c.kind, restored.error().kind);
    if (c.kind == StoreError::Kind::UnitIdHeld) {
      EXPECT_EQ(255, restored.error().unitId);
      EXPECT_EQ(c.holder, restored.error().name.bytes());
    }
    EXPECT_EQ(c.records, mhtest::ReadRecords(path));
  }
}

TEST_F(RestoreTest, EntriesComeBackOneByOneFromTheCurrentLessonOnly) {
  const std::string a1(60, 'a'), b1(60, 'b');
  mhtest::WriteRecords(path, {
                                 Header("V"),
                                 Unit(2, "Alt", "", 1),
                                 Entry(2, "cat", "Katze", "", 1),  // the older lesson 2's
                                 Unit(2, "Neu"),
                                 Entry(4, "cat", "Katze", "", 1),  // another lesson's
                                 Entry(2, "cat", "Katze", "first", 1),
                                 Entry(2, "cat", "Katze", "second", 1),
                                 Entry(2, a1, b1, "", 1),
                             });
  const std::string longLine = a1 + "  =  " + b1;  // 125 characters, the most a line holds
  EXPECT_EQ((std::vector<std::string>{"cat  =  Katze", "cat  =  Katze", longLine}),
            Utf8Lines(ListDeletedEntries(path, 2)));

  const WinString line("cat  =  Katze");
  for (int click : {5, 6}) {
    EXPECT_EQ(1u, RestoreEntry(path, 2, line).value());
    const auto recs = mhtest::ReadRecords(path);
    for (int i = 1; i < 8; ++i)
      EXPECT_EQ(i <= click && i >= 5 ? 0 : (i == 3 ? 0 : 1), recs[i][mhtest::kDeleted]) << i;
  }
  EXPECT_EQ(0u, RestoreEntry(path, 2, line).value()) << "the others are not lesson 2's";
}

// A restore that cannot be put on the disk is taken back; where even that fails, the store says
// that the lesson came back in part.
TEST_F(RestoreTest, AFailedRestoreIsTakenBack) {
  const std::vector<RawRecord> deleted = {Header("V"), Unit(1, "L", "", 1),
                                          Entry(1, "a", "b", "", 1), Entry(1, "c", "d", "", 1)};
  struct Failure {
    FileFault fault;
    bool rolledBack;
    int restored;  // records live afterwards
  };
  const Failure failures[] = {
      {{path, FileFault::At::Sync, 0, EIO}, true, 0},
      {{path, FileFault::At::Write, 624, ENOSPC}, false, 1},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.rolledBack);
    mhtest::WriteRecords(path, deleted);
    InjectFileFault(f.fault);
    const StoreResult<std::uint32_t> restored = RestoreLesson(path, WinString("L"));
    ClearFileFaults();
    ASSERT_FALSE(restored);
    EXPECT_TRUE(restored.error().interrupted);
    EXPECT_EQ(f.rolledBack, restored.error().rolledBack);
    EXPECT_EQ(FileError::Step::Write, restored.error().file.step);
    int live = 0;
    for (const RawRecord& r : mhtest::ReadRecords(path))
      live += r[mhtest::kDeleted] == 0;
    EXPECT_EQ(1 + f.restored, live);
  }
  EXPECT_FALSE(RestoreEntry(dir.file("fehlt.fid"), 1, WinString("a  =  b")));
}

}  // namespace
}  // namespace merkhaus
