// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <cstdint>
#include <memory>

#include "flows/flows.h"
#include "flows/mode.h"
#include "flows/redraw.h"
#include "flows/services.h"

class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace merkhaus {

class DictionarySession;
class RadioGroup;
class SpecialCharEdit;

// "Wörterbuch": looks a word up across the whole DataFile and lists every entry that holds it.
// The window only shows what its DictionarySession decides.
class Tbeebook : public QDialog, public Mode, private Redraw {
  Q_OBJECT
 public:
  explicit Tbeebook(const ModeContext& mode);
  ~Tbeebook() override;

  QLabel* Label1;
  SpecialCharEdit* Edit1;  // the search term
  QPushButton* Button3;    // Suchen
  QLabel* Label2;
  QListWidget* ListBox1;    // Fundstellen
  RadioGroup* RadioGroup1;  // Richtung
  QPushButton* Button4;     // &Clear
  QPushButton* Button5;     // Anzeigen
  QPushButton* Button16;    // DataFile
  QPushButton* Button2;     // Optionen
  QProgressBar* Gauge1;
  QPushButton* Button1;  // Schließen

  DictionarySession& session() { return *session_; }

  // Opens the dictionary on the current DataFile and runs the window until it is closed. When
  // the file cannot be read, the window is not shown.
  void OpenDictionary();
  void runMode(ModeHost&) override { OpenDictionary(); }

  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button16Click();
  void ListBox1DblClick();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  void redraw() override;
  void render();
  void ShowProgress(std::uint64_t read, std::uint64_t total);

  Services& services_;
  Flows flows_;
  std::unique_ptr<DictionarySession> session_;
  unsigned shownListVersion_ = 0;
  bool searching_ = false;
  QElapsedTimer sinceEvents_;
};

}  // namespace merkhaus
