// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <functional>
#include <vector>

#include "config/config_file.h"
#include "config/options.h"
#include "config/special_chars.h"
#include "platform/dialogs.h"
#include "platform/messages.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;

namespace merkhaus {

class RadioGroup;

// "Optionen": the one place where the learner changes options. Created once at start-up, which
// is when the options and the special characters are read. Its controls edit the live options
// at once (every mode reads them at the moment of use); "OK" writes them to Merkhaus.cfg,
// "Abbrechen" brings back what the file holds. It opens on the page that was last active.
class TOptionsDLG : public QDialog {
  Q_OBJECT
 public:
  // `configDir` holds Merkhaus.cfg and Merkhaus.soz.
  TOptionsDLG(Options& options, SpecialCharTable& specialChars, Messages& messages,
              FileDialogs& fileDialogs, HelpViewer& help, std::filesystem::path configDir);

  // Writes Merkhaus3.conf from the live options, after a choice made outside the dialog.
  bool saveMoreOptions() { return config_.saveMore(); }

  QTabWidget* PageControl1;

  // Allgemein
  QWidget* Allgemein;
  QGroupBox* GroupBox1;  // Standard Datafile
  QLineEdit* Edit1;      // StdDF
  QPushButton* Button1;  // "..."
  QCheckBox* alwaysthisfile;
  RadioGroup* openreact;
  QCheckBox* alwaysthatfile;
  QGroupBox* GroupBox3;  // Eingeben
  QCheckBox* Eingabe_SpaceCut;
  QCheckBox* Semikolacut;

  // Üben
  QWidget* TabSheet1;
  QCheckBox* Study_SpaceCut;
  QCheckBox* FragezeichenLosung;
  QCheckBox* Kommentar_zeigen;
  QCheckBox* AdvancedTips;
  QCheckBox* Synonymabfrage;
  QCheckBox* SmartBrackets;
  QCheckBox* Grossklein;
  QCheckBox* Kommatareg;
  QCheckBox* KnowOnlyOneVoc;
  QCheckBox* clearwhenwrong;
  RadioGroup* Abfrageweise;
  QGroupBox* GroupBox4;  // Grenzwerte
  QLabel* Label1;
  QSpinBox* KickoutVal;
  QLabel* Label2;
  QSpinBox* Neuversuche;
  QLabel* Label3;
  QSpinBox* Losungstrafe;
  QCheckBox* AutoWeiterAkt;
  QGroupBox* GroupBox2;  // Auto-'weiter'
  QLabel* Label4;
  QSpinBox* Autoweiter;
  QCheckBox* Autoweiterchbx;

  // Testen
  QWidget* TabSheet3;
  QCheckBox* Testen_SpaceCut;
  QCheckBox* Testen_showcomments;
  QCheckBox* testensynonymabfrage;
  QCheckBox* TestenSmartBrackets;
  QCheckBox* testengrossklein;
  QCheckBox* testenKommatareg;
  QCheckBox* testenKnowOnlyOneVoc;
  RadioGroup* TestenAbfrageweise;

  // Wiederholen (kept in Merkhaus3.conf)
  QWidget* reviewPage;
  QSpinBox* newEntriesPerDay;
  QSpinBox* desiredRetention;  // percent

  // Algorithmus
  QWidget* TabSheet2;
  QLabel* Label5;
  RadioGroup* algorithmus;
  QCheckBox* doppelvok;

  // Wörterbuch
  QWidget* dictionary;
  QLabel* Label6;
  QCheckBox* groesse;
  QCheckBox* ganzewoerter;
  QCheckBox* showunitID;
  QCheckBox* ClearList;
  QCheckBox* wortbuchleerenft;
  QCheckBox* Felder;
  QCheckBox* CheckBox1;  // Synonym A1
  QCheckBox* CheckBox2;  // Synonym A2
  QCheckBox* CheckBox3;  // Synonym A3
  QCheckBox* CheckBox4;  // Synonym B1
  QCheckBox* CheckBox5;  // Synonym B2
  QCheckBox* CheckBox6;  // Synonym B3
  QCheckBox* CheckBox7;  // Kommentar

  // Sonderzeichen: normal and Shift character of F5..F8
  QWidget* Sonderzeichen;
  QLabel* Label7;
  QLineEdit* soz1;
  QLineEdit* soz12;
  QLineEdit* soz2;
  QLineEdit* soz22;
  QLineEdit* soz3;
  QLineEdit* soz32;
  QLineEdit* soz4;
  QLineEdit* soz42;
  QPushButton* Button2;  // Eintragen

  QPushButton* OKBtn;
  QPushButton* CancelBtn;

  // A page that a higher layer brings (the speech settings, which need the speaker) goes after
  // the dialog's own; `show` fills its controls from the options whenever the dialog opens and
  // after "Abbrechen".
  void addPage(QWidget* page, const QString& caption, std::function<void()> show);

  void FormCreate();
  void OKBtnClick();
  void CancelBtnClick();
  void Button1Click();
  void Button2Click();
  void AutoWeiterAktClick();
  void KommataregClick();
  void FelderClick();

  // Escape and the window system's close go the way of "Abbrechen".
  void reject() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QCheckBox* check(QWidget* parent, const char* name, const QString& caption,
                   bool Options::*member);
  template <int Lo, int Hi>
  QSpinBox* spin(QWidget* parent, const char* name, ClampedInt<Lo, Hi> Options::*member);
  template <int N>
  RadioGroup* radio(QWidget* parent, const char* name, const QString& caption,
                    const QStringList& items, int columns, Choice<N> Options::*member);

  void buildAllgemein();
  void buildUeben();
  void buildTesten();
  void buildWiederholen();
  void buildAlgorithmus();
  void buildWoerterbuch();
  void buildSonderzeichen();

  // Options and special characters into the controls.
  void ShowOptions();
  void ShowSpecialChars();
  SpecialCharTable SpecialCharFields() const;

  Options& options_;
  SpecialCharTable& specialChars_;
  Messages& messages_;
  FileDialogs& fileDialogs_;
  std::filesystem::path configDir_;
  ConfigFile config_;
  std::vector<std::function<void()>> showOption_;
  Options openedWith_;  // the options as the dialog was opened
};

}  // namespace merkhaus
