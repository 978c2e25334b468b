// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/services.h"

class QFrame;
class QPushButton;
class QToolButton;

namespace merkhaus {

class Picture;
class TAboutBox;

// The main window "Merkhaus 3": the four modes, "Erweitert" with the less frequent tasks,
// "Ende" and "Hilfe". Which button starts which mode, and how, start-up tells it (AddMode).
class TForm1 : public QWidget, private ModeHost {
  Q_OBJECT
 public:
  TForm1(Services& services, const Flows& flows, TAboutBox& about);
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
  QPushButton* Button13;      // Lernstand
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
  void Button13Click();
  void SpeedButton1Click();
  void Image1DblClick();

  // Start-up registers each mode: its button (made in the modes' panel when the window has none
  // of that name) starts it. A button without a mode does nothing.
  void AddMode(const ModeInfo& info, Mode& mode);

  // The mode of a button: choose the DataFile and the lesson as the mode wants them, then run
  // it, with the main window hidden where the mode wants that.
  void RunModeOf(QPushButton* button);
  // The mode that `openreact` value `reaction` names, on a known DataFile (the command line):
  // choose the lesson, then run the mode. Nothing for a value that names no mode.
  void RunModeOnFile(int reaction, const std::string& path);
  // Brings the captions that tell something that changes up to date (ModeInfo::currentCaption).
  void UpdateModeCaptions();

  // The window where the learner left it last time (the options' `mainWindow`), when known.
  void PlaceAsSaved();
  // Called when the window's place should reach the options file (when the program ends).
  std::function<void()> savePlace;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Enter presses the focused button, as Space does.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  struct Registered {
    ModeInfo info;
    Mode* mode;
    QPushButton* button;
  };
  void RunModeWindow(const Registered& mode);
  // Notes the window's place and size in the options.
  void KeepPlace();
  void hideMainWindow() override;
  // A button for a mode that the form does not have, below the four modes of the main panel;
  // the window grows to take it.
  QPushButton* AddModeButton(const ModeInfo& info);

  Services& services_;
  Flows flows_;
  TAboutBox& about_;
  std::vector<Registered> modes_;
};

}  // namespace merkhaus
