// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_window.h"

#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWindow>

#include "config/special_char_edit.h"
#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "shell/command_line.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/modal.h"
#include "support/test_context.h"
#include "testing/evaluation_window.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

constexpr const char* kAbort = "Wollen sie das Testen dieser Lektion abbrechen?";
constexpr const char* kAbortForEvaluation =
    "Wollen sie das Testen dieser Lektion abbrechen und die Auswertung anzeigen?";
constexpr const char* kAllAsked = "Alle Vokabeln wurden jetzt abgefragt!";

QString Cell(const Ttst_ausw& e, int row, int column) {
  return e.StringGrid1->item(row, column)->text();
}

// What a screen reader reads in a cell of the evaluation's grid.
QString SpokenCell(const Ttst_ausw& e, int row, int column) {
  QAccessibleInterface* grid = QAccessible::queryAccessibleInterface(e.StringGrid1);
  QAccessibleInterface* cell = grid->tableInterface()->cellAt(row, column);
  return cell ? cell->text(QAccessible::Name) : QStringLiteral("(no cell)");
}

// Clicks a control the way the window system delivers a click: through the control's window,
// where a modal window blocks the input of the windows it does not own.
void ClickThroughWindow(QWidget* control) {
  QWidget* window = control->window();
  QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {},
                    control->mapTo(window, control->rect().center()));
}

// The test window on lesson 1 with its evaluation beside it, asked in file order, A - B. The
// session's rules are proven by its own tests; these check what the windows show and that
// every control reaches the session.
class TestWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  TTesten testen{t.mode(flows.bundle(), HelpContext::Test)};
  Ttst_ausw& ausw = testen.evaluation();
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(
        path, {Header("Meine Vokabeln", "Englisch", "Deutsch"), Unit(1, "Tiere", "Haustiere"),
               Entry(1, "house", "Haus"), Entry(1, "cat", "Katze", "miaut"),
               Entry(1, "dog", "Hund"), Unit(3, "Drei"), Entry(3, "bird", "Vogel")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    // The lesson choice has read record 0 before a test starts.
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.options.algorithmus = 1;
  }

  void Answer(const QString& text) {
    testen.Edit1->clear();
    QTest::keyClicks(testen.Edit1, text);
    QTest::keyClick(testen.Edit1, Qt::Key_Return);
  }

  void Leave() {
    t.messages.expect(kAbort, Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
    testen.Button6->click();
  }
};

TEST_F(TestWindow, ShowsTheSessionAndWiresEveryControl) {
  t.specialChars.keys[0] = {'\xE7', '\xC7'};
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&testen, w);
    EXPECT_EQ(QStringLiteral("Testen -- Meine Vokabeln"), testen.windowTitle());
    EXPECT_EQ(testen.minimumSize(), testen.maximumSize()) << "fixed size";
    EXPECT_FALSE(testen.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(QStringLiteral("Tiere"), testen.Label4->text());
    EXPECT_EQ(QStringLiteral("Haustiere"), testen.Label13->text());
    EXPECT_EQ(QStringLiteral("Englisch"), testen.Label2->text());
    EXPECT_EQ(QStringLiteral("Deutsch"), testen.Label1->text());
    EXPECT_EQ(QStringLiteral("cat"), testen.Memo1->toPlainText());
    EXPECT_EQ(QString(), testen.Memo2->toPlainText());
    EXPECT_EQ(QStringLiteral("miaut"), testen.Memo3->toPlainText());
    EXPECT_EQ(QStringLiteral("Vokabel:"), testen.Label5->text());
    EXPECT_EQ(QStringLiteral("0/3"), testen.Label6->text());
    EXPECT_EQ(QStringLiteral("&Weiter"), testen.Button2->text());
    EXPECT_EQ(QStringLiteral("Auswertung"), testen.Button3->text());
    ASSERT_TRUE(QTest::qWaitForWindowActive(&testen));
    EXPECT_TRUE(testen.Edit1->hasFocus());

    // F5 and Shift+F5 type the special characters; Enter is "&Weiter".
    QTest::keyClicks(testen.Edit1, QStringLiteral("Katze"));
    QTest::keyClick(testen.Edit1, Qt::Key_F5);
    QTest::keyClick(testen.Edit1, Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("KatzeçÇ"), testen.Edit1->text());
    QTest::keyClick(testen.Edit1, Qt::Key_Return);
    EXPECT_EQ(QStringLiteral("dog"), testen.Memo1->toPlainText());
    EXPECT_EQ(QString(), testen.Memo3->toPlainText());
    EXPECT_EQ(QString(), testen.Edit1->text());
    EXPECT_EQ(QStringLiteral("1/3"), testen.Label6->text());

    QTest::keyClicks(testen.Edit1, QStringLiteral("Hund"));
    testen.Button2->click();
    EXPECT_EQ(QStringLiteral("house"), testen.Memo1->toPlainText());
    EXPECT_EQ(QStringLiteral("2/3"), testen.Label6->text());
    EXPECT_TRUE(testen.Edit1->hasFocus());

    bool info = false;
    flows.onShowHeaderInfo = [&](bool forDataFile, bool editable) {
      info = !forDataFile && !editable;
    };
    testen.Button7->click();
    EXPECT_TRUE(info) << "\"i\" shows the lesson read-only";

    bool options = false;
    flows.onShowOptions = [&] { options = true; };
    testen.Button1->click();
    EXPECT_TRUE(options);

    t.messages.expect(kAbort, Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
    flows.onSelectLesson = [&](const std::string& file, bool allowCreate) {
      EXPECT_EQ(path, file);
      EXPECT_FALSE(allowCreate);
      return std::optional<std::uint8_t>();
    };
    testen.Button8->click();
    EXPECT_EQ(QStringLiteral("house"), testen.Memo1->toPlainText()) << "abandoned: goes on";

    t.messages.expect(kAbortForEvaluation, Answer::Yes, MsgKind::Confirmation,
                      MsgButtons::YesNoDefaultNo);
    testen.Button3->click();
    EXPECT_TRUE(ausw.isVisible());
    EXPECT_EQ(QStringLiteral("1 / 2"), ausw.Label2->text());
    EXPECT_EQ(QStringLiteral("50 %"), ausw.Label4->text());
    EXPECT_EQ(QStringLiteral("cat"), Cell(ausw, 0, 1));
    EXPECT_EQ(QStringLiteral("Katze"), Cell(ausw, 0, 2));
    EXPECT_EQ(QStringLiteral("KatzeçÇ"), Cell(ausw, 0, 3));
    EXPECT_EQ(QStringLiteral("miaut"), Cell(ausw, 0, 4));
    EXPECT_EQ(QString(), Cell(ausw, 1, 1));

    QTest::keyClick(testen.Edit1, Qt::Key_F1);
    QTest::keyClick(testen.Edit1, Qt::Key_Escape);
    EXPECT_TRUE(testen.isVisible()) << "Escape does not leave the test";
    Leave();
  });
  testen.StartTest();
  EXPECT_FALSE(testen.isVisible());
  EXPECT_FALSE(ausw.isVisible()) << "\"Ende\" closes the evaluation too";
  EXPECT_EQ((std::vector<int>{6}), t.help.topics);
  EXPECT_TRUE(t.messages.done());
}

TEST_F(TestWindow, TheEvaluationWindowAsItIsMade) {
  EXPECT_EQ(QStringLiteral("Testauswertung"), ausw.windowTitle());
  EXPECT_EQ(QSize(583, 353), ausw.size());
  EXPECT_NE(ausw.minimumSize(), ausw.maximumSize()) << "sizeable";
  EXPECT_TRUE(ausw.isWindow());
  EXPECT_EQ(&testen, ausw.parentWidget()) << "owned by the test window";
  QTableWidget* grid = ausw.StringGrid1;
  EXPECT_EQ(255, grid->rowCount()) << "and the header row";
  EXPECT_EQ(5, grid->columnCount());
  const QStringList headers{QStringLiteral("Nr"), QStringLiteral("Fremdwort"),
                            QStringLiteral("Übersetzung"), QStringLiteral("Ihre Eingabe"),
                            QStringLiteral("Kommentare")};
  const int widths[] = {36, 119, 119, 118, 404};
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(headers[c], grid->horizontalHeaderItem(c)->text());
    EXPECT_EQ(widths[c], grid->columnWidth(c));
  }
  EXPECT_EQ(16, grid->rowHeight(0));
  EXPECT_EQ(QStringLiteral("1"), Cell(ausw, 0, 0));
  EXPECT_EQ(QStringLiteral("255"), Cell(ausw, 254, 0));
  EXPECT_EQ(Qt::ScrollBarAlwaysOff, grid->horizontalScrollBarPolicy());
  EXPECT_EQ(QStringLiteral("Nur falsche anzeigen"), ausw.CheckBox1->text());
  EXPECT_TRUE(ausw.CheckBox1->isChecked());
  EXPECT_EQ(QStringLiteral("Richtig"), ausw.Label1->text());
  EXPECT_EQ(QStringLiteral("Fehlerquozient:"), ausw.Label3->text());
  EXPECT_EQ(QStringLiteral("<"), ausw.Label2->text());
  EXPECT_EQ(QStringLiteral("<"), ausw.Label4->text());

  // Nothing asked yet: shown, with a warning, and nothing new in it.
  t.messages.expect("Es wurden keine Vokabeln abgefragt!", Answer::Ok, MsgKind::Warning,
                    MsgButtons::Ok);
  ausw.ShowEvaluation();
  EXPECT_TRUE(ausw.isVisible());
  EXPECT_EQ(QStringLiteral("<"), ausw.Label2->text());
  QTest::keyClick(ausw.StringGrid1, Qt::Key_F1);
  EXPECT_EQ((std::vector<int>{6}), t.help.topics);
  EXPECT_TRUE(t.messages.done());

  // The columns share the width and follow the window: none is cut at its edge, and a larger
  // window shows more of every text.
  for (const int width : {583, 1100, 400}) {
    ausw.resize(width, 353);
    mhtest::pumpEvents();
    SCOPED_TRACE(width);
    const int shown = grid->viewport()->width();
    EXPECT_EQ(shown, grid->horizontalHeader()->length());
    EXPECT_EQ(36, grid->columnWidth(0));
    if (width > 1000) {
      for (int c = 1; c < 5; ++c)
        EXPECT_GT(grid->columnWidth(c), widths[c]) << c;
    }
  }
}

// The evaluation is modeless beside the modal test: the learner reads it, scrolls it and clicks
// "Nur falsche anzeigen" while the test goes on, and it changes only when it is filled again.
TEST_F(TestWindow, TheEvaluationStaysUsableWhileTheTestRuns) {
  auto driven = mhtest::onNextModal([&](QWidget*) {
    Answer(QStringLiteral("Katze"));
    t.messages.expect(kAbortForEvaluation, Answer::Yes);
    testen.Button3->click();
    ASSERT_TRUE(ausw.isVisible());
    // It opens beside the test without taking the keyboard from the answer field.
    mhtest::pumpEvents();
    EXPECT_EQ(&testen, QApplication::activeWindow());
    EXPECT_TRUE(testen.Edit1->hasFocus());
    EXPECT_EQ(QStringLiteral("1 / 1"), ausw.Label2->text());
    EXPECT_EQ(QString(), Cell(ausw, 0, 1)) << "only the wrong ones";

    Answer(QStringLiteral("Katze"));  // dog: wrong
    EXPECT_EQ(QStringLiteral("1 / 1"), ausw.Label2->text()) << "not filled again yet";

    // A window that the test does not own is blocked while the test runs: the click through the
    // window system does not reach it. The evaluation's check box is reached.
    QWidget other;
    auto* box = new QCheckBox(QStringLiteral("x"), &other);
    other.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&other));
    ClickThroughWindow(box);
    EXPECT_FALSE(box->isChecked()) << "the probe must see the modal block";
    other.hide();

    ASSERT_TRUE(QTest::qWaitForWindowExposed(&ausw));
    ClickThroughWindow(ausw.CheckBox1);
    EXPECT_FALSE(ausw.CheckBox1->isChecked());
    EXPECT_EQ(QStringLiteral("1 / 2"), ausw.Label2->text());
    EXPECT_EQ(QStringLiteral("50 %"), ausw.Label4->text());
    EXPECT_EQ(QStringLiteral("cat"), Cell(ausw, 0, 1));
    EXPECT_EQ(QStringLiteral("dog"), Cell(ausw, 1, 1));
    EXPECT_EQ(QStringLiteral("Katze"), Cell(ausw, 1, 3));
    EXPECT_EQ(QStringLiteral("2"), Cell(ausw, 1, 0));
    // A screen reader hears each row's verdict, which the grid shows in no column.
    EXPECT_EQ(QStringLiteral("1, Richtig"), SpokenCell(ausw, 0, 0));
    EXPECT_EQ(QStringLiteral("2, Falsch"), SpokenCell(ausw, 1, 0));
    EXPECT_EQ(QStringLiteral("3"), SpokenCell(ausw, 2, 0)) << "an empty row has no verdict";
    QScrollBar* scroll = ausw.StringGrid1->verticalScrollBar();
    ClickThroughWindow(scroll);  // a click into the scroll bar's track pages down
    EXPECT_GT(scroll->value(), 0);

    // The end of the test fills it again, as the box now says: all entries.
    t.messages.expect(kAllAsked, Answer::Ok, MsgKind::Information, MsgButtons::Ok);
    Answer(QStringLiteral("Haus"));
    EXPECT_EQ(QStringLiteral("2 / 3"), ausw.Label2->text());
    EXPECT_EQ(QStringLiteral("33 %"), ausw.Label4->text());
    EXPECT_EQ(QStringLiteral("house"), Cell(ausw, 0, 1));
    EXPECT_FALSE(ausw.CheckBox1->isChecked()) << "the box keeps its state";
    testen.Button6->click();  // finished: no question
  });
  testen.StartTest();
  EXPECT_FALSE(testen.isVisible());
  EXPECT_FALSE(ausw.isVisible());
  EXPECT_TRUE(t.messages.done());
}

// A DataFile that fails while it is read ends the learner's action with one box that names the
// file and the reason; the test goes on with the lesson it was testing.
TEST_F(TestWindow, AReadErrorEndsTheActionWithAMessage) {
  auto driven = mhtest::onNextModal([&](QWidget*) {
    t.messages.expect(kAbort, Answer::Yes);
    flows.onSelectLesson = [&](const std::string&, bool) {
      InjectFileFault({path, FileFault::At::Read, 0, EIO});
      return std::optional<std::uint8_t>(3);
    };
    t.messages.expect("Die Datei \"" + path +
                          "\" kann nicht gelesen werden: Ein-/Ausgabefehler des Datenträgers.",
                      Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    testen.Button8->click();
    ClearFileFaults();
    EXPECT_TRUE(t.messages.done());
    EXPECT_TRUE(testen.isVisible());
    EXPECT_EQ(1, t.lesson.unitId);
    EXPECT_EQ(QStringLiteral("cat"), testen.Memo1->toPlainText());
    Answer(QStringLiteral("Katze"));
    EXPECT_EQ(QStringLiteral("1/3"), testen.Label6->text());
    Leave();
  });
  testen.StartTest();
}

TEST(TestFromTheMainWindow, TakingATestAndReadingItsEvaluation) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"),
                              Entry(1, "dog", "Hund"), Entry(1, "bird", "Vogel")});
  Windows windows(t.services, t.dir.path());
  t.options.algorithmus = 1;
  TForm1& main = windows.main();
  main.show();
  bool mainHidden = false;
  t.messages.expect(kAllAsked);
  auto driven =
      mhtest::onNextModal([&](QWidget* w) {
        auto* d = mhtest::as<TOKBottomDlg>(w);
        d->Edit1->setText(QString::fromStdString(path));
        d->OKBtn->click();
      })
          .then([&](QWidget* w) {
            auto* f = mhtest::as<TForm6>(w);
            f->ListBox1->setCurrentRow(0);
            f->Button1->click();
          })
          .then([&](QWidget* w) {
            auto* s = mhtest::as<TTesten>(w);
            ASSERT_NE(s, nullptr);
            mainHidden = !main.isVisible();
            for (int i = 0; i < 3; ++i) {
              const QString q = s->Memo1->toPlainText();
              QTest::keyClicks(s->Edit1, q == QStringLiteral("cat")   ? QStringLiteral("Katze")
                                         : q == QStringLiteral("dog") ? QStringLiteral("Hund")
                                                                      : QStringLiteral("Spatz"));
              QTest::keyClick(s->Edit1, Qt::Key_Return);
            }
            EXPECT_EQ(QStringLiteral("3/3"), s->Label6->text());
            auto* e = s->findChild<Ttst_ausw*>();
            ASSERT_NE(e, nullptr);
            EXPECT_TRUE(e->isVisible());
            EXPECT_EQ(QStringLiteral("2 / 3"), e->Label2->text());
            EXPECT_EQ(QStringLiteral("33 %"), e->Label4->text());
            EXPECT_EQ(QStringLiteral("bird"), Cell(*e, 0, 1));
            EXPECT_EQ(QStringLiteral("Spatz"), Cell(*e, 0, 3));
            s->Button6->click();
          });
  main.Button3->click();
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(driven.done());
  EXPECT_TRUE(t.messages.done());
}

TEST(TestFromTheCommandLine, OpenreactTestenChoosesALessonAndTests) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze")});
  Windows windows(t.services, t.dir.path());
  t.options.openreact = 2;
  t.options.algorithmus = 1;
  QString asked;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* f = mhtest::as<TForm6>(w);
                  f->ListBox1->setCurrentRow(0);
                  f->Button1->click();
                }).then([&](QWidget* w) {
    auto* s = mhtest::as<TTesten>(w);
    ASSERT_NE(s, nullptr);
    asked = s->Memo1->toPlainText();
    t.messages.expect(kAbort, Answer::Yes);
    s->Button6->click();
  });
  HandleCommandLine(t.services, windows.main(), {path});
  EXPECT_EQ(QStringLiteral("cat"), asked);
  EXPECT_EQ(path, t.lesson.dataFilePath);
  EXPECT_EQ(1, t.lesson.unitId);
  EXPECT_TRUE(t.messages.done());
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

TEST_F(TestWindow, VorlesenReadsTheForeignQuestion) {
  t.speaker.withVoices();
  auto driven = mhtest::onNextModal([&](QWidget*) {
    ASSERT_TRUE(testen.VorlesenBtn->isEnabled());
    testen.VorlesenBtn->click();
    EXPECT_EQ(std::vector<std::string>{"cat"}, t.speaker.texts());
    Leave();
  });
  testen.StartTest();
}

}  // namespace
}  // namespace merkhaus
