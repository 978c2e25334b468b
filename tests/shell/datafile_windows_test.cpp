// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "dictionary/dictionary_window.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/new_datafile_form.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

class DataFileWindows : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.services, t.dir.path()};
  TOKBottomDlg& dlg = windows.openDataFile();
  std::string good = t.dir.file("vok.fid");

  void SetUp() override {
    mhtest::WriteRecords(good, {mhtest::Header("Vokabeln"), mhtest::Unit(1, "Lektion 1"),
                                mhtest::Entry(1, "house", "Haus")});
  }
};

TEST_F(DataFileWindows, OkTakesThePathAndCancelAbandons) {
  bool newEnabled = true;
  auto ok = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    EXPECT_EQ(QStringLiteral("DataFile öffnen"), d->windowTitle());
    newEnabled = d->Button4->isEnabled();
    d->Edit1->setText(QString::fromStdString(t.dir.file("vok")));  // ".fid" is added
    QTest::keyClick(d, Qt::Key_Return);                            // OK has the focus
  });
  EXPECT_EQ(good, dlg.chooseDataFile(ChooseMode::Plain));
  EXPECT_FALSE(newEnabled);
  EXPECT_EQ(QString::fromStdString(good), dlg.Edit1->text()) << "kept for the next showing";

  auto cancel = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    EXPECT_TRUE(d->Button4->isEnabled());
    EXPECT_EQ(QString::fromStdString(good), d->Edit1->text());
    d->CancelBtn->click();
  });
  // The learner's "Abbrechen" reaches the caller as no DataFile at all.
  EXPECT_EQ(std::nullopt, dlg.chooseDataFile(ChooseMode::NewDataFile));
}

TEST_F(DataFileWindows, StandardDataFileIsTakenWithoutAsking) {
  t.options.alwaysthisfile = true;
  t.options.StdDF = good;
  EXPECT_EQ(good, dlg.chooseDataFile(ChooseMode::Plain));
  t.options.StdDF.clear();
  EXPECT_EQ("", dlg.chooseDataFile(ChooseMode::Plain)) << "empty, and still no dialog";
}

TEST_F(DataFileWindows, BrowsingForAMissingFileWarnsAndAsksAgain) {
  const auto missing = t.dir.file("fehlt.fid");
  // A relative path in the field: the file dialog starts at that file all the same, and
  // cancelling it changes nothing.
  const QString relative = QString::fromStdString(std::filesystem::relative(good).string());
  dlg.Edit1->setText(relative);
  t.fileDialogs.answerOpen(std::nullopt).answerOpen(missing).answerOpen(good);
  t.messages.expect("Datei \"" + missing + "\" nicht vorhanden!", Answer::Ok, MsgKind::Warning,
                    MsgButtons::Ok);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    // The focus can only be checked once the dialog is the active window.
    ASSERT_TRUE(QTest::qWaitForWindowActive(d));
    d->Button1->click();
    EXPECT_EQ(relative, d->Edit1->text()) << "cancelled";
    d->Button1->click();
    EXPECT_EQ(QString::fromStdString(good), d->Edit1->text());
    EXPECT_EQ(d->OKBtn, d->focusWidget());  // the dialog may not be active yet
    d->OKBtn->click();
  });
  EXPECT_EQ(good, dlg.chooseDataFile(ChooseMode::Plain));
  EXPECT_EQ("DataFile (*.fid)|*.fid|Alle (*.*)|*.*", t.fileDialogs.openRequests.at(0).filter);
  EXPECT_EQ(good, t.fileDialogs.openRequests.at(0).initialPath);
  EXPECT_EQ(missing, t.fileDialogs.openRequests.at(2).initialPath) << "again at the last choice";
}

TEST_F(DataFileWindows, CreatingANewDataFile) {
  const auto path = t.dir.file("neu.fid");
  t.fileDialogs.answerSave(path);
  t.messages.expect("Soll die Vokabeldatei " + path + " angelegt werden?", Answer::Yes);
  QString fieldAfter;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    auto form = mhtest::onNextModal([&](QWidget* w4) {
      auto* f = mhtest::as<TForm4>(w4);
      EXPECT_EQ(QStringLiteral("Neues DataFile anlegen"), f->windowTitle());
      EXPECT_EQ(QStringLiteral("keinen"), f->Edit2->text());
      EXPECT_EQ(QStringLiteral("Deutsch"), f->ComboBox2->currentText());
      QTest::keyClicks(f->Edit1, QStringLiteral("Meine Vokabeln"));
      f->ComboBox1->setCurrentIndex(f->ComboBox1->findText(QStringLiteral("Latein")));
      QTest::keyClicks(f->Edit3, QStringLiteral("Ich"));
      QTest::keyClick(f->Edit3, Qt::Key_Return);  // Enter is "&Weiter >>"
    });
    d->Button4->click();
    fieldAfter = d->Edit1->text();
    d->OKBtn->click();
  });
  EXPECT_EQ(path, dlg.chooseDataFile(ChooseMode::NewDataFile));
  EXPECT_EQ(QString::fromStdString(path), fieldAfter);
  EXPECT_EQ((std::vector<mhtest::RawRecord>{
                mhtest::Header("Meine Vokabeln", "Latein", "Deutsch", "Ich", "keinen")}),
            mhtest::ReadRecords(path));

  // The form starts empty next time: no "keinen", "Deutsch" again, the cursor in the name.
  t.fileDialogs.answerSave(t.dir.file("noch.fid"));
  bool nameFocused = false;
  {
    auto again = mhtest::onNextModal([&](QWidget* w) {
      auto form = mhtest::onNextModal([&](QWidget* w4) {
        auto* f = mhtest::as<TForm4>(w4);
        nameFocused = f->Edit1->hasFocus();
        f->Button2->click();
      });
      mhtest::as<TOKBottomDlg>(w)->Button4->click();
      w->close();
    });
    dlg.chooseDataFile(ChooseMode::NewDataFile);
  }
  EXPECT_TRUE(nameFocused);
  TForm4& f = windows.newDataFile();
  EXPECT_EQ(QString(), f.Edit1->text());
  EXPECT_EQ(QString(), f.Edit2->text());
  EXPECT_EQ(QString(), f.Edit3->text());
  EXPECT_EQ(QString(), f.ComboBox1->currentText());
  EXPECT_EQ(QStringLiteral("Deutsch"), f.ComboBox2->currentText());
}

TEST_F(DataFileWindows, AbandoningTheNewDataFileFormCancelsTheWholeChoice) {
  t.fileDialogs.answerSave(t.dir.file("neu.fid"));
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    auto form = mhtest::onNextModal([&](QWidget* w4) { mhtest::as<TForm4>(w4)->Button2->click(); });
    d->Button4->click();
    d->Edit1->setText(QString::fromStdString(good));
    d->OKBtn->click();  // a valid path, but the flow is already cancelled
  });
  EXPECT_EQ(std::nullopt, dlg.chooseDataFile(ChooseMode::NewDataFile));
  EXPECT_FALSE(std::filesystem::exists(t.dir.file("neu.fid")));
}

TEST_F(DataFileWindows, MainWindowFlowsReachTheLessonChoice) {
  TForm1& main = windows.main();
  main.show();
  t.lesson.unitId = 77;

  // "Wörterbuch" chooses a DataFile but no lesson.
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg>(w);
                    EXPECT_FALSE(d->Button4->isEnabled());
                    d->Edit1->setText(QString::fromStdString(good));
                    d->OKBtn->click();
                  }).then([&](QWidget* w) { mhtest::as<Tbeebook>(w)->Button1->click(); });
    main.Button4->click();
  }
  EXPECT_EQ(good, t.lesson.dataFilePath);
  EXPECT_EQ(77, t.lesson.unitId);

  // "Drucken" enables "Neues..." and goes on to the lesson list and the print dialog.
  bool newEnabled = false;
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg>(w);
                    newEnabled = d->Button4->isEnabled();
                    d->OKBtn->click();
                  }).then([&](QWidget* w6) {
      auto* f = mhtest::as<TForm6>(w6);
      EXPECT_FALSE(f->Button2->isEnabled()) << "no lessons created while printing";
      f->ListBox1->setCurrentRow(0);
      f->Button1->click();
    });
    t.printDialog.answerCancel();  // then the print dialog, cancelled here
    main.Button7->click();
    main.Button8->click();
  }
  EXPECT_TRUE(t.printDialog.done());
  EXPECT_TRUE(newEnabled);
  EXPECT_EQ(1, t.lesson.unitId);

  // "Üben" abandoned in the lesson list keeps the current lesson.
  t.lesson.unitId = 5;
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    mhtest::as<TOKBottomDlg>(w)->OKBtn->click();
                  }).then([&](QWidget* w6) { mhtest::as<TForm6>(w6)->Button4->click(); });
    main.Button2->click();
  }
  EXPECT_EQ(5, t.lesson.unitId);
}

TEST_F(DataFileWindows, CommandLineReactionShowsTheLessonListFirst) {
  t.options.openreact = 1;
  bool listed = false;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    listed = f->ListBox1->count() == 1;
    f->Button4->click();  // "&Zurück": the program starts normally
  });
  HandleCommandLine(t.services, windows.main(), {good});
  EXPECT_TRUE(listed);
  EXPECT_EQ(good, t.lesson.cmdLineFile);
  EXPECT_EQ(good, t.lesson.dataFilePath);
}

}  // namespace
}  // namespace merkhaus
