// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "config/special_char_edit.h"
#include "entry/entry_window.h"
#include "flows/lesson_loading.h"
#include "maintenance/restore_windows.h"
#include "platform/file_io.h"
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
using mhtest::Header;
using mhtest::Unit;

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

// The DataFile group: count and size of lessons, entries, deleted entries, all entries.
QStringList FiguresOf(const TEditDataFile& f) {
  QStringList out;
  for (const QLabel* l : {f.Label1, f.Label4, f.Label9, f.Label6, f.Label10, f.Label8, f.Label11})
    out << l->text();
  return out;
}

// The editor with fake choosers and the real restore windows, on a DataFile built byte by byte.
// The session's rules are proven by the core tests; these check what the window shows and that
// every control reaches its action.
class EditorWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  TEditDataFile form{t.mode(flows.bundle())};
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    flows.onChooseDataFile = [this](ChooseMode) { return std::optional<std::string>(path); };
    form.session().backupPath = [this] { return t.dir.file("cleanup.tmp"); };
  }
  void TearDown() override { ClearFileFaults(); }

  // Opens the editor, runs `steps` inside it and closes it with "Schließen".
  void Run(const std::function<void()>& steps) {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      ASSERT_EQ(&form, w);
      steps();
      form.Button1->click();
    });
    form.OpenEditor(nullptr);
    EXPECT_TRUE(driven.done());
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(t.messages.done());
  }
  QStringList Figures() const { return FiguresOf(form); }
  void SelectLesson(std::uint8_t id) {
    flows.onSelectLesson = [id](const std::string&, bool allowCreate) {
      EXPECT_TRUE(allowCreate);
      return std::optional<std::uint8_t>(id);
    };
    form.Button5->click();
  }
};

QStringList L(std::initializer_list<const char*> texts) {
  QStringList out;
  for (const char* t : texts)
    out << QString::fromUtf8(t);
  return out;
}

TEST_F(EditorWindow, EveryButtonReachesItsAction) {
  mhtest::WriteRecords(
      path, {Header("Meine Vokabeln"), Unit(1, "Tiere", "Haustiere"), Entry(1, "cat", "Katze"),
             Entry(1, "cow", "Kuh", "", 1), Entry(1, "dog", "Hund"), Unit(255, "Alt", "", 1),
             Entry(255, "old", "alt", "", 1)});
  const std::string other = t.dir.file("zweite.fid");
  mhtest::WriteRecords(other, {Header("Zweite")});
  const std::string text = t.dir.file("neu.txt");
  mhtest::WriteBytes(text, "<%>BODY<%>\r\nbird == Vogel\r\n");
  Run([&] {
    EXPECT_EQ(QStringLiteral("DataFile-Editor -- Meine Vokabeln"), form.windowTitle());
    EXPECT_EQ(L({"1", "2", "1  Kb", "2", "1  Kb", "4", "2  Kb"}), Figures());
    EXPECT_EQ(QStringLiteral("<keine gewählt>-"), form.Label16->text() + form.ID->text());
    for (QPushButton* b : {form.Button13, form.Button6, form.Button7, form.Button15, form.Button8,
                           form.Button9, form.Button10, form.Button11})
      EXPECT_FALSE(b->isEnabled()) << b->text().toStdString();
    EXPECT_TRUE(form.Button14->isEnabled() && form.Button16->isEnabled());

    SelectLesson(1);
    EXPECT_EQ(L({"cat = Katze", "dog = Hund"}), Lines(form.ListBox1));
    EXPECT_EQ((QStringList{QStringLiteral("Tiere"), QStringLiteral("1"), QStringLiteral("2")}),
              (QStringList{form.Label16->text(), form.ID->text(), form.Label18->text()}));
    EXPECT_TRUE(form.Button7->isEnabled());

    // "Bearbeiten" and the double click: the quick edit of the selected entry.
    std::vector<std::string> edited;
    flows.onQuickEditEntry = [&](const TVocData& entry, bool editable) -> std::optional<TVocData> {
      EXPECT_TRUE(editable);
      edited.push_back(std::string(entry.A1.view()));
      if (entry.A1.view() != "cat") return std::nullopt;
      TVocData corrected = entry;
      corrected.A1.set(std::string_view("kitten"));
      return corrected;
    };
    form.ListBox1->setCurrentRow(0);
    form.Button8->click();
    EXPECT_EQ(L({"kitten = Katze", "dog = Hund"}), Lines(form.ListBox1));
    DoubleClick(form.ListBox1, 1);
    EXPECT_EQ((std::vector<std::string>{"cat", "dog"}), edited);
    EXPECT_EQ(QStringLiteral("dog = Hund"), form.ListBox1->item(1)->text()) << "not confirmed";

    std::vector<std::pair<bool, bool>> infos;
    flows.onShowHeaderInfo = [&](bool dataFile, bool editable) {
      infos.emplace_back(dataFile, editable);
    };
    form.Button2->click();
    form.Button6->click();
    EXPECT_EQ((std::vector<std::pair<bool, bool>>{{true, true}, {false, true}}), infos);

    t.fileDialogs.answerSave(t.dir.file("tiere.txt"));
    form.Button15->click();
    EXPECT_NE(std::string::npos,
              mhtest::ReadBytes(t.dir.file("tiere.txt")).find("Name: Tiere\r\n"));
    EXPECT_EQ("txt", t.fileDialogs.saveRequests[0].defaultExtension);

    // Importing into the selected lesson shows its entries as the file holds them now.
    t.fileDialogs.answerOpen(text);
    t.messages.expect("1 Vokabel in die Lektion \"Tiere\" importiert.", Answer::Ok,
                      MsgKind::Information, MsgButtons::Ok);
    form.Button14->click();
    EXPECT_EQ(L({"cat = Katze", "dog = Hund", "bird = Vogel"}), Lines(form.ListBox1));
    EXPECT_EQ(L({"1", "3", "1  Kb", "2", "1  Kb", "5", "3  Kb"}), Figures());

    {
      auto restoring = mhtest::onNextModal([&](QWidget* w) {
        auto* d = mhtest::as<Tundeletevoc>(w);
        EXPECT_EQ(QStringLiteral("Vokabeln wieder herstellen"), d->windowTitle());
        EXPECT_EQ(L({"cow  =  Kuh"}), Lines(d->ListBox1));
        d->ListBox1->setCurrentRow(0);
        d->Button2->click();
        EXPECT_EQ(0, d->ListBox1->count());
        d->Button1->click();
      });
      form.Button10->click();
    }
    EXPECT_EQ(L({"cat = Katze", "cow = Kuh", "dog = Hund", "bird = Vogel"}), Lines(form.ListBox1));
    EXPECT_EQ(QStringLiteral("4"), form.Label18->text());
    EXPECT_EQ(QStringLiteral("3"), form.Label4->text()) << "entries' actions do not recount";

    {
      auto restoring = mhtest::onNextModal([&](QWidget* w) {
        auto* d = mhtest::as<Tundelete>(w);
        EXPECT_EQ(QStringLiteral("Wieder herstellen"), d->windowTitle());
        EXPECT_EQ(L({"Alt"}), Lines(d->ListBox1));
        DoubleClick(d->ListBox1, 0);
        EXPECT_EQ(0, d->ListBox1->count());
        d->Button1->click();
      });
      form.Button3->click();
    }
    EXPECT_EQ(L({"2", "5", "3  Kb", "0", "0  Kb", "5", "3  Kb"}), Figures());

    form.Button13->click();
    EXPECT_EQ(0, form.ListBox1->count());
    EXPECT_FALSE(form.Button8->isEnabled());

    t.messages
        .expect(
            "Bereinigen löschte alle 'gelöschten' Units und Vokabeln phsysikalisch. Danach "
            "haben sie keine Möglichkeit mehr diese Informationen wiederherzustellen! "
            "Fortfahren?",
            Answer::Yes, MsgKind::Warning, MsgButtons::YesNoDefaultNo)
        .expect("Die Bereinigung ist erfolgreich abgeschlossen worden!", Answer::Ok,
                MsgKind::Information, MsgButtons::Ok);
    form.Button4->click();
    EXPECT_TRUE(std::filesystem::exists(t.dir.file("cleanup.tmp")));

    flows.onChooseDataFile = [&](ChooseMode) { return other; };
    form.Button16->click();
    EXPECT_EQ(QStringLiteral("DataFile-Editor -- Zweite"), form.windowTitle());
    EXPECT_EQ(L({"0", "0", "0  Kb", "0", "0  Kb", "0", "0  Kb"}), Figures());
  });
}

TEST_F(EditorWindow, DeletingALessonAndAnEntry) {
  std::vector<mhtest::RawRecord> records = {Header("V"), Unit(1, "Verben")};
  for (int i = 0; i < 12; ++i)
    records.push_back(Entry(1, "w" + std::to_string(i), "W", "", i < 2 ? 1 : 0));
  records.push_back(Unit(255, "Andere"));
  records.push_back(Entry(255, "a", "A"));
  records.push_back(Entry(255, "b", "B"));
  mhtest::WriteRecords(path, records);
  Run([&] {
    EXPECT_EQ(L({"2", "12", "7  Kb", "2", "1  Kb", "14", "8  Kb"}), Figures());
    SelectLesson(1);
    t.messages
        .expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes, MsgKind::Warning,
                MsgButtons::YesNoDefaultNo)
        .expect("Lektion \"Verben\" mit 10 Vokabeln erfolgreich gelöscht!", Answer::Ok,
                MsgKind::Information, MsgButtons::Ok);
    form.Button7->click();
    EXPECT_EQ(L({"1", "2", "1  Kb", "12", "7  Kb", "14", "8  Kb"}), Figures());
    EXPECT_EQ(QStringLiteral("<keine gewählt>"), form.Label16->text());

    SelectLesson(255);
    form.ListBox1->setCurrentRow(0);
    const std::string failed = "Löschen fehlgeschlagen!\nDie Datei \"" + path +
                               "\" kann nicht geöffnet werden: Ein-/Ausgabefehler des "
                               "Datenträgers.";
    t.messages
        .expect("Soll die gewählt Vokabel aus der Lektion gelöscht werden?", Answer::Yes,
                MsgKind::Warning, MsgButtons::YesNoDefaultNo)
        .expect(failed, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    InjectFileFault({path, FileFault::At::Open, 0, EIO});
    form.Button9->click();
    ClearFileFaults();
    EXPECT_EQ(L({"a = A", "b = B"}), Lines(form.ListBox1)) << "nothing deleted, nothing shown";

    t.messages.expect("Soll die gewählt Vokabel aus der Lektion gelöscht werden?", Answer::Yes);
    form.Button9->click();
    EXPECT_EQ(L({"b = B"}), Lines(form.ListBox1));
    EXPECT_EQ(QStringLiteral("1"), form.Label18->text());
    EXPECT_EQ(L({"1", "2", "1  Kb", "12", "7  Kb", "14", "8  Kb"}), Figures())
        << "the figures stay until the next recount";
  });
  EXPECT_EQ(1, mhtest::ReadRecords(path)[15][mhtest::kDeleted]);
}

TEST_F(EditorWindow, NewEntriesAfterALessonSwitchShowThatLesson) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"),
                              Unit(255, "Essen"), Entry(255, "bread", "Brot")});
  TForm3 entry{t.mode(flows.bundle())};
  flows.onOpenEntryWindow = [&](bool checkLesson) {
    EXPECT_FALSE(checkLesson);
    entry.OpenEntryWindow(checkLesson);
  };
  Run([&] {
    SelectLesson(1);
    auto entering = mhtest::onNextModal([&](QWidget* w) {
      ASSERT_EQ(&entry, w);
      EXPECT_EQ(QStringLiteral("Tiere"), entry.Label6->text());
      QTest::keyClicks(entry.Edit1, QStringLiteral("dog"));
      QTest::keyClicks(entry.Edit2, QStringLiteral("Hund"));
      entry.Button2->click();
      flows.onSelectLesson = [](const std::string&, bool) {
        return std::optional<std::uint8_t>(255);
      };
      entry.Button4->click();
      QTest::keyClicks(entry.Edit1, QStringLiteral("milk"));
      QTest::keyClicks(entry.Edit2, QStringLiteral("Milch"));
      entry.Button2->click();
      t.messages.expect(
          "2 Vokabeln erfolgreich in \"Essen\" in \"V\" geschrieben.\nDavon 1 in \"Tiere\" und 1 "
          "in \"Essen\".");
      entry.Button1->click();
      entry.Button6->click();
    });
    form.Button11->click();
    EXPECT_EQ(QStringLiteral("Essen"), form.Label16->text());
    EXPECT_EQ(QStringLiteral("255"), form.ID->text());
    EXPECT_EQ(L({"bread = Brot", "milk = Milch"}), Lines(form.ListBox1));
  });
}

// The learner's whole road: "Editiern", a DataFile, a lesson, an entry deleted and restored, the
// cleanup, and back to the main window.
// A damaged or write-protected DataFile is told once, when the editor chooses it, in the box of
// every mode; the editor then only reads it: every control that would write is off and says why,
// the quick edit and the info dialogs only show. Another DataFile that can be written turns them
// on again.
TEST_F(EditorWindow, ADataFileThatCannotBeWrittenIsToldAndOnlyRead) {
  const std::vector<mhtest::RawRecord> records = {
      Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"), Entry(1, "cow", "Kuh", "", 1)};
  const std::string writable = t.dir.file("gut.fid");
  mhtest::WriteRecords(writable, records);
  struct Case {
    const char* name;
    std::string tail;  // bytes after the whole records
    bool protect;      // opening to write fails as without permission
    const char* reason;
  };
  const Case cases[] = {
      {"damaged", "abc", false,
       "die Datei ist beschädigt (ihre Länge ist kein Vielfaches von 624 Bytes)"},
      {"write-protected", "", true, "keine Berechtigung"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::WriteRecords(path, records);
    mhtest::WriteBytes(path, mhtest::ReadBytes(path) + c.tail);
    const std::string before = mhtest::ReadBytes(path);
    if (c.protect) InjectFileFault({path, FileFault::At::OpenToWrite, 0, EACCES});
    const std::string reason =
        "Die Datei \"" + path + "\" kann nicht geschrieben werden: " + c.reason + ".";
    t.messages.expect(reason + "\n" + kReadOnlyNote, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
    std::vector<bool> editable;
    flows.onQuickEditEntry = [&](const TVocData&, bool e) -> std::optional<TVocData> {
      editable.push_back(e);
      return std::nullopt;
    };
    flows.onShowHeaderInfo = [&](bool, bool e) { editable.push_back(e); };
    // Every control that writes: on, or off with the reason.
    const auto writing = [&](bool on, const std::string& tip) {
      for (QPushButton* b : {form.Button3, form.Button4, form.Button14, form.Button7, form.Button9,
                             form.Button10, form.Button11}) {
        EXPECT_EQ(on, b->isEnabled()) << b->text().toStdString();
        EXPECT_EQ(QString::fromStdString(tip), b->toolTip());
      }
    };
    Run([&] {
      SelectLesson(1);
      writing(false, reason);
      EXPECT_TRUE(form.Button8->isEnabled() && form.Button15->isEnabled());
      form.ListBox1->setCurrentRow(0);
      form.Button8->click();
      form.Button2->click();
      form.Button6->click();
      EXPECT_EQ((std::vector<bool>{false, false, false}), editable);

      flows.onChooseDataFile = [&](ChooseMode) { return std::optional<std::string>(writable); };
      form.Button16->click();
      SelectLesson(1);
      writing(true, "");
      flows.onChooseDataFile = [this](ChooseMode) { return std::optional<std::string>(path); };
    });
    ClearFileFaults();
    EXPECT_EQ(before, mhtest::ReadBytes(path));
  }
}

TEST(EditorFromTheMainWindow, DeleteRestoreCleanUpAndClose) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"),
                              Entry(1, "dog", "Hund"), Unit(255, "Alt", "", 1)});
  // The cleanup keeps its backup in the working folder.
  const auto workingFolder = std::filesystem::current_path();
  std::filesystem::current_path(t.dir.path());
  Windows windows(t.services, t.dir.path());
  TForm1& main = windows.main();
  main.show();
  bool mainHidden = false;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* d = mhtest::as<TOKBottomDlg>(w);
                  EXPECT_TRUE(d->Button4->isEnabled()) << "\"Neues...\" is offered";
                  EXPECT_TRUE(main.isVisible()) << "hidden only once a DataFile has been chosen";
                  d->Edit1->setText(QString::fromStdString(path));
                  d->OKBtn->click();
                }).then([&](QWidget* w) {
    auto* e = mhtest::as<TEditDataFile>(w);
    mainHidden = !main.isVisible();
    {
      auto choosing = mhtest::onNextModal([&](QWidget* c) {
        auto* f = mhtest::as<TForm6>(c);
        f->ListBox1->setCurrentRow(0);
        f->Button1->click();
      });
      e->Button5->click();
    }
    ASSERT_EQ(L({"cat = Katze", "dog = Hund"}), Lines(e->ListBox1));
    e->ListBox1->setCurrentRow(0);
    t.messages.expect("Soll die gewählt Vokabel aus der Lektion gelöscht werden?", Answer::Yes);
    e->Button9->click();
    EXPECT_EQ(L({"dog = Hund"}), Lines(e->ListBox1));
    {
      auto restoring = mhtest::onNextModal([&](QWidget* c) {
        auto* d = mhtest::as<Tundeletevoc>(c);
        d->ListBox1->setCurrentRow(0);
        d->Button2->click();
        d->Button1->click();
      });
      e->Button10->click();
    }
    EXPECT_EQ(L({"cat = Katze", "dog = Hund"}), Lines(e->ListBox1));
    t.messages
        .expect(
            "Bereinigen löschte alle 'gelöschten' Units und Vokabeln phsysikalisch. "
            "Danach haben sie keine Möglichkeit mehr diese Informationen "
            "wiederherzustellen! Fortfahren?",
            Answer::Yes)
        .expect("Die Bereinigung ist erfolgreich abgeschlossen worden!");
    e->Button4->click();
    EXPECT_EQ(
        L({"1", "2", "1  Kb", "0", "0  Kb", "2", "1  Kb"}),
        (QStringList{e->Label1->text(), e->Label4->text(), e->Label9->text(), e->Label6->text(),
                     e->Label10->text(), e->Label8->text(), e->Label11->text()}));
    e->Button1->click();
  });
  main.Button11->click();
  std::filesystem::current_path(workingFolder);
  EXPECT_TRUE(driven.done());
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(t.messages.done());
  EXPECT_EQ((std::vector<mhtest::RawRecord>{Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"),
                                            Entry(1, "dog", "Hund")}),
            mhtest::ReadRecords(path));
  EXPECT_EQ(5u, mhtest::ReadRecords(t.dir.file("cleanup.tmp")).size())
      << "the backup holds the file as it was, the deleted lesson included";
}

}  // namespace
}  // namespace merkhaus
