// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "flows/flows.h"
#include "flows/services.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

class LimitedMemo;

// "DataFile Info" / "Lektions Info": name and comment of the current DataFile or lesson, shown
// or edited; for the DataFile also its author, which can never be changed.
class THeaderInfoDlg : public QDialog, public HeaderInfoViewer {
  Q_OBJECT
 public:
  explicit THeaderInfoDlg(Services& services);

  QLabel* Label1;
  QLineEdit* Edit1;  // &Name:
  QLabel* Label2;
  LimitedMemo* Memo1;  // &Kommentar:
  QLabel* Label3;      // &Autor:
  QLineEdit* Edit2;
  QLabel* Label4;        // Zeichensatz: (the DataFile's kind, shown only for the DataFile)
  QLabel* Label5;        // Windows-1252 or Unicode
  QPushButton* Button1;  // &Eintragen
  QPushButton* OKBtn;

  // Prepares the dialog for the DataFile or the current lesson and shows it modally.
  void Show(bool forDataFile, bool editable);
  void showHeaderInfo(bool forDataFile, bool editable) override { Show(forDataFile, editable); }

  void Button1Click();
  void OKBtnClick();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  Services& services_;
  bool forDataFile_ = false;
};

}  // namespace merkhaus
