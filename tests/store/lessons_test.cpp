// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lessons.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class LessonsTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  mhtest::ScriptedMessages msgs;
};

TEST_F(LessonsTest, IdentifiersGo1Then255Downwards) {
  mhtest::WriteRecords(path, {Header("V")});
  EXPECT_EQ(1, CreateUnit(path, WinString("eins"), WinString(), msgs));
  EXPECT_EQ(255, CreateUnit(path, WinString("zwei"), WinString("k"), msgs));
  EXPECT_EQ(254, CreateUnit(path, WinString("drei"), WinString(), msgs));
  const auto recs = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, recs.size());
  EXPECT_EQ(Unit(1, "eins"), recs[1]);
  EXPECT_EQ(Unit(255, "zwei", "k"), recs[2]);
  EXPECT_EQ(Unit(254, "drei"), recs[3]);
}

TEST_F(LessonsTest, DeletedLessonsFreeTheirIdentifierAndName) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "a"), Unit(255, "b"), Unit(254, "c", "", 1)});
  EXPECT_EQ(254, FindFreeUnitID(path, msgs).value());
  EXPECT_EQ(254, CreateUnit(path, WinString("c"), WinString(), msgs));
  // All lessons deleted: the next one gets 255.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "a", "", 1), Unit(255, "b", "", 1)});
  EXPECT_EQ(255, FindFreeUnitID(path, msgs).value());
}

TEST_F(LessonsTest, NamesMustDifferExactly) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Lektion")});
  EXPECT_EQ(255, CreateUnit(path, WinString("lektion"), WinString(), msgs));
  const auto before = mhtest::ReadBytes(path);
  msgs.expect("Die Unit ist bereits vorhanden!", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_EQ(0, CreateUnit(path, WinString("Lektion"), WinString(), msgs));
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  EXPECT_FALSE(UnitNameExists(path, WinString("Lektion "), msgs).value());
}

TEST_F(LessonsTest, With255LessonsNothingIsCreated) {
  std::vector<mhtest::RawRecord> recs = {Header("V")};
  for (int id = 1; id <= 255; ++id)
    recs.push_back(Unit(static_cast<std::uint8_t>(id), "L" + std::to_string(id)));
  mhtest::WriteRecords(path, recs);
  const auto before = mhtest::ReadBytes(path);
  msgs.expect("There're already 255 units in this DataFile!", Answer::Ok, MsgKind::Error,
              MsgButtons::Ok)
      .expect("Fehler 1003: Kann keine freie UnitID mehr finden!", Answer::Ok,
              MsgKind::Confirmation, MsgButtons::Ok)
      .expect("Die Unit konnte nicht korrekt angelegt werden!", Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  EXPECT_TRUE(CreateUnitFromDialog(path, WinString("neu"), WinString(), msgs).empty());
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

TEST_F(LessonsTest, CreatingInAMissingDataFileFailsWithoutEndingTheProgram) {
  msgs.expect("RW - Fehler: 1002" + mhtest::Missing(path))
      .expect("Die Unit konnte nicht korrekt angelegt werden!");
  EXPECT_TRUE(CreateUnitFromDialog(path, WinString("neu"), WinString(), msgs).empty());
  EXPECT_FALSE(std::filesystem::exists(path));
  msgs.expect("Everything fucked! Closing screen!" + mhtest::Missing(path));
  EXPECT_FALSE(UnitNameExists(path, WinString("x"), msgs).has_value());
}

TEST_F(LessonsTest, DialogNamesAreCutTo60) {
  mhtest::WriteRecords(path, {Header("V")});
  const std::string longName(70, 'x');
  EXPECT_EQ(WinString(std::string(60, 'x')),
            CreateUnitFromDialog(path, WinString(longName), WinString("a\r\nb"), msgs));
  const auto recs = mhtest::ReadRecords(path);
  EXPECT_EQ(Unit(1, std::string(60, 'x'), "a\r\nb"), recs[1]);
}

TEST_F(LessonsTest, DeletingMarksTheHeaderAndLiveEntriesOnly) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "1"), Entry(2, "b", "2"),
                              Entry(1, "c", "3", "", 1), Entry(1, "d", "4"), Entry(1, "e", "5"),
                              Entry(1, "f", "6", "", 1), Unit(2, "M")});
  EXPECT_EQ(4u, DeleteUnitRecords(path, 1, msgs).value());
  const auto recs = mhtest::ReadRecords(path);
  const int expected[] = {0, 1, 1, 0, 1, 1, 1, 1, 0};
  for (std::size_t i = 0; i < recs.size(); ++i) {
    EXPECT_EQ(expected[i], recs[i][mhtest::kDeleted]) << "record " << i;
  }
  EXPECT_EQ(Entry(1, "d", "4", "", 1), recs[5]) << "nothing but the flag changes";

  msgs.expect("RW - Fehler in Unit6!" + mhtest::Missing(dir.file("missing.fid")));
  EXPECT_FALSE(DeleteUnitRecords(dir.file("missing.fid"), 1, msgs).has_value());
}

TEST(DeleteUnitFlow, AsksDeletesAndCountsTheEntries) {
  mhtest::TempDir dir;
  mhtest::ScriptedMessages msgs;
  const auto path = dir.file("v.fid");
  const std::vector<mhtest::RawRecord> recs = {
      Header("V"),        Unit(1, "Verben", mhtest::Latin1("unregelmäßig")),
      Entry(1, "a", "1"), Entry(1, "b", "2", "", 1),
      Entry(1, "c", "3"), Entry(1, "d", "4", "", 1),
      Entry(1, "e", "5"), Unit(255, "Andere")};
  mhtest::WriteRecords(path, recs);
  const WinString line("Verben - unregelm\xE4\xDFig");

  msgs.expect("Sie haben keine Lektion ausgewählt!", Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(DeleteUnitFlow(path, nullptr, msgs));

  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::No, MsgKind::Warning,
              MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(DeleteUnitFlow(path, &line, msgs));
  EXPECT_EQ(recs, mhtest::ReadRecords(path));

  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes)
      .expect("Lektion \"Verben - unregelmäßig\" mit 3 Vokabeln erfolgreich gelöscht!", Answer::Ok,
              MsgKind::Information, MsgButtons::Ok);
  EXPECT_TRUE(DeleteUnitFlow(path, &line, msgs));
  const auto after = mhtest::ReadRecords(path);
  int marked = 0;
  for (std::size_t i = 0; i < recs.size(); ++i)
    marked += after[i][623] != recs[i][623];
  EXPECT_EQ(4, marked);

  // The lesson is gone now: nothing to delete.
  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes)
      .expect("Löschen fehlgeschlagen!", Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_TRUE(DeleteUnitFlow(path, &line, msgs));
}

}  // namespace
}  // namespace merkhaus
