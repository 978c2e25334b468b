// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/quick_edit_rules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;

using mhtest::W;

TEST(QuickEditRecordTest, BuildsALiveEntryOfTheCurrentLesson) {
  Options o;
  const std::string long70(70, 'x');
  const std::string comment300 = std::string(250, 'c') + "     " + std::string(45, 'd');
  const QuickEditTexts texts{
      W("  Haus  "), W(long70),    W(""), W("zwei  Wörter"), W(std::string(58, ' ') + "ab"),
      W(" "),        W(comment300)};
  const TVocData r = BuildQuickEditRecord(texts, o, 7);
  EXPECT_EQ(W("Haus"), r.A1.get());
  EXPECT_EQ(WinString(std::string(60, 'x')), r.B1.get());
  EXPECT_EQ(W(""), r.A2.get());
  EXPECT_EQ(W("zwei Wörter"), r.B2.get());
  EXPECT_EQ(W("ab"), r.A3.get());
  EXPECT_EQ(W(""), r.B3.get());
  // The comment is cut to 255 before the blanks go: the run of five counts, the tail is lost.
  EXPECT_EQ(WinString(std::string(250, 'c')), r.Comment.get());
  EXPECT_EQ(7, r.UnitID);
  EXPECT_EQ(0, r.Deleted);

  o.Eingabe_SpaceCut = false;
  const TVocData raw = BuildQuickEditRecord(texts, o, 7);
  EXPECT_EQ(W("  Haus  "), raw.A1.get());
  EXPECT_EQ(WinString(std::string(58, ' ') + "ab"), raw.A3.get());
  EXPECT_EQ(WinString(std::string(250, 'c') + "     "), raw.Comment.get());
}

class SaveQuickEditTest : public ::testing::Test {
 protected:
  SaveQuickEditTest() {
    // Two identical live entries, a deleted twin and a twin in another lesson.
    mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "dog", "Hund", "k"),
                                Entry(1, "cat", "Katze"), Entry(1, "dog", "Hund", "k"),
                                Entry(1, "dog", "Hund", "k", 1), Entry(2, "dog", "Hund", "k")});
    shared->DataFilePath = path;
    shared->CurUnitID = 1;
    LoadUnitVocs(*shared, msgs);
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  mhtest::ScriptedMessages msgs;
  Options options;
  std::unique_ptr<Shared> shared = std::make_unique<Shared>();
  TVocData original{};
};

TEST_F(SaveQuickEditTest, RewritesEveryEqualRecordAndTheList) {
  ASSERT_EQ(3, shared->VocCount);
  QuickEditTexts texts = QuickEditFields(shared->VocList[0]);
  EXPECT_EQ(W("dog"), texts.Edit1);
  EXPECT_EQ(W("Hund"), texts.Edit2);
  EXPECT_EQ(W("k"), texts.Edit7);
  texts.Edit3 = W(" hound ");
  texts.Edit4 = W("Köter");
  const auto before = mhtest::ReadRecords(path);

  ASSERT_TRUE(SaveQuickEdit(*shared, options, msgs, 0, texts, original));
  const auto after = mhtest::ReadRecords(path);
  const auto edited = Entry6(1, "dog", "hound", "", "Hund", Latin1("Köter"), "", "k");
  ASSERT_EQ(before.size(), after.size());
  EXPECT_EQ(edited, after[2]);
  EXPECT_EQ(before[3], after[3]);
  EXPECT_EQ(edited, after[4]) << "its identical twin is rewritten too";
  EXPECT_EQ(before[5], after[5]) << "a deleted record differs in its Deleted byte";
  EXPECT_EQ(before[6], after[6]) << "another lesson's record differs in its UnitID";
  EXPECT_EQ(W("Köter"), shared->VocList[0].B2.get());
  EXPECT_EQ(W("hound"), original.A2.get());
  EXPECT_TRUE(RecordsEqual(shared->RecBuf, shared->VocList[0]));
}

TEST_F(SaveQuickEditTest, UnchangedEntryLeavesTheFileAlone) {
  const std::string before = mhtest::ReadBytes(path);
  const auto mtime = std::filesystem::last_write_time(path);
  ASSERT_TRUE(
      SaveQuickEdit(*shared, options, msgs, 1, QuickEditFields(shared->VocList[1]), original));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  EXPECT_EQ(mtime, std::filesystem::last_write_time(path));
}

TEST_F(SaveQuickEditTest, MissingDataFileIsReportedAndTheListKept) {
  std::filesystem::remove(path);
  QuickEditTexts texts = QuickEditFields(shared->VocList[0]);
  texts.Edit1 = W("doggy");
  msgs.expect("Das Speichern ist fehlgeschlagen!" + mhtest::Missing(path), Answer::Ok,
              MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(SaveQuickEdit(*shared, options, msgs, 0, texts, original));
  EXPECT_EQ(W("dog"), shared->VocList[0].A1.get());
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace merkhaus
