#include "shell/lesson_flows.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

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
              MsgButtons::YesNo);
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

TEST(WriteHeaderInfo, WritesNameAndCommentIntoTheRightRecord) {
  mhtest::TempDir dir;
  mhtest::ScriptedMessages msgs;
  auto shared = std::make_unique<Shared>();
  shared->DataFilePath = dir.file("v.fid");
  mhtest::WriteRecords(shared->DataFilePath,
                       {Header("Alt", "Englisch", "Deutsch", "Ich", "k"), Unit(4, "L4", "", 1),
                        Entry(4, "a", "b"), Unit(4, "L4 neu", "c")});

  ASSERT_TRUE(WriteHeaderInfo(*shared, msgs, true, WinString("Neu"), WinString("x\r\ny")));
  auto recs = mhtest::ReadRecords(shared->DataFilePath);
  EXPECT_EQ(Header("Neu", "Englisch", "Deutsch", "Ich", "x\r\ny"), recs[0]);
  EXPECT_EQ("Neu", shared->DataFileHeader.B1.view());

  shared->CurUnitID = 4;
  ASSERT_TRUE(WriteHeaderInfo(*shared, msgs, false, WinString("Umbenannt"), WinString()));
  recs = mhtest::ReadRecords(shared->DataFilePath);
  EXPECT_EQ(Unit(4, "L4", "", 1), recs[1]) << "the deleted header stays";
  EXPECT_EQ(Unit(4, "Umbenannt", ""), recs[3]);
  EXPECT_EQ("Umbenannt", shared->CurUnit.B1.view());

  shared->CurUnitID = 9;
  EXPECT_FALSE(WriteHeaderInfo(*shared, msgs, false, WinString("x"), WinString()));
  EXPECT_EQ(recs, mhtest::ReadRecords(shared->DataFilePath));

  shared->DataFilePath = dir.file("fehlt.fid");
  msgs.expect("RW - Fehler in Unit12!", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(WriteHeaderInfo(*shared, msgs, true, WinString("x"), WinString()));
  EXPECT_EQ("Umbenannt", shared->CurUnit.B1.view());
}

}  // namespace
}  // namespace merkhaus
