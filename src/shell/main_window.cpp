// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/main_window.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QFrame>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QToolButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "shell/about_box.h"
#include "shell/start_up.h"

namespace merkhaus {
TForm1::TForm1(Services& services, Windows& windows)
    : QWidget(nullptr), services_(services), windows_(windows) {
  setObjectName(QStringLiteral("Form1"));
  setWindowTitle(QStringLiteral("Merkhaus 3"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(320, 452);

  Panel1 = MakePanel(this, QRect(8, 8, 304, 180));
  const int modeTop = 12;
  Button1 = MakeButton(Panel1, QStringLiteral("Eingeben"), QRect(12, modeTop, 280, 36));
  Button2 = MakeButton(Panel1, QStringLiteral("Üben"), QRect(12, modeTop + 40, 280, 36));
  Button3 = MakeButton(Panel1, QStringLiteral("Testen"), QRect(12, modeTop + 80, 280, 36));
  Button4 = MakeButton(Panel1, QStringLiteral("Wörterbuch"), QRect(12, modeTop + 120, 280, 36));
  for (auto* b : {Button1, Button2, Button3, Button4})
    SetBold(b, 1.15);

  Image1 = new Picture(QStringLiteral(":/images/main.svg"), this);
  Image1->setGeometry(8, 196, 304, 148);

  Panel3 = MakePanel(this, QRect(8, 352, 304, 44));
  Button7 = MakeButton(Panel3, QStringLiteral("Erweitert"), QRect(12, 6, 280, 32));

  // "Erweitert" swaps the picture and Panel3 for the less frequent tasks, in the same place.
  Panel4 = MakePanel(this, QRect(8, 196, 304, 200));
  Button9 = MakeButton(Panel4, QStringLiteral("Optionen"), QRect(12, 10, 236, 32));
  Button11 = MakeButton(Panel4, QStringLiteral("Editiern"), QRect(12, 56, 236, 32));
  Button8 = MakeButton(Panel4, QStringLiteral("Drucken"), QRect(12, 102, 236, 32));
  Button6 = MakeButton(Panel4, QStringLiteral("Info"), QRect(12, 148, 236, 32));
  SpeedButton1 = new QToolButton(Panel4);
  SpeedButton1->setGeometry(256, 10, 36, 36);
  SpeedButton1->setIcon(QIcon(QStringLiteral(":/images/back.svg")));
  SpeedButton1->setIconSize(QSize(28, 28));
  SpeedButton1->setToolTip(QStringLiteral("Zurück"));
  SpeedButton1->setAutoRaise(true);
  Panel4->hide();

  Panel2 = MakePanel(this, QRect(8, 404, 304, 40));
  Button10 = MakeButton(Panel2, QStringLiteral("Hilfe"), QRect(12, 5, 136, 30));
  Button5 = MakeButton(Panel2, QStringLiteral("Ende"), QRect(156, 5, 136, 30));

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &TForm1::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &TForm1::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &TForm1::Button3Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &TForm1::Button4Click, m);
  OnEvent(Button5, &QPushButton::clicked, this, &TForm1::Button5Click, m);
  OnEvent(Button6, &QPushButton::clicked, this, &TForm1::Button6Click, m);
  OnEvent(Button7, &QPushButton::clicked, this, &TForm1::Button7Click, m);
  OnEvent(Button8, &QPushButton::clicked, this, &TForm1::Button8Click, m);
  OnEvent(Button9, &QPushButton::clicked, this, &TForm1::Button9Click, m);
  OnEvent(Button10, &QPushButton::clicked, this, &TForm1::Button10Click, m);
  OnEvent(Button11, &QPushButton::clicked, this, &TForm1::Button11Click, m);
  OnEvent(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click, m);
  OnEvent(Image1, &Picture::doubleClicked, this, &TForm1::Image1DblClick, m);

  AttachHelp(this, services_.help, HelpContext::MainWindow);
}

TForm1::~TForm1() {
  // FormDestroy: the help viewer goes with the program.
  services_.help.close();
}

void TForm1::AddMode(Mode mode, std::function<void()> run) {
  modes_[mode] = std::move(run);
}

void TForm1::Button1Click() {
  RunMode(Mode::Entry);
}
void TForm1::Button2Click() {
  RunMode(Mode::Study);
}
void TForm1::Button3Click() {
  RunMode(Mode::Test);
}
void TForm1::Button4Click() {
  RunMode(Mode::Dictionary);
}
void TForm1::Button8Click() {
  RunMode(Mode::Print);
}
// The DataFile editor chooses its DataFile itself.
void TForm1::Button11Click() {
  RunModeWindow(Mode::Edit);
}

namespace {

// The modes that work on one lesson; without one they do not start.
bool NeedsLesson(Mode mode) {
  return mode == Mode::Study || mode == Mode::Test || mode == Mode::Entry || mode == Mode::Print;
}

}  // namespace

void TForm1::RunMode(Mode mode) {
  Shared& shared = services_.shared;
  shared.Cancelled = 0;
  // Entering and printing may start on a new DataFile; the other modes need an existing one.
  const bool mayCreate = mode == Mode::Entry || mode == Mode::Print;
  const std::string path =
      windows_.ChooseDataFile(mayCreate ? ChooseMode::NewDataFile : ChooseMode::Plain);
  if (shared.Cancelled) return;
  shared.DataFilePath = path;
  if (mode != Mode::Dictionary) {
    const std::uint8_t unit = windows_.SelectUnit(shared.DataFilePath, mode == Mode::Entry);
    // A DataFile without lessons has been told ("Keine Lektionen verfügbar!"); a mode on no
    // lesson would only add error boxes.
    if (shared.Cancelled || (unit == 0 && NeedsLesson(mode))) return;
    shared.CurUnitID = unit;
  }
  RunModeWindow(mode);
}

void TForm1::RunModeOnFile(Mode mode, const std::string& path) {
  Shared& shared = services_.shared;
  shared.Cancelled = 0;
  shared.DataFilePath = path;
  const std::uint8_t unit = windows_.SelectUnit(shared.DataFilePath, mode == Mode::Entry);
  if (shared.Cancelled || (unit == 0 && NeedsLesson(mode))) return;
  shared.CurUnitID = unit;
  RunModeWindow(mode);
}

void TForm1::RunModeWindow(Mode mode) {
  const auto run = modes_.find(mode);
  if (run == modes_.end()) return;
  // Each mode's window runs modally while the main window is hidden; printing keeps it visible.
  // The main window comes back where it was, however the mode ends, also when an error ends it
  // early. The editor hides it itself, once its DataFile has been chosen.
  const bool hideMain = mode != Mode::Print && mode != Mode::Edit;
  struct ShowAgain {
    QWidget* window;
    QPoint at;
    ~ShowAgain() {
      if (!window) return;
      window->show();
      window->move(at);
    }
  } showAgain{hideMain ? this : nullptr, pos()};
  if (hideMain) hide();
  run->second();
}

void TForm1::Button5Click() {
  close();
  QCoreApplication::quit();
}

void TForm1::Button6Click() {
  windows_.about().exec();
}

void TForm1::Button9Click() {
  windows_.ShowOptions();
}

void TForm1::Image1DblClick() {
  Button6Click();
}

void TForm1::Button7Click() {
  Panel3->hide();
  Image1->hide();
  Panel4->show();
}

void TForm1::SpeedButton1Click() {
  Panel4->hide();
  Panel3->show();
  Image1->show();
}

void TForm1::Button10Click() {
  services_.help.showContents();
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    if (auto* button = qobject_cast<QAbstractButton*>(focusWidget())) {
      button->click();
      return;
    }
  }
  QWidget::keyPressEvent(event);
}

void TForm1::closeEvent(QCloseEvent* event) {
  event->accept();
  QCoreApplication::quit();
}

}  // namespace merkhaus
