#include "practice/study_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <QSpinBox>
#include "config/options_dialog.h"
#include "config/special_char_edit.h"
#include "practice/quick_edit_window.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "store/datafile.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

QColor TextColour(QPlainTextEdit* memo) {
  return memo->palette().color(QPalette::Text);
}

// A practice of lesson 1 in file order, A - B, asked without random draws. The first practice of
// a run starts after the entry asked last (index 0), so "cat" comes first.
class StudyWindow : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.ctx};
  Tstudy& study = *t.ctx.forms.study;
  std::string path = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(
        path, {Header("Meine Vokabeln", "Englisch", "Deutsch"), Unit(1, "Tiere", "Haustiere"),
               Entry(1, "house", "Haus"), Entry(1, "cat", "abcde", "miaut"),
               Entry(1, "dog", "Hund"), Unit(255, "Leer")});
    t.shared->DataFilePath = path;
    t.shared->CurUnitID = 1;
    // The lesson choice has read record 0 before a practice starts.
    ASSERT_TRUE(ReadHeaderRecord(path, t.shared->DataFileHeader));
    t.options.algorithmus = 1;
    t.options.Abfrageweise = 0;
    t.options.AutoWeiterAkt = false;
  }

  // Runs the practice; `drive` acts inside the window, which it must leave with "Ende".
  void Practise(std::function<void(Tstudy&)> drive) {
    mhtest::onNextModal([&](QWidget* w) { drive(*mhtest::as<Tstudy>(w)); });
    StartStudy(t.ctx);
  }

  void Answer(Tstudy& s, const QString& text) {
    s.Edit1->clear();
    QTest::keyClicks(s.Edit1, text);
    QTest::keyClick(s.Edit1, Qt::Key_Return);
  }

  void Leave(Tstudy& s, bool ask = true) {
    if (ask)
      t.messages.expect("Wollen sie das Üben dieser Lektion abbrechen?", Answer::Yes,
                        MsgKind::Confirmation, MsgButtons::YesNo);
    s.Button6->click();
  }
};

TEST_F(StudyWindow, RightAnswerByEnter) {
  Practise([&](Tstudy& s) {
    EXPECT_EQ(QStringLiteral("Üben -- Meine Vokabeln"), s.windowTitle());
    EXPECT_EQ(QStringLiteral("Tiere"), s.Label4->text());
    EXPECT_EQ(QStringLiteral("Haustiere"), s.Label13->text());
    EXPECT_EQ(QStringLiteral("Englisch"), s.Label2->text());
    EXPECT_EQ(QStringLiteral("Deutsch"), s.Label1->text());
    EXPECT_EQ(QStringLiteral("cat"), s.Memo1->toPlainText());
    EXPECT_EQ(QStringLiteral("miaut"), s.Memo3->toPlainText());
    EXPECT_EQ(QStringLiteral("Ausw&erten"), s.Button2->text());
    EXPECT_FALSE(s.Button4->isEnabled());
    EXPECT_EQ(QStringLiteral("2"), s.Label7->text());
    EXPECT_EQ(QStringLiteral("0/3"), s.Label10->text());
    EXPECT_EQ(QStringLiteral("0/3"), s.Label8->text());

    Answer(s, QStringLiteral("abcde"));
    EXPECT_TRUE(s.rfindicator2->isVisible());
    EXPECT_FALSE(s.rfindicator->isVisible());
    EXPECT_EQ(QStringLiteral("abcde"), s.Memo2->toPlainText());
    EXPECT_EQ(QColor(0, 128, 0), TextColour(s.Memo2));
    EXPECT_EQ(QString(), s.Edit1->text());
    EXPECT_EQ(QStringLiteral("W&eiter"), s.Button2->text());
    EXPECT_TRUE(s.Button4->isEnabled());
    EXPECT_FALSE(s.Button3->isEnabled());
    EXPECT_FALSE(s.Button5->isEnabled());
    EXPECT_EQ(QStringLiteral("1"), s.Label7->text());

    QTest::keyClick(s.Edit1, Qt::Key_Return);  // "W&eiter"
    EXPECT_EQ(QStringLiteral("dog"), s.Memo1->toPlainText());
    EXPECT_EQ(QString(), s.Memo2->toPlainText());
    EXPECT_FALSE(s.rfindicator2->isVisible());
    Leave(s);
  });
}

TEST_F(StudyWindow, WrongAnswersThenTheSolutionInRed) {
  t.options.Neuversuche = 1;
  Practise([&](Tstudy& s) {
    Answer(s, QStringLiteral("Katze"));
    EXPECT_TRUE(s.rfindicator->isVisible());
    EXPECT_FALSE(s.Button3->isEnabled()) << "no tip once the tries are spent";
    EXPECT_EQ(QStringLiteral("Ausw&erten"), s.Button2->text());
    EXPECT_EQ(QStringLiteral("1/2"), s.Label10->text());

    Answer(s, QStringLiteral("Kater"));
    EXPECT_EQ(QStringLiteral("abcde"), s.Memo2->toPlainText());
    EXPECT_EQ(QColor(255, 0, 0), TextColour(s.Memo2));
    EXPECT_EQ(QStringLiteral("W&eiter"), s.Button2->text());
    EXPECT_EQ(QString(), s.Edit1->text());
    Leave(s);
  });
}

TEST_F(StudyWindow, TipsMaskTheFirstAnswer) {
  Practise([&](Tstudy& s) {
    s.Button3->click();
    EXPECT_EQ(QStringLiteral("~~c~~"), s.Memo2->toPlainText());
    EXPECT_EQ(QColor(255, 0, 0), TextColour(s.Memo2));
    EXPECT_FALSE(s.Button3->isEnabled());
    Leave(s);
  });
  t.options.AdvancedTips = true;
  Practise([&](Tstudy& s) {
    // The next practice goes on after "cat".
    EXPECT_EQ(QStringLiteral("dog"), s.Memo1->toPlainText());
    s.Button3->click();
    EXPECT_EQ(QStringLiteral("H~n~"), s.Memo2->toPlainText());
    Leave(s);
  });
}

TEST_F(StudyWindow, BlanksAreCutFromTheAnswerFieldBeforeJudging) {
  Practise([&](Tstudy& s) {
    Answer(s, QStringLiteral("  ab   cde  "));
    EXPECT_EQ(QStringLiteral("ab cde"), s.Edit1->text());
    EXPECT_TRUE(s.rfindicator->isVisible());
    Leave(s);
  });
}

TEST_F(StudyWindow, SofortWeiterAndTheTimer) {
  t.options.Autoweiterchbx = true;
  Practise([&](Tstudy& s) {
    Answer(s, QStringLiteral("abcde"));
    EXPECT_EQ(QStringLiteral("dog"), s.Memo1->toPlainText()) << "the next question at once";
    EXPECT_FALSE(s.rfindicator2->isVisible());
    EXPECT_EQ(QStringLiteral("Ausw&erten"), s.Button2->text());
    Leave(s);
  });

  t.options.Autoweiterchbx = false;
  t.options.AutoWeiterAkt = true;
  t.options.Autoweiter = 1;
  Practise([&](Tstudy& s) {
    EXPECT_EQ(333, s.Timer1->interval());
    EXPECT_EQ(QStringLiteral("house"), s.Memo1->toPlainText());
    EXPECT_FALSE(s.Timer1->isActive()) << "stopped while a question waits";
    Answer(s, QStringLiteral("Haus"));
    EXPECT_TRUE(s.Timer1->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(s.Memo1->toPlainText(), QStringLiteral("cat"), 3000);
    EXPECT_FALSE(s.Timer1->isActive());
    Leave(s);
  });
}

TEST_F(StudyWindow, OptionsConfirmedInThePracticeSetTheTimer) {
  Practise([&](Tstudy& s) {
    mhtest::onNextModal([&](QWidget* w) {
      auto* o = mhtest::as<TOptionsDLG>(w);
      o->Autoweiter->setValue(9);
      o->OKBtn->click();
    });
    s.Button1->click();
    EXPECT_EQ(9 * 333, s.Timer1->interval());
    Leave(s);
  });
  EXPECT_EQ(9, t.options.Autoweiter);
}

TEST_F(StudyWindow, KorrigierenWritesTheDataFile) {
  Practise([&](Tstudy& s) {
    Answer(s, QStringLiteral("abcde"));
    mhtest::onNextModal([&](QWidget* w) {
      auto* q = mhtest::as<TQuickEdit>(w);
      EXPECT_EQ(QStringLiteral("Quick-Edit"), q->windowTitle());
      EXPECT_EQ(QStringLiteral("cat"), q->Edit1->text());
      q->Edit2->setText(QStringLiteral("  Katze  "));
      q->Button1->click();
    });
    s.Button4->click();
    EXPECT_EQ(QStringLiteral("Ausw&erten"), s.Button2->text());
    EXPECT_TRUE(s.Button3->isEnabled());
    EXPECT_TRUE(s.Button5->isEnabled());
    EXPECT_FALSE(s.Button4->isEnabled());
    s.Button5->click();  // the solution of the corrected entry
    EXPECT_EQ(QStringLiteral("Katze"), s.Memo2->toPlainText());
    Leave(s);
  });
  EXPECT_EQ(Entry(1, "cat", "Katze", "miaut"), mhtest::ReadRecords(path).at(3));
}

TEST_F(StudyWindow, CancelledLessonChangeKeepsThePractice) {
  Practise([&](Tstudy& s) {
    t.messages.expect("Wollen sie das Üben dieser Lektion abbrechen?", Answer::Yes);
    mhtest::onNextModal([&](QWidget* w) { mhtest::as<TForm6>(w)->Button4->click(); });
    s.Button8->click();
    EXPECT_EQ(QStringLiteral("cat"), s.Memo1->toPlainText());
    Answer(s, QStringLiteral("abcde"));
    EXPECT_TRUE(s.rfindicator2->isVisible());
    Leave(s);
  });
}

TEST_F(StudyWindow, TheEndIsAnnouncedAtTheNextRequest) {
  t.options.KickoutVal = 1;
  t.shared->CurUnitID = 1;
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Eins"), Entry(1, "one", "eins")});
  Practise([&](Tstudy& s) {
    Answer(s, QStringLiteral("eins"));
    EXPECT_EQ(QStringLiteral("0/1"), s.Label8->text()) << "counted when the next entry is chosen";
    t.messages.expect("Sie haben alle Vokabeln erfolgreich beherrscht!", Answer::Ok,
                      MsgKind::Information, MsgButtons::Ok);
    s.Button2->click();
    EXPECT_EQ(QString(), s.Memo1->toPlainText()) << "no new question";
    Leave(s, false);  // done: no question
  });
  EXPECT_TRUE(t.messages.done());
}

TEST_F(StudyWindow, PractisingFromTheMainWindowToTheEnd) {
  t.options.KickoutVal = 1;
  t.options.Autoweiterchbx = true;
  TForm1& main = windows.main();
  main.show();
  bool mainHidden = false;
  t.messages.expect("Sie haben alle Vokabeln erfolgreich beherrscht!");
  mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    d->Edit1->setText(QString::fromStdString(path));
    mhtest::onNextModal([&](QWidget* w6) {
      auto* f = mhtest::as<TForm6>(w6);
      mhtest::onNextModal([&](QWidget* ws) {
        auto* s = mhtest::as<Tstudy>(ws);
        mainHidden = !main.isVisible();
        const std::map<QString, QString> answers = {
            {QStringLiteral("house"), QStringLiteral("Haus")},
            {QStringLiteral("cat"), QStringLiteral("abcde")},
            {QStringLiteral("dog"), QStringLiteral("Hund")}};
        for (int i = 0; i < 3; ++i)
          Answer(*s, answers.at(s->Memo1->toPlainText()));
        EXPECT_EQ(QStringLiteral("3/3"), s->Label8->text());
        s->Button6->click();
      });
      f->ListBox1->setCurrentRow(0);
      f->Button1->click();
    });
    d->OKBtn->click();
  });
  main.Button2->click();
  EXPECT_TRUE(mainHidden);
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(t.messages.done());
}

}  // namespace
}  // namespace merkhaus
