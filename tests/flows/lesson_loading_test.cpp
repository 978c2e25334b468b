// SPDX-License-Identifier: GPL-3.0-or-later
#include "flows/lesson_loading.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class LessonLoadingTest : public ::testing::Test {
 protected:
  LessonLoadingTest() {
    mhtest::WriteRecords(
        path, {Header("V"), Unit(5, "alt", "", 1), Entry(5, "a", "b"), Unit(5, "neu", "k"),
               Unit(6, "leer"), Unit(7, "sieben"), Entry(7, "c", "d"), Entry(5, "e", "f")});
    lesson.dataFilePath = path;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  std::string missing = dir.file("fehlt.fid");
  mhtest::ScriptedMessages msgs;
  mhtest::FakeFlows flows;
  LessonContext lesson;
};

TEST_F(LessonLoadingTest, FilesThatCannotBeReadAreToldAsSuchNotAsNoDataFile) {
  struct Case {
    std::string path;
    DataFileCheck check;
    std::string message;
  };
  mhtest::WriteBytes(dir.file("text.fid"), "x\tDatafile: alt\r\n");
  const Case cases[] = {
      {path, DataFileCheck::DataFile, ""},
      {dir.file("text.fid"), DataFileCheck::NotDataFile, ""},
      {missing, DataFileCheck::Unreadable,
       "Fehler beim öffnen der Datei als Textfile!" + mhtest::Missing(missing)},
      {dir.path().string(), DataFileCheck::Unreadable,
       "Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + dir.path().string() +
           "\" kann nicht geöffnet werden: das ist ein Ordner."},
  };
  for (const Case& c : cases) {
    if (!c.message.empty()) msgs.expect(c.message, Answer::Yes, MsgKind::Error, MsgButtons::Yes);
    EXPECT_EQ(c.check, CheckDataFile(c.path, msgs)) << c.path;
    EXPECT_TRUE(msgs.done()) << c.path;
  }
}

TEST_F(LessonLoadingTest, TheHeaderOfALessonSkipsDeletedHeadersOfItsUnitID) {
  ASSERT_TRUE(LoadLessonHeader(lesson, msgs, 5));
  EXPECT_EQ("neu", lesson.lessonHeader.B1.view());
  EXPECT_EQ("k", lesson.lessonHeader.Comment.view());
  EXPECT_FALSE(LoadLessonHeader(lesson, msgs, 8));
  EXPECT_EQ("neu", lesson.lessonHeader.B1.view()) << "kept when there is none";

  lesson.dataFilePath = missing;
  msgs.expect("Schwerer Fehler 602" + mhtest::Missing(missing), Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  EXPECT_FALSE(LoadLessonHeader(lesson, msgs, 5));
  EXPECT_EQ("neu", lesson.lessonHeader.B1.view());
}

TEST_F(LessonLoadingTest, EntriesOfTheCurrentLessonOrOneBoxWhyNot) {
  lesson.unitId = 5;
  const auto entries = LoadLessonEntries(lesson, msgs);
  ASSERT_TRUE(entries);
  ASSERT_EQ(2u, entries->size());
  EXPECT_EQ("a", (*entries)[0].A1.view());
  EXPECT_EQ("e", (*entries)[1].A1.view());

  lesson.dataFilePath = missing;
  msgs.expect("IO-Fehler 802!" + mhtest::Missing(missing), Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  EXPECT_FALSE(LoadLessonEntries(lesson, msgs));
}

// One missing DataFile is one box, with the file and the reason; the mode does not start.
TEST_F(LessonLoadingTest, AMissingDataFileIsOneBox) {
  lesson.dataFilePath = missing;
  lesson.unitId = 5;
  int reads = 0;
  msgs.expect("IO-Fehler 802!" + mhtest::Missing(missing), Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  EXPECT_FALSE(LoadLessonToAsk(lesson, msgs, flows, [&](const std::vector<TVocData>* entries) {
    EXPECT_EQ(nullptr, entries);
    ++reads;
  }));
  EXPECT_EQ(1, reads);
  EXPECT_EQ(1u, msgs.shown().size());
}

TEST_F(LessonLoadingTest, AnEmptyLessonOffersAnotherUntilOneHasEntries) {
  const std::string empty =
      "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, oder wählen "
      "sie 'zurück'";
  struct Case {
    const char* what;
    std::optional<std::uint8_t> chosen;  // the answer of the lesson choice
    bool loaded;
    std::uint8_t unitAfter;
  };
  const Case cases[] = {
      {"another lesson", 7, true, 7},
      {"abandoned", std::nullopt, false, 6},
      // A choice that ends without a lesson and without being abandoned (a list it could not
      // read) ends the attempt too, instead of warning about lesson 0 again and again.
      {"no lesson", 0, false, 6},
  };
  for (const Case& c : cases) {
    lesson.unitId = 6;
    flows.onSelectLesson = [&](const std::string& file, bool allowCreate) {
      EXPECT_EQ(path, file);
      EXPECT_FALSE(allowCreate);
      return c.chosen;
    };
    std::vector<std::string> names;  // the lesson header after each read
    msgs.expect(empty, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
    EXPECT_EQ(c.loaded,
              LoadLessonToAsk(lesson, msgs, flows,
                              [&](const std::vector<TVocData>*) {
                                names.push_back(std::string(lesson.lessonHeader.B1.view()));
                              }))
        << c.what;
    EXPECT_EQ(c.unitAfter, lesson.unitId) << c.what;
    const std::vector<std::string> read =
        c.loaded ? std::vector<std::string>{"leer", "sieben"} : std::vector<std::string>{"leer"};
    EXPECT_EQ(read, names) << c.what;
    EXPECT_TRUE(msgs.done()) << c.what;
  }

  // A lesson that is gone is told, and the mode goes on with the header it has.
  lesson.unitId = 9;
  msgs.expect("Böser Fehler: 801").expect(empty);
  flows.onSelectLesson = [](const std::string&, bool) { return std::optional<std::uint8_t>(7); };
  EXPECT_TRUE(LoadLessonToAsk(lesson, msgs, flows, [](const std::vector<TVocData>*) {}));
}

TEST_F(LessonLoadingTest, WhyALessonWasNotMade) {
  struct Case {
    StoreError error;
    std::vector<std::string> messages;
  };
  StoreError full(StoreError::Kind::NoFreeUnitId);
  const Case cases[] = {
      {full,
       {"There're already 255 units in this DataFile!",
        "Fehler 1003: Kann keine freie UnitID mehr finden!"}},
      {StoreError(StoreError::Kind::NameTaken), {"Die Unit ist bereits vorhanden!"}},
      {StoreError(FileError{missing, FileError::Step::Open, ENOENT}),
       {"RW - Fehler: 1002" + mhtest::Missing(missing)}},
  };
  for (const Case& c : cases) {
    for (const std::string& m : c.messages)
      msgs.expect(m);
    TellLessonNotCreated(msgs, c.error);
    EXPECT_TRUE(msgs.done()) << c.messages.front();
  }
  EXPECT_EQ(MsgKind::Confirmation, msgs.shown()[1].kind);
}

// A lesson with more entries than are asked: the learner hears it once per lesson, whichever
// mode loads it, and the first 255 entries are used.
TEST_F(LessonLoadingTest, ALessonAboveTheLimitIsToldOnceAndCut) {
  const std::string big = dir.file("gross.fid");
  std::vector<mhtest::RawRecord> records{Header("G"), Unit(1, "Verben"), Unit(2, "voll")};
  for (int i = 0; i < 400; ++i)
    records.push_back(Entry(1, "w" + std::to_string(i), "x"));
  for (int i = 0; i < 255; ++i)
    records.push_back(Entry(2, "v" + std::to_string(i), "y"));
  records.push_back(Entry(2, "geloescht", "z", "", 1));
  mhtest::WriteRecords(big, records);
  lesson.dataFilePath = big;
  const std::string told =
      "Die Lektion \"Verben\" hat mehr als 255 Vokabeln. Geübt, getestet und gedruckt werden nur "
      "die ersten 255.\nTeilen Sie die Lektion im DataFile-Editor (\"Editiern\"): exportieren, "
      "die Textdatei in zwei Teile trennen und die Teile als neue Lektionen importieren.";
  struct Case {
    std::uint8_t unit;
    bool toldNow;
    const char* last;
  };
  const Case cases[] = {
      {1, true, "w254"},   // first load of the big lesson
      {1, false, "w254"},  // a second load says nothing more
      {2, false, "v254"},  // exactly full (the deleted entry does not count)
  };
  for (const Case& c : cases) {
    lesson.unitId = c.unit;
    if (c.toldNow) msgs.expect(told, Answer::Ok, MsgKind::Information, MsgButtons::Ok);
    std::vector<TVocData> taken;
    ASSERT_TRUE(LoadLessonToAsk(lesson, msgs, flows, [&](const std::vector<TVocData>* e) {
      if (e) taken = *e;
    }));
    ASSERT_EQ(255u, taken.size());
    EXPECT_EQ(WinString(c.last), taken.back().A1.get());
    EXPECT_TRUE(msgs.done());
  }
}

}  // namespace
}  // namespace merkhaus
