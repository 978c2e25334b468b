// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/restore_flow.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "store/restore.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

class RestoreFlowTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string missing = dir.file("fehlt.fid");
  mhtest::ScriptedMessages msgs;
  void TearDown() override { ClearFileFaults(); }
};

TEST_F(RestoreFlowTest, WhatTheWindowsOffer) {
  // A DataFile without lesson records: no window, no message.
  mhtest::WriteRecords(path, {Header("V")});
  EXPECT_FALSE(OfferDeletedLessons(path, msgs));
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b"), Unit(2, "M", "", 1),
                              Entry(1, "c", "d", "", 1)});
  EXPECT_EQ(std::vector<WinString>{WinString("M")}, OfferDeletedLessons(path, msgs).value());
  EXPECT_EQ(std::vector<WinString>{WinString("c  =  d")},
            OfferDeletedEntries(path, 1, msgs).value());
  EXPECT_TRUE(msgs.shown().empty());

  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "b")});
  msgs.expect("Es existieren derzeit keine gelöschten Units, die wieder hergestellt werden können.",
              Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_FALSE(OfferDeletedLessons(path, msgs));
  msgs.expect(
      "Es existieren derzeit keine gelöschten Vokabeln, die wieder hergestellt werden können.");
  EXPECT_FALSE(OfferDeletedEntries(path, 1, msgs));

  msgs.expect("RW - Fehler in Unit15!" + mhtest::Missing(missing))
      .expect("RW - Fehler in Unit16!" + mhtest::Missing(missing))
      .expect("RW - Fehler in Unit16!" + mhtest::Missing(missing));
  EXPECT_FALSE(OfferDeletedLessons(missing, msgs));
  EXPECT_FALSE(OfferDeletedEntries(missing, 1, msgs));
  EXPECT_FALSE(RestoreEntryTold(missing, 1, WinString("a  =  b"), msgs));
}

TEST_F(RestoreFlowTest, RefusedAndFailedRestoresAreTold) {
  struct Case {
    const char* what;
    std::vector<RawRecord> records;
    std::optional<FileFault> fault;
    std::string message;
  };
  const std::vector<RawRecord> deleted = {Header("V"), Unit(255, "Verben", "", 1),
                                          Entry(255, "go", "gehen", "", 1),
                                          Entry(255, "come", "kommen", "", 1)};
  std::vector<RawRecord> nameTaken = deleted, unitTaken = deleted;
  nameTaken.push_back(Unit(5, "Verben"));
  unitTaken.push_back(Unit(255, mhtest::Latin1("Gemüse")));
  const std::string writeFailed = "Die Datei \"" + path + "\" kann nicht geschrieben werden: ";
  const Case cases[] = {
      {"name now taken", nameTaken, std::nullopt,
       "Eine Lektion mit diesem Namen Existiert bereits!"},
      {"UnitID now taken", unitTaken, std::nullopt,
       "Die Lektion \"Verben\" kann nicht wiederhergestellt werden: ihre UnitID 255 gehört "
       "jetzt der Lektion \"Gemüse\".\nDas DataFile bleibt unverändert."},
      {"not opened", deleted, FileFault{path, FileFault::At::Open, 0, EACCES},
       "RW - Fehler in Unit15!\nDie Datei \"" + path +
           "\" kann nicht geöffnet werden: keine Berechtigung."},
      {"taken back", deleted, FileFault{path, FileFault::At::Sync, 0, EIO},
       writeFailed + "Ein-/Ausgabefehler des Datenträgers.\nDie Lektion wurde nicht "
                     "wiederhergestellt; das DataFile ist unverändert."},
      {"taken back after the disk filled", deleted,
       FileFault{path, FileFault::At::Write, 624, ENOSPC},
       writeFailed + "kein Speicherplatz mehr auf dem Datenträger.\nDie Lektion wurde nicht "
                     "wiederhergestellt; das DataFile ist unverändert."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mhtest::WriteRecords(path, c.records);
    if (c.fault) InjectFileFault(*c.fault);
    msgs.expect(c.message, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(RestoreLessonTold(path, WinString("Verben"), msgs));
    ClearFileFaults();
    EXPECT_TRUE(msgs.done());
    // The next opener finishes a take-back that the failing disk refused.
    ASSERT_TRUE(ListDeletedLessons(path));
    TakeRepairs();
    EXPECT_EQ(c.records, mhtest::ReadRecords(path));
  }
  mhtest::WriteRecords(path, deleted);
  EXPECT_EQ(3u, RestoreLessonTold(path, WinString("Verben"), msgs).value());
  EXPECT_EQ(0u, RestoreLessonTold(path, WinString("Nomen"), msgs).value()) << "no such lesson";
}

}  // namespace
}  // namespace merkhaus
