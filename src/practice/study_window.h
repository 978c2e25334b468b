// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/question_form.h"
#include "flows/redraw.h"
#include "flows/services.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace merkhaus {

class SpecialCharEdit;
class StudySession;

// "Üben": asks the entries of a lesson one after another until every one is known. The window
// only shows what its StudySession decides.
class Tstudy : public QDialog, public Mode, public QuestionForm, private Redraw {
  Q_OBJECT
 public:
  explicit Tstudy(const ModeContext& mode);
  ~Tstudy() override;

  QPushButton* Button4;  // Korrigieren
  QLabel* Label5;
  QLabel* Label7;  // Noch mal
  QLabel* Label9;
  QLabel* Label10;  // Versuch
  QLabel* Label6;
  QLabel* Label8;        // Gekonnt
  QPushButton* Button5;  // Lösung
  QPushButton* Button3;  // Tip
  QPushButton* Button2;  // Auswerten / Weiter
  QLabel* rfindicator;   // Falsch
  QLabel* rfindicator2;  // Richtig
  QTimer* Timer1;

  StudySession& session() { return *session_; }

  // Starts a practice on the current lesson and runs the window until "Ende".
  void StartStudy();
  void runMode(ModeHost&) override { StartStudy(); }

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Timer1Timer();
  void VorlesenBtnClick();
  void FormActivate();

 protected:
  void changeEvent(QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  // Hands the answer field to the session before an action and shows its result afterwards.
  template <class Action>
  void act(Action action);
  void render();
  // Shows the view now, painted, while an action goes on (before a box).
  void redraw() override;

  Services& services_;
  Flows flows_;
  std::unique_ptr<StudySession> session_;
};

}  // namespace merkhaus
