// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/new_lesson_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/limited_memo.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/lesson_choice_flow.h"
#include "store/datafile.h"

namespace merkhaus {

TOKBottomDlg1::TOKBottomDlg1(Services& services) : QDialog(nullptr), services_(services) {
  setObjectName(QStringLiteral("OKBottomDlg1"));
  AttachHelp(this, services_.help, HelpContext::LessonChoice);
  setWindowTitle(QStringLiteral("Neue Lektion anlegen"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(380, 236);

  Label1 = new QLabel(QStringLiteral("&Name:"), this);
  Label1->setGeometry(12, 12, 356, 18);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(12, 32, 356, 26);
  MakeWin1252Field(Edit1, 60);
  Label1->setBuddy(Edit1);

  Label2 = new QLabel(QStringLiteral("&Kommentar:"), this);
  Label2->setGeometry(12, 66, 356, 18);
  Memo1 = new LimitedMemo(255, this);
  Memo1->setGeometry(12, 86, 356, 96);
  Label2->setBuddy(Memo1);

  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(182, 196, 90, 28);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
  CancelBtn->setGeometry(278, 196, 90, 28);
  CancelBtn->setAutoDefault(false);
  OnEvent(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg1::OKBtnClick, services_.messages);
  OnEvent(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg1::CancelBtnClick,
          services_.messages);
}

void TOKBottomDlg1::OKBtnClick() {
  if (Edit1->text().isEmpty()) {
    ShowErr(services_.messages, "Es muß zumindest ein Lektionsname eingegeben werden!");
    QDialog::accept();
    return;
  }
  // The lesson list is read again when the dialog has closed, whether this worked or not. A
  // lesson that was made leaves the fields empty for the next one; after a failure they keep
  // what the learner typed, to be mended.
  const WinString made = CreateLessonFromDialog(services_.lesson.dataFilePath,
                                                ToWinString(Edit1->text(), Memo1->encoding()),
                                                Memo1->winText(), services_.messages);
  if (!made.empty()) {
    Edit1->clear();
    Memo1->clear();
  }
  QDialog::accept();
}

void TOKBottomDlg1::showEvent(QShowEvent* event) {
  // The dialog can come before the lesson list has read the DataFile's record 0 (a DataFile
  // without lessons), so the kind of DataFile is read here; the fields take what it can hold.
  // A file that cannot be read is told when the lesson is written.
  const StoreResult<TextEncoding> encoding = ReadDataFileEncoding(services_.lesson.dataFilePath);
  const TextEncoding e = encoding ? *encoding : services_.lesson.encoding();
  SetFieldEncoding(Edit1, e);
  Memo1->setEncoding(e);
  QDialog::showEvent(event);
  Edit1->setFocus();
}

void TOKBottomDlg1::CancelBtnClick() {
  reject();
}

}  // namespace merkhaus
