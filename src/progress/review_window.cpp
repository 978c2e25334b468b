// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/review_window.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "config/special_char_edit.h"
#include "flows/read_aloud_button.h"
#include "platform/action.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "progress/review_session.h"
#include "text/answer_check.h"

namespace merkhaus {
namespace {

QPlainTextEdit* MakeSide(QWidget* parent) {
  auto* memo = new QPlainTextEdit(parent);
  memo->setReadOnly(true);
  memo->setFocusPolicy(Qt::NoFocus);
  FollowTextDirection(memo);
  QFont font = memo->font();
  font.setPointSizeF(font.pointSizeF() * 1.4);
  memo->setFont(font);
  return memo;
}

void SetTextColour(QPlainTextEdit* memo, const QColor& colour) {
  QPalette palette = memo->palette();
  palette.setColor(QPalette::Text, colour);
  memo->setPalette(palette);
}

const char* const kGradeCaptions[] = {"&1 Nochmal", "&2 Schwer", "&3 Gut", "&4 Leicht"};

}  // namespace

TReview::TReview(const ModeContext& mode)
    : QDialog(nullptr), services_(mode.services), flows_(mode.flows) {
  setObjectName(QStringLiteral("review"));
  setWindowTitle(QStringLiteral("Wiederholen"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  resize(560, 400);

  auto* layout = new QVBoxLayout(this);
  LessonLabel = new QLabel(this);
  SetBold(LessonLabel);
  layout->addWidget(LessonLabel);

  auto* sides = new QGridLayout;
  ForeignLabel = new QLabel(this);
  NativeLabel = new QLabel(this);
  ForeignMemo = MakeSide(this);
  NativeMemo = MakeSide(this);
  // Named after their column, so that a screen reader says which side it reads.
  ForeignLabel->setBuddy(ForeignMemo);
  NativeLabel->setBuddy(NativeMemo);
  ForeignMemo->setAccessibleName(QStringLiteral("Fremdsprache"));
  NativeMemo->setAccessibleName(QStringLiteral("Muttersprache"));
  sides->addWidget(ForeignLabel, 0, 0);
  sides->addWidget(NativeLabel, 0, 1);
  sides->addWidget(ForeignMemo, 1, 0);
  sides->addWidget(NativeMemo, 1, 1);
  QuestionTools = new QHBoxLayout;
  QuestionTools->addStretch();
  // Placed by the layout; the rectangle only gives its first size.
  VorlesenBtn = MakeReadAloudButton(this, this, QStringLiteral("&Vorlesen"), QRect(0, 0, 90, 28));
  VorlesenBtn->setAutoDefault(false);
  QuestionTools->addWidget(VorlesenBtn);
  sides->addLayout(QuestionTools, 2, 0, 1, 2);
  layout->addLayout(sides, 3);

  auto* commentLabel = new QLabel(QStringLiteral("Kommentar:"), this);
  layout->addWidget(commentLabel);
  CommentMemo = new QPlainTextEdit(this);
  CommentMemo->setReadOnly(true);
  CommentMemo->setFocusPolicy(Qt::NoFocus);
  FollowTextDirection(CommentMemo);
  CommentMemo->setMaximumHeight(CommentMemo->fontMetrics().lineSpacing() * 3);
  commentLabel->setBuddy(CommentMemo);
  CommentMemo->setAccessibleName(QStringLiteral("Kommentar"));
  layout->addWidget(CommentMemo);

  auto* answerRow = new QHBoxLayout;
  AnswerLabel = new QLabel(QStringLiteral("&Antwort:"), this);
  AnswerEdit = new SpecialCharEdit(services_.specialChars, kMaxAnswer, this);
  AnswerLabel->setBuddy(AnswerEdit);
  WrongLabel = new QLabel(QStringLiteral("Falsch"), this);
  QPalette red = WrongLabel->palette();
  red.setColor(QPalette::WindowText, QColor(255, 0, 0));
  WrongLabel->setPalette(red);
  SetBold(WrongLabel);
  SolutionButton = new QPushButton(QStringLiteral("Lösun&g"), this);
  AdvanceButton = new QPushButton(QStringLiteral("Ausw&erten"), this);
  SetBold(AdvanceButton);
  answerRow->addWidget(AnswerLabel);
  answerRow->addWidget(AnswerEdit, 1);
  answerRow->addWidget(WrongLabel);
  answerRow->addWidget(SolutionButton);
  answerRow->addWidget(AdvanceButton);
  layout->addLayout(answerRow);

  auto* gradeRow = new QHBoxLayout;
  for (std::size_t i = 0; i < GradeButtons.size(); ++i) {
    GradeButtons[i] = new QPushButton(QString::fromUtf8(kGradeCaptions[i]), this);
    GradeButtons[i]->setMinimumHeight(GradeButtons[i]->sizeHint().height() * 2);
    gradeRow->addWidget(GradeButtons[i]);
  }
  layout->addLayout(gradeRow);

  auto* bottom = new QHBoxLayout;
  CardBox = new QCheckBox(QStringLiteral("Kar&teikarte"), this);
  CorrectButton = new QPushButton(QStringLiteral("&Korrigieren"), this);
  CounterLabel = new QLabel(QStringLiteral("-"), this);
  EndButton = new QPushButton(QStringLiteral("E&nde"), this);
  bottom->addWidget(CardBox);
  bottom->addWidget(CorrectButton);
  bottom->addStretch();
  bottom->addWidget(CounterLabel);
  bottom->addWidget(EndButton);
  layout->addLayout(bottom);

  session_ = std::make_unique<ReviewSession>(services_, flows_,
                                             dynamic_cast<ProgressKeeper*>(&services_.progress));

  Messages& m = services_.messages;
  OnEvent(AdvanceButton, &QPushButton::clicked, this, &TReview::AdvanceButtonClick, m);
  OnEvent(SolutionButton, &QPushButton::clicked, this, &TReview::SolutionButtonClick, m);
  OnEvent(CardBox, &QCheckBox::clicked, this, &TReview::CardBoxClick, m);
  OnEvent(CorrectButton, &QPushButton::clicked, this, &TReview::CorrectButtonClick, m);
  OnEvent(EndButton, &QPushButton::clicked, this, &TReview::EndButtonClick, m);
  OnEvent(VorlesenBtn, &QPushButton::clicked, this, &TReview::VorlesenBtnClick, m);
  for (std::size_t i = 0; i < GradeButtons.size(); ++i) {
    const int grade = static_cast<int>(i) + 1;
    connect(GradeButtons[i], &QPushButton::clicked, this,
            [this, grade, &m] { RunAction(m, [&] { GradeButtonClick(grade); }); });
    // The keys 1 to 4 grade a card, as learners know it from other card trainers.
    gradeKeys_[i] = new QShortcut(QKeySequence(Qt::Key_1 + static_cast<int>(i)), this);
    connect(gradeKeys_[i], &QShortcut::activated, this,
            [this, grade, &m] { RunAction(m, [&] { GradeButtonClick(grade); }); });
  }
  // Space turns a card over.
  spaceKey_ = new QShortcut(QKeySequence(Qt::Key_Space), this);
  connect(spaceKey_, &QShortcut::activated, this,
          [this, &m] { RunAction(m, [this] { AdvanceButtonClick(); }); });
  AnswerEdit->onKeyDown = [this, &m](QKeyEvent* event) {
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) return false;
    RunAction(m, [this] { AdvanceButtonClick(); });
    return true;
  };
  AttachHelp(this, services_.help, mode.helpContext);
  // Ctrl+Tab reaches the question boxes and every button, as in practice.
  InstallControlTabRing(this);
}

TReview::~TReview() = default;

template <class Action>
void TReview::act(Action action) {
  session_->setAnswer(ToWinString(AnswerEdit->text(), session_->encoding()));
  action();
  render();
  if (session_->view().finished) QDialog::accept();
}

void TReview::render() {
  const ReviewView& v = session_->view();
  const bool cardShown = v.asking == ReviewStyle::Card;
  setWindowTitle(Utf8ToQString(v.caption));
  LessonLabel->setText(ToQString(v.lessonName));
  ForeignLabel->setText(ToQString(v.foreignLanguage));
  NativeLabel->setText(ToQString(v.nativeLanguage));
  ForeignMemo->setPlainText(ToQString(v.foreignText));
  NativeMemo->setPlainText(ToQString(v.nativeText));
  CommentMemo->setPlainText(ToQString(v.comment));
  const QColor shown = cardShown || v.answerRight ? QColor(0, 128, 0) : QColor(255, 0, 0);
  const QColor text = palette().color(QPalette::Text);
  // Only the side that holds the answer changes colour once it is shown.
  SetTextColour(ForeignMemo, v.answerShown && !v.answerOnNative ? shown : text);
  SetTextColour(NativeMemo, v.answerShown && v.answerOnNative ? shown : text);
  if (ToWinString(AnswerEdit->text(), session_->encoding()) != v.answer)
    AnswerEdit->setText(ToQString(v.answer));

  AnswerLabel->setVisible(!cardShown);
  AnswerEdit->setVisible(!cardShown);
  WrongLabel->setVisible(!cardShown && v.wrongShown && !v.answerShown);
  SolutionButton->setVisible(!cardShown);
  SolutionButton->setEnabled(!v.answerShown);
  for (std::size_t i = 0; i < GradeButtons.size(); ++i) {
    GradeButtons[i]->setVisible(cardShown);
    GradeButtons[i]->setEnabled(v.grading);
    GradeButtons[i]->setText(QString::fromUtf8(kGradeCaptions[i]) +
                             (v.intervals[i].empty()
                                  ? QString()
                                  : QStringLiteral("\n") + Utf8ToQString(v.intervals[i])));
    gradeKeys_[i]->setEnabled(v.grading);
  }
  spaceKey_->setEnabled(cardShown && !v.answerShown);
  if (cardShown) {
    AdvanceButton->setText(QStringLiteral("&Umdrehen"));
    AdvanceButton->setEnabled(!v.answerShown);
  } else {
    AdvanceButton->setText(v.answerShown ? QStringLiteral("W&eiter")
                                         : QStringLiteral("Ausw&erten"));
    AdvanceButton->setEnabled(true);
  }
  CardBox->setChecked(v.style == ReviewStyle::Card);
  CorrectButton->setEnabled(v.correctEnabled);
  CounterLabel->setText(Utf8ToQString(v.counter));
  ShowReadAloudState(VorlesenBtn, session_->speech(), v.foreignShown && !v.finished);
  // A turned card waits on "Gut", so that Space or Enter takes the usual grade, never
  // "Nochmal" by accident.
  if (!cardShown) {
    AnswerEdit->setFocus();
  } else if (v.grading) {
    GradeButtons[2]->setFocus();
  } else {
    AdvanceButton->setFocus();
  }
}

void TReview::StartReview() {
  if (!session_->startReview()) return;
  render();
  exec();
}

void TReview::AdvanceButtonClick() {
  act([this] { session_->advance(); });
}

void TReview::SolutionButtonClick() {
  act([this] { session_->solution(); });
}

void TReview::GradeButtonClick(int grade) {
  act([this, grade] { session_->grade(static_cast<Grade>(grade)); });
}

void TReview::CardBoxClick() {
  act([this] {
    session_->setStyle(CardBox->isChecked() ? ReviewStyle::Card : ReviewStyle::Typed);
  });
}

void TReview::CorrectButtonClick() {
  act([this] { session_->correct(); });
}

void TReview::EndButtonClick() {
  QDialog::accept();
}

void TReview::VorlesenBtnClick() {
  act([this] { session_->readAloud(); });
}

}  // namespace merkhaus
