// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/restore.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

std::vector<std::string> Utf8Lines(const DeletedLines& list) {
  std::vector<std::string> lines;
  for (const WinString& l : list.lines)
    lines.push_back(l.bytes());
  return lines;
}

class RestoreTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  mhtest::ScriptedMessages msgs;
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
  EXPECT_EQ((std::vector<std::string>{"Alt", "Tiere"}), Utf8Lines(ListDeletedUnits(path)));

  const RestoreResult r = RestoreUnit(path, WinString("Tiere"), msgs);
  EXPECT_TRUE(r.ok);
  EXPECT_EQ(3u, r.records);
  std::vector<RawRecord> expected = before;
  for (int i : {3, 4, 6})
    expected[i][mhtest::kDeleted] = 0;
  EXPECT_EQ(expected, mhtest::ReadRecords(path));

  // A name that is no deleted lesson changes nothing and says nothing.
  EXPECT_EQ(0u, RestoreUnit(path, WinString("Fehlt"), msgs).records);
  EXPECT_EQ(expected, mhtest::ReadRecords(path));
}

TEST_F(RestoreTest, RestoresThatWouldMixTwoLessonsAreRefused) {
  struct Case {
    const char* name;
    std::vector<RawRecord> records;
    std::string message;
  };
  const Case cases[] = {
      {"name now taken",
       {Header("V"), Unit(3, "Verben", "", 1), Entry(3, "go", "gehen", "", 1), Unit(5, "Verben")},
       "Eine Lektion mit diesem Namen Existiert bereits!"},
      {"UnitID now taken",
       {Header("V"), Unit(255, "Verben", "", 1), Entry(255, "go", "gehen", "", 1),
        Unit(255, mhtest::Latin1("Gemüse"))},
       "Die Lektion \"Verben\" kann nicht wiederhergestellt werden: ihre UnitID 255 gehört "
       "jetzt der Lektion \"Gemüse\".\nDas DataFile bleibt unverändert."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::WriteRecords(path, c.records);
    msgs.expect(c.message, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(RestoreUnit(path, WinString("Verben"), msgs).ok);
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
            Utf8Lines(ListDeletedVocs(path, 2)));

  const WinString line("cat  =  Katze");
  for (int click : {5, 6}) {
    EXPECT_EQ(1u, RestoreVoc(path, 2, line, msgs).records);
    const auto recs = mhtest::ReadRecords(path);
    for (int i = 1; i < 8; ++i)
      EXPECT_EQ(i <= click && i >= 5 ? 0 : (i == 3 ? 0 : 1), recs[i][mhtest::kDeleted]) << i;
  }
  EXPECT_EQ(0u, RestoreVoc(path, 2, line, msgs).records) << "the others are not lesson 2's";
}

TEST_F(RestoreTest, WhatTheWindowsOfferAndFailures) {
  // A DataFile without lesson records: no window, no message.
  mhtest::WriteRecords(path, {Header("V")});
  EXPECT_FALSE(OfferDeletedUnits(path, msgs).has_value());
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  msgs.expect("Es existieren derzeit keine gelöschten Units, die wieder hergestellt werden können.",
              Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_FALSE(OfferDeletedUnits(path, msgs).has_value());
  msgs.expect(
      "Es existieren derzeit keine gelöschten Vokabeln, die wieder hergestellt werden können.");
  EXPECT_FALSE(OfferDeletedVocs(path, 1, msgs).has_value());

  const std::string missing = dir.file("fehlt.fid");
  msgs.expect("RW - Fehler in Unit16!" + mhtest::Missing(missing));
  EXPECT_FALSE(RestoreVoc(missing, 1, WinString("a  =  b"), msgs).ok);

  // A restore that cannot be put on the disk is taken back; where even that fails, the
  // learner is told that the lesson came back in part.
  const std::vector<RawRecord> deleted = {Header("V"), Unit(1, "L", "", 1),
                                          Entry(1, "a", "b", "", 1), Entry(1, "c", "d", "", 1)};
  struct Failure {
    FileFault fault;
    const char* told;
    int restored;  // records live afterwards
  };
  const Failure failures[] = {
      {{path, FileFault::At::Sync, 0, EIO}, "nicht wiederhergestellt; das DataFile ist unver", 0},
      {{path, FileFault::At::Write, 624, ENOSPC}, "nur zum Teil wiederhergestellt", 1},
  };
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.told);
    mhtest::WriteRecords(path, deleted);
    InjectFileFault(f.fault);
    try {
      RestoreUnit(path, WinString("L"), msgs);
      ADD_FAILURE() << "no error";
    } catch (const IoError& e) {
      const std::string text = e.what();
      EXPECT_EQ(0u, text.find("Die Datei \"" + path + "\" kann nicht geschrieben werden")) << text;
      EXPECT_NE(std::string::npos, text.find(f.told)) << text;
    }
    ClearFileFaults();
    int live = 0;
    for (const RawRecord& r : mhtest::ReadRecords(path))
      live += r[mhtest::kDeleted] == 0;
    EXPECT_EQ(1 + f.restored, live);
  }
}

}  // namespace
}  // namespace merkhaus
