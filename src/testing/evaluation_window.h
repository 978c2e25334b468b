// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

#include "flows/services.h"
#include "testing/test_evaluation.h"

class QCheckBox;
class QFrame;
class QLabel;
class QTableWidget;

namespace merkhaus {

class TTesten;

// "Testauswertung": the result of the current test beside the test window. It is modeless and
// sizeable, and shows what it was last filled with until it is filled again: at the end of a
// test, by "Auswertung" and by a click on "Nur falsche anzeigen". It belongs to the test window
// (a window of its own, owned by it), so the running test does not block it.
class Ttst_ausw : public QWidget {
  Q_OBJECT
 public:
  Ttst_ausw(Services& services, TTesten& test, int helpContext);
  ~Ttst_ausw() override;

  QTableWidget* StringGrid1;  // the header row and 255 rows; the first column numbers the rows
  QFrame* Panel1;             // the bottom panel
  QCheckBox* CheckBox1;       // Nur falsche anzeigen
  QFrame* Bevel1;
  QLabel* Label1;
  QLabel* Label2;  // right / asked
  QLabel* Label3;
  QLabel* Label4;  // the error quotient

  TestEvaluation& evaluation() { return *evaluation_; }

  // Shows the window in front and fills it from the test as it stands.
  void ShowEvaluation();
  void CheckBox1Click();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormCreate();
  // The columns share the grid's width in their first proportions, so that a larger window
  // shows more of every text.
  void FitColumns();
  void render();
  // Puts the window beside the test window the first time it is shown, where the screen has
  // room for it.
  void PlaceBesideTest();

  Services& services_;
  TTesten& test_;
  std::unique_ptr<TestEvaluation> evaluation_;
  bool placed_ = false;
};

}  // namespace merkhaus
