// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_session.h"

#include <gtest/gtest.h>

#include <memory>

#include "platform/file_io.h"
#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;
using mhtest::W;

constexpr const char* kAskSave =
    "Sie haben die Vokabeln im Puffer noch in keine Lektion gespeichert. Sollten die Vokabeln in "
    "die aktuelle Lektion geschrieben werden?";

// The entry window's logic on a DataFile built byte by byte: lesson 1 "Tiere" holds cat/Katze
// and a deleted dog/Hund after it; lesson 255 "Farben" is empty.
class EntrySessionTest : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::TempDir& dir = t.dir;
  std::string path = dir.file("vok.fid");
  LessonContext& lesson = t.lesson;
  Options& options = t.options;
  mhtest::ScriptedMessages& messages = t.messages;
  mhtest::FakeFlows flows;
  EntrySession session{t.services, flows.bundle()};

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "", "Schule"),
                                Unit(1, "Tiere", "Haustiere"), Unit(255, "Farben"),
                                Entry(1, "cat", "Katze"), Entry(1, "dog", "Hund", "", 1)});
    lesson.dataFilePath = path;
    lesson.unitId = 1;
    lesson.dataFileHeader = ReadHeaderRecord(path).value();
    session.open(true);
  }
  void TearDown() override { ClearFileFaults(); }

  bool Type(const char* a1, const char* b1) {
    session.setFields({W(a1), {}, {}, W(b1), {}, {}, {}});
    return session.add();
  }
  std::vector<std::string> Lines() const {
    std::vector<std::string> out;
    for (const WinString& l : session.view().lines)
      out.push_back(ToUtf8(l));
    return out;
  }
};

TEST_F(EntrySessionTest, OpensOnTheLessonWithAnEmptyBuffer) {
  const EntryView& v = session.view();
  EXPECT_EQ(W("Meine Vokabeln"), v.dataFileName);
  EXPECT_EQ(W("Schule"), v.dataFileComment);
  EXPECT_EQ(W("Englisch"), v.foreignLanguage);
  EXPECT_EQ(W("Deutsch"), v.nativeLanguage);
  EXPECT_EQ(W("Tiere"), v.lessonName);
  EXPECT_EQ(W("Haustiere"), v.lessonComment);

  // Whatever was typed or buffered before is gone at the next opening.
  ASSERT_TRUE(Type("a", "b"));
  session.setFields({W("x"), {}, {}, {}, {}, {}, {}});
  session.open(true);
  EXPECT_TRUE(session.view().lines.empty());
  EXPECT_EQ(EntryTexts{}, session.view().fields);

  // A lesson that is gone is told; the window opens with what it has.
  lesson.unitId = 9;
  messages.expect("Böser Fehler: 301", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  session.open(true);
  EXPECT_EQ(W("Tiere"), session.view().lessonName);
  // The DataFile editor has loaded the lesson itself.
  session.open(false);
  EXPECT_TRUE(messages.done());
}

TEST_F(EntrySessionTest, EnteringCorrectingAndRemoving) {
  // Both first fields must hold something, blanks included.
  EXPECT_FALSE(Type("", "Haus"));
  EXPECT_FALSE(Type("house", ""));
  EXPECT_TRUE(Type("  house; home ", "Haus"));
  EXPECT_EQ(EntryTexts{}, session.view().fields);
  EXPECT_TRUE(Type("dog", "Hund"));
  EXPECT_TRUE(Type("cow", "Kuh"));
  EXPECT_EQ((std::vector<std::string>{"house = Haus", "dog = Hund", "cow = Kuh"}), Lines());
  EXPECT_EQ(W("home"), session.buffer()[0].A2.get());

  // Double click and "Ändern": the fields go back into the same line, unsplit and cut.
  session.setSelected(0);
  session.loadSelected();
  EXPECT_EQ(W("house"), session.view().fields.A1);
  EXPECT_EQ(W("home"), session.view().fields.A2);
  EntryTexts fixed = session.view().fields;
  fixed.A1 = W(" a;b  c ");
  session.setFields(fixed);
  EXPECT_TRUE(session.change());
  EXPECT_EQ(W("a;b c"), session.buffer()[0].A1.get());
  EXPECT_EQ(W("home"), session.buffer()[0].A2.get());
  EXPECT_EQ(EntryTexts{}, session.view().fields);
  EXPECT_EQ("a;b c = Haus", Lines()[0]);
  // Without a selected line, or with an empty first field, "Ändern" does nothing.
  session.setFields({W("x"), {}, {}, W("y"), {}, {}, {}});
  session.setSelected(-1);
  EXPECT_FALSE(session.change());
  session.setSelected(1);
  session.setFields({W("x"), {}, {}, {}, {}, {}, {}});
  EXPECT_FALSE(session.change());

  // "Entfernen" moves the later entries up; the double click then loads the former third.
  session.setSelected(1);
  session.remove();
  EXPECT_EQ((std::vector<std::string>{"a;b c = Haus", "cow = Kuh"}), Lines());
  EXPECT_EQ(-1, session.view().selected);
  session.setSelected(1);
  session.loadSelected();
  EXPECT_EQ(W("cow"), session.view().fields.A1);
  session.clearFields();
  EXPECT_EQ(EntryTexts{}, session.view().fields);

  // The 256th entry is refused and the fields keep their text; after a removal it fits.
  for (int i = 0; i < 253; ++i)
    ASSERT_TRUE(Type("w", "v"));
  messages.expect("Im Buffer dieser Lektion sind bereits 255 Vokabeln!", Answer::Ok,
                  MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(Type("one", "more"));
  EXPECT_EQ(W("one"), session.view().fields.A1);
  session.setSelected(0);
  session.remove();
  EXPECT_TRUE(Type("one", "more"));
  EXPECT_EQ(255u, session.buffer().size());
  EXPECT_TRUE(messages.done());
}

TEST_F(EntrySessionTest, ALessonSwitchSavesEachEntryIntoItsOwnLesson) {
  ASSERT_TRUE(Type("dog", "Hund"));
  flows.onSelectLesson = [&](const std::string& p,
                             bool allowCreate) -> std::optional<std::uint8_t> {
    EXPECT_EQ(path, p);
    EXPECT_TRUE(allowCreate);
    return 255;
  };
  session.changeLesson();
  EXPECT_EQ(W("Farben"), session.view().lessonName);
  EXPECT_EQ(1u, session.buffer().size());  // the buffer is kept
  ASSERT_TRUE(Type("red", "rot"));

  // An abandoned choice keeps the lesson.
  flows.onSelectLesson = [&](const std::string&, bool) -> std::optional<std::uint8_t> {
    return std::nullopt;
  };
  session.changeLesson();
  EXPECT_EQ(255, lesson.unitId);

  // The count says where each entry went.
  messages.expect(
      "2 Vokabeln erfolgreich in \"Farben\" in \"Meine Vokabeln\" geschrieben.\nDavon 1 in "
      "\"Tiere\" und 1 in \"Farben\".",
      Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_TRUE(session.save());
  EXPECT_TRUE(session.view().lines.empty());
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(7u, records.size());
  EXPECT_EQ(Entry(1, "dog", "Hund"), records[5]);
  EXPECT_EQ(Entry(255, "red", "rot"), records[6]);
  // An empty buffer saves nothing and says nothing.
  EXPECT_FALSE(session.save());
  EXPECT_EQ(7u, mhtest::ReadRecords(path).size());
}

TEST_F(EntrySessionTest, EndAsksWhileTheBufferHoldsEntries) {
  EXPECT_TRUE(session.confirmEnd());  // empty: no question
  ASSERT_TRUE(Type("dog", "Hund"));
  const std::string before = mhtest::ReadBytes(path);

  messages.expect(kAskSave, Answer::Cancel, MsgKind::Information, MsgButtons::YesNoCancel);
  EXPECT_FALSE(session.confirmEnd());
  EXPECT_EQ(1u, session.buffer().size());

  // "Ja" when saving fails: the window stays with the buffer.
  InjectFileFault({path, FileFault::At::Write, 0, ENOSPC});
  messages.expect(kAskSave, Answer::Yes);
  messages.expect("Das Speichern ist fehlgeschlagen!\nDie Datei \"" + path +
                  "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem "
                  "Datenträger.\nDas DataFile ist unverändert. Es wurde nichts gespeichert; die "
                  "Vokabeln bleiben im Puffer.");
  EXPECT_FALSE(session.confirmEnd());
  ClearFileFaults();
  EXPECT_EQ(before, mhtest::ReadBytes(path));
  EXPECT_EQ(1u, session.buffer().size());

  messages.expect(kAskSave, Answer::Yes);
  messages.expect("1 Vokabeln erfolgreich in \"Tiere\" in \"Meine Vokabeln\" geschrieben.");
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_EQ(6u, mhtest::ReadRecords(path).size());

  ASSERT_TRUE(Type("cow", "Kuh"));
  messages.expect(kAskSave, Answer::No);
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_TRUE(session.buffer().empty());
  EXPECT_EQ(6u, mhtest::ReadRecords(path).size());
  EXPECT_TRUE(messages.done());
}

TEST_F(EntrySessionTest, LastEntryIsTheLastSavedRecordOfTheLesson) {
  ASSERT_TRUE(Type("unsaved", "ungespeichert"));  // the buffer is not consulted
  // The lesson's last record is a deleted entry: it counts.
  messages.expect("Die zuletzt eingegebene Vokabel lautet: \"dog = Hund\"", Answer::Ok,
                  MsgKind::Information, MsgButtons::Ok);
  session.showLastEntry();

  // A lesson with only its header holds no entry; the header is not shown as one.
  flows.onSelectLesson = [](const std::string&, bool) -> std::optional<std::uint8_t> {
    return 255;
  };
  session.changeLesson();
  messages.expect("In der Lektion \"Farben\" ist noch keine Vokabel gespeichert.", Answer::Ok,
                  MsgKind::Information, MsgButtons::Ok);
  session.showLastEntry();

  const std::string missing = dir.file("weg.fid");
  lesson.dataFilePath = missing;
  messages.expect("Das Datafile \"" + missing +
                      "\" ist nicht auffindbar. Das Speichern ist fehlgeschlagen!" +
                      mhtest::Missing(missing),
                  Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  session.showLastEntry();
  EXPECT_TRUE(messages.done());
}

TEST_F(EntrySessionTest, InfoButtonsEditAndShowTheHeadersAgain) {
  flows.onShowHeaderInfo = [&](bool forDataFile, bool editable) {
    EXPECT_TRUE(forDataFile);
    EXPECT_TRUE(editable);
    lesson.dataFileHeader.B1.set(W("Umbenannt"));
  };
  session.dataFileInfo();
  EXPECT_EQ(W("Umbenannt"), session.view().dataFileName);

  flows.onShowHeaderInfo = [&](bool forDataFile, bool editable) {
    EXPECT_FALSE(forDataFile);
    EXPECT_TRUE(editable);
    lesson.lessonHeader.B1.set(W("Haustiere"));
    lesson.lessonHeader.Comment.set(W(""));
  };
  session.lessonInfo();
  EXPECT_EQ(W("Haustiere"), session.view().lessonName);
  EXPECT_EQ(W(""), session.view().lessonComment);
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// "Vorlesen" reads what is typed in the foreign fields, not what was entered before.
TEST_F(EntrySessionTest, VorlesenReadsTheTypedForeignFields) {
  t.speaker.withVoices();
  session.setFields({W("to  go"), {}, W("went"), W("gehen"), {}, {}, W("irregular")});
  session.readAloud();
  ASSERT_EQ(1u, t.speaker.said.size());
  EXPECT_EQ("to go, went", t.speaker.said[0].text);
  EXPECT_EQ("en_GB", t.speaker.said[0].voice.locale);
}

}  // namespace
}  // namespace merkhaus
