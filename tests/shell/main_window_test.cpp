// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_window.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSvgRenderer>
#include <QTest>
#include <QToolButton>

#include "platform/picture.h"
#include "shell/about_box.h"
#include "shell/command_line.h"
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
  f.SpeedButton1->click();
  EXPECT_TRUE(f.Panel3->isVisible());
  EXPECT_TRUE(f.Image1->isVisible());
  EXPECT_FALSE(f.Panel4->isVisible());
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
  EXPECT_EQ(f.Image1->size(), f.Image1->renderer()->defaultSize()) << "drawn unscaled";
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
      "konvertieren, wenn es sich um ein älters Merkhaus 1.53R DataFile handelt.",
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
