// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/question_form.h"
#include "flows/services.h"
#include "testing/test_session.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace merkhaus {

class SpecialCharEdit;
class Ttst_ausw;

// "Testen": asks every entry of a lesson once. The window only shows what its TestSession
// decides; the evaluation window ("Testauswertung") stays open beside it and remains usable
// while the test runs modally, because it is a window of its own owned by this one.
class TTesten : public QDialog, public Mode, public QuestionForm, private Redraw {
  Q_OBJECT
 public:
  explicit TTesten(const ModeContext& mode);
  ~TTesten() override;

  QPushButton* Button3;  // Auswertung
  QLabel* Label5;
  QLabel* Label6;        // asked/entries
  QPushButton* Button2;  // Weiter

  TestSession& session() { return *session_; }
  // The evaluation window shown at the end of a test and by "Auswertung".
  Ttst_ausw& evaluation() { return *evaluation_; }

  // Starts a test on the current lesson and runs the window until "Ende".
  void StartTest();
  void runMode(ModeHost&) override { StartTest(); }

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void VorlesenBtnClick();

 protected:
  void reject() override;

 private:
  void redraw() override;
  // Hands the answer field to the session before an action and shows its result afterwards.
  template <class Action>
  void act(Action action);
  void render();

  Services& services_;
  Flows flows_;
  std::unique_ptr<TestSession> session_;
  Ttst_ausw* evaluation_ = nullptr;  // a window of its own, owned by this one
  unsigned shownEvaluationRequests_ = 0;
};

}  // namespace merkhaus
