// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_flows.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

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
  msgs.expect("RW - Fehler in Unit12!\nDie Datei \"" + shared->DataFilePath +
                  "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(WriteHeaderInfo(*shared, msgs, true, WinString("x"), WinString()));
  EXPECT_EQ("Umbenannt", shared->CurUnit.B1.view());
}

}  // namespace
}  // namespace merkhaus
