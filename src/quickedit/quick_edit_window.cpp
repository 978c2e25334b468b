// SPDX-License-Identifier: GPL-3.0-or-later
#include "quickedit/quick_edit_window.h"

#include <QCloseEvent>
#include <QFrame>
#include <QLabel>
#include <QPushButton>

#include "config/special_char_edit.h"
#include "flows/read_aloud_button.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/keyboard_access.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "quickedit/quick_edit.h"

namespace merkhaus {

TQuickEdit::TQuickEdit(Services& services)
    : QDialog(nullptr),
      services_(services),
      speech_(services.speaker, services.options, services.messages, services.lesson) {
  setObjectName(QStringLiteral("QuickEdit"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(427, 217);

  auto* panel = new QFrame(this);
  panel->setFrameShape(QFrame::StyledPanel);
  panel->setGeometry(4, 4, 419, 172);

  Label1 = new QLabel(panel);
  Label1->setGeometry(8, 4, 198, 18);
  Label2 = new QLabel(panel);
  Label2->setGeometry(212, 4, 198, 18);
  SetBold(Label1);
  SetBold(Label2);

  const SpecialCharTable& table = services_.specialChars;
  auto word = [&](int x, int y) {
    auto* e = new SpecialCharEdit(table, 59, panel);
    e->setGeometry(x, y, 198, 24);
    return e;
  };
  Edit1 = word(8, 24);
  Edit2 = word(212, 24);
  Edit3 = word(8, 54);
  Edit4 = word(212, 54);
  Edit5 = word(8, 84);
  Edit6 = word(212, 84);

  Label3 = new QLabel(QStringLiteral("Komment&ar:"), panel);
  Label3->setGeometry(66, 116, 200, 18);
  Button11 = new QPushButton(QStringLiteral("Undo"), panel);
  Button11->setGeometry(8, 136, 52, 26);
  Edit7 = new SpecialCharEdit(table, 255, panel);
  Edit7->setGeometry(66, 137, 344, 24);
  Label3->setBuddy(Edit7);

  // "Komment&ar:" has Alt+A; cancelling is Escape or Alt+C.
  Button2 = new QPushButton(QStringLiteral("Abbre&chen"), this);
  Button2->setGeometry(239, 182, 90, 28);
  Button1 = new QPushButton(QStringLiteral("&OK"), this);
  Button1->setGeometry(333, 182, 90, 28);
  SetBold(Button1);
  Button1->setDefault(true);
  VorlesenBtn = MakeReadAloudButton(this, this, QStringLiteral("&Vorlesen"), QRect(4, 182, 90, 28));
  VorlesenBtn->setAutoDefault(false);
  Button2->setAutoDefault(false);
  Button11->setAutoDefault(false);

  // Tab goes down the left column, then down the right one; the comment and Undo are reached
  // with the mouse or Alt+A.
  Edit7->setFocusPolicy(Qt::ClickFocus);
  Button11->setFocusPolicy(Qt::ClickFocus);
  setTabOrder(Edit1, Edit3);
  setTabOrder(Edit3, Edit5);
  setTabOrder(Edit5, Edit2);
  setTabOrder(Edit2, Edit4);
  setTabOrder(Edit4, Edit6);
  setTabOrder(Edit6, Button2);
  setTabOrder(Button2, Button1);
  NameColumnFields(QStringLiteral("Fremdsprache"), {Edit1, Edit3, Edit5});
  NameColumnFields(QStringLiteral("Muttersprache"), {Edit2, Edit4, Edit6});
  Button11->setAccessibleDescription(QStringLiteral("Ursprünglichen Eintrag zurückholen"));
  InstallControlTabRing(this);

  OnEvent(Button1, &QPushButton::clicked, this, &TQuickEdit::Button1Click, services_.messages);
  OnEvent(Button2, &QPushButton::clicked, this, &TQuickEdit::Button2Click, services_.messages);
  OnEvent(Button11, &QPushButton::clicked, this, &TQuickEdit::Button11Click, services_.messages);
  OnEvent(VorlesenBtn, &QPushButton::clicked, this, &TQuickEdit::VorlesenBtnClick,
          services_.messages);
  AttachHelp(this, services_.help, HelpContext::Entry);
}

std::optional<TVocData> TQuickEdit::quickEditEntry(const TVocData& entry, bool editable) {
  // A DataFile that was found damaged or write-protected when it was chosen is only shown.
  const QString readOnly = QString::fromStdString(services_.lesson.readOnlyReason);
  editable = editable && readOnly.isEmpty();
  editable_ = editable;
  setWindowTitle(editable ? QStringLiteral("Quick-Edit") : QStringLiteral("Quick-View"));
  Button11->setVisible(editable);
  Button2->setVisible(editable);
  for (SpecialCharEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7}) {
    e->setReadOnly(!editable);
    e->setToolTip(readOnly);
  }
  QuickEditAbandoned = false;
  QuickEditOriginal = entry;
  Label1->setText(ToQString(ForeignLanguage(services_.lesson.dataFileHeader)));
  Label2->setText(ToQString(NativeLanguage(services_.lesson.dataFileHeader)));
  NameColumnFields(Label1->text(), {Edit1, Edit3, Edit5});
  NameColumnFields(Label2->text(), {Edit2, Edit4, Edit6});
  Button11Click();
  ShowReadAloudState(VorlesenBtn, speech_, true);
  Edit1->setFocus();

  exec();
  if (QuickEditAbandoned || !editable) return std::nullopt;
  // Left column A1..A3, right column B1..B3, then the comment.
  const EntryTexts texts{ToWinString(Edit1->text(), services_.lesson.encoding()),
                         ToWinString(Edit3->text(), services_.lesson.encoding()),
                         ToWinString(Edit5->text(), services_.lesson.encoding()),
                         ToWinString(Edit2->text(), services_.lesson.encoding()),
                         ToWinString(Edit4->text(), services_.lesson.encoding()),
                         ToWinString(Edit6->text(), services_.lesson.encoding()),
                         ToWinString(Edit7->text(), services_.lesson.encoding())};
  auto saved = SaveQuickEdit(services_.lesson, services_.options, services_.messages, entry, texts);
  // The learner corrected the words, not the vocabulary: its progress goes along.
  if (saved) services_.progress.corrected(services_.lesson, entry, *saved);
  return saved;
}

void TQuickEdit::Button1Click() {
  QDialog::accept();
}

void TQuickEdit::Button2Click() {
  QuickEditAbandoned = true;
  QDialog::reject();
}

void TQuickEdit::VorlesenBtnClick() {
  speech_.read(ToWinString(Edit1->text(), services_.lesson.encoding()),
               ToWinString(Edit3->text(), services_.lesson.encoding()),
               ToWinString(Edit5->text(), services_.lesson.encoding()));
}

void TQuickEdit::Button11Click() {
  const EntryTexts t = TextsOf(QuickEditOriginal, services_.lesson.encoding());
  Edit1->setText(ToQString(t.A1));
  Edit2->setText(ToQString(t.B1));
  Edit3->setText(ToQString(t.A2));
  Edit4->setText(ToQString(t.B2));
  Edit5->setText(ToQString(t.A3));
  Edit6->setText(ToQString(t.B3));
  Edit7->setText(ToQString(t.Comment));
  // A long text shows its beginning, not its end.
  for (SpecialCharEdit* e : {Edit1, Edit2, Edit3, Edit4, Edit5, Edit6, Edit7})
    e->setCursorPosition(0);
}

// The close box confirms like "&OK".
void TQuickEdit::closeEvent(QCloseEvent* event) {
  closingByBox_ = true;
  QDialog::closeEvent(event);
  closingByBox_ = false;
}

// Escape abandons the correction like "Abbrechen"; only the close box confirms.
void TQuickEdit::reject() {
  if (closingByBox_ || !editable_) {
    QDialog::accept();
  } else {
    Button2Click();
  }
}

}  // namespace merkhaus
