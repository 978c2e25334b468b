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
#include <QWindow>
#include <algorithm>

#include "flows/lesson_loading.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/about_box.h"

namespace merkhaus {
namespace {

constexpr int kModeButtonStep = 40;  // from one mode button of the main panel to the next
// The "Erweitert" panel's five buttons need this much height.
constexpr int kAdvancedPanelMinHeight = 160;

}  // namespace

TForm1::TForm1(Services& services, const Flows& flows, TAboutBox& about)
    : QWidget(nullptr), services_(services), flows_(flows), about_(about) {
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
  // Its buttons fit the panel also once the picture has made room for a mode button.
  Button9 = MakeButton(Panel4, QStringLiteral("Optionen"), QRect(12, 6, 236, 28));
  Button11 = MakeButton(Panel4, QStringLiteral("Editiern"), QRect(12, 37, 236, 28));
  Button8 = MakeButton(Panel4, QStringLiteral("Drucken"), QRect(12, 68, 236, 28));
  Button13 = MakeButton(Panel4, QStringLiteral("Lernstand"), QRect(12, 99, 236, 28));
  Button6 = MakeButton(Panel4, QStringLiteral("Info"), QRect(12, 130, 236, 28));
  SpeedButton1 = new QToolButton(Panel4);
  SpeedButton1->setGeometry(256, 6, 36, 36);
  SpeedButton1->setIcon(QIcon(QStringLiteral(":/images/back.svg")));
  SpeedButton1->setIconSize(QSize(28, 28));
  SpeedButton1->setToolTip(QStringLiteral("Zurück"));
  SpeedButton1->setAccessibleName(QStringLiteral("Zurück"));
  SpeedButton1->setAutoRaise(true);
  Panel4->hide();

  Panel2 = MakePanel(this, QRect(8, 404, 304, 40));
  Button10 = MakeButton(Panel2, QStringLiteral("Hilfe"), QRect(12, 5, 136, 30));
  Button5 = MakeButton(Panel2, QStringLiteral("Ende"), QRect(156, 5, 136, 30));

  // The buttons carry their form names: the modes are registered by them (AddMode).
  const std::pair<QPushButton*, const char*> named[] = {
      {Button1, "Button1"}, {Button2, "Button2"},   {Button3, "Button3"},   {Button4, "Button4"},
      {Button5, "Button5"}, {Button6, "Button6"},   {Button7, "Button7"},   {Button8, "Button8"},
      {Button9, "Button9"}, {Button10, "Button10"}, {Button11, "Button11"}, {Button13, "Button13"}};
  for (const auto& [button, name] : named)
    button->setObjectName(QLatin1String(name));

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
  OnEvent(Button13, &QPushButton::clicked, this, &TForm1::Button13Click, m);
  OnEvent(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click, m);
  OnEvent(Image1, &Picture::doubleClicked, this, &TForm1::Image1DblClick, m);

  AttachHelp(this, services_.help, HelpContext::MainWindow);
}

TForm1::~TForm1() {
  // FormDestroy: the help viewer goes with the program.
  services_.help.close();
}

void TForm1::AddMode(const ModeInfo& info, Mode& mode) {
  auto* button = findChild<QPushButton*>(QLatin1String(info.button));
  if (!button) button = AddModeButton(info);
  modes_.push_back({info, &mode, button});
  if (info.currentCaption) button->setText(Utf8ToQString(info.currentCaption(services_)));
}

void TForm1::UpdateModeCaptions() {
  for (const Registered& m : modes_) {
    if (m.info.currentCaption) m.button->setText(Utf8ToQString(m.info.currentCaption(services_)));
  }
}

QPushButton* TForm1::AddModeButton(const ModeInfo& info) {
  int bottom = 0;
  for (const auto* b : Panel1->findChildren<QPushButton*>())
    bottom = std::max(bottom, b->geometry().bottom());
  auto* button = MakeButton(Panel1, QString::fromUtf8(info.caption),
                            QRect(12, bottom + 1 + kModeButtonStep - 36, 280, 36));
  button->setObjectName(QLatin1String(info.button));
  SetBold(button, 1.15);
  Panel1->resize(Panel1->width(), Panel1->height() + kModeButtonStep);
  // The first new button takes its room from the picture (and from the "Erweitert" panel in its
  // place, whose buttons still fit), so that the window stays low enough for a screen of 1000
  // pixels at twice the size; after that everything below moves down and the window grows.
  if (Panel4->height() - kModeButtonStep >= kAdvancedPanelMinHeight) {
    Panel4->setGeometry(Panel4->x(), Panel4->y() + kModeButtonStep, Panel4->width(),
                        Panel4->height() - kModeButtonStep);
    // The picture keeps its proportions, narrower and in the middle.
    const QRect old = Image1->geometry();
    const int height = old.height() - kModeButtonStep;
    const int width = old.width() * height / old.height();
    Image1->setGeometry(old.x() + (old.width() - width) / 2, old.y() + kModeButtonStep, width,
                        height);
  } else {
    for (QWidget* below : {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Panel3),
                           static_cast<QWidget*>(Panel4), static_cast<QWidget*>(Panel2)}) {
      below->move(below->x(), below->y() + kModeButtonStep);
    }
    setFixedSize(width(), height() + kModeButtonStep);
  }
  connect(button, &QPushButton::clicked, this,
          [this, button] { RunAction(services_.messages, [&] { RunModeOf(button); }); });
  button->show();
  return button;
}

void TForm1::Button1Click() {
  RunModeOf(Button1);
}
void TForm1::Button2Click() {
  RunModeOf(Button2);
}
void TForm1::Button3Click() {
  RunModeOf(Button3);
}
void TForm1::Button4Click() {
  RunModeOf(Button4);
}
void TForm1::Button8Click() {
  RunModeOf(Button8);
}
void TForm1::Button11Click() {
  RunModeOf(Button11);
}
void TForm1::Button13Click() {
  RunModeOf(Button13);
}

void TForm1::RunModeOf(QPushButton* button) {
  const auto found = std::find_if(modes_.begin(), modes_.end(),
                                  [&](const Registered& m) { return m.button == button; });
  if (found == modes_.end()) return;
  const ModeInfo& info = found->info;
  LessonContext& lesson = services_.lesson;
  if (info.dataFile != DataFileStep::OwnDataFile) {
    const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(
        info.dataFile == DataFileStep::DataFileOrNew ? ChooseMode::NewDataFile : ChooseMode::Plain);
    if (!path) return;
    lesson.dataFilePath = *path;
    TellWhenReadOnly(lesson, services_.messages);
  }
  if (info.lesson != LessonStep::NoLesson) {
    const std::optional<std::uint8_t> unit =
        flows_.lessons.selectLesson(lesson.dataFilePath, info.lesson == LessonStep::LessonOrNew);
    // A DataFile without lessons has been told ("Keine Lektionen verfügbar!"); a mode on no
    // lesson would only add error boxes.
    if (!unit || *unit == 0) return;
    lesson.unitId = *unit;
  }
  RunModeWindow(*found);
}

void TForm1::RunModeOnFile(int reaction, const std::string& path) {
  if (reaction == 0) return;
  const auto found = std::find_if(modes_.begin(), modes_.end(), [&](const Registered& m) {
    return m.info.commandLineReaction == reaction;
  });
  if (found == modes_.end()) return;
  LessonContext& lesson = services_.lesson;
  lesson.dataFilePath = path;
  TellWhenReadOnly(lesson, services_.messages);
  const std::optional<std::uint8_t> unit =
      flows_.lessons.selectLesson(path, found->info.lesson == LessonStep::LessonOrNew);
  if (!unit || (*unit == 0 && found->info.lesson != LessonStep::NoLesson)) return;
  lesson.unitId = *unit;
  RunModeWindow(*found);
}

void TForm1::RunModeWindow(const Registered& mode) {
  // Each mode's window runs modally while the main window is hidden, unless the mode keeps it
  // (printing) or hides it itself once it runs (the editor, after its DataFile was chosen). The
  // main window comes back where it was, however the mode ends, also when an error ends it
  // early.
  struct ShowAgain {
    QWidget* window;
    QPoint at;
    bool wasVisible;
    ~ShowAgain() {
      if (!wasVisible || window->isVisible()) return;
      // Qt still holds the old place, so move() would do nothing; the window's own place tells
      // the window manager that the program chose it, instead of placing the window anew.
      if (QWindow* handle = window->windowHandle()) handle->setFramePosition(at);
      window->show();
      if (QWindow* handle = window->windowHandle()) handle->setFramePosition(at);
    }
  } showAgain{this, pos(), isVisible()};
  KeepPlace();
  if (mode.info.mainWindow == MainWindow::Hidden) hide();
  mode.mode->runMode(*this);
  // What the mode did may have changed what is due.
  UpdateModeCaptions();
}

void TForm1::hideMainWindow() {
  hide();
}

void TForm1::Button5Click() {
  close();
  QCoreApplication::quit();
}

void TForm1::Button6Click() {
  about_.exec();
}

void TForm1::Button9Click() {
  flows_.options.showOptions();
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

void TForm1::KeepPlace() {
  if (!isVisible()) return;
  const QRect frame = frameGeometry();
  services_.options.more.mainWindow =
      WindowPlace{true, frame.x(), frame.y(), width(), height(), isMaximized()};
}

void TForm1::PlaceAsSaved() {
  const WindowPlace& place = services_.options.more.mainWindow;
  // The size is the form's own; a place off every screen is mended as the window is shown.
  if (place.known) move(place.x, place.y);
}

void TForm1::closeEvent(QCloseEvent* event) {
  KeepPlace();
  if (savePlace) savePlace();
  event->accept();
  QCoreApplication::quit();
}

}  // namespace merkhaus
