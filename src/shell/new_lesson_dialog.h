// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "flows/services.h"
#include "shell/lesson_choice_flow.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class LimitedMemo;

// "Neue Lektion anlegen": name and comment of a new lesson of the current DataFile. Both fields
// keep their text from one showing to the next.
class TOKBottomDlg1 : public QDialog, public NewLessonDialog {
  Q_OBJECT
 public:
  explicit TOKBottomDlg1(Services& services);

  QLabel* Label1;
  QLineEdit* Edit1;  // &Name:
  QLabel* Label2;
  LimitedMemo* Memo1;  // &Kommentar:
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  void OKBtnClick();
  void CancelBtnClick();

  // Shows the dialog modally (NewLessonDialog); false when the learner abandoned it.
  bool newLesson() override { return exec() == QDialog::Accepted; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  Services& services_;
};

}  // namespace merkhaus
