#pragma once

#include <QDialog>
#include <string>

#include "shell/datafile_choice.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

struct AppContext;

// "DataFile öffnen": the learner confirms or changes the path of the DataFile to work on, browses
// for one, or creates a new one. The path field keeps its text between showings.
class TOKBottomDlg : public QDialog {
  Q_OBJECT
 public:
  explicit TOKBottomDlg(AppContext& ctx);

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
  AppContext& ctx_;
};

// Decides the DataFile for a flow: without asking where the options say so, otherwise through
// "DataFile öffnen". The caller sets Cancelled to 0 before and uses the path only when Cancelled
// is still 0 afterwards.
std::string ChooseDataFile(AppContext& ctx, ChooseMode mode);

}  // namespace merkhaus
