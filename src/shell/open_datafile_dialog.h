// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <string>

#include "flows/flows.h"
#include "flows/services.h"
#include "shell/datafile_choice.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class Windows;

// "DataFile öffnen": the learner confirms or changes the path of the DataFile to work on, browses
// for one, or creates a new one. The path field keeps its text between showings.
class TOKBottomDlg : public QDialog {
  Q_OBJECT
 public:
  TOKBottomDlg(Services& services, Windows& windows);

  // Decides the DataFile for a flow (DataFileChooser::ChooseDataFile).
  std::string Choose(ChooseMode mode);

  QLabel* Label1;
  QLineEdit* Edit1;      // &Pfad:
  QPushButton* Button1;  // ...
  QPushButton* Button4;  // Neues...
  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  void FormShow();
  void Button1Click();
  void OKBtnClick();
  void CancelBtnClick();
  void Button4Click();

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  Services& services_;
  Windows& windows_;
};

}  // namespace merkhaus
