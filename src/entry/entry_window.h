// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/redraw.h"
#include "flows/services.h"

class QKeyEvent;
class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

class EntrySession;
class SpecialCharEdit;

// "Eingeben": new vocabulary for the current lesson is typed into the fields, collected in the
// buffer list, corrected there, and saved into the DataFile in one go. The window only shows
// what its EntrySession decides.
class TForm3 : public QDialog, public Mode, public VocabularyEntry, private Redraw {
  Q_OBJECT
 public:
  explicit TForm3(const ModeContext& mode);
  ~TForm3() override;

  QLabel* Label4;          // DataFile name
  QLabel* Label5;          // DataFile comment
  QPushButton* Button7;    // i: DataFile info
  QLabel* Label6;          // lesson name
  QLabel* Label7;          // lesson comment
  QPushButton* Button8;    // i: lesson info
  QListWidget* ListBox1;   // the buffer
  QLabel* Label1;          // foreign language
  QLabel* Label2;          // native language
  SpecialCharEdit* Edit1;  // A1
  SpecialCharEdit* Edit2;  // B1
  SpecialCharEdit* Edit3;  // A2
  SpecialCharEdit* Edit4;  // B2
  SpecialCharEdit* Edit5;  // A3
  SpecialCharEdit* Edit6;  // B3
  QLabel* Label3;
  SpecialCharEdit* Edit7;    // Comment
  QPushButton* Button11;     // &Clear
  QPushButton* Button2;      // &Eintragen
  QPushButton* Button3;      // Ent&fernen
  QPushButton* Button10;     // Än&dern
  QPushButton* Button9;      // Optionen
  QPushButton* Button4;      // Lektion
  QPushButton* Button5;      // Letzte Vok.
  QPushButton* Button1;      // Speichern
  QPushButton* Button6;      // E&nde
  QPushButton* VorlesenBtn;  // &Vorlesen: the foreign fields; Ctrl+L

  EntrySession& session() { return *session_; }

  // Starts with an empty buffer on the current DataFile and lesson and runs the window until
  // "Ende". `checkLesson`: read the lesson's header afresh (the main window); the DataFile editor
  // has it loaded already.
  void OpenEntryWindow(bool checkLesson);
  void openEntryWindow(bool checkLesson) override { OpenEntryWindow(checkLesson); }
  // From the main window: the lesson's header is read afresh.
  void runMode(ModeHost&) override { OpenEntryWindow(true); }

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
  void ListBox1DblClick();
  void VorlesenBtnClick();
  // The seven fields' keys: Enter is "Eintragen"; F5..F8 type special characters (the fields do
  // that themselves). True when the key was handled.
  bool Edit1KeyDown(QKeyEvent* event);
  bool Edit2KeyDown(QKeyEvent* event);
  bool Edit3KeyDown(QKeyEvent* event);
  bool Edit4KeyDown(QKeyEvent* event);
  bool Edit5KeyDown(QKeyEvent* event);
  bool Edit6KeyDown(QKeyEvent* event);
  bool Edit7KeyDown(QKeyEvent* event);

 protected:
  void reject() override;
  void closeEvent(QCloseEvent* event) override;

 private:
  bool FieldKeyDown(QKeyEvent* event);
  void backToTyping();
  // Hands the fields and the selection to the session before an action and shows its result.
  template <class Action>
  void act(Action action);
  void redraw() override { render(); }
  void render();

  Services& services_;
  Flows flows_;
  std::unique_ptr<EntrySession> session_;
};

}  // namespace merkhaus
