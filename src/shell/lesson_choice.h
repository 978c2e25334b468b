// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <string>

#include "flows/flows.h"
#include "flows/services.h"
#include "shell/lesson_choice_flow.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

// "Lektionsauswahl": the live lessons of the current DataFile, to choose one, and where the flow
// allows it to create or delete lessons. The window only shows what its LessonChoice decides.
class TForm6 : public QDialog, public LessonChooser {
  Q_OBJECT
 public:
  TForm6(Services& services, NewLessonDialog& newLesson, HeaderInfoViewer& headerInfo);

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

  // Fills the list and shows the window (LessonChooser).
  std::optional<std::uint8_t> selectLesson(const std::string& path, bool allowCreate) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void reject() override;

 private:
  void render();
  // The selected line, -1 for none.
  int SelectedRow() const;

  Services& services_;
  LessonChoice choice_;
  unsigned shownListVersion_ = 0;
  bool back_ = false;
};

}  // namespace merkhaus
