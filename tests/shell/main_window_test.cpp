// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTest>
#include <QToolButton>

#include "dictionary/dictionary_window.h"
#include "platform/picture.h"
#include "shell/about_box.h"
#include "shell/command_line.h"
#include "shell/lesson_choice.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

TEST(MainWindow, CaptionsAndTheErweitertSwap) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  EXPECT_EQ(QStringLiteral("Merkhaus 3"), f.windowTitle());
  EXPECT_EQ(QStringLiteral("Eingeben"), f.Button1->text());
  EXPECT_EQ(QStringLiteral("Üben"), f.Button2->text());
  EXPECT_EQ(QStringLiteral("Testen"), f.Button3->text());
  EXPECT_EQ(QStringLiteral("Wörterbuch"), f.Button4->text());
  EXPECT_EQ(QStringLiteral("Erweitert"), f.Button7->text());
  EXPECT_EQ(QStringLiteral("Optionen"), f.Button9->text());
  EXPECT_EQ(QStringLiteral("Editiern"), f.Button11->text());
  EXPECT_EQ(QStringLiteral("Drucken"), f.Button8->text());
  EXPECT_EQ(QStringLiteral("Info"), f.Button6->text());
  EXPECT_EQ(QStringLiteral("Ende"), f.Button5->text());
  EXPECT_EQ(QStringLiteral("Hilfe"), f.Button10->text());
  EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "fixed size";
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_FALSE(f.windowFlags() & Qt::WindowMaximizeButtonHint);

  EXPECT_TRUE(f.Panel3->isVisible());
  EXPECT_TRUE(f.Image1->isVisible());
  EXPECT_FALSE(f.Panel4->isVisible());
  f.Button7->click();
  EXPECT_FALSE(f.Panel3->isVisible());
  EXPECT_FALSE(f.Image1->isVisible());
  EXPECT_TRUE(f.Panel4->isVisible());
  EXPECT_EQ(f.Panel4->geometry().top(), f.Image1->geometry().top()) << "in the same place";
  // "Lernstand" waits there, and every button of the panel lies inside it.
  EXPECT_EQ(QStringLiteral("Lernstand"), f.Button13->text());
  for (const QPushButton* b : f.Panel4->findChildren<QPushButton*>())
    EXPECT_TRUE(f.Panel4->rect().contains(b->geometry())) << b->text().toStdString();
  // Twice the size, with a title bar, still fits a screen 1000 pixels high: "Hilfe" and "Ende"
  // stay in reach.
  EXPECT_LE(f.height() + 30, 1000 / 2);
  EXPECT_LE(f.Panel2->geometry().bottom(), f.height());
  f.SpeedButton1->click();
  EXPECT_TRUE(f.Panel3->isVisible());
  EXPECT_TRUE(f.Image1->isVisible());
  EXPECT_FALSE(f.Panel4->isVisible());
}

// The main window opens where the learner left it, comes back there after a mode, and its place
// reaches Merkhaus3.conf when the program ends; Merkhaus.cfg's lines stay as they are.
TEST(MainWindow, KeepsItsPlaceForTheSessionAndAcrossStarts) {
  mhtest::TestContext t;
  { Windows first(t.services, t.dir.path()); }  // a first start writes Merkhaus.cfg
  mhtest::WriteBytes(t.dir.file("Merkhaus3.conf"), "window.main=140,90,320,452,0\n");
  {
    Windows windows(t.services, t.dir.path());
    TForm1& f = windows.main();
    EXPECT_EQ(QPoint(140, 90), f.pos());
    f.show();
    const std::string cfg = mhtest::ReadBytes(t.dir.file("Merkhaus.cfg"));
    f.move(170, 60);
    mhtest::pumpEvents();
    // A mode that hides the main window (the dictionary): it comes back at its place.
    const std::string path = t.dir.file("vok.fid");
    mhtest::WriteRecords(path, {mhtest::Header("V"), mhtest::Unit(1, "L")});
    bool hidden = false;
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg>(w);
                    d->Edit1->setText(QString::fromStdString(path));
                    d->OKBtn->click();
                  }).then([&](QWidget* w) {
      hidden = !f.isVisible();
      mhtest::as<Tbeebook>(w)->Button1->click();
    });
    f.Button4->click();
    EXPECT_TRUE(driven.done());
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(QPoint(170, 60), f.pos());
    f.close();
    EXPECT_EQ(cfg, mhtest::ReadBytes(t.dir.file("Merkhaus.cfg")));
  }
  const std::string conf = mhtest::ReadBytes(t.dir.file("Merkhaus3.conf"));
  EXPECT_NE(std::string::npos, conf.find("window.main=170,60,320,452,0\n")) << conf;
  // The next start reads it.
  mhtest::TestContext next;
  for (const char* name : {"Merkhaus.cfg", "Merkhaus3.conf"})
    std::filesystem::copy_file(t.dir.file(name), next.dir.file(name));
  Windows again(next.services, next.dir.path());
  EXPECT_EQ(QPoint(170, 60), again.main().pos());
}

// Enter presses the focused button, as Space does.
TEST(MainWindow, EnterPressesTheFocusedButton) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  f.activateWindow();
  f.Button7->setFocus();
  QTest::keyClick(f.Button7, Qt::Key_Return);
  EXPECT_TRUE(f.Panel4->isVisible());
  f.SpeedButton1->setFocus();
  QTest::keyClick(f.SpeedButton1, Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_TRUE(f.Panel3->isVisible());
}

// A DataFile without lessons is told once; the practice does not start on no lesson.
TEST(MainWindow, NoLessonNoPractice) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("leer.fid");
  mhtest::WriteRecords(path, {mhtest::Header("V")});
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  t.messages.expect("Keine Lektionen verfügbar!", Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOKBottomDlg>(w);
    d->Edit1->setText(QString::fromStdString(path));
    d->OKBtn->click();
  });
  f.Button2->click();
  EXPECT_TRUE(t.messages.done());
  EXPECT_EQ(1u, t.messages.shown().size());
  EXPECT_TRUE(f.isVisible());
}

TEST(MainWindow, PicturesAreDrawnAtTheirPlaces) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  ASSERT_TRUE(f.Image1->renderer()->isValid());
  EXPECT_EQ(QSize(304, 148), f.Image1->renderer()->defaultSize());
  // Smaller where a mode button took room from it, but in its proportions and in the middle.
  EXPECT_NEAR(f.Image1->height() * 304.0 / 148.0, f.Image1->width(), 1.0);
  EXPECT_LT(f.Image1->height(), 148);
  EXPECT_NEAR(f.Panel1->geometry().center().x(), f.Image1->geometry().center().x(), 1);
  EXPECT_FALSE(f.SpeedButton1->icon().pixmap(QSize(28, 28)).isNull()) << "back arrow";
  TAboutBox about(t.help);
  ASSERT_TRUE(about.ProgramIcon->renderer()->isValid());
  EXPECT_EQ(QSize(96, 96), about.ProgramIcon->renderer()->defaultSize());
  for (const char* name : {":/images/back.svg", ":/images/merkhaus.svg"}) {
    EXPECT_TRUE(QSvgRenderer(QString::fromLatin1(name)).isValid()) << name;
  }
}

TEST(MainWindow, InfoShowsTheAboutBox) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  QStringList texts;
  auto info = mhtest::onNextModal([&](QWidget* w) {
    auto* about = mhtest::as<TAboutBox>(w);
    EXPECT_EQ(QStringLiteral("Info"), about->windowTitle());
    texts << about->ProductName->text() << about->Version->text() << about->Copyright->text()
          << about->Comments->text();
    about->OKButton->click();
  });
  f.Button7->click();
  f.Button6->click();
  EXPECT_EQ((QStringList{QStringLiteral("Merkhaus 3"), QStringLiteral("Version 3.05"),
                         QStringLiteral("TVocData is:"), QStringLiteral("624 bytes")}),
            texts);

  f.SpeedButton1->click();
  auto picture = mhtest::onNextModal([&](QWidget* w) {
    EXPECT_NE(nullptr, mhtest::as<TAboutBox>(w));
    static_cast<QDialog*>(w)->accept();
  });
  QTest::mouseDClick(f.Image1, Qt::LeftButton);  // the picture shows the about box too
}

TEST(MainWindow, HelpButtonAndF1) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  f.activateWindow();
  f.Button10->click();
  QTest::keyClick(&f, Qt::Key_F1);
  EXPECT_EQ((std::vector<int>{0, 3}), t.help.topics);
}

// A mode that records how it was run.
struct RecordingMode : Mode {
  std::function<void(ModeHost&)> onRun;
  int runs = 0;
  void runMode(ModeHost& host) override {
    ++runs;
    if (onRun) onRun(host);
  }
};

// A new mode is one registration: a button of its own in the modes' panel, the choices it
// wants before it runs, and the main window as it wants it.
TEST(MainWindow, ARegisteredModeGetsAButtonAndItsChoices) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path,
                       {mhtest::Header("V"), mhtest::Unit(1, "Eins"), mhtest::Unit(255, "Zwei")});
  Windows windows(t.services, t.dir.path());
  TForm1& f = windows.main();
  f.show();
  const int height = f.height();
  const int bottomPanel = f.Panel2->y();

  RecordingMode review, overview;
  f.AddMode({"ButtonReview", "Wiederholen", 11, DataFileStep::DataFile, LessonStep::Lesson,
             MainWindow::Hidden, 5},
            review);
  f.AddMode({"ButtonOverview", "Lernstand", 12, DataFileStep::OwnDataFile, LessonStep::NoLesson,
             MainWindow::HiddenByMode, 0},
            overview);
  auto* button = f.findChild<QPushButton*>(QStringLiteral("ButtonReview"));
  ASSERT_NE(nullptr, button);
  EXPECT_EQ(QStringLiteral("Wiederholen"), button->text());
  EXPECT_TRUE(button->isVisible());
  EXPECT_EQ(height + 80, f.height()) << "the window grows by the two buttons";
  EXPECT_EQ(bottomPanel + 80, f.Panel2->y());
  EXPECT_EQ(f.minimumSize(), f.maximumSize()) << "and keeps a fixed size";

  // Its button: the DataFile and the lesson are chosen, then it runs with the main window
  // hidden, which comes back afterwards.
  bool hidden = false;
  review.onRun = [&](ModeHost&) { hidden = !f.isVisible(); };
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg>(w);
                    d->Edit1->setText(QString::fromStdString(path));
                    d->OKBtn->click();
                  }).then([&](QWidget* w) {
      auto* l = mhtest::as<TForm6>(w);
      l->ListBox1->setCurrentRow(1);
      l->Button1->click();
    });
    button->click();
  }
  EXPECT_EQ(1, review.runs);
  EXPECT_TRUE(hidden);
  EXPECT_TRUE(f.isVisible());
  EXPECT_EQ(255, t.lesson.unitId);

  // The lesson choice abandoned: the mode does not run.
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    mhtest::as<TOKBottomDlg>(w)->OKBtn->click();
                  }).then([&](QWidget* w) { mhtest::as<TForm6>(w)->Button4->click(); });
    button->click();
  }
  EXPECT_EQ(1, review.runs);

  // Its number starts it on a DataFile of the command line, after the lesson choice.
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* l = mhtest::as<TForm6>(w);
      l->ListBox1->setCurrentRow(0);
      l->Button1->click();
    });
    f.RunModeOnFile(5, path);
  }
  EXPECT_EQ(2, review.runs);
  EXPECT_EQ(1, t.lesson.unitId);

  // A mode that chooses its own DataFile runs at once and hides the main window itself.
  overview.onRun = [&](ModeHost& host) {
    EXPECT_TRUE(f.isVisible());
    host.hideMainWindow();
    EXPECT_FALSE(f.isVisible());
  };
  f.findChild<QPushButton*>(QStringLiteral("ButtonOverview"))->click();
  EXPECT_EQ(1, overview.runs);
  EXPECT_TRUE(f.isVisible());
  EXPECT_TRUE(t.messages.done());
}

TEST(CommandLine, MissingFilesAndNonDataFilesAreReportedAndForgotten) {
  mhtest::TestContext t;
  const auto missing = t.dir.file("fehlt.fid");
  t.messages.expect("Die Datei \"" + missing + "\" ist nicht auffindbar!", Answer::Yes,
                    MsgKind::Warning, MsgButtons::Yes);
  Windows windows(t.services, t.dir.path());
  HandleCommandLine(t.services, windows.main(), {missing});
  EXPECT_TRUE(t.lesson.cmdLineFile.empty());

  const auto text = t.dir.file("alt.fid");
  mhtest::WriteBytes(text, "x\tDatafile: alt\r\nmehr Text\r\n");
  t.messages.expect(
      "Kein Merkhaus ]|[ Datafile! Sie können die Datei unter 'Erweitert/Konveriteren' "
      "konvertieren, wenn es sich um ein älters Merkhaus 1.53R DataFile handelt.\nDie Datei \"" +
          text +
          "\" ist kein DataFile von Merkhaus 3. Einen Menüpunkt zum Konvertieren gibt es "
          "in Merkhaus 3 nicht.",
      Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  HandleCommandLine(t.services, windows.main(), {text});
  EXPECT_TRUE(t.lesson.cmdLineFile.empty());

  const auto folder = t.dir.file("ordner.fid");
  std::filesystem::create_directory(folder);
  t.messages.expect("Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + folder +
                        "\" kann nicht geöffnet werden: das ist ein Ordner.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  HandleCommandLine(t.services, windows.main(), {folder});
  EXPECT_TRUE(t.lesson.cmdLineFile.empty());

  const auto good = t.dir.file("gut.fid");
  mhtest::WriteRecords(good, {mhtest::Header("V")});
  HandleCommandLine(t.services, windows.main(), {good});
  EXPECT_EQ(good, t.lesson.cmdLineFile) << "kept for later choices";
  EXPECT_TRUE(t.messages.done());
}

}  // namespace
}  // namespace merkhaus
