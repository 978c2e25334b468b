// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <map>
#include <string>

#include "flows/services.h"

class QFrame;
class QPushButton;
class QToolButton;

namespace merkhaus {

class Picture;
class Windows;

// The working modes, numbered as the command-line reaction `openreact` numbers them.
enum class Mode { None = 0, Study = 1, Test = 2, Dictionary = 3, Entry = 4, Print = 5, Edit = 6 };

// The main window "Merkhaus 3": the four modes, "Erweitert" with the less frequent tasks,
// "Ende" and "Hilfe".
class TForm1 : public QWidget {
  Q_OBJECT
 public:
  TForm1(Services& services, Windows& windows);
  ~TForm1() override;

  QFrame* Panel1;
  QPushButton* Button1;  // Eingeben
  QPushButton* Button2;  // Üben
  QPushButton* Button3;  // Testen
  QPushButton* Button4;  // Wörterbuch
  QFrame* Panel3;
  QPushButton* Button7;  // Erweitert
  QFrame* Panel4;
  QPushButton* Button9;       // Optionen
  QPushButton* Button11;      // Editiern
  QPushButton* Button8;       // Drucken
  QPushButton* Button6;       // Info
  QToolButton* SpeedButton1;  // back
  QFrame* Panel2;
  QPushButton* Button5;   // Ende
  QPushButton* Button10;  // Hilfe
  Picture* Image1;

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void Button7Click();
  void Button8Click();
  void Button9Click();
  void Button10Click();
  void Button11Click();
  void SpeedButton1Click();
  void Image1DblClick();

  // Start-up tells the main window how to run each mode once DataFile and lesson are chosen.
  // A mode without an entry does nothing yet.
  void AddMode(Mode mode, std::function<void()> run);

  // A mode from its button: choose the DataFile (and the lesson where the mode needs one), then
  // run the mode with the main window hidden.
  void RunMode(Mode mode);
  // A mode on a known DataFile (the command line): choose the lesson, then run the mode.
  void RunModeOnFile(Mode mode, const std::string& path);

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Enter presses the focused button, as Space does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void RunModeWindow(Mode mode);

  Services& services_;
  Windows& windows_;
  std::map<Mode, std::function<void()>> modes_;
};

}  // namespace merkhaus
