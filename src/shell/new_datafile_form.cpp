// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/new_datafile_form.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/limited_memo.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

QLabel* MakeLabel(QWidget* parent, const QString& caption, int y) {
  auto* label = new QLabel(caption, parent);
  label->setGeometry(12, y, 110, 24);
  return label;
}

}  // namespace

TForm4::TForm4(Services& services) : QDialog(nullptr), services_(services) {
  setObjectName(QStringLiteral("Form4"));
  AttachHelp(this, services_.help, HelpContext::OpenDataFile);
  setWindowTitle(QStringLiteral("Neues DataFile anlegen"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(400, 268);

  Label1 = MakeLabel(this, QStringLiteral("&Name:"), 12);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(124, 12, 264, 24);
  MakeWin1252Field(Edit1, 59);

  Label2 = MakeLabel(this, QStringLiteral("&Kommentar:"), 44);
  Edit2 = new QLineEdit(QStringLiteral("keinen"), this);
  Edit2->setGeometry(124, 44, 264, 24);
  MakeWin1252Field(Edit2, 255);

  Label3 = MakeLabel(this, QStringLiteral("Fremd&sprache:"), 76);
  ComboBox1 = new QComboBox(this);
  ComboBox1->setGeometry(124, 76, 264, 24);
  ComboBox1->setEditable(true);
  ComboBox1->setInsertPolicy(QComboBox::NoInsert);
  ComboBox1->addItems({QStringLiteral("Englisch"), QStringLiteral("Französisch"),
                       QStringLiteral("Latein"), QStringLiteral("Spanisch")});
  ComboBox1->setCurrentIndex(-1);
  MakeWin1252Field(ComboBox1->lineEdit(), 59);

  Label4 = MakeLabel(this, QStringLiteral("S&prache:"), 108);
  ComboBox2 = new QComboBox(this);
  ComboBox2->setGeometry(124, 108, 264, 24);
  ComboBox2->setEditable(true);
  ComboBox2->setInsertPolicy(QComboBox::NoInsert);
  ComboBox2->addItems(
      {QStringLiteral("Deutsch"), QStringLiteral("Englisch"), QStringLiteral("Französisch")});
  ComboBox2->setCurrentIndex(0);
  MakeWin1252Field(ComboBox2->lineEdit(), 59);
  // Tab skips the native language: it is nearly always "Deutsch".
  ComboBox2->setFocusPolicy(Qt::ClickFocus);
  ComboBox2->lineEdit()->setFocusPolicy(Qt::ClickFocus);

  Label5 = MakeLabel(this, QStringLiteral("&Autor:"), 140);
  Edit3 = new QLineEdit(this);
  Edit3->setGeometry(124, 140, 264, 24);
  MakeWin1252Field(Edit3, 59);

  // The kind of DataFile: Windows-1252 can be read by older programs, Unicode holds every
  // language. The item's data is the encoding.
  Label6 = MakeLabel(this, QStringLiteral("&Zeichensatz:"), 172);
  ComboBox3 = new QComboBox(this);
  ComboBox3->setGeometry(124, 172, 264, 24);
  for (const TextEncoding e : {TextEncoding::Cp1252, TextEncoding::Utf8}) {
    ComboBox3->addItem(Utf8ToQString(std::string(EncodingName(e))), static_cast<int>(e));
  }
  ComboBox3->setCurrentIndex(0);

  Label1->setBuddy(Edit1);
  Label2->setBuddy(Edit2);
  Label3->setBuddy(ComboBox1);
  Label4->setBuddy(ComboBox2);
  Label5->setBuddy(Edit3);
  Label6->setBuddy(ComboBox3);

  Button1 = new QPushButton(QStringLiteral("&Weiter >>"), this);
  Button1->setGeometry(196, 226, 94, 28);
  Button2 = new QPushButton(QStringLiteral("A&bbrechen"), this);
  Button2->setGeometry(296, 226, 94, 28);
  // Enter in a field means "&Weiter >>" (below); no button is pressed by Enter on its own.
  for (auto* b : {Button1, Button2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  setTabOrder(Edit1, Edit2);
  setTabOrder(Edit2, ComboBox1);
  setTabOrder(ComboBox1, Edit3);
  setTabOrder(Edit3, ComboBox3);
  // Tab passes over the second language; Ctrl+Tab (and Alt+P) reach it.
  InstallControlTabRing(this);

  OnEvent(Button1, &QPushButton::clicked, this, &TForm4::Button1Click, services_.messages);
  OnEvent(Button2, &QPushButton::clicked, this, &TForm4::Button2Click, services_.messages);
  // Edit1KeyPress, Edit2KeyPress (also Edit3), ComboBox1KeyPress, ComboBox2KeyPress.
  for (QLineEdit* e : {Edit1, Edit2, Edit3, ComboBox1->lineEdit(), ComboBox2->lineEdit()}) {
    OnEvent(e, &QLineEdit::returnPressed, this, &TForm4::Button1Click, services_.messages);
  }
  connect(ComboBox3, &QComboBox::currentIndexChanged, this, &TForm4::ComboBox3Change);
}

TextEncoding TForm4::Encoding() const {
  return static_cast<TextEncoding>(ComboBox3->currentData().toInt());
}

// What the fields accept follows the chosen kind: in a Unicode DataFile every language, as many
// bytes of UTF-8 as the field has characters in Windows-1252.
void TForm4::ComboBox3Change() {
  for (QLineEdit* e : {Edit1, Edit2, Edit3, ComboBox1->lineEdit(), ComboBox2->lineEdit()})
    SetFieldEncoding(e, Encoding());
}

NewDataFileDetails TForm4::Details() const {
  const TextEncoding e = Encoding();
  return {ToWinString(Edit1->text(), e),
          ToWinString(Edit2->text(), e),
          ToWinString(ComboBox1->currentText(), e),
          ToWinString(ComboBox2->currentText(), e),
          ToWinString(Edit3->text(), e),
          e};
}

// Every showing starts in the first field, whichever field had the cursor last time.
void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Edit1->setFocus();
}

void TForm4::Button1Click() {
  // Text typed for Unicode does not go into a Windows-1252 DataFile as question marks.
  const std::pair<QLabel*, QLineEdit*> fields[] = {{Label1, Edit1},
                                                   {Label2, Edit2},
                                                   {Label3, ComboBox1->lineEdit()},
                                                   {Label4, ComboBox2->lineEdit()},
                                                   {Label5, Edit3}};
  for (const auto& [label, field] : fields) {
    if (field->hasAcceptableInput()) continue;
    QString caption = label->text();
    caption.remove(QLatin1Char('&')).remove(QLatin1Char(':'));
    TellTextUnfitForEncoding(caption.toStdString(), Encoding(), services_.messages);
    field->setFocus();
    return;
  }
  if (AcceptNewDataFileDetails(Details(), services_.messages)) {
    QDialog::accept();
  } else if (!Details().name.empty() && !Details().foreignLanguage.empty() &&
             !Details().nativeLanguage.empty()) {
    Edit3->setFocus();
  }
}

void TForm4::Button2Click() {
  reject();
}

void TForm4::ResetFields() {
  Edit1->clear();
  Edit2->clear();
  Edit3->clear();
  ComboBox1->setCurrentIndex(-1);
  ComboBox1->setEditText(QString());
  ComboBox2->setCurrentIndex(0);
  ComboBox2->setEditText(QStringLiteral("Deutsch"));
  ComboBox3->setCurrentIndex(0);
}

}  // namespace merkhaus
