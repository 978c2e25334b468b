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
  LessonContext lesson;
  lesson.dataFilePath = dir.file("v.fid");
  mhtest::WriteRecords(lesson.dataFilePath,
                       {Header("Alt", "Englisch", "Deutsch", "Ich", "k"), Unit(4, "L4", "", 1),
                        Entry(4, "a", "b"), Unit(4, "L4 neu", "c")});

  ASSERT_TRUE(WriteHeaderInfo(lesson, msgs, true, WinString("Neu"), WinString("x\r\ny")));
  auto recs = mhtest::ReadRecords(lesson.dataFilePath);
  EXPECT_EQ(Header("Neu", "Englisch", "Deutsch", "Ich", "x\r\ny"), recs[0]);
  EXPECT_EQ("Neu", lesson.dataFileHeader.B1.view());

  lesson.unitId = 4;
  ASSERT_TRUE(WriteHeaderInfo(lesson, msgs, false, WinString("Umbenannt"), WinString()));
  recs = mhtest::ReadRecords(lesson.dataFilePath);
  EXPECT_EQ(Unit(4, "L4", "", 1), recs[1]) << "the deleted header stays";
  EXPECT_EQ(Unit(4, "Umbenannt", ""), recs[3]);
  EXPECT_EQ("Umbenannt", lesson.lessonHeader.B1.view());

  // No such lesson, and no lesson at all: nothing is written, record 0 least of all.
  for (std::uint8_t id : {9, 0}) {
    lesson.unitId = id;
    EXPECT_FALSE(WriteHeaderInfo(lesson, msgs, false, WinString("x"), WinString()));
    EXPECT_EQ(recs, mhtest::ReadRecords(lesson.dataFilePath));
  }

  lesson.dataFilePath = dir.file("fehlt.fid");
  msgs.expect("RW - Fehler in Unit12!\nDie Datei \"" + lesson.dataFilePath +
                  "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(WriteHeaderInfo(lesson, msgs, true, WinString("x"), WinString()));
  EXPECT_EQ("Umbenannt", lesson.lessonHeader.B1.view());
}

}  // namespace
}  // namespace merkhaus
