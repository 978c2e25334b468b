// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/restore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "store/record_file.h"
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

// The deleted entries of a live lesson are those of its UnitID anywhere in the file: also one
// left by an older lesson with the number, so that no deleted entry is out of reach.
TEST_F(RestoreTest, EntriesComeBackOneByOneFromTheWholeFile) {
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
  EXPECT_EQ((std::vector<std::string>{"cat  =  Katze", "cat  =  Katze", "cat  =  Katze", longLine}),
            Utf8Lines(ListDeletedEntries(path, 2)));
  EXPECT_TRUE(ListDeletedEntries(path, 4)->lines.empty()) << "no live lesson 4";

  const WinString line("cat  =  Katze");
  const int order[] = {2, 5, 6};  // one per call, in file order
  for (int click = 0; click < 3; ++click) {
    EXPECT_EQ(1u, RestoreEntry(path, 2, line).value());
    const auto recs = mhtest::ReadRecords(path);
    for (int i = 1; i < 8; ++i) {
      const bool back = i == 3 || std::find(order, order + click + 1, i) != order + click + 1;
      EXPECT_EQ(back ? 0 : 1, recs[i][mhtest::kDeleted]) << i;
    }
  }
  EXPECT_EQ(0u, RestoreEntry(path, 2, line).value()) << "lesson 4's is not lesson 2's";
  EXPECT_EQ(0u, RestoreEntry(path, 4, line).value()) << "lesson 4 is not live";
}

// UnitID 255: "A" deleted, "B" made with the number and deleted, "A" restored and given new
// entries (after B's header), some deleted one by one, then "A" deleted again. Restoring "A"
// brings back its range (up to B's header); the entries after B's header stay deleted but are
// listed and can be restored one by one, and B stays deleted.
TEST_F(RestoreTest, NoEntryIsOutOfReachAfterAReusedUnitId) {
  const std::vector<RawRecord> before = {
      Header("V"),
      Unit(255, "A", "", 1),
      Entry(255, "a1", "x", "", 1),
      Unit(255, "B", "", 1),
      Entry(255, "b1", "y", "", 1),
      Entry(255, "a2", "neu", "", 1),
      Entry(255, "a3", "neu", "", 1),
  };
  mhtest::WriteRecords(path, before);
  EXPECT_EQ(2u, RestoreLesson(path, WinString("A")).value());
  std::vector<RawRecord> expected = before;
  expected[1][mhtest::kDeleted] = expected[2][mhtest::kDeleted] = 0;
  EXPECT_EQ(expected, mhtest::ReadRecords(path));
  EXPECT_EQ((std::vector<std::string>{"b1  =  y", "a2  =  neu", "a3  =  neu"}),
            Utf8Lines(ListDeletedEntries(path, 255)));
  EXPECT_EQ(1u, RestoreEntry(path, 255, WinString("a3  =  neu")).value());
  expected[6][mhtest::kDeleted] = 0;
  EXPECT_EQ(expected, mhtest::ReadRecords(path));

  const StoreResult<std::uint32_t> again = RestoreLesson(path, WinString("B"));
  ASSERT_FALSE(again) << "B's UnitID is A's now";
  EXPECT_EQ(StoreError::Kind::UnitIdHeld, again.error().kind);
  EXPECT_EQ(expected, mhtest::ReadRecords(path));
}

// A restore that cannot be put on the disk is taken back: at once, or by the next opener from the
// journal when the disk refuses the take-back too.
TEST_F(RestoreTest, AFailedRestoreIsTakenBack) {
  const std::vector<RawRecord> deleted = {Header("V"), Unit(1, "L", "", 1),
                                          Entry(1, "a", "b", "", 1), Entry(1, "c", "d", "", 1)};
  const FileFault failures[] = {
      {path, FileFault::At::Sync, 0, EIO},
      {path, FileFault::At::Write, 624, ENOSPC},
      {JournalPath(path), FileFault::At::Write, 100, ENOSPC},
      {JournalPath(path), FileFault::At::Remove, 0, EIO},
  };
  for (const FileFault& f : failures) {
    SCOPED_TRACE(f.path + " " + std::to_string(static_cast<int>(f.at)));
    mhtest::WriteRecords(path, deleted);
    InjectFileFault(f);
    const StoreResult<std::uint32_t> restored = RestoreLesson(path, WinString("L"));
    ClearFileFaults();
    ASSERT_FALSE(restored);
    EXPECT_TRUE(restored.error().interrupted);
    EXPECT_TRUE(restored.error().rolledBack);
    EXPECT_EQ(FileError::Step::Write, restored.error().file.step);
    ASSERT_TRUE(ListDeletedLessons(path));  // the next opener finishes a take-back left over
    TakeRepairs();
    EXPECT_EQ(deleted, mhtest::ReadRecords(path));
    EXPECT_FALSE(std::filesystem::exists(JournalPath(path)));
  }
  EXPECT_FALSE(RestoreEntry(dir.file("fehlt.fid"), 1, WinString("a  =  b")));
}

}  // namespace
}  // namespace merkhaus
