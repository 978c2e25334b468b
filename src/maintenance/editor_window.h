// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "maintenance/editor_session.h"

class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace merkhaus {

class Tundelete;
class Tundeletevoc;

// "DataFile-Editor": the figures of one DataFile and every maintenance action on it, its
// lessons and their entries. The window only shows what its EditorSession decides; it owns the
// two restore windows.
class TEditDataFile : public QDialog, public Mode, private RestoreWindows, private Redraw {
  Q_OBJECT
 public:
  explicit TEditDataFile(const ModeContext& mode);
  ~TEditDataFile() override;

  QGroupBox* GroupBox1;  // DataFile
  QLabel* Label12;       // Anzahl
  QLabel* Label13;       // Speicher
  QLabel* Label2;        // Units:
  QLabel* Label1;
  QLabel* Label3;  // Vokabeln:
  QLabel* Label4;
  QLabel* Label9;
  QLabel* Label5;  // Gelöschte Vokabeln:
  QLabel* Label6;
  QLabel* Label10;
  QLabel* Label7;  // Vokabeln insgesamt:
  QLabel* Label8;
  QLabel* Label11;
  QPushButton* Button2;   // Name / Info
  QLabel* Label14;        // Gelöschte Units:
  QPushButton* Button3;   // Wiederherstellen
  QPushButton* Button4;   // Bereinigen
  QLabel* Label21;        // Zeichensatz: the DataFile's kind
  QPushButton* Button17;  // In Unicode umwandeln…

  QGroupBox* GroupBox2;  // Unit
  QLabel* Label15;       // Name:
  QLabel* Label16;       // the lesson's name
  QLabel* Label20;       // ID:
  QLabel* ID;
  QLabel* Label17;  // Vokabeln:
  QLabel* Label18;
  QPushButton* Button6;   // Name / Info
  QPushButton* Button7;   // Unit löschen
  QPushButton* Button15;  // Exportieren
  QPushButton* Button14;  // Importieren

  QGroupBox* GroupBox3;  // Enthaltene Vokabeln
  QListWidget* ListBox1;
  QPushButton* Button8;   // Bearbeiten
  QPushButton* Button9;   // Löschen
  QPushButton* Button11;  // Neue hinzufügen
  QLabel* Label19;        // Gelöschte Vokabeln:
  QPushButton* Button10;  // Wiederherstellen

  QPushButton* Button5;   // Unit auswählen
  QPushButton* Button13;  // Unit abwählen
  QPushButton* Button16;  // DataFile
  QPushButton* Button1;   // Schließen

  EditorSession& session() { return *session_; }
  Tundelete& restoreLessons() { return *undelete_; }
  Tundeletevoc& restoreEntries() { return *undeletevoc_; }

  // Chooses the DataFile and runs the editor on it; the main window (`host`, when there is one)
  // is hidden meanwhile, and only once a DataFile was chosen.
  void OpenEditor(ModeHost* host);
  void runMode(ModeHost& host) override { OpenEditor(&host); }

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
  void Button14Click();
  void Button15Click();
  void Button16Click();
  void Button17Click();
  void ListBox1DblClick();

 private:
  void listDeletedLessons() override;
  void listDeletedEntries() override;
  void redraw() override { render(); }
  // Runs a session action and shows its result, also when a file error ends it early.
  template <class Action>
  void act(Action action);
  void render();
  int SelectedRow() const;

  Services& services_;
  std::unique_ptr<Tundelete> undelete_;
  std::unique_ptr<Tundeletevoc> undeletevoc_;
  std::unique_ptr<EditorSession> session_;
};

}  // namespace merkhaus
