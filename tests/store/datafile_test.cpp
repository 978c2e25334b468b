// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/datafile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <thread>

#include "store/record_file.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class DataFileTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  mhtest::ScriptedMessages msgs;
  std::unique_ptr<Shared> shared = std::make_unique<Shared>();
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
    EXPECT_EQ(c.expected, IsDataFile(path, msgs)) << c.name;
  }
  EXPECT_TRUE(msgs.shown().empty());
}

TEST_F(DataFileTest, IsDataFileReportsFilesItCannotOpen) {
  const std::string missing = dir.file("missing.fid");
  msgs.expect("Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + missing +
                  "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(IsDataFile(missing, msgs));
  msgs.expect("Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + dir.path().string() +
                  "\" kann nicht geöffnet werden: das ist ein Ordner.",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(IsDataFile(dir.path().string(), msgs));
  // The record check can fail on its own too.
  mhtest::WriteRecords(path, {Header("V")});
  InjectFileFault({path, FileFault::At::Read, 0, EIO});
  EXPECT_THROW(IsDataFile(path, msgs), IoError);
  ClearFileFaults();
}

TEST_F(DataFileTest, LoadUnitHeaderSkipsDeletedHeadersOfTheSameUnitID) {
  mhtest::WriteRecords(path, {Header("V"), Unit(5, "alt", "", 1), Entry(5, "a", "b"),
                              Unit(5, "neu", "k"), Unit(6, "sechs")});
  shared->DataFilePath = path;
  ASSERT_TRUE(LoadUnitHeader(*shared, msgs, 5));
  EXPECT_EQ("neu", shared->CurUnit.B1.view());
  EXPECT_EQ("k", shared->CurUnit.Comment.view());
  EXPECT_FALSE(LoadUnitHeader(*shared, msgs, 7));
  EXPECT_EQ("neu", shared->CurUnit.B1.view()) << "kept on failure";

  shared->DataFilePath = dir.file("missing.fid");
  msgs.expect("Schwerer Fehler 602\nDie Datei \"" + shared->DataFilePath +
                  "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(LoadUnitHeader(*shared, msgs, 5));
}

TEST_F(DataFileTest, LoadUnitVocsTakesTheFirst255LiveEntriesInFileOrder) {
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(1, "L")};
  recs.push_back(Entry(1, "deleted", "x", "", 1));
  recs.push_back(Entry(2, "other lesson", "x"));
  recs.push_back(Unit(1, "lookalike header, not an entry"));
  for (int i = 0; i < 300; ++i)
    recs.push_back(Entry(1, "w" + std::to_string(i), "x"));
  mhtest::WriteRecords(path, recs);
  shared->DataFilePath = path;
  shared->CurUnitID = 1;
  LoadUnitVocs(*shared, msgs);
  ASSERT_EQ(255, shared->VocCount);
  EXPECT_EQ("w0", shared->VocList[0].A1.view());
  EXPECT_EQ("w254", shared->VocList[254].A1.view());
  EXPECT_EQ(0, shared->Cancelled);
}

TEST_F(DataFileTest, LoadUnitVocsOnAMissingFileCancelsAndKeepsTheList) {
  shared->DataFilePath = dir.file("missing.fid");
  shared->VocCount = 2;
  shared->VocList[0].A1.set("keep");
  msgs.expect("IO-Fehler 802!\nDie Datei \"" + shared->DataFilePath +
                  "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  LoadUnitVocs(*shared, msgs);
  EXPECT_EQ(1, shared->Cancelled);
  EXPECT_EQ(2, shared->VocCount);
  EXPECT_EQ("keep", shared->VocList[0].A1.view());
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
  LessonRead lesson = ReadLesson(path, 1, SIZE_MAX);
  ASSERT_TRUE(lesson.headerFound);
  EXPECT_EQ("L2", lesson.header.B1.view());
  ASSERT_EQ(300u, lesson.entries.size());
  EXPECT_EQ("w299", lesson.entries.back().A1.view());
  EXPECT_EQ(255u, ReadLesson(path, 1, 255).entries.size());
  lesson = ReadLesson(path, 2, SIZE_MAX);
  EXPECT_TRUE(lesson.opened);
  EXPECT_FALSE(lesson.headerFound);
  EXPECT_FALSE(ReadLesson(dir.file("x"), 1, 10).opened);
}

TEST_F(DataFileTest, PartialTrailingRecordIsReadAroundButNeverWrittenTo) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")}, "garbage");
  const std::string before = mhtest::ReadBytes(path);
  shared->DataFilePath = path;
  shared->CurUnitID = 1;
  LoadUnitVocs(*shared, msgs);
  EXPECT_EQ(1, shared->VocCount);

  RecordFile file;
  ASSERT_TRUE(file.open(path, Access::Read));
  EXPECT_EQ(3u, file.count());
  EXPECT_TRUE(file.damaged());
  ASSERT_FALSE(file.open(path, Access::Write));
  EXPECT_EQ("Die Datei \"" + path +
                "\" kann nicht geschrieben werden: die Datei ist beschädigt (ihre Länge ist kein "
                "Vielfaches von 624 Bytes).",
            file.error().text());
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

TEST_F(DataFileTest, ReplaceRecordRewritesEqualRecordsInPlace) {
  const auto old = Entry(1, "Haus", "house");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old, Entry(1, "x", "y"), old});
  TVocData oldRec, newRec;
  std::memcpy(&oldRec, old.data(), 624);
  newRec = oldRec;
  newRec.B1.set("home");

  FileError error;
  ASSERT_TRUE(ReplaceRecord(path, oldRec, newRec, false, error));
  auto recs = mhtest::ReadRecords(path);
  EXPECT_EQ("home", mhtest::GetText(recs[2], mhtest::kB1));
  EXPECT_EQ("house", mhtest::GetText(recs[4], mhtest::kB1)) << "only the first";

  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old, Entry(1, "x", "y"), old});
  ASSERT_TRUE(ReplaceRecord(path, oldRec, newRec, true, error));
  recs = mhtest::ReadRecords(path);
  EXPECT_EQ("home", mhtest::GetText(recs[2], mhtest::kB1));
  EXPECT_EQ("home", mhtest::GetText(recs[4], mhtest::kB1));
  EXPECT_EQ("y", mhtest::GetText(recs[3], mhtest::kB1));
  EXPECT_EQ(5u, recs.size());

  EXPECT_FALSE(ReplaceRecord(dir.file("missing.fid"), oldRec, newRec, true, error));
  EXPECT_EQ(ENOENT, error.code);
}

TEST_F(DataFileTest, ReplaceRecordWithEqualRecordsLeavesTheFileUntouched) {
  const auto old = Entry(1, "Haus", "house");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), old});
  const auto before = std::filesystem::last_write_time(path);
  const auto bytes = mhtest::ReadBytes(path);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  TVocData rec;
  std::memcpy(&rec, old.data(), 624);
  FileError error;
  EXPECT_TRUE(ReplaceRecord(path, rec, rec, true, error));
  EXPECT_EQ(before, std::filesystem::last_write_time(path));
  EXPECT_EQ(bytes, mhtest::ReadBytes(path));
}

// Reading needs no write permission; a write that is refused names the file and the reason.
TEST_F(DataFileTest, ReadOnlyDataFilesAreReadButNotWritten) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  std::filesystem::permissions(
      path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  shared->DataFilePath = path;
  shared->CurUnitID = 1;
  LoadUnitVocs(*shared, msgs);
  EXPECT_EQ(1, shared->VocCount);
  EXPECT_TRUE(IsDataFile(path, msgs));

  // CI runs as root, which may write anyway: the refusal comes through the seam.
  InjectFileFault({path, FileFault::At::Open, 0, EACCES});
  TVocData a = shared->VocList[0], b = a;
  b.B1.set("c");
  FileError error;
  EXPECT_FALSE(ReplaceRecord(path, a, b, true, error));
  EXPECT_EQ("Die Datei \"" + path + "\" kann nicht geöffnet werden: keine Berechtigung.",
            error.text());
  ClearFileFaults();
}

}  // namespace
}  // namespace merkhaus
