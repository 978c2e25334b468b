// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/options_dialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <system_error>

#include "config/radio_group.h"
#include "config/special_chars.h"
#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

QLabel* LongText(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setWordWrap(true);
  return label;
}

QWidget* Page(const char* name, QWidget* parent) {
  auto* page = new QWidget(parent);
  page->setObjectName(QLatin1String(name));
  return page;
}

QLineEdit* OneCharField(const char* name, QWidget* parent) {
  auto* field = new QLineEdit(parent);
  field->setObjectName(QLatin1String(name));
  field->setMaxLength(1);
  field->setValidator(new Win1252Validator(field));
  field->setFixedWidth(40);
  field->setAlignment(Qt::AlignCenter);
  return field;
}

QString CharText(const std::optional<char>& c) {
  return c ? ToQString(WinString(std::string(1, *c))) : QString();
}

std::optional<char> FieldChar(const QLineEdit* field) {
  const WinString text = ToWinString(field->text());
  if (text.empty()) return std::nullopt;
  return text[0];
}

}  // namespace

QCheckBox* TOptionsDLG::check(QWidget* parent, const char* name, const QString& caption,
                              bool Options::*member) {
  auto* box = new QCheckBox(caption, parent);
  box->setObjectName(QLatin1String(name));
  connect(box, &QCheckBox::toggled, this, [this, member](bool on) { options_.*member = on; });
  showOption_.push_back([this, box, member] {
    const QSignalBlocker block(box);
    box->setChecked(options_.*member);
  });
  return box;
}

template <int Lo, int Hi>
QSpinBox* TOptionsDLG::spin(QWidget* parent, const char* name,
                            ClampedInt<Lo, Hi> Options::*member) {
  auto* box = new QSpinBox(parent);
  box->setObjectName(QLatin1String(name));
  box->setRange(Lo, Hi);
  connect(box, &QSpinBox::valueChanged, this, [this, member](int v) { options_.*member = v; });
  showOption_.push_back([this, box, member] {
    const QSignalBlocker block(box);
    box->setValue(options_.*member);
  });
  return box;
}

template <int N>
RadioGroup* TOptionsDLG::radio(QWidget* parent, const char* name, const QString& caption,
                               const QStringList& items, int columns, Choice<N> Options::*member) {
  auto* group = new RadioGroup(caption, items, columns, parent);
  group->setObjectName(QLatin1String(name));
  connect(group, &RadioGroup::itemClicked, this,
          [this, member](int index) { options_.*member = index; });
  showOption_.push_back([this, group, member] { group->setItemIndex(options_.*member); });
  return group;
}

TOptionsDLG::TOptionsDLG(Options& options, SpecialCharTable& specialChars, Messages& messages,
                         FileDialogs& fileDialogs, HelpViewer& help,
                         std::filesystem::path configDir)
    : QDialog(nullptr),
      options_(options),
      specialChars_(specialChars),
      messages_(messages),
      fileDialogs_(fileDialogs),
      configDir_(std::move(configDir)),
      config_(configDir_, options, specialChars, messages) {
  setObjectName(QStringLiteral("OptionsDLG"));
  setWindowTitle(QStringLiteral("Optionen"));
  // Only "OK" and "Abbrechen" close the dialog.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);

  PageControl1 = new QTabWidget(this);
  PageControl1->setObjectName(QStringLiteral("PageControl1"));
  buildAllgemein();
  buildUeben();
  buildTesten();
  buildAlgorithmus();
  buildWoerterbuch();
  buildSonderzeichen();
  buildWiederholen();
  PageControl1->setCurrentWidget(Allgemein);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
  CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
  OnEvent(OKBtn, &QPushButton::clicked, this, &TOptionsDLG::OKBtnClick, messages_);
  OnEvent(CancelBtn, &QPushButton::clicked, this, &TOptionsDLG::CancelBtnClick, messages_);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  buttons->addWidget(OKBtn);
  buttons->addWidget(CancelBtn);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PageControl1);
  layout->addLayout(buttons);

  AttachHelp(this, help, HelpContext::Options);
  FormCreate();
}

void TOptionsDLG::buildAllgemein() {
  Allgemein = Page("Allgemein", PageControl1);
  PageControl1->addTab(Allgemein, QStringLiteral("Allgemein"));

  GroupBox1 = new QGroupBox(QStringLiteral("Standard Datafile"), Allgemein);
  Edit1 = new QLineEdit(GroupBox1);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  // Merkhaus.cfg holds the path in Windows-1252.
  Edit1->setValidator(new Win1252Validator(Edit1));
  connect(Edit1, &QLineEdit::textChanged, this,
          [this](const QString& text) { options_.StdDF = ToWinString(text).bytes(); });
  showOption_.push_back([this] {
    const QSignalBlocker block(Edit1);
    Edit1->setText(ToQString(WinString(options_.StdDF)));
  });
  Button1 = new QPushButton(QStringLiteral("..."), GroupBox1);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button1->setFixedWidth(32);
  Button1->setAccessibleDescription(QStringLiteral("Standard-DataFile auswählen"));
  OnEvent(Button1, &QPushButton::clicked, this, &TOptionsDLG::Button1Click, messages_);
  alwaysthisfile = check(GroupBox1, "alwaysthisfile",
                         QStringLiteral("Immer diese Datei ohne weitere Abfrage verwenden"),
                         &Options::alwaysthisfile);
  auto* g1 = new QGridLayout(GroupBox1);
  g1->addWidget(Edit1, 0, 0);
  g1->addWidget(Button1, 0, 1);
  g1->addWidget(alwaysthisfile, 1, 0, 1, 2);

  openreact =
      radio(Allgemein, "openreact",
            QStringLiteral("Durch doppelklick geöffnete *.fid - Dateien so behandeln"),
            {QStringLiteral("keine Aktion"), QStringLiteral("Üben"), QStringLiteral("Testen"),
             QStringLiteral("Wörterbuch"), QStringLiteral("Eingeben")},
            5, &Options::openreact);
  alwaysthatfile =
      check(Allgemein, "alwaysthatfile",
            QStringLiteral("Immer nur die in der Kommandozeile spezifizierte Datei ohne Nachfrage "
                           "behandeln"),
            &Options::alwaysthatfile);

  GroupBox3 = new QGroupBox(QStringLiteral("Eingeben"), Allgemein);
  Eingabe_SpaceCut =
      check(GroupBox3, "Eingabe_SpaceCut",
            QStringLiteral("Unnötige führende, mittige und abschließende Leerzeichen entfernen"),
            &Options::Eingabe_SpaceCut);
  Semikolacut =
      check(GroupBox3, "Semikolacut",
            QStringLiteral("Durch Semikola getrennten Wörtern eine neue Synonymebene zuordnen"),
            &Options::Semikolacut);
  auto* g3 = new QVBoxLayout(GroupBox3);
  g3->addWidget(Eingabe_SpaceCut);
  g3->addWidget(Semikolacut);

  auto* page = new QVBoxLayout(Allgemein);
  page->addWidget(GroupBox1);
  page->addWidget(openreact);
  page->addWidget(alwaysthatfile);
  page->addWidget(GroupBox3);
  page->addStretch();
}

void TOptionsDLG::buildUeben() {
  TabSheet1 = Page("TabSheet1", PageControl1);
  PageControl1->addTab(TabSheet1, QStringLiteral("Üben"));

  Study_SpaceCut =
      check(TabSheet1, "Study_SpaceCut", QStringLiteral("Unnötige Leerzeichen entfernen"),
            &Options::Study_SpaceCut);
  FragezeichenLosung =
      check(TabSheet1, "FragezeichenLosung", QStringLiteral("Bei Eingabe von \"?\" ==> Lösung"),
            &Options::FragezeichenLosung);
  Kommentar_zeigen = check(TabSheet1, "Kommentar_zeigen", QStringLiteral("Kommentare zeigen"),
                           &Options::Kommentar_zeigen);
  AdvancedTips =
      check(TabSheet1, "AdvancedTips", QStringLiteral("Ausführlicher Tip"), &Options::AdvancedTips);
  Synonymabfrage =
      check(TabSheet1, "Synonymabfrage",
            QStringLiteral("Alle Synonyme nutzen, nicht nur das erste"), &Options::Synonymabfrage);
  SmartBrackets = check(TabSheet1, "SmartBrackets", QStringLiteral("Smarte (Klammer) Handhabung"),
                        &Options::SmartBrackets);
  Grossklein = check(TabSheet1, "Grossklein", QStringLiteral("GROSS und klein unterscheiden"),
                     &Options::Grossklein);
  Kommatareg = check(TabSheet1, "Kommatareg", QStringLiteral("Dynamische Kommataregelung"),
                     &Options::Kommatareg);
  KnowOnlyOneVoc = check(TabSheet1, "KnowOnlyOneVoc",
                         QStringLiteral("Immer alle Varianten abfragen"), &Options::KnowOnlyOneVoc);
  clearwhenwrong =
      check(TabSheet1, "clearwhenwrong", QStringLiteral("Eingabe löschen bei Falscheingabe"),
            &Options::clearwhenwrong);
  connect(Kommatareg, &QCheckBox::toggled, this, &TOptionsDLG::KommataregClick);

  Abfrageweise =
      radio(TabSheet1, "Abfrageweise", QStringLiteral("Abfrage"),
            {QStringLiteral("A - B"), QStringLiteral("B - A"), QStringLiteral("zufällig")}, 1,
            &Options::Abfrageweise);

  GroupBox4 = new QGroupBox(QStringLiteral("Grenzwerte"), TabSheet1);
  Label1 = new QLabel(QStringLiteral("KickOut value:"), GroupBox4);
  KickoutVal = spin(GroupBox4, "KickoutVal", &Options::KickoutVal);
  Label2 = new QLabel(QStringLiteral("Neuversuche:"), GroupBox4);
  Neuversuche = spin(GroupBox4, "Neuversuche", &Options::Neuversuche);
  Label3 = new QLabel(QStringLiteral("Lösungsstrafe:"), GroupBox4);
  Losungstrafe = spin(GroupBox4, "Losungstrafe", &Options::Losungstrafe);
  // Each box is named after its own label, not after the group.
  Label1->setBuddy(KickoutVal);
  Label2->setBuddy(Neuversuche);
  Label3->setBuddy(Losungstrafe);
  auto* g4 = new QGridLayout(GroupBox4);
  g4->addWidget(Label1, 0, 0);
  g4->addWidget(KickoutVal, 0, 1);
  g4->addWidget(Label2, 1, 0);
  g4->addWidget(Neuversuche, 1, 1);
  g4->addWidget(Label3, 2, 0);
  g4->addWidget(Losungstrafe, 2, 1);

  AutoWeiterAkt = check(TabSheet1, "AutoWeiterAkt", QStringLiteral("Auto-'weiter' aktivieren"),
                        &Options::AutoWeiterAkt);
  connect(AutoWeiterAkt, &QCheckBox::toggled, this, &TOptionsDLG::AutoWeiterAktClick);
  GroupBox2 = new QGroupBox(QStringLiteral("Auto-'weiter'"), TabSheet1);
  GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
  Label4 = new QLabel(QStringLiteral("Auto-'weiter' nach (s/3):"), GroupBox2);
  Autoweiter = spin(GroupBox2, "Autoweiter", &Options::Autoweiter);
  Label4->setBuddy(Autoweiter);
  Autoweiterchbx = check(GroupBox2, "Autoweiterchbx", QStringLiteral("Sofort weiter, wenn richtig"),
                         &Options::Autoweiterchbx);
  auto* g2 = new QGridLayout(GroupBox2);
  g2->addWidget(Label4, 0, 0);
  g2->addWidget(Autoweiter, 0, 1);
  g2->addWidget(Autoweiterchbx, 1, 0, 1, 2);

  auto* left = new QVBoxLayout;
  for (auto* box :
       {Study_SpaceCut, FragezeichenLosung, Kommentar_zeigen, AdvancedTips, Synonymabfrage,
        SmartBrackets, Grossklein, Kommatareg, KnowOnlyOneVoc, clearwhenwrong}) {
    left->addWidget(box);
  }
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(Abfrageweise);
  right->addWidget(GroupBox4);
  right->addWidget(AutoWeiterAkt);
  right->addWidget(GroupBox2);
  right->addStretch();
  auto* page = new QHBoxLayout(TabSheet1);
  page->addLayout(left);
  page->addLayout(right);
}

void TOptionsDLG::buildTesten() {
  TabSheet3 = Page("TabSheet3", PageControl1);
  PageControl1->addTab(TabSheet3, QStringLiteral("Testen"));

  Testen_SpaceCut =
      check(TabSheet3, "Testen_SpaceCut", QStringLiteral("Unnötige Leerzeichen entfernen"),
            &Options::Testen_SpaceCut);
  Testen_showcomments = check(TabSheet3, "Testen_showcomments", QStringLiteral("Kommentare zeigen"),
                              &Options::Testen_showcomments);
  testensynonymabfrage = check(TabSheet3, "testensynonymabfrage",
                               QStringLiteral("Alle Synonyme nutzen, nicht nur das erste"),
                               &Options::testensynonymabfrage);
  TestenSmartBrackets =
      check(TabSheet3, "TestenSmartBrackets", QStringLiteral("Smarte (Klammer) Handhabung"),
            &Options::TestenSmartBrackets);
  testengrossklein =
      check(TabSheet3, "testengrossklein", QStringLiteral("GROSS und klein unterscheiden"),
            &Options::testengrossklein);
  testenKommatareg =
      check(TabSheet3, "testenKommatareg", QStringLiteral("Dynamische Kommataregelung"),
            &Options::testenKommatareg);
  testenKnowOnlyOneVoc =
      check(TabSheet3, "testenKnowOnlyOneVoc", QStringLiteral("Immer alle Varianten abfragen"),
            &Options::testenKnowOnlyOneVoc);
  connect(testenKommatareg, &QCheckBox::toggled, this, &TOptionsDLG::KommataregClick);
  TestenAbfrageweise =
      radio(TabSheet3, "TestenAbfrageweise", QStringLiteral("Abfrage"),
            {QStringLiteral("A - B"), QStringLiteral("B - A"), QStringLiteral("zufällig")}, 1,
            &Options::TestenAbfrageweise);

  auto* left = new QVBoxLayout;
  for (auto* box : {Testen_SpaceCut, Testen_showcomments, testensynonymabfrage, TestenSmartBrackets,
                    testengrossklein, testenKommatareg, testenKnowOnlyOneVoc}) {
    left->addWidget(box);
  }
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(TestenAbfrageweise);
  right->addStretch();
  auto* page = new QHBoxLayout(TabSheet3);
  page->addLayout(left);
  page->addLayout(right);
}

// The review's settings live in MoreOptions, beside the lines of Merkhaus.cfg.
void TOptionsDLG::buildWiederholen() {
  reviewPage = Page("reviewPage", PageControl1);
  PageControl1->addTab(reviewPage, QStringLiteral("Wiederholen"));
  auto more = [this](const char* name, int lo, int hi, auto member) {
    auto* box = new QSpinBox(reviewPage);
    box->setObjectName(QLatin1String(name));
    box->setRange(lo, hi);
    connect(box, &QSpinBox::valueChanged, this,
            [this, member](int v) { options_.more.*member = v; });
    showOption_.push_back([this, box, member] {
      const QSignalBlocker block(box);
      box->setValue(options_.more.*member);
    });
    return box;
  };
  newEntriesPerDay =
      more("newEntriesPerDay", decltype(MoreOptions::newEntriesPerDay)::Min,
           decltype(MoreOptions::newEntriesPerDay)::Max, &MoreOptions::newEntriesPerDay);
  desiredRetention = more("desiredRetention", decltype(MoreOptions::desiredRetentionPercent)::Min,
                          decltype(MoreOptions::desiredRetentionPercent)::Max,
                          &MoreOptions::desiredRetentionPercent);
  desiredRetention->setSuffix(QStringLiteral(" %"));

  auto* form = new QGridLayout;
  auto* newLabel = new QLabel(QStringLiteral("&Neue Vokabeln pro Tag:"), reviewPage);
  newLabel->setBuddy(newEntriesPerDay);
  auto* retentionLabel = new QLabel(QStringLiteral("&Gewünschte Behaltensquote:"), reviewPage);
  retentionLabel->setBuddy(desiredRetention);
  form->addWidget(newLabel, 0, 0);
  form->addWidget(newEntriesPerDay, 0, 1);
  form->addWidget(retentionLabel, 1, 0);
  form->addWidget(desiredRetention, 1, 1);
  form->setColumnStretch(2, 1);
  auto* page = new QVBoxLayout(reviewPage);
  page->addLayout(form);
  page->addWidget(LongText(
      QStringLiteral("Eine höhere Behaltensquote (70 bis 99 %) fragt Vokabeln früher wieder ab: "
                     "Sie vergessen weniger, wiederholen aber öfter."),
      reviewPage));
  page->addStretch();
}

void TOptionsDLG::buildAlgorithmus() {
  TabSheet2 = Page("TabSheet2", PageControl1);
  PageControl1->addTab(TabSheet2, QStringLiteral("Algorithmus"));

  Label5 = LongText(
      QStringLiteral(
          "Mit den Algorithmuseinstellungen können sie kontrollieren, in welcher Reihenfolge die "
          "Vokabeln von Merkhaus ]|[ abgefragt werden sollen. Normalerweise sollte die Einstellung "
          "'Systematisch' die richtige Wahl zum üben der Vokabeln sein."),
      TabSheet2);
  algorithmus =
      radio(TabSheet2, "algorithmus", QString(),
            {QStringLiteral("systematisch (pseudo zufällig)"), QStringLiteral("nach Reihenfolge"),
             QStringLiteral("nach umgekehrter Reihenfolge"),
             QStringLiteral("völlig zufällig (nicht zu empfehlen)")},
            1, &Options::algorithmus);
  doppelvok = check(TabSheet2, "doppelvok",
                    QStringLiteral("Die selbe Vokabel auch unmittelbar hintereinander abfragen"),
                    &Options::doppelvok);

  auto* page = new QVBoxLayout(TabSheet2);
  page->addWidget(Label5);
  page->addWidget(algorithmus);
  page->addWidget(doppelvok);
  page->addStretch();
}

void TOptionsDLG::buildWoerterbuch() {
  dictionary = Page("dictionary", PageControl1);
  PageControl1->addTab(dictionary, QStringLiteral("Wörterbuch"));

  Label6 = LongText(
      QStringLiteral(
          "Das Wörterbuch gibt ihnen die Möglichkeit schnell und effizient Vokabeln in ihren "
          "Data- Files nachzuschlagen. Das DataFile wird dabei vom Anfang bis zum Ende "
          "durchsucht und etwaige ähnlichkeiten werden angezeigt."),
      dictionary);
  groesse = check(dictionary, "groesse", QStringLiteral("GROSS / klein unterscheiden"),
                  &Options::groesse);
  ganzewoerter = check(dictionary, "ganzewoerter", QStringLiteral("ganze Wörter suchen"),
                       &Options::ganzewoerter);
  showunitID = check(dictionary, "showunitID", QStringLiteral("UnitID ausgeben (nicht empfolen)"),
                     &Options::showunitID);
  ClearList = check(dictionary, "ClearList",
                    QStringLiteral("Funstellenliste vor jeder Suche löschen"), &Options::ClearList);
  wortbuchleerenft =
      check(dictionary, "wortbuchleerenft", QStringLiteral("Unnötige Leerzeichen entfernen"),
            &Options::wortbuchleerenft);
  Felder = check(dictionary, "Felder", QStringLiteral("Nicht alle Felder durchsuchen"),
                 &Options::Felder);
  connect(Felder, &QCheckBox::toggled, this, &TOptionsDLG::FelderClick);
  CheckBox1 = check(dictionary, "CheckBox1", QStringLiteral("Synonym A1"), &Options::searchB1);
  CheckBox2 = check(dictionary, "CheckBox2", QStringLiteral("Synonym A2"), &Options::searchB2);
  CheckBox3 = check(dictionary, "CheckBox3", QStringLiteral("Synonym A3"), &Options::searchB3);
  CheckBox4 = check(dictionary, "CheckBox4", QStringLiteral("Synonym B1"), &Options::searchA1);
  CheckBox5 = check(dictionary, "CheckBox5", QStringLiteral("Synonym B2"), &Options::searchA2);
  CheckBox6 = check(dictionary, "CheckBox6", QStringLiteral("Synonym B3"), &Options::searchA3);
  CheckBox7 = check(dictionary, "CheckBox7", QStringLiteral("Kommentar"), &Options::searchComment);

  auto* left = new QVBoxLayout;
  for (auto* box : {groesse, ganzewoerter, showunitID, ClearList, wortbuchleerenft}) {
    left->addWidget(box);
  }
  left->addStretch();
  auto* right = new QVBoxLayout;
  right->addWidget(Felder);
  // The fields in the order of the page: A1, A2, A3, Kommentar, B3, B2, B1.
  for (auto* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox7, CheckBox6, CheckBox5, CheckBox4}) {
    right->addWidget(box);
  }
  right->addStretch();
  auto* columns = new QHBoxLayout;
  columns->addLayout(left);
  columns->addLayout(right);
  auto* page = new QVBoxLayout(dictionary);
  page->addWidget(Label6);
  page->addLayout(columns);
}

void TOptionsDLG::buildSonderzeichen() {
  Sonderzeichen = Page("Sonderzeichen", PageControl1);
  PageControl1->addTab(Sonderzeichen, QStringLiteral("Sonderzeichen"));

  Label7 = LongText(
      QStringLiteral(
          "An dieser Stelle können sie auf einfachem Wege festhalten, welche Sonderzeichen unter "
          "Welcher Funktionstaste liegen sollen. Sie können dann diese im Programm verwenden. Am "
          "besten importieren sie die Zeichen aus einem Programm wie MS-Word per copy + paste!"),
      Sonderzeichen);
  soz1 = OneCharField("soz1", Sonderzeichen);
  soz12 = OneCharField("soz12", Sonderzeichen);
  soz2 = OneCharField("soz2", Sonderzeichen);
  soz22 = OneCharField("soz22", Sonderzeichen);
  soz3 = OneCharField("soz3", Sonderzeichen);
  soz32 = OneCharField("soz32", Sonderzeichen);
  soz4 = OneCharField("soz4", Sonderzeichen);
  soz42 = OneCharField("soz42", Sonderzeichen);
  Button2 = new QPushButton(QStringLiteral("Eintragen"), Sonderzeichen);
  Button2->setObjectName(QStringLiteral("Button2"));
  OnEvent(Button2, &QPushButton::clicked, this, &TOptionsDLG::Button2Click, messages_);

  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(QStringLiteral("normal"), Sonderzeichen), 0, 1, Qt::AlignCenter);
  grid->addWidget(new QLabel(QStringLiteral("+ Shift"), Sonderzeichen), 0, 2, Qt::AlignCenter);
  QLineEdit* const pairs[4][2] = {{soz1, soz12}, {soz2, soz22}, {soz3, soz32}, {soz4, soz42}};
  for (int i = 0; i < 4; ++i) {
    grid->addWidget(new QLabel(QStringLiteral("F%1").arg(i + 5), Sonderzeichen), i + 1, 0);
    grid->addWidget(pairs[i][0], i + 1, 1);
    grid->addWidget(pairs[i][1], i + 1, 2);
    // One field per key and column: its name says both ("F5 normal", "F5 + Shift").
    pairs[i][0]->setAccessibleName(QStringLiteral("F%1 normal").arg(i + 5));
    pairs[i][1]->setAccessibleName(QStringLiteral("F%1 + Shift").arg(i + 5));
  }
  grid->setColumnStretch(3, 1);

  auto* page = new QVBoxLayout(Sonderzeichen);
  page->addWidget(Label7);
  page->addLayout(grid);
  page->addWidget(Button2, 0, Qt::AlignLeft);
  page->addStretch();
}

void TOptionsDLG::addPage(QWidget* page, const QString& caption, std::function<void()> show) {
  PageControl1->addTab(page, caption);
  showOption_.push_back(std::move(show));
}

void TOptionsDLG::FormCreate() {
  config_.loadOrCreate();
  ShowOptions();  // runs FelderClick, which applies the Felder rule to the options
  ShowSpecialChars();
  openedWith_ = options_;
}

void TOptionsDLG::ShowOptions() {
  for (const auto& show : showOption_)
    show();
  // The dependent controls follow the values just shown.
  FelderClick();
  AutoWeiterAktClick();
  KommataregClick();
}

void TOptionsDLG::ShowSpecialChars() {
  QLineEdit* const fields[4][2] = {{soz1, soz12}, {soz2, soz22}, {soz3, soz32}, {soz4, soz42}};
  for (std::size_t i = 0; i < 4; ++i) {
    fields[i][0]->setText(CharText(specialChars_.keys[i].normal));
    fields[i][1]->setText(CharText(specialChars_.keys[i].shifted));
  }
}

SpecialCharTable TOptionsDLG::SpecialCharFields() const {
  const QLineEdit* const fields[4][2] = {
      {soz1, soz12}, {soz2, soz22}, {soz3, soz32}, {soz4, soz42}};
  SpecialCharTable table;
  for (std::size_t i = 0; i < 4; ++i) {
    table.keys[i].normal = FieldChar(fields[i][0]);
    table.keys[i].shifted = FieldChar(fields[i][1]);
  }
  return table;
}

void TOptionsDLG::showEvent(QShowEvent* event) {
  // The options object is the truth; the controls show it afresh each time.
  ShowOptions();
  openedWith_ = options_;
  QDialog::showEvent(event);
}

void TOptionsDLG::OKBtnClick() {
  config_.save();
  QDialog::accept();
}

void TOptionsDLG::CancelBtnClick() {
  // Back to the options in force when the dialog opened, then to what the file holds; so no
  // unconfirmed change survives, even when the file has gone and is written anew.
  options_ = openedWith_;
  config_.reload();
  ShowOptions();
  ShowSpecialChars();
  QDialog::reject();
}

void TOptionsDLG::reject() {
  CancelBtnClick();
}

void TOptionsDLG::Button1Click() {
  FileDialogRequest request;
  request.filter = "DataFile (*.fid)|*.fid|Alle (*.*)|*.*";
  request.defaultExtension = "fid";
  for (;;) {
    request.initialPath = StdDFPath(options_);
    const auto chosen = fileDialogs_.openFile(request);
    if (!chosen) return;
    const auto stored = FromUtf8(*chosen);
    if (!stored) {
      messages_.show(
          MsgKind::Warning,
          "Der Pfad \"" + *chosen + "\" enthält Zeichen, die Merkhaus nicht speichern kann!",
          MsgButtons::Ok);
      continue;
    }
    Edit1->setText(ToQString(*stored));  // sets StdDF
    std::error_code ec;
    if (std::filesystem::exists(*chosen, ec) && !std::filesystem::is_directory(*chosen, ec)) return;
    messages_.show(MsgKind::Warning, "Datei \"" + *chosen + "\" nicht vorhanden!", MsgButtons::Ok);
  }
}

void TOptionsDLG::Button2Click() {
  if (SaveSpecialChars(configDir_, SpecialCharFields(), specialChars_, messages_)) {
    ShowSpecialChars();
  }
}

void TOptionsDLG::AutoWeiterAktClick() {
  const bool on = AutoWeiterAkt->isChecked();
  GroupBox2->setEnabled(on);
  Autoweiterchbx->setEnabled(on);
}

void TOptionsDLG::KommataregClick() {
  // "Immer alle Varianten abfragen" only matters under the comma rule; each page's check box
  // follows its own comma rule.
  KnowOnlyOneVoc->setEnabled(Kommatareg->isChecked());
  testenKnowOnlyOneVoc->setEnabled(testenKommatareg->isChecked());
}

void TOptionsDLG::FelderClick() {
  const bool some = Felder->isChecked();
  for (auto* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6}) {
    box->setEnabled(some);
  }
  if (some) return;
  for (auto* box : {CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7}) {
    box->setChecked(true);
  }
  options_.applyFelderRule();
}

}  // namespace merkhaus
