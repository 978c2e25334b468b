// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "config/radio_group.h"
#include "config/special_char_edit.h"
#include "flows/lesson_loading.h"
#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "quickedit/quick_edit_window.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Unit;

QStringList Items(QListWidget* list) {
  QStringList out;
  for (int i = 0; i < list->count(); ++i)
    out << list->item(i)->text();
  return out;
}

// The window's wiring and what it shows; the search's rules are proven by the core's tests.
class DictionaryWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  Tbeebook beebook{t.mode(flows.bundle(), HelpContext::Dictionary)};
  std::string path = t.dir.file("vok.fid");
  std::string other = t.dir.file("latein.fid");

  void SetUp() override {
    mhtest::WriteRecords(
        path, {Header("Meine Vokabeln"), Unit(1, "Tiere"), Entry(1, "house", "Haus"),
               Entry(1, "mouse", "Maus"), Entry6(1, "cat", "", "", "Katze", "", "", "miaut")});
    mhtest::WriteRecords(other,
                         {Header("Latein", "Latein"), Unit(1, "L"), Entry(1, "domus", "Haus")});
    t.lesson.dataFilePath = path;
    t.options.applyFelderRule();
    t.specialChars.keys[0] = SpecialCharTable::Slot{'\xE7', '\xC7'};
  }

  void Type(const QString& text) {
    beebook.Edit1->clear();
    QTest::keyClicks(beebook.Edit1, text);
  }
};

TEST_F(DictionaryWindow, SearchesShowsHitsAndSwitchesDataFiles) {
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&beebook, w);
    EXPECT_EQ(QStringLiteral("Merkhaus ]|[ - Wörterbuch -- Meine Vokabeln"), beebook.windowTitle());
    EXPECT_EQ(beebook.Edit1, beebook.focusWidget());
    EXPECT_EQ(0, beebook.RadioGroup1->itemIndex());

    // Enter searches; after hits the field is empty for the next term.
    Type(QStringLiteral("aus"));
    QTest::keyClick(beebook.Edit1, Qt::Key_Return);
    EXPECT_EQ((QStringList{QStringLiteral("Haus = house"), QStringLiteral("Maus = mouse")}),
              Items(beebook.ListBox1));
    EXPECT_EQ(QString(), beebook.Edit1->text());
    EXPECT_EQ(4, beebook.Gauge1->maximum());
    EXPECT_EQ(4, beebook.Gauge1->value());

    // Nothing found: the term stays for correction (cut of its blanks).
    Type(QStringLiteral("  Hund "));
    beebook.Button3->click();
    EXPECT_EQ(0, beebook.ListBox1->count());
    EXPECT_EQ(QStringLiteral("Hund"), beebook.Edit1->text());

    // F5 types the special character; "B >> A" looks at the foreign side.
    Type(QStringLiteral("mou"));
    QTest::keyClick(beebook.Edit1, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("mouÇ"), beebook.Edit1->text());
    Type(QStringLiteral("house"));
    beebook.RadioGroup1->button(2)->click();
    QTest::keyClick(beebook.Edit1, Qt::Key_Enter);
    EXPECT_EQ(QStringList{QStringLiteral("Haus = house")}, Items(beebook.ListBox1));

    // An appending search: "Anzeigen" on a new line shows that line's entry, read only.
    t.options.ClearList = false;
    Type(QStringLiteral("miaut"));
    beebook.Button3->click();
    EXPECT_EQ((QStringList{QStringLiteral("Haus = house"), QStringLiteral("Katze = cat")}),
              Items(beebook.ListBox1));
    std::vector<std::string> shown;
    flows.onQuickEditEntry = [&](const TVocData& entry, bool editable) {
      EXPECT_FALSE(editable);
      shown.push_back(std::string(entry.Comment.view()));
      return std::optional<TVocData>();
    };
    beebook.Button5->click();  // nothing selected: nothing happens
    beebook.ListBox1->setCurrentRow(1);
    beebook.Button5->click();
    const QPoint second = beebook.ListBox1->visualItemRect(beebook.ListBox1->item(1)).center();
    QTest::mouseClick(beebook.ListBox1->viewport(), Qt::LeftButton, {}, second);
    QTest::mouseDClick(beebook.ListBox1->viewport(), Qt::LeftButton, {}, second);
    EXPECT_EQ((std::vector<std::string>{"miaut", "miaut"}), shown);

    // "DataFile": the next search reads the other file; the caption names it, the list stays.
    flows.onChooseDataFile = [&](ChooseMode mode) {
      EXPECT_EQ(ChooseMode::Plain, mode);
      return std::optional<std::string>(other);
    };
    beebook.Button16->click();
    EXPECT_EQ(other, t.lesson.dataFilePath);
    EXPECT_EQ(beebook.Edit1, beebook.focusWidget());
    EXPECT_EQ(QStringLiteral("Merkhaus ]|[ - Wörterbuch -- Latein"), beebook.windowTitle());
    EXPECT_EQ(2, beebook.ListBox1->count());
    Type(QStringLiteral("domus"));
    beebook.Button3->click();
    EXPECT_EQ((QStringList{QStringLiteral("Haus = house"), QStringLiteral("Katze = cat"),
                           QStringLiteral("Haus = domus")}),
              Items(beebook.ListBox1));

    bool options = false;
    flows.onShowOptions = [&] { options = true; };
    beebook.Button2->click();
    EXPECT_TRUE(options);

    // "&Clear" empties list, term and progress bar.
    Type(QStringLiteral("x"));
    beebook.Button4->click();
    EXPECT_EQ(0, beebook.ListBox1->count());
    EXPECT_EQ(QString(), beebook.Edit1->text());
    EXPECT_EQ(0, beebook.Gauge1->value());

    QTest::keyClick(beebook.Edit1, Qt::Key_F1);
    beebook.Button1->click();
  });
  beebook.OpenDictionary();
  EXPECT_FALSE(beebook.isVisible());
  EXPECT_EQ((std::vector<int>{7}), t.help.topics);

  // Opened again: cleared, the direction kept.
  auto again = mhtest::onNextModal([&](QWidget*) {
    EXPECT_EQ(0, beebook.ListBox1->count());
    EXPECT_EQ(2, beebook.RadioGroup1->itemIndex());
    beebook.close();
  });
  beebook.OpenDictionary();
}

TEST_F(DictionaryWindow, AnUnreadableDataFileIsNotOpened) {
  t.lesson.dataFilePath = t.dir.file("fehlt.fid");
  t.messages.expect("RW - Fehler in Unit6!" + mhtest::Missing(t.lesson.dataFilePath), Answer::Ok,
                    MsgKind::Error, MsgButtons::Ok);
  beebook.OpenDictionary();
  EXPECT_FALSE(beebook.isVisible());
  EXPECT_TRUE(t.messages.done());
}

// Another DataFile chosen in the dictionary that is write-protected is told at once, in the box
// of every mode, and the dictionary still searches it.
TEST_F(DictionaryWindow, AWriteProtectedDataFileIsToldWhenChosen) {
  InjectFileFault({other, FileFault::At::OpenToWrite, 0, EACCES});
  const std::string reason =
      "Die Datei \"" + other + "\" kann nicht geschrieben werden: keine Berechtigung.";
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&beebook, w);
    flows.onChooseDataFile = [&](ChooseMode) { return std::optional<std::string>(other); };
    t.messages.expect(reason + "\n" + kReadOnlyNote, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
    beebook.Button16->click();
    EXPECT_TRUE(t.messages.done());
    EXPECT_EQ(reason, t.lesson.readOnlyReason) << "the quick view says it and only shows";
    Type(QStringLiteral("domus"));
    beebook.Button3->click();
    EXPECT_EQ(QStringList{QStringLiteral("Haus = domus")}, Items(beebook.ListBox1));
    beebook.Button1->click();
  });
  beebook.OpenDictionary();
  ClearFileFaults();
  EXPECT_TRUE(driven.done());
  EXPECT_TRUE(t.messages.done());
}

// The program's own windows: "Wörterbuch" in the main window and the command line reach the
// dictionary, and a hit opens the real quick view.
class DictionaryFlows : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.services, t.dir.path()};
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch"), Unit(1, "Tiere"),
                                Entry(1, "house", "Haus", "ein Gebäude")});
  }
};

TEST_F(DictionaryFlows, MainWindowAndQuickView) {
  TForm1& main = windows.main();
  main.show();
  t.lesson.unitId = 77;
  QString quickTitle, quickB1;
  bool mainHidden = false;
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg>(w);
                    d->Edit1->setText(QString::fromStdString(path));
                    d->OKBtn->click();
                  }).then([&](QWidget* w) {
      auto* b = mhtest::as<Tbeebook>(w);
      mainHidden = !main.isVisible();
      QTest::keyClicks(b->Edit1, QStringLiteral("Haus"));
      QTest::keyClick(b->Edit1, Qt::Key_Return);
      b->ListBox1->setCurrentRow(0);
      auto view = mhtest::onNextModal([&](QWidget* q) {
        auto* quick = mhtest::as<TQuickEdit>(q);
        quickTitle = quick->windowTitle();
        quickB1 = quick->Edit2->text();
        quick->Button1->click();
      });
      b->Button5->click();
      b->Button1->click();
    });
    main.Button4->click();
  }
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_EQ(QStringLiteral("Quick-View"), quickTitle);
  EXPECT_EQ(QStringLiteral("Haus"), quickB1);
  EXPECT_EQ(77, t.lesson.unitId) << "no lesson is chosen for the dictionary";
}

TEST_F(DictionaryFlows, CommandLineChoosesALessonFirst) {
  t.options.openreact = 3;
  QString caption;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* f = mhtest::as<TForm6>(w);
                  f->ListBox1->setCurrentRow(0);
                  f->Button1->click();
                }).then([&](QWidget* w) {
    auto* b = mhtest::as<Tbeebook>(w);
    caption = b->windowTitle();
    b->Button1->click();
  });
  HandleCommandLine(t.services, windows.main(), {path});
  EXPECT_EQ(QStringLiteral("Merkhaus ]|[ - Wörterbuch -- Meine Vokabeln"), caption);
  EXPECT_EQ(1, t.lesson.unitId);
}

}  // namespace
}  // namespace merkhaus
