// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "config/special_char_edit.h"
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

constexpr const char* kAbort = "Wollen sie das Üben dieser Lektion abbrechen?";

QColor TextColour(QPlainTextEdit* memo) {
  return memo->palette().color(QPalette::Text);
}

// The practice window on lesson 1, asked in file order, A - B. The session's rules are proven by
// its own tests; these check what the window shows and that every control reaches the session.
class StudyWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  mhtest::FakeFlows flows;
  Tstudy study{t.mode(flows.bundle(), HelpContext::Study)};
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch"),
                                Unit(1, "Tiere", "Haustiere"), Entry(1, "house", "Haus"),
                                Entry(1, "cat", "abcde", "miaut"), Entry(1, "dog", "Hund")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    // The lesson choice has read record 0 before a practice starts.
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.options.algorithmus = 1;
    t.options.AutoWeiterAkt = false;
  }

  void Answer(const QString& text) {
    study.Edit1->clear();
    QTest::keyClicks(study.Edit1, text);
    QTest::keyClick(study.Edit1, Qt::Key_Return);
  }

  void Leave() {
    t.messages.expect(kAbort, Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
    study.Button6->click();
  }
};

TEST_F(StudyWindow, ShowsTheSessionAndWiresEveryControl) {
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    ASSERT_EQ(&study, w);
    // The answer field has the focus once the window is the active one.
    ASSERT_TRUE(QTest::qWaitForWindowActive(&study));
    EXPECT_EQ(QStringLiteral("Üben -- Meine Vokabeln"), study.windowTitle());
    EXPECT_EQ(QStringLiteral("Tiere"), study.Label4->text());
    EXPECT_EQ(QStringLiteral("Haustiere"), study.Label13->text());
    EXPECT_EQ(QStringLiteral("Englisch"), study.Label2->text());
    EXPECT_EQ(QStringLiteral("Deutsch"), study.Label1->text());
    EXPECT_EQ(QStringLiteral("cat"), study.Memo1->toPlainText());
    EXPECT_EQ(QStringLiteral("miaut"), study.Memo3->toPlainText());
    EXPECT_EQ(QStringLiteral("Ausw&erten"), study.Button2->text());
    EXPECT_EQ(QStringLiteral("2"), study.Label7->text());
    EXPECT_EQ(QStringLiteral("0/3"), study.Label10->text());
    EXPECT_EQ(QStringLiteral("0/3"), study.Label8->text());
    EXPECT_TRUE(QTest::qWaitFor([&] { return study.Edit1->hasFocus(); }))
        << "once the window is active";

    // Enter judges: "Richtig", the answer in green, review mode.
    Answer(QStringLiteral("abcde"));
    EXPECT_TRUE(study.rfindicator2->isVisible());
    EXPECT_FALSE(study.rfindicator->isVisible());
    EXPECT_EQ(QStringLiteral("abcde"), study.Memo2->toPlainText());
    EXPECT_EQ(QColor(0, 128, 0), TextColour(study.Memo2));
    EXPECT_EQ(QStringLiteral("W&eiter"), study.Button2->text());
    EXPECT_TRUE(study.Button4->isEnabled());
    EXPECT_FALSE(study.Button3->isEnabled());
    EXPECT_FALSE(study.Button5->isEnabled());

    // "Korrigieren" opens the quick edit on the entry just asked.
    std::string edited;
    flows.onQuickEditEntry = [&](const TVocData& entry, bool editable) {
      EXPECT_TRUE(editable);
      edited = entry.A1.view();
      return std::optional<TVocData>();
    };
    study.Button4->click();
    EXPECT_EQ("cat", edited);

    study.Button2->click();  // "W&eiter"
    EXPECT_EQ(QStringLiteral("dog"), study.Memo1->toPlainText());
    EXPECT_FALSE(study.rfindicator2->isVisible());

    // A wrong answer shows "Falsch"; the tip masks the answer in red.
    Answer(QStringLiteral("Katze"));
    EXPECT_TRUE(study.rfindicator->isVisible());
    EXPECT_EQ(QStringLiteral("1/3"), study.Label10->text());
    study.Button3->click();
    EXPECT_EQ(QStringLiteral("~~n~"), study.Memo2->toPlainText());
    EXPECT_EQ(QColor(255, 0, 0), TextColour(study.Memo2));

    study.Button5->click();  // "Lösun&g"
    EXPECT_EQ(QStringLiteral("Hund"), study.Memo2->toPlainText());

    bool info = false;
    flows.onShowHeaderInfo = [&](bool forDataFile, bool editable) {
      info = !forDataFile && !editable;
    };
    study.Button7->click();
    EXPECT_TRUE(info) << "\"i\" shows the lesson read-only";

    // "Optionen": a changed interval of the timer applies at once.
    flows.onShowOptions = [&] { t.options.Autoweiter = 9; };
    study.Button1->click();
    EXPECT_EQ(9 * 333, study.Timer1->interval());

    // "Lektion": asked first, then the lesson choice of the current DataFile.
    t.messages.expect(kAbort, Answer::Yes, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
    flows.onSelectLesson = [&](const std::string& file, bool allowCreate) {
      EXPECT_EQ(path, file);
      EXPECT_FALSE(allowCreate);
      return std::optional<std::uint8_t>();
    };
    study.Button8->click();
    EXPECT_EQ(QStringLiteral("Hund"), study.Memo2->toPlainText()) << "cancelled: goes on";

    QTest::keyClick(study.Edit1, Qt::Key_F1);
    Leave();
  });
  study.StartStudy();
  EXPECT_FALSE(study.isVisible());
  EXPECT_EQ((std::vector<int>{5}), t.help.topics);
  EXPECT_TRUE(t.messages.done());
}

TEST_F(StudyWindow, TheTimerMovesOnInReviewMode) {
  t.options.AutoWeiterAkt = true;
  t.options.Autoweiter = 1;
  auto driven = mhtest::onNextModal([&](QWidget*) {
    EXPECT_EQ(333, study.Timer1->interval());
    EXPECT_FALSE(study.Timer1->isActive()) << "stopped while a question waits";
    Answer(QStringLiteral("abcde"));
    EXPECT_TRUE(study.Timer1->isActive());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return study.Memo1->toPlainText() == QStringLiteral("dog"); }, 3000));
    EXPECT_FALSE(study.Timer1->isActive());
    Leave();
  });
  study.StartStudy();
}

// A learner who cannot see the window hears the question with its column, the verdict and the
// solution at the answer field, where the focus stays: the field's description says what is new
// (Qt sends its change to the screen reader; this offscreen test cannot listen on the bus).
TEST_F(StudyWindow, AScreenReaderHearsQuestionVerdictAndSolution) {
  std::vector<QString> heard;
  const auto hear = [&] {
    heard.push_back(study.Edit1->accessibleDescription());
    study.Edit1->setAccessibleDescription(QString());  // what follows must be told anew
  };
  auto driven = mhtest::onNextModal([&](QWidget*) {
    EXPECT_EQ(QStringLiteral("Englisch"), study.Memo1->accessibleName());
    EXPECT_EQ(QStringLiteral("Deutsch"), study.Memo2->accessibleName());
    hear();
    Answer(QStringLiteral("abcde"));
    hear();
    study.Button2->click();  // "W&eiter"
    hear();
    Answer(QStringLiteral("Katze"));
    hear();
    Answer(QStringLiteral("Katze"));  // the same verdict again
    hear();
    study.Button5->click();  // "Lösun&g"
    hear();
    Leave();
  });
  study.StartStudy();
  EXPECT_EQ((std::vector<QString>{
                QStringLiteral("Englisch: cat. Kommentar: miaut"),
                QStringLiteral("Richtig. Deutsch: abcde"),
                QStringLiteral("Englisch: dog"),
                QStringLiteral("Falsch"),
                QStringLiteral("Falsch"),
                QStringLiteral("Deutsch: Hund"),
            }),
            heard);
}

// While a dialog of the practice is open the timer waits; afterwards it starts afresh and the
// answer field has the focus again. "Richtig" covers "Falsch".
TEST_F(StudyWindow, DialogsPauseTheTimerAndGiveTheFocusBack) {
  t.options.AutoWeiterAkt = true;
  t.options.Autoweiter = 1;
  auto driven = mhtest::onNextModal([&](QWidget*) {
    Answer(QStringLiteral("Katze"));
    Answer(QStringLiteral("abcde"));
    EXPECT_TRUE(study.rfindicator2->isVisible());
    EXPECT_FALSE(study.rfindicator->isVisible()) << "covered by \"Richtig\"";
    EXPECT_TRUE(study.Timer1->isActive());
    // A dialog that takes the focus and stays open longer than the timer's interval.
    flows.onQuickEditEntry = [&](const TVocData&, bool) {
      study.Button4->setFocus();
      EXPECT_FALSE(study.Timer1->isActive());
      QTest::qWait(600);
      return std::optional<TVocData>();
    };
    study.Button4->click();
    EXPECT_EQ(QStringLiteral("cat"), study.Memo1->toPlainText()) << "no move behind the dialog";
    EXPECT_TRUE(study.Timer1->isActive()) << "afresh";
    EXPECT_TRUE(study.Edit1->hasFocus());
    Leave();
  });
  study.StartStudy();
}

// A DataFile that fails while it is read ends the learner's action with one box that names the
// file and the reason; the practice goes on.
TEST_F(StudyWindow, AReadErrorEndsTheActionWithAMessage) {
  auto driven = mhtest::onNextModal([&](QWidget*) {
    Answer(QStringLiteral("abcde"));
    flows.onQuickEditEntry = [&](const TVocData& entry, bool) {
      InjectFileFault({path, FileFault::At::Read, 0, EIO});
      return std::optional<TVocData>(entry);  // changed: the lesson is read again
    };
    t.messages.expect("Die Datei \"" + path +
                          "\" kann nicht gelesen werden: Ein-/Ausgabefehler des Datenträgers.",
                      Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    study.Button4->click();
    ClearFileFaults();
    EXPECT_TRUE(t.messages.done());
    EXPECT_TRUE(study.isVisible());
    Leave();
  });
  study.StartStudy();
}

TEST(StudyFromTheMainWindow, PractisingALessonToTheEnd) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(
      path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"), Entry(1, "dog", "Hund")});
  t.options.KickoutVal = 1;
  t.options.Autoweiterchbx = true;
  t.options.algorithmus = 1;
  Windows windows(t.services, t.dir.path());
  TForm1& main = windows.main();
  main.show();
  bool mainHidden = false;
  t.messages.expect("Sie haben alle Vokabeln erfolgreich beherrscht!");
  auto driven = mhtest::onNextModal([&](QWidget* w) {
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
                      auto* s = mhtest::as<Tstudy>(w);
                      mainHidden = !main.isVisible();
                      // The closing box comes over the window as the last answer left it.
                      t.messages.onShow = [&, s](const std::string&) {
                        EXPECT_EQ(QStringLiteral("2/2"), s->Label8->text());
                      };
                      for (int i = 0; i < 2; ++i) {
                        QTest::keyClicks(s->Edit1, s->Memo1->toPlainText() == QStringLiteral("cat")
                                                       ? QStringLiteral("Katze")
                                                       : QStringLiteral("Hund"));
                        QTest::keyClick(s->Edit1, Qt::Key_Return);
                      }
                      EXPECT_EQ(QStringLiteral("2/2"), s->Label8->text());
                      s->Button6->click();
                    });
  main.Button2->click();
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(t.messages.done());
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// Without speech (CI) "Vorlesen" is disabled, says why, and Ctrl+L does nothing, with no box;
// once voices are there, Ctrl+L in the answer field reads the question.
TEST_F(StudyWindow, VorlesenWithoutSpeechAndWithCtrlL) {
  auto driven = mhtest::onNextModal([&](QWidget*) {
    ASSERT_TRUE(QTest::qWaitForWindowActive(&study));
    EXPECT_EQ(QStringLiteral("&Vorlesen"), study.VorlesenBtn->text());
    EXPECT_FALSE(study.VorlesenBtn->isEnabled());
    EXPECT_EQ(QStringLiteral("Keine Sprachausgabe (Test)"), study.VorlesenBtn->toolTip());
    QTest::keyClick(study.Edit1, Qt::Key_L, Qt::ControlModifier);
    EXPECT_TRUE(t.speaker.said.empty());

    t.speaker.withVoices();
    Answer(QStringLiteral("abcde"));
    EXPECT_TRUE(study.VorlesenBtn->isEnabled());
    QTest::keyClick(study.Edit1, Qt::Key_L, Qt::ControlModifier);
    EXPECT_EQ(std::vector<std::string>{"cat"}, t.speaker.texts());
    Leave();
  });
  study.StartStudy();
}

}  // namespace
}  // namespace merkhaus
