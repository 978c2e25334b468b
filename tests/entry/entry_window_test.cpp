// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry/entry_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "config/special_char_edit.h"
#include "flows/lesson_loading.h"
#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

constexpr const char* kAskSave =
    "Sie haben die Vokabeln im Puffer noch in keine Lektion gespeichert. Sollten die Vokabeln in "
    "die aktuelle Lektion geschrieben werden?";

QStringList Lines(const QListWidget* list) {
  QStringList lines;
  for (int i = 0; i < list->count(); ++i)
    lines << list->item(i)->text();
  return lines;
}

void DoubleClick(QListWidget* list, int row) {
  const QRect rect = list->visualItemRect(list->item(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// The entry window on lesson 1 of a DataFile built byte by byte. The session's rules are proven
// by its own tests; these check what the window shows and that every control reaches it.
class EntryWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  TForm3 form{t.mode(flows.bundle(), HelpContext::Entry)};
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "", "Schule"),
                                Unit(1, "Tiere", "Haustiere"), Entry(1, "cat", "Katze")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.specialChars.keys[0] = {'\xE7', '\xC7'};  // F5: ç, Shift+F5: Ç
  }
  void TearDown() override { ClearFileFaults(); }

  void Type(const QString& foreign, const QString& native) {
    QTest::keyClicks(form.Edit1, foreign);
    QTest::keyClicks(form.Edit2, native);
    QTest::keyClick(form.Edit2, Qt::Key_Return);
  }
};

TEST_F(EntryWindow, ShowsTheLessonAndWiresEveryControl) {
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&form, w);
    // Focus and accelerators need the window to be the active one.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    EXPECT_EQ(QStringLiteral("Eingeben"), form.windowTitle());
    EXPECT_EQ(QStringLiteral("Meine Vokabeln"), form.Label4->text());
    EXPECT_EQ(QStringLiteral("Schule"), form.Label5->text());
    EXPECT_EQ(QStringLiteral("Tiere"), form.Label6->text());
    EXPECT_EQ(QStringLiteral("Haustiere"), form.Label7->text());
    EXPECT_EQ(QStringLiteral("Englisch"), form.Label1->text());
    EXPECT_EQ(QStringLiteral("Deutsch"), form.Label2->text());
    EXPECT_EQ(59, form.Edit5->maxLength());
    EXPECT_EQ(255, form.Edit7->maxLength());
    EXPECT_TRUE(form.Edit1->hasFocus());

    // Tab alternates between the two first fields; Alt+A reaches the comment, where F5 types.
    QTest::keyClicks(form.Edit1, QStringLiteral("house; home"));
    QTest::keyClick(form.Edit1, Qt::Key_Tab);
    EXPECT_TRUE(form.Edit2->hasFocus());
    QTest::keyClicks(form.Edit2, QStringLiteral("Haus"));
    QTest::keyClick(form.Edit2, Qt::Key_Tab);
    EXPECT_TRUE(form.Edit1->hasFocus());
    QTest::keyClick(form.Edit1, Qt::Key_A, Qt::AltModifier);
    EXPECT_TRUE(form.Edit7->hasFocus());
    mhtest::typeText(form.Edit7, QStringLiteral("Gebäude "));
    QTest::keyClick(form.Edit7, Qt::Key_F5);
    QTest::keyClick(form.Edit7, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("Gebäude çÇ"), form.Edit7->text());

    // Enter in any field enters the entry: split, into the list, fields emptied.
    QTest::keyClick(form.Edit7, Qt::Key_Return);
    EXPECT_EQ(QStringList{QStringLiteral("house = Haus")}, Lines(form.ListBox1));
    EXPECT_TRUE(form.Edit1->text().isEmpty() && form.Edit7->text().isEmpty());
    EXPECT_TRUE(form.Edit1->hasFocus());
    QTest::keyClicks(form.Edit1, QStringLiteral("dog"));
    QTest::keyClicks(form.Edit2, QStringLiteral("Hund"));
    form.Button2->click();
    EXPECT_EQ((QStringList{QStringLiteral("house = Haus"), QStringLiteral("dog = Hund")}),
              Lines(form.ListBox1));

    // The double click loads an entry; "Än&dern" puts the corrected one back in its line.
    DoubleClick(form.ListBox1, 0);
    EXPECT_TRUE(form.Edit1->hasFocus());
    EXPECT_EQ(QStringLiteral("house"), form.Edit1->text());
    EXPECT_EQ(QStringLiteral("Haus"), form.Edit2->text());
    EXPECT_EQ(QStringLiteral("home"), form.Edit3->text());
    EXPECT_EQ(QStringLiteral("Gebäude çÇ"), form.Edit7->text());
    form.Edit2->setText(QStringLiteral("Haus,  Heim"));
    form.Button10->click();
    EXPECT_EQ((QStringList{QStringLiteral("house = Haus, Heim"), QStringLiteral("dog = Hund")}),
              Lines(form.ListBox1));
    EXPECT_TRUE(form.Edit1->text().isEmpty());

    // "Ent&fernen" the selected line; "&Clear" empties the fields only.
    form.ListBox1->setCurrentRow(1);
    form.Button3->click();
    EXPECT_EQ(QStringList{QStringLiteral("house = Haus, Heim")}, Lines(form.ListBox1));
    form.Edit4->setText(QStringLiteral("x"));
    QTest::keyClick(form.Edit1, Qt::Key_C, Qt::AltModifier);  // an accelerator presses late
    EXPECT_TRUE(QTest::qWaitFor([&] { return form.Edit4->text().isEmpty(); }, 2000));
    EXPECT_EQ(1, form.ListBox1->count());

    // The dialogs and choosers behind the buttons.
    std::vector<std::pair<bool, bool>> infos;
    flows.onShowHeaderInfo = [&](bool forDataFile, bool editable) {
      infos.emplace_back(forDataFile, editable);
      t.lesson.dataFileHeader.B1.set(std::string_view("Neu"));
    };
    form.Button7->click();
    form.Button8->click();
    EXPECT_EQ((std::vector<std::pair<bool, bool>>{{true, true}, {false, true}}), infos);
    EXPECT_EQ(QStringLiteral("Neu"), form.Label4->text());
    int options = 0;
    flows.onShowOptions = [&] { ++options; };
    form.Button9->click();
    EXPECT_EQ(1, options);
    flows.onSelectLesson = [&](const std::string&,
                               bool allowCreate) -> std::optional<std::uint8_t> {
      EXPECT_TRUE(allowCreate);
      return std::nullopt;
    };
    form.Button4->click();
    EXPECT_EQ(QStringLiteral("Tiere"), form.Label6->text());

    t.messages.expect("Die zuletzt eingegebene Vokabel lautet: \"cat = Katze\"", Answer::Ok,
                      MsgKind::Information, MsgButtons::Ok);
    form.Button5->click();

    // Escape does not leave the window.
    QTest::keyClick(form.Edit1, Qt::Key_Escape);
    EXPECT_TRUE(form.isVisible());

    t.messages.expect("1 Vokabeln erfolgreich in \"Tiere\" in \"Neu\" geschrieben.", Answer::Ok,
                      MsgKind::Information, MsgButtons::Ok);
    form.Button1->click();
    EXPECT_EQ(0, form.ListBox1->count());
    form.Button6->click();  // empty buffer: closes without a question
  });
  form.OpenEntryWindow(true);
  EXPECT_TRUE(driven.done());
  EXPECT_TRUE(t.messages.done());
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ(
      mhtest::Entry6(1, "house", "home", "", "Haus, Heim", "", "", mhtest::Latin1("Gebäude çÇ")),
      records[3]);
}

TEST_F(EntryWindow, AfterAnyButtonTheKeyboardIsBackInTheFirstFieldAndTheNewestLineShows) {
  flows.onShowHeaderInfo = [](bool, bool) {};
  flows.onShowOptions = [] {};
  flows.onSelectLesson = [](const std::string&, bool) -> std::optional<std::uint8_t> {
    return std::nullopt;
  };
  auto driven = mhtest::onNextModal([&](QWidget*) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    // More entries than the list shows at once: the newest one is shown whole.
    for (int i = 0; i < 12; ++i)
      Type(QStringLiteral("word%1").arg(i), QStringLiteral("Wort"));
    QListWidget* list = form.ListBox1;
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(list->item(11))));

    const std::pair<const char*, QPushButton*> buttons[] = {
        {"Letzte Vok.", form.Button5}, {"i (DataFile)", form.Button7},
        {"i (Lektion)", form.Button8}, {"Optionen", form.Button9},
        {"Lektion", form.Button4},     {"Entfernen", form.Button3}};
    for (const auto& [name, button] : buttons) {
      SCOPED_TRACE(name);
      if (button == form.Button5)
        t.messages.expect("Die zuletzt eingegebene Vokabel lautet: \"cat = Katze\"");
      if (button == form.Button3) list->setCurrentRow(0);
      QTest::mouseClick(button, Qt::LeftButton);
      EXPECT_TRUE(form.Edit1->hasFocus());
      // Typing goes into the field, and Space does not press the button again.
      QTest::keyClicks(QApplication::focusWidget(), QStringLiteral(" x"));
      EXPECT_EQ(QStringLiteral(" x"), form.Edit1->text());
      form.Edit1->clear();
    }

    // The close box asks like "Ende"; "Abbrechen" keeps the window and the buffer.
    t.messages.expect(kAskSave, Answer::Cancel);
    form.close();
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(11, list->count());
    t.messages.expect(kAskSave, Answer::No);
    form.close();
  });
  form.OpenEntryWindow(true);
  EXPECT_TRUE(driven.done());
  EXPECT_FALSE(form.isVisible());
}

TEST_F(EntryWindow, EndAsksAndAFailedSaveKeepsTheWindowAndTheBuffer) {
  const std::string before = mhtest::ReadBytes(path);
  auto driven =
      mhtest::onNextModal([&](QWidget*) {
        Type(QStringLiteral("dog"), QStringLiteral("Hund"));
        t.messages.expect(kAskSave, Answer::Cancel, MsgKind::Information, MsgButtons::YesNoCancel);
        form.Button6->click();
        EXPECT_TRUE(form.isVisible());

        InjectFileFault({path, FileFault::At::Write, 0, ENOSPC});
        const std::string failed = "Das Speichern ist fehlgeschlagen!\nDie Datei \"" + path +
                                   "\" kann nicht geschrieben werden: kein Speicherplatz mehr "
                                   "auf dem Datenträger.\nDas DataFile ist unverändert. Es wurde "
                                   "nichts gespeichert; die Vokabeln bleiben im Puffer.";
        t.messages.expect(failed, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
        form.Button1->click();
        EXPECT_EQ(1, form.ListBox1->count());
        t.messages.expect(kAskSave, Answer::Yes).expect(failed);
        form.Button6->click();
        EXPECT_TRUE(form.isVisible());
        EXPECT_EQ(1, form.ListBox1->count());
        EXPECT_EQ(before, mhtest::ReadBytes(path));

        // "Nein" drops the buffer knowingly.
        t.messages.expect(kAskSave, Answer::No);
        form.Button6->click();
      }).then([&](QWidget*) {
        // The next opening starts empty; "Ja" saves and closes.
        EXPECT_EQ(0, form.ListBox1->count());
        ClearFileFaults();
        Type(QStringLiteral("cow"), QStringLiteral("Kuh"));
        t.messages.expect(kAskSave, Answer::Yes)
            .expect("1 Vokabeln erfolgreich in \"Tiere\" in \"Meine Vokabeln\" geschrieben.");
        form.Button6->click();
      });
  form.OpenEntryWindow(true);
  EXPECT_FALSE(form.isVisible());
  form.OpenEntryWindow(true);
  EXPECT_TRUE(t.messages.done());
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ(Entry(1, "cow", "Kuh"), records[3]);
}

TEST(EntryFromTheMainWindow, TwoEntriesIntoALesson) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
  Windows windows(t.services, t.dir.path());
  TForm1& main = windows.main();
  main.show();
  bool mainHidden = false;
  t.messages.expect("2 Vokabeln erfolgreich in \"Tiere\" in \"V\" geschrieben.");
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* d = mhtest::as<TOKBottomDlg>(w);
                  EXPECT_TRUE(d->Button4->isEnabled());  // "Neues..." in new-DataFile mode
                  d->Edit1->setText(QString::fromStdString(path));
                  d->OKBtn->click();
                })
                    .then([&](QWidget* w) {
                      auto* f = mhtest::as<TForm6>(w);
                      EXPECT_TRUE(f->Button2->isEnabled());  // lessons may be created
                      f->ListBox1->setCurrentRow(0);
                      f->Button1->click();
                    })
                    .then([&](QWidget* w) {
                      auto* e = mhtest::as<TForm3>(w);
                      mainHidden = !main.isVisible();
                      EXPECT_EQ(QStringLiteral("Tiere"), e->Label6->text());
                      for (const char* word : {"cat;kitten", "dog"}) {
                        QTest::keyClicks(e->Edit1, QString::fromUtf8(word));
                        QTest::keyClicks(e->Edit2, QStringLiteral("Tier"));
                        QTest::keyClick(e->Edit1, Qt::Key_Return);
                      }
                      e->Button1->click();
                      e->Button6->click();
                    });
  main.Button1->click();
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(t.messages.done());
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, records.size());
  EXPECT_EQ(mhtest::Entry6(1, "cat", "kitten", "", "Tier", "", ""), records[2]);
  EXPECT_EQ(Entry(1, "dog", "Tier"), records[3]);
}

// A write-protected DataFile is told once, when it is chosen, and the entry window then cannot
// save to it: "Speichern" is off and says why.
TEST(EntryFromTheMainWindow, AWriteProtectedDataFileIsToldAtOnceAndNotSavedTo) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
  const std::string before = mhtest::ReadBytes(path);
  InjectFileFault({path, FileFault::At::OpenToWrite, 0, EACCES});
  Windows windows(t.services, t.dir.path());
  TForm1& main = windows.main();
  main.show();
  const std::string reason =
      "Die Datei \"" + path + "\" kann nicht geschrieben werden: keine Berechtigung.";
  bool entered = false;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* d = mhtest::as<TOKBottomDlg>(w);
                  d->Edit1->setText(QString::fromStdString(path));
                  t.messages.expect(reason + "\n" + kReadOnlyNote, Answer::Ok, MsgKind::Warning,
                                    MsgButtons::Ok);
                  d->OKBtn->click();
                })
                    .then([&](QWidget* w) {
                      auto* f = mhtest::as<TForm6>(w);
                      f->ListBox1->setCurrentRow(0);
                      f->Button1->click();
                    })
                    .then([&](QWidget* w) {
                      auto* e = mhtest::as<TForm3>(w);
                      entered = true;
                      EXPECT_FALSE(e->Button1->isEnabled());
                      EXPECT_EQ(QString::fromStdString(reason), e->Button1->toolTip());
                      e->Button6->click();
                    });
  main.Button1->click();
  ClearFileFaults();
  EXPECT_TRUE(entered);
  EXPECT_TRUE(t.messages.done());
  EXPECT_EQ(before, mhtest::ReadBytes(path));
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// "Vorlesen" reads what is typed in the foreign fields, before it is entered.
TEST_F(EntryWindow, VorlesenReadsTheTypedForeignField) {
  t.speaker.withVoices();
  auto driven = mhtest::onNextModal([&](QWidget*) {
    ASSERT_TRUE(form.VorlesenBtn->isEnabled());
    QTest::keyClicks(form.Edit1, QStringLiteral("hous"));
    QTest::keyClicks(form.Edit5, QStringLiteral("home"));
    form.VorlesenBtn->click();
    EXPECT_EQ(std::vector<std::string>{"hous, home"}, t.speaker.texts());
    form.Button6->click();
  });
  form.OpenEntryWindow(true);
  EXPECT_TRUE(form.isHidden());
}

}  // namespace
}  // namespace merkhaus
