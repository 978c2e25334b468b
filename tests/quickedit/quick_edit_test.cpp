// SPDX-License-Identifier: GPL-3.0-or-later
#include "quickedit/quick_edit.h"

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
  EntryTexts texts;
  texts.A1 = W("  Haus  ");
  texts.B1 = W(long70);
  texts.A2 = W("");
  texts.B2 = W("zwei  Wörter");
  texts.A3 = W(std::string(58, ' ') + "ab");
  texts.B3 = W(" ");
  texts.Comment = W(comment300);
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
    lesson.dataFilePath = path;
    lesson.unitId = 1;
    entries = ReadLesson(path, 1, kMaxEntries).value().entries;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  mhtest::ScriptedMessages msgs;
  Options options;
  LessonContext lesson;
  std::vector<TVocData> entries;
};

TEST_F(SaveQuickEditTest, RewritesEveryEqualRecordAndReturnsTheNewEntry) {
  ASSERT_EQ(3u, entries.size());
  EntryTexts texts = TextsOf(entries[0]);
  EXPECT_EQ(W("dog"), texts.A1);
  EXPECT_EQ(W("Hund"), texts.B1);
  EXPECT_EQ(W("k"), texts.Comment);
  texts.A2 = W(" hound ");
  texts.B2 = W("Köter");
  const auto before = mhtest::ReadRecords(path);

  const std::optional<TVocData> saved = SaveQuickEdit(lesson, options, msgs, entries[0], texts);
  ASSERT_TRUE(saved);
  const auto after = mhtest::ReadRecords(path);
  const auto edited = Entry6(1, "dog", "hound", "", "Hund", Latin1("Köter"), "", "k");
  ASSERT_EQ(before.size(), after.size());
  EXPECT_EQ(edited, after[2]);
  EXPECT_EQ(before[3], after[3]);
  EXPECT_EQ(edited, after[4]) << "its identical twin is rewritten too";
  EXPECT_EQ(before[5], after[5]) << "a deleted record differs in its Deleted byte";
  EXPECT_EQ(before[6], after[6]) << "another lesson's record differs in its UnitID";
  EXPECT_EQ(W("Köter"), saved->B2.get());
  EXPECT_EQ(W("hound"), saved->A2.get());
  EXPECT_EQ(1, saved->UnitID);
}

TEST_F(SaveQuickEditTest, UnchangedEntryLeavesTheFileAlone) {
  const std::string before = mhtest::ReadBytes(path);
  const auto mtime = std::filesystem::last_write_time(path);
  ASSERT_TRUE(SaveQuickEdit(lesson, options, msgs, entries[1], TextsOf(entries[1])));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  EXPECT_EQ(mtime, std::filesystem::last_write_time(path));
}

TEST_F(SaveQuickEditTest, MissingDataFileIsReported) {
  std::filesystem::remove(path);
  EntryTexts texts = TextsOf(entries[0]);
  texts.A1 = W("doggy");
  msgs.expect("Das Speichern ist fehlgeschlagen!" + mhtest::Missing(path), Answer::Ok,
              MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(SaveQuickEdit(lesson, options, msgs, entries[0], texts));
  EXPECT_FALSE(std::filesystem::exists(path));
}

}  // namespace
}  // namespace merkhaus
