#include "store/datafile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>
#include <unistd.h>
#include <cstring>

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
  msgs.expect("Fehler beim öffnen der Datei als Textfile!", Answer::Yes, MsgKind::Error,
              MsgButtons::Yes);
  EXPECT_FALSE(IsDataFile(dir.file("missing.fid"), msgs));
  msgs.expect("Fehler beim lesen der Datei als Bin-File!", Answer::Yes, MsgKind::Error,
              MsgButtons::Yes);
  EXPECT_FALSE(IsDataFile(dir.path().string(), msgs)) << "a folder";
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
  msgs.expect("Schwerer Fehler 602", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(LoadUnitHeader(*shared, msgs, 5));
}

TEST_F(DataFileTest, LoadUnitVocsTakesTheFirst255LiveEntriesInFileOrder) {
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(1, "L")};
  recs.push_back(Entry(1, "deleted", "x", "", 1));
  recs.push_back(Entry(2, "other lesson", "x"));
  recs.push_back(Unit(1, "lookalike header, not an entry"));
  for (int i = 0; i < 300; ++i) recs.push_back(Entry(1, "w" + std::to_string(i), "x"));
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
  msgs.expect("IO-Fehler 802!", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  LoadUnitVocs(*shared, msgs);
  EXPECT_EQ(1, shared->Cancelled);
  EXPECT_EQ(2, shared->VocCount);
  EXPECT_EQ("keep", shared->VocList[0].A1.view());
}

TEST_F(DataFileTest, PartialTrailingRecordIsIgnoredAndAppendsStartAfterWholeRecords) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")}, "garbage");
  shared->DataFilePath = path;
  shared->CurUnitID = 1;
  LoadUnitVocs(*shared, msgs);
  EXPECT_EQ(1, shared->VocCount);

  RecordFile file;
  ASSERT_TRUE(file.open(path));
  EXPECT_EQ(3u, file.count());
  TVocData r{};
  r.A1.set("neu");
  r.UnitID = 1;
  file.append(r);
  file.close();
  const auto recs = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, recs.size());
  EXPECT_EQ(4u * 624, std::filesystem::file_size(path));
  EXPECT_EQ("neu", mhtest::GetText(recs[3], mhtest::kA1));
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

  EXPECT_FALSE(ReplaceRecord(dir.file("missing.fid"), oldRec, newRec, true));
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

TEST_F(DataFileTest, ReadOnlyFilesCannotBeOpened) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L")});
  std::filesystem::permissions(path, std::filesystem::perms::owner_read);
  RecordFile file;
  if (geteuid() != 0) {  // root may write anyway
    EXPECT_FALSE(file.open(path));
  }
  EXPECT_TRUE(file.open(path, true));
}

}  // namespace
}  // namespace merkhaus
