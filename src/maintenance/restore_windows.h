// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "flows/services.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

// "Wieder herstellen": the deleted lessons of the DataFile, to bring back one after another.
class Tundelete : public QDialog {
  Q_OBJECT
 public:
  explicit Tundelete(Services& services);

  QLabel* Label1;
  QListWidget* ListBox1;
  QPushButton* Button2;  // Wieder herstellen
  QPushButton* Button1;  // Schließen

  // Fills the list from the current DataFile and shows the window, or tells that nothing can
  // be restored.
  void ListDeletedUnits();

  void Button1Click();
  void Button2Click();
  void ListBox1DblClick();

 private:
  Services& services_;
};

// "Vokabeln wieder herstellen": the deleted entries of the current lesson.
class Tundeletevoc : public QDialog {
  Q_OBJECT
 public:
  explicit Tundeletevoc(Services& services);

  QLabel* Label1;
  QListWidget* ListBox1;
  QPushButton* Button2;  // Wieder herstellen
  QPushButton* Button1;  // Schließen

  // Fills the list with the deleted entries of the current lesson and shows the window, or
  // tells that nothing can be restored.
  void ListDeletedVocs();

  void Button1Click();
  void Button2Click();
  void ListBox1DblClick();

 private:
  Services& services_;
};

}  // namespace merkhaus
