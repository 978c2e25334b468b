// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "flows/services.h"
#include "shell/datafile_choice.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace merkhaus {

// "Neues DataFile anlegen": name, comment, languages and author of a new DataFile.
class TForm4 : public QDialog {
  Q_OBJECT
 public:
  explicit TForm4(Services& services);

  QLabel* Label1;
  QLineEdit* Edit1;  // &Name:
  QLabel* Label2;
  QLineEdit* Edit2;  // &Kommentar:
  QLabel* Label3;
  QComboBox* ComboBox1;  // Fremd&sprache:
  QLabel* Label4;
  QComboBox* ComboBox2;  // S&prache:
  QLabel* Label5;
  QLineEdit* Edit3;  // &Autor:
  QLabel* Label6;
  QComboBox* ComboBox3;  // &Zeichensatz: Windows-1252 (the default) or Unicode
  QPushButton* Button1;  // &Weiter >>
  QPushButton* Button2;  // A&bbrechen

  void Button1Click();
  void Button2Click();

  // The typed details as record text.
  NewDataFileDetails Details() const;
  // After a DataFile was created: empty fields, "Deutsch" as native language, Windows-1252.
  void ResetFields();
  // The chosen "Zeichensatz".
  TextEncoding Encoding() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void ComboBox3Change();
  Services& services_;
};

}  // namespace merkhaus
