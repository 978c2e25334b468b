// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <string>

#include "flows/services.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

class Windows;

// "Lektionsauswahl": the live lessons of the current DataFile, to choose one, and where the flow
// allows it to create or delete lessons.
class TForm6 : public QDialog {
  Q_OBJECT
 public:
  TForm6(Services& services, Windows& windows);

  QLabel* Label1;  // the DataFile's name
  QLabel* Label2;  // the DataFile's comment
  QListWidget* ListBox1;
  QPushButton* Button1;  // &Wählen
  QPushButton* Button4;  // &Zurück
  QPushButton* Button2;  // &Neu...
  QPushButton* Button3;  // &Löschen

  void Button1Click();
  void ListBox1DblClick();
  void Button4Click();
  void Button2Click();
  void Button3Click();
  // Enter acts as a double-click, the letter I shows the lesson's information.
  void ListBox1KeyPress(const QString& key);

  // Fills the list and shows the window; the chosen UnitID or 0 (LessonChooser::SelectUnit).
  std::uint8_t Select(const std::string& path, bool allowCreate);
  // Reads the list again after a lesson was created.
  void RefillUnitList();
  // The read-only lesson information of the selected line.
  void ShowUnitInfo();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  // A new lesson from "Neue Lektion anlegen"; the list is read again after OK.
  void NewLesson();

  Services& services_;
  Windows& windows_;
};

}  // namespace merkhaus
