// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "flows/services.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class LimitedMemo;

// "Neue Lektion anlegen": name and comment of a new lesson of the current DataFile. Both fields
// keep their text from one showing to the next.
class TOKBottomDlg1 : public QDialog {
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

 protected:
  void showEvent(QShowEvent* event) override;
  void reject() override;

 private:
  Services& services_;
};

}  // namespace merkhaus
