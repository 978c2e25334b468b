// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_window.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "config/special_char_edit.h"
#include "flows/read_aloud_button.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "testing/evaluation_window.h"

namespace merkhaus {

// Tab reaches only the answer field: every button is for the mouse or its accelerator.
TTesten::TTesten(const ModeContext& mode)
    : QDialog(nullptr), services_(mode.services), flows_(mode.flows) {
  setObjectName(QStringLiteral("Testen"));
  setWindowTitle(QStringLiteral("Testen"));
  // No title-bar buttons: "Ende" is the only way out.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(489, 292);

  BuildQuestionForm(*this, this, services_.specialChars, 230);
  Button3 = MakeClickOnlyButton(buttonColumn, QStringLiteral("Auswertung"), QRect(6, 74, 83, 28));
  const QFont bold = Label4->font();

  auto* counter = MakePanel(this, QRect(390, 172, 95, 60));
  Label5 = MakeLabel(counter, QStringLiteral("Vokabel:"), QRect(6, 6, 83, 16));
  Label6 = MakeLabel(counter, QStringLiteral("-"), QRect(6, 28, 83, 20));
  Label6->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  Label6->setFont(bold);

  Button2 = MakeClickOnlyButton(this, QStringLiteral("&Weiter"), QRect(390, 252, 95, 36));
  SetBold(Button2);

  Redraw& window = *this;
  session_ = std::make_unique<TestSession>(services_, flows_, window);
  evaluation_ = new Ttst_ausw(services_, *this, mode.helpContext);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &TTesten::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &TTesten::Button2Click, m);
  OnEvent(Button3, &QPushButton::clicked, this, &TTesten::Button3Click, m);
  OnEvent(Button6, &QPushButton::clicked, this, &TTesten::Button6Click, m);
  OnEvent(Button7, &QPushButton::clicked, this, &TTesten::Button7Click, m);
  OnEvent(Button8, &QPushButton::clicked, this, &TTesten::Button8Click, m);
  OnEvent(VorlesenBtn, &QPushButton::clicked, this, &TTesten::VorlesenBtnClick, m);
  // Edit1KeyDown: Enter is "&Weiter"; F5..F8 are handled by the field itself.
  Edit1->onKeyDown = [this, &m](QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    RunAction(m, [this] { Button2Click(); });
    return true;
  };
  AttachHelp(this, services_.help, mode.helpContext);
}

TTesten::~TTesten() {
  // The evaluation reads the session; it goes first.
  delete evaluation_;
}

template <class Action>
void TTesten::act(Action action) {
  session_->setAnswer(ToWinString(Edit1->text(), services_.lesson.encoding()));
  action();
  render();
  // The evaluation comes up beside the test once the action is done, filled from the test as it
  // stands then.
  if (shownEvaluationRequests_ != session_->view().evaluationRequests) {
    shownEvaluationRequests_ = session_->view().evaluationRequests;
    evaluation_->ShowEvaluation();
    // The test keeps the keyboard: answers typed now go on into the answer field.
    activateWindow();
    Edit1->setFocus();
  }
}

void TTesten::render() {
  const TestView& v = session_->view();
  setWindowTitle(Utf8ToQString(v.caption));
  ShowElided(Label4, ToQString(v.lessonName));
  ShowElided(Label13, ToQString(v.lessonComment));
  Label2->setText(ToQString(v.foreignLanguage));
  Label1->setText(ToQString(v.nativeLanguage));
  const QStringList news{ShowInBox(Memo1, Label2, ToQString(v.foreignText)),
                         ShowInBox(Memo2, Label1, ToQString(v.nativeText)),
                         ShowInBox(Memo3, Label3, ToQString(v.comment))};
  if (ToWinString(Edit1->text(), services_.lesson.encoding()) != v.answer)
    Edit1->setText(ToQString(v.answer));
  Announce(Edit1, news);
  Label6->setText(Utf8ToQString(v.counter));
  ShowReadAloudState(VorlesenBtn, session_->speech(), v.foreignShown);
}

void TTesten::StartTest() {
  bool started = false;
  act([&] { started = session_->startTest(); });
  if (!started) return;
  Edit1->setFocus();
  exec();
}

void TTesten::redraw() {
  render();
}

void TTesten::Button1Click() {
  flows_.options.showOptions();
}

void TTesten::Button2Click() {
  act([this] { session_->testAdvance(); });
  Edit1->setFocus();
}

void TTesten::Button3Click() {
  act([this] { session_->requestEvaluation(); });
  // The learner may go on answering with the evaluation beside the test.
  Edit1->setFocus();
}

void TTesten::Button6Click() {
  bool close = false;
  act([&] { close = session_->confirmEnd(); });
  if (!close) return;
  evaluation_->close();
  QDialog::accept();
}

void TTesten::Button7Click() {
  flows_.headerInfo.showHeaderInfo(false, false);
}

void TTesten::Button8Click() {
  act([this] { session_->changeLesson(); });
  Edit1->setFocus();
}

void TTesten::VorlesenBtnClick() {
  act([this] { session_->readAloud(); });
  Edit1->setFocus();
}

// Escape does not leave the test: "Ende" is the only way out.
void TTesten::reject() {}

}  // namespace merkhaus
