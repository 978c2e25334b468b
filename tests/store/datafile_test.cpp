// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/datafile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "store/record_file.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class DataFileTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
};

TEST_F(DataFileTest, IsDataFileCases) {
  struct Case {
    const char* name;
    std::string bytes;
    bool expected;
  };
  std::string valid = [] {
    const auto r = Header("Vok");
    return std::string(reinterpret_cast<const char*>(r.data()), 624);
  }();
  std::string deleted = valid;
  deleted[623] = 1;
  std::string otherSig = valid;
  otherSig[mhtest::kB3 + 1] = 'X';
  // The old text format: a tab and "Datafile:" in the first 20 characters of the first line.
  std::string oldText = "a\tDatafile: Englisch\r\n" + valid;
  // The tab as 12th character: "Datafile:" no longer fits into the 20 characters probed.
  std::string lateTab = valid;
  lateTab.replace(11, 10, "\tDatafile:");
  std::string lateTabAsText = "abcdefghijk\tDatafile:\r\n";
  const Case cases[] = {
      {"valid", valid, true},
      {"valid with partial record after", valid + "xyz", true},
      {"record 0 deleted", deleted, false},
      {"other signature", otherSig, false},
      {"empty", "", false},
      {"shorter than a record", valid.substr(0, 623), false},
      {"old text export", oldText, false},
      {"tab too late, record decides (valid)", lateTab, true},
      {"tab too late, record decides (text)", lateTabAsText, false},
  };
  for (const auto& c : cases) {
    mhtest::WriteBytes(path, c.bytes);
    const StoreResult<bool> check = IsDataFile(path);
    ASSERT_TRUE(check) << c.name;
    EXPECT_EQ(c.expected, *check) << c.name;
  }
}

TEST_F(DataFileTest, IsDataFileTellsWhichOpeningFailed) {
  const std::string missing = dir.file("missing.fid");
  struct Case {
    std::string path;
    StoreError::Kind kind;
    int code;
  };
  mhtest::WriteRecords(path, {Header("V")});
  const Case cases[] = {
      {missing, StoreError::Kind::TextFile, ENOENT},
      {dir.path().string(), StoreError::Kind::TextFile, EISDIR},
  };
  for (const Case& c : cases) {
    const StoreResult<bool> check = IsDataFile(c.path);
    ASSERT_FALSE(check) << c.path;
    EXPECT_EQ(c.kind, check.error().kind) << c.path;
    EXPECT_EQ(c.code, check.error().file.code) << c.path;
  }
  // The record check can fail on its own too: a read error ends the action.
  InjectFileFault({path, FileFault::At::Read, 0, EIO});
  EXPECT_THROW((void)IsDataFile(path), IoError);
  ClearFileFaults();
}

TEST_F(DataFileTest, ReadLessonSkipsDeletedHeadersOfTheSameUnitIDAndStopsAt255) {
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(1, "alt", "", 1), Unit(1, "L", "k")};
  recs.push_back(Entry(1, "deleted", "x", "", 1));
  recs.push_back(Entry(2, "other lesson", "x"));
  recs.push_back(Unit(1, "lookalike header, not an entry"));
  for (int i = 0; i < 300; ++i)
    recs.push_back(Entry(1, "w" + std::to_string(i), "x"));
  mhtest::WriteRecords(path, recs);
  const StoreResult<LessonRead> lesson = ReadLesson(path, 1, kMaxEntries);
  ASSERT_TRUE(lesson);
  ASSERT_TRUE(lesson->header);
  EXPECT_EQ("L", lesson->header->B1.view());
  EXPECT_EQ("k", lesson->header->Comment.view());
  ASSERT_EQ(255u, lesson->entries.size());
  EXPECT_EQ("w0", lesson->entries[0].A1.view());
  EXPECT_EQ("w254", lesson->entries[254].A1.view());
  EXPECT_EQ(ENOENT, ReadLesson(dir.file("missing.fid"), 1, 1).error().file.code);
}

// A damaged DataFile (a partial record at its end) can still be read, but nothing builds on it.
// One pass finds the lesson's header and all its live entries, also beyond 255.
TEST_F(DataFileTest, ReadLessonTakesHeaderAndEntriesInOnePass) {
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(1, "L", "k", 1), Unit(1, "L2")};
  for (int i = 0; i < 300; ++i)
    recs.push_back(Entry(1, "w" + std::to_string(i), "x"));
  recs.push_back(Entry(1, "tot", "x", "", 1));
  recs.push_back(Entry(2, "fremd", "x"));
  mhtest::WriteRecords(path, recs);
  StoreResult<LessonRead> lesson = ReadLesson(path, 1, SIZE_MAX);
  ASSERT_TRUE(lesson && lesson->header);
  EXPECT_EQ("L2", lesson->header->B1.view());
  ASSERT_EQ(300u, lesson->entries.size());
  EXPECT_EQ("w299", lesson->entries.back().A1.view());
  EXPECT_EQ(255u, ReadLesson(path, 1, 255)->entries.size());
  lesson = ReadLesson(path, 2, SIZE_MAX);
  ASSERT_TRUE(lesson);
  EXPECT_FALSE(lesson->header);
  EXPECT_FALSE(ReadLesson(dir.file("x"), 1, 10));
}

// A partial record at the end (an older program's unfinished append) is invisible to readers;
// the next writer cuts it away and says how many bytes went.
TEST_F(DataFileTest, PartialTrailingRecordIsReadAroundAndCutByTheNextWriter) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")}, "garbage");
  const std::string before = mhtest::ReadBytes(path);
  EXPECT_EQ(1u, ReadLesson(path, 1, kMaxEntries)->entries.size());

  {
    const FileResult<RecordFile> file = RecordFile::open(path, Access::Read);
    ASSERT_TRUE(file);
    EXPECT_EQ(3u, file->count());
    EXPECT_TRUE(file->damaged());
  }
  EXPECT_EQ(before, mhtest::ReadBytes(path)) << "readers leave it";
  EXPECT_TRUE(TakeRepairs().empty());

  FileResult<RecordFile> writer = RecordFile::open(path, Access::Write);
  ASSERT_TRUE(writer);
  EXPECT_EQ(3u, writer->count());
  EXPECT_FALSE(writer->damaged());
  writer->close();
  EXPECT_EQ(before.substr(0, 3 * 624), mhtest::ReadBytes(path));
  const std::vector<FileRepair> repairs = TakeRepairs();
  ASSERT_EQ(1u, repairs.size());
  EXPECT_EQ("Das DataFile \"" + path +
                "\" endete in einem unvollständigen Datensatz; die letzten 7 Bytes wurden "
                "entfernt.",
            repairs[0].text());
}

TEST_F(DataFileTest, ReplaceRecordRewritesEqualRecordsInPlace) {
  const auto old = Entry(1, "Haus", "house");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old, Entry(1, "x", "y"), old});
  TVocData oldRec, newRec;
  std::memcpy(&oldRec, old.data(), 624);
  newRec = oldRec;
  newRec.B1.set("home");

  ASSERT_TRUE(ReplaceRecord(path, oldRec, newRec, false));
  auto recs = mhtest::ReadRecords(path);
  EXPECT_EQ("home", mhtest::GetText(recs[2], mhtest::kB1));
  EXPECT_EQ("house", mhtest::GetText(recs[4], mhtest::kB1)) << "only the first";

  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old, Entry(1, "x", "y"), old});
  ASSERT_TRUE(ReplaceRecord(path, oldRec, newRec, true));
  recs = mhtest::ReadRecords(path);
  EXPECT_EQ("home", mhtest::GetText(recs[2], mhtest::kB1));
  EXPECT_EQ("home", mhtest::GetText(recs[4], mhtest::kB1));
  EXPECT_EQ("y", mhtest::GetText(recs[3], mhtest::kB1));
  EXPECT_EQ(5u, recs.size());

  const StoreResult<> missing = ReplaceRecord(dir.file("missing.fid"), oldRec, newRec, true);
  ASSERT_FALSE(missing);
  EXPECT_EQ(ENOENT, missing.error().file.code);
}

TEST_F(DataFileTest, ReplaceRecordWithEqualRecordsLeavesTheFileUntouched) {
  const auto old = Entry(1, "Haus", "house");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old});
  const auto before = std::filesystem::last_write_time(path);
  const auto bytes = mhtest::ReadBytes(path);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  TVocData rec;
  std::memcpy(&rec, old.data(), 624);
  EXPECT_TRUE(ReplaceRecord(path, rec, rec, true));
  EXPECT_EQ(before, std::filesystem::last_write_time(path));
  EXPECT_EQ(bytes, mhtest::ReadBytes(path));
}

// Reading needs no write permission; a write that is refused names the file and the reason.
TEST_F(DataFileTest, ReadOnlyDataFilesAreReadButNotWritten) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  const StoreResult<LessonRead> lesson = ReadLesson(path, 1, kMaxEntries);
  ASSERT_EQ(1u, lesson->entries.size());
  EXPECT_TRUE(IsDataFile(path).value());

  // CI runs as root, which may write anyway: the refusal comes through the seam.
  InjectFileFault({path, FileFault::At::Open, 0, EACCES});
  TVocData a = lesson->entries[0], b = a;
  b.B1.set("c");
  const StoreResult<> replaced = ReplaceRecord(path, a, b, true);
  ASSERT_FALSE(replaced);
  EXPECT_EQ("Die Datei \"" + path + "\" kann nicht geöffnet werden: keine Berechtigung.",
            replaced.error().file.text());
  ClearFileFaults();
}

}  // namespace
}  // namespace merkhaus
