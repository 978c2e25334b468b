// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "flows/flows.h"
#include "flows/services.h"
#include "shell/datafile_choice.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class TForm4;
class TVocDataModule;

// "DataFile öffnen": the learner confirms or changes the path of the DataFile to work on, browses
// for one, or creates a new one. The path field keeps its text between showings.
class TOKBottomDlg : public QDialog, public DataFileChooser {
  Q_OBJECT
 public:
  TOKBottomDlg(Services& services, TVocDataModule& fileDialogs, TForm4& newDataFile);

  // Decides the DataFile for a flow (DataFileChooser).
  std::optional<std::string> chooseDataFile(ChooseMode mode) override;

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
  TVocDataModule& fileDialogs_;
  TForm4& newDataFile_;
  // The learner abandoned a step of this choice: "Abbrechen", a path that cannot be used, or
  // the new DataFile's form. The choice then ends without a DataFile, even when "OK" closes the
  // dialog afterwards.
  bool abandoned_ = false;
};

}  // namespace merkhaus
