// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_choice_flow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;

// "Neue Lektion anlegen" answered by the test.
struct FakeNewLesson : NewLessonDialog {
  std::function<bool()> onNewLesson;
  int shown = 0;
  bool newLesson() override {
    ++shown;
    return onNewLesson ? onNewLesson() : false;
  }
};

class LessonChoiceTest : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  mhtest::ScriptedMessages msgs;
  mhtest::FakeFlows flows;
  FakeNewLesson newLesson;
  LessonContext lesson;
  LessonChoice choice{lesson, msgs, newLesson, flows};
};

TEST_F(LessonChoiceTest, WhatTheChoiceShowsAndAnswers) {
  mhtest::WriteRecords(path, {Header("Vokabeln", "Englisch", "Deutsch", "", "Kommentar"),
                              Unit(1, "Eins"), Unit(255, "Zwei", "zwei"), Unit(9, "weg", "", 1)});
  ASSERT_TRUE(choice.begin(path, false));
  EXPECT_EQ("Vokabeln", lesson.dataFileHeader.B1.view()) << "the DataFile header is refreshed";
  EXPECT_EQ(WinString("Vokabeln"), choice.view().dataFileName);
  EXPECT_EQ(WinString("Kommentar"), choice.view().dataFileComment);
  EXPECT_EQ((std::vector<WinString>{WinString("Eins"), WinString("Zwei - zwei")}),
            choice.view().lines);
  EXPECT_FALSE(choice.view().mayCreate);
  EXPECT_EQ(255, choice.end(1, false));
  EXPECT_EQ(0, choice.end(-1, false)) << "no line chosen";
  EXPECT_EQ(std::nullopt, choice.end(0, true)) << "\"&Zurück\"";
  EXPECT_TRUE(msgs.shown().empty());
}

TEST_F(LessonChoiceTest, BeforeTheWindow) {
  struct Case {
    const char* what;
    std::vector<mhtest::RawRecord> records;  // empty: no DataFile
    bool allowCreate;
    std::vector<std::pair<std::string, Answer>> messages;
    bool dialogConfirms;
    bool shown;  // the window opens
    std::optional<std::uint8_t> outcome;
  };
  const std::string missing = "RW - Fehler 601!" + mhtest::Missing(path);
  const Case cases[] = {
      {"no DataFile", {}, true, {{missing, Answer::Ok}}, false, false, 0},
      {"no lessons",
       {Header("V")},
       false,
       {{"Keine Lektionen verfügbar!", Answer::Ok}},
       false,
       false,
       0},
      {"no lessons, none wanted",
       {Header("V")},
       true,
       {{"Keine Lektionen verfügbar. Neue anlegen?", Answer::No}},
       false,
       false,
       std::nullopt},
      {"no lessons, new one abandoned",
       {Header("V")},
       true,
       {{"Keine Lektionen verfügbar. Neue anlegen?", Answer::Yes}},
       false,
       false,
       std::nullopt},
      {"no lessons, new one made",
       {Header("V")},
       true,
       {{"Keine Lektionen verfügbar. Neue anlegen?", Answer::Yes}},
       true,
       true,
       0},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(path);
    if (!c.records.empty()) mhtest::WriteRecords(path, c.records);
    for (const auto& [text, answer] : c.messages)
      msgs.expect(text, answer);
    newLesson.onNewLesson = [&] {
      if (c.dialogConfirms) {
        EXPECT_EQ(WinString("Neu"), CreateLessonFromDialog(path, WinString("Neu"), {}, msgs));
      }
      return c.dialogConfirms;
    };
    EXPECT_EQ(c.shown, choice.begin(path, c.allowCreate)) << c.what;
    if (!c.shown) {
      EXPECT_EQ(c.outcome, choice.outcome()) << c.what;
    }
    EXPECT_TRUE(msgs.done()) << c.what;
  }
  EXPECT_EQ(std::vector<WinString>{WinString("Neu")}, choice.view().lines);
  EXPECT_FALSE(choice.begin("", true)) << "no DataFile chosen";
  EXPECT_EQ(0, choice.outcome());
}

// A learner who abandons "Neue Lektion anlegen" abandons the whole choice, whichever line is
// chosen afterwards.
TEST_F(LessonChoiceTest, AnAbandonedNewLessonAbandonsTheChoice) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Eins")});
  ASSERT_TRUE(choice.begin(path, true));
  newLesson.onNewLesson = [] { return false; };
  choice.newLesson();
  EXPECT_EQ(std::nullopt, choice.end(0, false));

  // The next choice starts afresh; a lesson made through the dialog is listed at once.
  ASSERT_TRUE(choice.begin(path, true));
  const unsigned version = choice.view().listVersion;
  newLesson.onNewLesson = [&] {
    CreateLessonFromDialog(path, WinString("Zwei"), WinString("k"), msgs);
    return true;
  };
  choice.newLesson();
  EXPECT_NE(version, choice.view().listVersion);
  EXPECT_EQ((std::vector<WinString>{WinString("Eins"), WinString("Zwei - k")}),
            choice.view().lines);
  EXPECT_EQ(255, choice.end(1, false));
}

TEST_F(LessonChoiceTest, DeletingALineAsksAndCountsTheEntries) {
  const std::vector<mhtest::RawRecord> recs = {
      Header("V"),        Unit(1, "Verben", Latin1("unregelmäßig")),
      Entry(1, "a", "1"), Entry(1, "b", "2", "", 1),
      Entry(1, "c", "3"), Entry(1, "d", "4", "", 1),
      Entry(1, "e", "5"), Unit(255, "Andere")};
  mhtest::WriteRecords(path, recs);
  ASSERT_TRUE(choice.begin(path, true));

  msgs.expect("Sie haben keine Lektion ausgewählt!", Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(choice.deleteLine(-1));

  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::No, MsgKind::Warning,
              MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(choice.deleteLine(0));
  EXPECT_EQ(recs, mhtest::ReadRecords(path));

  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes)
      .expect("Lektion \"Verben - unregelmäßig\" mit 3 Vokabeln erfolgreich gelöscht!", Answer::Ok,
              MsgKind::Information, MsgButtons::Ok);
  EXPECT_TRUE(choice.deleteLine(0));
  EXPECT_EQ(std::vector<WinString>{WinString("Andere")}, choice.view().lines);
  const auto after = mhtest::ReadRecords(path);
  int marked = 0;
  for (std::size_t i = 0; i < recs.size(); ++i)
    marked += after[i][mhtest::kDeleted] != recs[i][mhtest::kDeleted];
  EXPECT_EQ(4, marked);

  // Another program deleted the lesson meanwhile: nothing to delete, the line goes all the same.
  mhtest::WriteRecords(path, {Header("V"), Unit(255, "Andere", "", 1)});
  msgs.expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes)
      .expect("Löschen fehlgeschlagen!", Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_TRUE(choice.deleteLine(0));
  EXPECT_TRUE(choice.view().lines.empty());
}

TEST_F(LessonChoiceTest, NewLessonsFromTheDialog) {
  std::vector<mhtest::RawRecord> full = {Header("V")};
  for (int id = 1; id <= 255; ++id)
    full.push_back(Unit(static_cast<std::uint8_t>(id), "L" + std::to_string(id)));
  mhtest::WriteRecords(path, full);
  msgs.expect("There're already 255 units in this DataFile!", Answer::Ok, MsgKind::Error,
              MsgButtons::Ok)
      .expect("Fehler 1003: Kann keine freie UnitID mehr finden!", Answer::Ok,
              MsgKind::Confirmation, MsgButtons::Ok)
      .expect("Die Unit konnte nicht korrekt angelegt werden!", Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  EXPECT_TRUE(CreateLessonFromDialog(path, WinString("neu"), WinString(), msgs).empty());

  // A missing DataFile does not end the program, and no file is made.
  const std::string missing = dir.file("fehlt.fid");
  msgs.expect("RW - Fehler: 1002" + mhtest::Missing(missing))
      .expect("Die Unit konnte nicht korrekt angelegt werden!");
  EXPECT_TRUE(CreateLessonFromDialog(missing, WinString("neu"), WinString(), msgs).empty());
  EXPECT_FALSE(std::filesystem::exists(missing));

  // The dialog's texts are cut to their fields.
  mhtest::WriteRecords(path, {Header("V")});
  EXPECT_EQ(
      WinString(std::string(60, 'x')),
      CreateLessonFromDialog(path, WinString(std::string(70, 'x')), WinString("a\r\nb"), msgs));
  EXPECT_EQ(Unit(1, std::string(60, 'x'), "a\r\nb"), mhtest::ReadRecords(path)[1]);
}

}  // namespace
}  // namespace merkhaus
