// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <array>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/services.h"

class QCheckBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QShortcut;

namespace merkhaus {

class ReviewSession;
class SpecialCharEdit;

// "Wiederholen": asks what is due today in the chosen DataFile, typed or as cards turned over.
// The window only shows what its ReviewSession decides.
class TReview : public QDialog, public Mode {
  Q_OBJECT
 public:
  explicit TReview(const ModeContext& mode);
  ~TReview() override;

  QLabel* LessonLabel;
  QLabel* ForeignLabel;
  QPlainTextEdit* ForeignMemo;  // the A side
  QLabel* NativeLabel;
  QPlainTextEdit* NativeMemo;  // the B side
  QPlainTextEdit* CommentMemo;
  // Beside the question: room for buttons that act on the entry asked (reading it aloud).
  QHBoxLayout* QuestionTools;
  QPushButton* VorlesenBtn;  // reads the foreign side aloud (Ctrl+L)
  QLabel* AnswerLabel;
  QLabel* WrongLabel;                        // "Falsch"
  SpecialCharEdit* AnswerEdit;               // typed answers
  QPushButton* AdvanceButton;                // Auswerten / Weiter / Umdrehen
  QPushButton* SolutionButton;               // Lösung (typed)
  std::array<QPushButton*, 4> GradeButtons;  // Nochmal, Schwer, Gut, Leicht (cards)
  QCheckBox* CardBox;                        // Karteikarte
  QPushButton* CorrectButton;                // Korrigieren
  QLabel* CounterLabel;
  QPushButton* EndButton;  // Ende

  ReviewSession& session() { return *session_; }

  // Reads what is due and runs the window until the learner leaves it or everything is asked.
  void StartReview();
  void runMode(ModeHost&) override { StartReview(); }

  void AdvanceButtonClick();
  void SolutionButtonClick();
  void GradeButtonClick(int grade);
  void CardBoxClick();
  void CorrectButtonClick();
  void EndButtonClick();
  void VorlesenBtnClick();

 private:
  template <class Action>
  void act(Action action);
  void render();

  Services& services_;
  Flows flows_;
  std::unique_ptr<ReviewSession> session_;
  QShortcut* spaceKey_;
  std::array<QShortcut*, 4> gradeKeys_;
};

}  // namespace merkhaus
