// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_window.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include "config/special_char_edit.h"
#include "flows/read_aloud_button.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "practice/study_session.h"

namespace merkhaus {
namespace {

void SetTextColour(QPlainTextEdit* memo, const Rgb& colour) {
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Text, QColor(colour.r, colour.g, colour.b));
  memo->setPalette(palette);
}

QLabel* MakeIndicator(QWidget* parent, const QString& text, const QColor& colour) {
  auto* label = MakeLabel(parent, text, QRect(176, 292, 204, 52));
  QFont font;
  // Comic Neue has Comic Sans' metrics and is free; Linux desktops seldom have the original.
  font.setFamilies({QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue")});
  font.setPixelSize(32);
  font.setBold(true);
  label->setFont(font);
  label->setAlignment(Qt::AlignCenter);
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
  label->hide();
  return label;
}

}  // namespace

Tstudy::Tstudy(const ModeContext& mode)
    : QDialog(nullptr), services_(mode.services), flows_(mode.flows) {
  setObjectName(QStringLiteral("study"));
  setWindowTitle(QStringLiteral("Üben"));
  // No title-bar buttons: "Ende" is the only way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(489, 360);

  BuildQuestionForm(*this, this, services_.specialChars, 226);
  Button4 = MakeClickOnlyButton(buttonColumn, QStringLiteral("Korrigieren"), QRect(6, 74, 83, 28));
  Button4->setFocusPolicy(Qt::StrongFocus);
  const QFont bold = Label4->font();

  auto* counters = MakePanel(this, QRect(390, 172, 95, 112));
  Label5 = MakeLabel(counters, QStringLiteral("Noch mal:"), QRect(6, 4, 83, 16));
  Label7 = MakeLabel(counters, QStringLiteral("-"), QRect(6, 20, 83, 16));
  Label9 = MakeLabel(counters, QStringLiteral("Versuch:"), QRect(6, 40, 83, 16));
  Label10 = MakeLabel(counters, QStringLiteral("-"), QRect(6, 56, 83, 16));
  Label6 = MakeLabel(counters, QStringLiteral("Gekonnt:"), QRect(6, 76, 83, 16));
  Label8 = MakeLabel(counters, QStringLiteral("-"), QRect(6, 92, 83, 16));
  for (QLabel* value : {Label7, Label10, Label8}) {
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    value->setFont(bold);
  }

  Button5 = MakeClickOnlyButton(this, QStringLiteral("Lösun&g"), QRect(4, 304, 84, 30));
  Button3 = MakeClickOnlyButton(this, QStringLiteral("&Tip"), QRect(94, 304, 70, 30));
  rfindicator = MakeIndicator(this, QStringLiteral("Falsch"), QColor(255, 0, 0));
  rfindicator2 = MakeIndicator(this, QStringLiteral("Richtig"), QColor(0, 255, 0));
  rfindicator2->raise();
  Button2 = MakeClickOnlyButton(this, QStringLiteral("Ausw&erten"), QRect(386, 304, 99, 30));
  SetBold(Button2);

  Timer1 = new QTimer(this);
  Timer1->setInterval(3333);

  setTabOrder(Edit1, Button4);

  Redraw& window = *this;
  session_ = std::make_unique<StudySession>(services_, flows_, window);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &Tstudy::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &Tstudy::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &Tstudy::Button3Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &Tstudy::Button4Click, m);
  OnEvent(Button5, &QPushButton::clicked, this, &Tstudy::Button5Click, m);
  OnEvent(Button6, &QPushButton::clicked, this, &Tstudy::Button6Click, m);
  OnEvent(Button7, &QPushButton::clicked, this, &Tstudy::Button7Click, m);
  OnEvent(Button8, &QPushButton::clicked, this, &Tstudy::Button8Click, m);
  OnEvent(Timer1, &QTimer::timeout, this, &Tstudy::Timer1Timer, m);
  OnEvent(VorlesenBtn, &QPushButton::clicked, this, &Tstudy::VorlesenBtnClick, m);
  // Edit1KeyDown: Enter is "Ausw&erten"/"W&eiter"; F5..F8 are handled by the field itself.
  Edit1->onKeyDown = [this, &m](QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    RunAction(m, [this] { Button2Click(); });
    return true;
  };
  AttachHelp(this, services_.help, mode.helpContext);
}

Tstudy::~Tstudy() = default;

// Every action may open a dialog (a question, the lesson choice, the quick edit): the
// auto-advance timer waits meanwhile and starts afresh afterwards, and the answer field has the
// focus again, so that the learner can go on typing.
template <class Action>
void Tstudy::act(Action action) {
  session_->setAnswer(ToWinString(Edit1->text(), services_.lesson.encoding()));
  Timer1->stop();
  action();
  render();
  Edit1->setFocus();
}

void Tstudy::render() {
  const StudyView& v = session_->view();
  setWindowTitle(Utf8ToQString(v.caption));
  Label4->setText(ToQString(v.lessonName));
  ShowElided(Label13, OneLine(ToQString(v.lessonComment)));
  Label2->setText(ToQString(v.foreignLanguage));
  Label1->setText(ToQString(v.nativeLanguage));
  // A screen reader hears the verdict first, then what the boxes newly show.
  QStringList news;
  const bool wrong = v.wrongShown && !v.rightShown;
  // A new try is judged again, also with the same verdict as before.
  const bool judged = Utf8ToQString(v.tries) != Label10->text();
  if (v.rightShown && (rfindicator2->isHidden() || judged)) news << rfindicator2->text();
  if (wrong && (rfindicator->isHidden() || judged)) news << rfindicator->text();
  news << ShowInBox(Memo1, Label2, ToQString(v.foreignText))
       << ShowInBox(Memo2, Label1, ToQString(v.nativeText))
       << ShowInBox(Memo3, Label3, ToQString(v.comment));
  SetTextColour(Memo1, v.foreignColour);
  SetTextColour(Memo2, v.nativeColour);
  if (ToWinString(Edit1->text(), services_.lesson.encoding()) != v.answer)
    Edit1->setText(ToQString(v.answer));
  // "Richtig" covers "Falsch": the two stand in one place, and only one may be read.
  rfindicator->setVisible(wrong);
  rfindicator2->setVisible(v.rightShown);
  Announce(Edit1, news);
  Button2->setText(v.evaluating ? QStringLiteral("Ausw&erten") : QStringLiteral("W&eiter"));
  Button3->setEnabled(v.tipEnabled);
  Button4->setEnabled(v.correctEnabled);
  Button5->setEnabled(v.solutionEnabled);
  ShowReadAloudState(VorlesenBtn, session_->speech(), v.foreignShown);
  Label7->setText(Utf8ToQString(v.remaining));
  Label10->setText(Utf8ToQString(v.tries));
  Label8->setText(Utf8ToQString(v.mastered));
  if (!v.autoAdvance) {
    Timer1->stop();
  } else if (!Timer1->isActive()) {
    Timer1->start();
  }
}

void Tstudy::redraw() {
  render();
  if (isVisible()) repaint();
}

void Tstudy::StartStudy() {
  if (!session_->startStudy()) return;
  render();
  Edit1->setFocus();
  exec();
  Timer1->stop();
}

void Tstudy::Button1Click() {
  act([this] { flows_.options.showOptions(); });
  FormActivate();
}

void Tstudy::Button2Click() {
  act([this] { session_->advance(); });
  Edit1->setFocus();
}

void Tstudy::Button3Click() {
  act([this] { session_->tip(); });
}

void Tstudy::Button4Click() {
  act([this] { session_->correct(); });
}

void Tstudy::Button5Click() {
  act([this] { session_->solution(); });
}

void Tstudy::Button6Click() {
  bool close = false;
  act([&] { close = session_->confirmEnd(); });
  if (close) QDialog::accept();
}

void Tstudy::Button7Click() {
  act([this] { flows_.headerInfo.showHeaderInfo(false, false); });
}

void Tstudy::Button8Click() {
  act([this] { session_->changeLesson(); });
}

void Tstudy::Timer1Timer() {
  act([this] { session_->autoAdvance(); });
}

void Tstudy::VorlesenBtnClick() {
  act([this] { session_->readAloud(); });
}

void Tstudy::FormActivate() {
  Timer1->setInterval(session_->timerInterval());
}

void Tstudy::changeEvent(QEvent* event) {
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
  QDialog::changeEvent(event);
}

void Tstudy::showEvent(QShowEvent* event) {
  FormActivate();
  QDialog::showEvent(event);
  Edit1->setFocus();  // the learner types the answer right away
}

// Escape does not leave the practice: "Ende" is the only way out.
void Tstudy::reject() {}

}  // namespace merkhaus
