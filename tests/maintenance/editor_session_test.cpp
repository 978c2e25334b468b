// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_session.h"

#include <gtest/gtest.h>

#include "maintenance/import_pipeline.h"
#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

// Beyond 65,535 entries, and an entry with a damaged Deleted byte counts on both sides.
TEST(EditorStatistics, CountsInFullWidth) {
  DataFileCounts counts;
  counts.liveLessons = 255;
  counts.liveEntries = 70000;
  counts.deletedEntries = 3;
  counts.damagedEntries = 1;
  const EditorStatistics s = EditorStatisticsOf(counts);
  EXPECT_EQ((std::vector<std::uint64_t>{255, 70001, 3, 70004}),
            (std::vector<std::uint64_t>{s.lessons, s.entries, s.deletedEntries, s.totalEntries}));
  EXPECT_EQ("42656  Kb", SizeText(70000));
}

struct NoRestore : RestoreWindows {
  void listDeletedLessons() override { ADD_FAILURE(); }
  void listDeletedEntries() override { ADD_FAILURE(); }
};

TEST(EditorSession, OpensOnlyOnAReadableDataFile) {
  mhtest::TestContext t;
  mhtest::TempDir& dir = t.dir;
  mhtest::ScriptedMessages& msgs = t.messages;
  mhtest::FakeFlows flows;
  NoRestore restore;
  EditorSession session(t.services, flows.bundle(), restore);

  std::string chosen;
  flows.onChooseDataFile = [&](ChooseMode mode) -> std::optional<std::string> {
    EXPECT_EQ(ChooseMode::NewDataFile, mode) << "the editor offers \"Neues...\"";
    if (chosen.empty()) return std::nullopt;
    return chosen;
  };
  EXPECT_FALSE(session.openEditor()) << "cancelled";

  chosen = dir.file("leer");
  mhtest::WriteBytes(chosen, "");
  msgs.expect("RW - Fehler: 1101\nDie Datei \"" + chosen +
              "\" kann nicht gelesen werden: die Datei endet unerwartet.");
  EXPECT_FALSE(session.openEditor());

  chosen = dir.file("neu.fid");
  mhtest::WriteRecords(chosen, {mhtest::Header("Neu")});
  t.options.alwaysthisfile = true;
  ASSERT_TRUE(session.openEditor());
  EXPECT_EQ("DataFile-Editor -- Neu", session.view().caption);
  EXPECT_FALSE(session.view().dataFileEnabled) << "alwaysthisfile";
  EXPECT_EQ(chosen, t.lesson.dataFilePath);
}

TEST(EditorSession, AnImportIntoTheSelectedLessonShowsItsNewEntries) {
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  NoRestore restore;
  EditorSession session(t.services, flows.bundle(), restore);
  const std::string path = t.dir.file("v.fid");
  mhtest::WriteRecords(path,
                       {mhtest::Header("V"), mhtest::Unit(1, "L"), mhtest::Entry(1, "x", "y")});
  t.lesson.dataFilePath = path;
  t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
  flows.onSelectLesson = [](const std::string&, bool) { return std::optional<std::uint8_t>(1); };
  session.selectLesson();
  ASSERT_EQ(1u, session.entries().size());

  const std::string file = t.dir.file("neu.txt");
  mhtest::WriteBytes(file, "<%>BODY<%>\r\na == b\r\n");
  t.fileDialogs.answerOpen(file);
  t.messages.expect("1 Vokabel in die Lektion \"L\" importiert.", Answer::Ok, MsgKind::Information,
                    MsgButtons::Ok);
  session.importFile();
  EXPECT_EQ((std::vector<WinString>{WinString("x = y"), WinString("a = b")}), session.view().lines);
  EXPECT_EQ("2", session.view().lessonCount);
  EXPECT_EQ("2", session.view().entries) << "the figures follow";

  // Without a selected lesson the file needs a head, and the list is left alone.
  session.deselectLesson();
  t.fileDialogs.answerOpen(file);
  t.messages.expect("Datei nicht gültig!", Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  session.importFile();
  EXPECT_EQ(2u, session.entries().size());
  EXPECT_TRUE(t.messages.done());
}

// A successful import says what it did, in the words the learner counts in.
TEST(EditorSession, ImportDoneTextCountsLessonsAndEntries) {
  struct Case {
    const char* name;
    bool newLesson;
    std::vector<ImportedLesson> lessons;
    std::size_t added;
    const char* text;
  };
  const Case cases[] = {
      {"into", false, {{1, WinString(), 5}}, 5, "5 Vokabeln in die Lektion \"Verben\" importiert."},
      {"one into",
       false,
       {{1, WinString(), 1}},
       1,
       "1 Vokabel in die Lektion \"Verben\" importiert."},
      {"one new",
       true,
       {{4, WinString("Tiere"), 12}},
       12,
       "Lektion \"Tiere\" mit 12 Vokabeln importiert."},
      {"three new",
       true,
       {{4, WinString("A"), 400}, {5, WinString("B"), 10}, {6, WinString("C"), 2}},
       412,
       "3 Lektionen mit 412 Vokabeln importiert."},
  };
  for (const Case& c : cases) {
    ImportResult r;
    r.imported = true;
    r.newLesson = c.newLesson;
    r.lessons = c.lessons;
    r.added = c.added;
    EXPECT_EQ(c.text, ImportDoneText(r, WinString("Verben"))) << c.name;
  }
  ImportResult r;
  r.imported = true;
  r.added = 1;
  EXPECT_EQ("1 Vokabel in die Lektion \"Grüße\" importiert.",
            ImportDoneText(r, WinString("Gr\xFC\xDF"
                                        "e")))
      << "the lesson's name is converted from the DataFile's text";
}

}  // namespace
}  // namespace merkhaus
