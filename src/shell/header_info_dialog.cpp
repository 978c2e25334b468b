// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/header_info_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/limited_memo.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/lesson_flows.h"

namespace merkhaus {

THeaderInfoDlg::THeaderInfoDlg(Services& services) : QDialog(nullptr), services_(services) {
  setObjectName(QStringLiteral("HeaderInfoDlg"));
  AttachHelp(this, services_.help, HelpContext::HeaderInfo);
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowCloseButtonHint);
  setFixedSize(380, 270);

  Label1 = new QLabel(QStringLiteral("&Name:"), this);
  Label1->setGeometry(12, 12, 356, 18);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(12, 32, 356, 26);
  MakeWin1252Field(Edit1, 59);
  Label1->setBuddy(Edit1);

  Label2 = new QLabel(QStringLiteral("&Kommentar:"), this);
  Label2->setGeometry(12, 66, 356, 18);
  Memo1 = new LimitedMemo(255, this);
  Memo1->setGeometry(12, 86, 356, 90);
  Label2->setBuddy(Memo1);

  Label3 = new QLabel(QStringLiteral("&Autor:"), this);
  Label3->setGeometry(12, 184, 356, 18);
  Edit2 = new QLineEdit(this);
  Edit2->setGeometry(12, 204, 356, 26);
  Edit2->setEnabled(false);
  Label3->setBuddy(Edit2);

  Label4 = new QLabel(QStringLiteral("Zeichensatz:"), this);
  Label4->setGeometry(12, 238, 96, 20);
  Label5 = new QLabel(this);
  Label5->setGeometry(108, 238, 260, 20);
  Label5->setTextInteractionFlags(Qt::TextSelectableByMouse);

  Button1 = new QPushButton(QStringLiteral("&Eintragen"), this);
  Button1->setGeometry(12, 236, 100, 28);
  Button1->setAutoDefault(false);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(278, 236, 90, 28);
  OKBtn->setDefault(true);

  Edit1->installEventFilter(this);
  Memo1->installEventFilter(this);
  OnEvent(Button1, &QPushButton::clicked, this, &THeaderInfoDlg::Button1Click, services_.messages);
  OnEvent(OKBtn, &QPushButton::clicked, this, &THeaderInfoDlg::OKBtnClick, services_.messages);
}

// Edit1KeyPress / Memo1KeyPress: every typed key counts as a change, even one that changes
// nothing.
bool THeaderInfoDlg::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == Edit1 || watched == Memo1) && event->type() == QEvent::KeyPress &&
      !static_cast<QKeyEvent*>(event)->text().isEmpty() && !Edit1->isReadOnly()) {
    Button1->setEnabled(true);
  }
  return QDialog::eventFilter(watched, event);
}

void THeaderInfoDlg::Show(bool forDataFile, bool editable) {
  forDataFile_ = forDataFile;
  Button1->setVisible(editable);
  Button1->setEnabled(false);
  Edit1->setReadOnly(!editable);
  Memo1->setReadOnly(!editable);
  // Read-only fields look read-only: the window's colour instead of the white of a field.
  for (QWidget* field : {static_cast<QWidget*>(Edit1), static_cast<QWidget*>(Memo1)}) {
    QPalette palette = QApplication::palette(field);
    if (!editable) palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    field->setPalette(palette);
  }
  const TVocData& record =
      forDataFile ? services_.lesson.dataFileHeader : services_.lesson.lessonHeader;
  const TextEncoding encoding = services_.lesson.encoding();
  Edit1->setText(ToQString(forDataFile ? DataFileName(record) : LessonName(record).as(encoding)));
  Memo1->setEncoding(encoding);
  Memo1->setWinText(record.Comment.get(encoding));
  Label3->setVisible(forDataFile);
  Edit2->setVisible(forDataFile);
  // Without the author row the buttons move up, so that no gap stays where it was.
  const int buttonsTop = forDataFile ? 268 : 184;
  Button1->move(Button1->x(), buttonsTop);
  OKBtn->move(OKBtn->x(), buttonsTop);
  setFixedSize(380, buttonsTop + 36);
  if (forDataFile) {
    const WinString author = Author(record);
    Edit2->setText(author.empty() ? QStringLiteral("<<Unbekannt>>") : ToQString(author));
    setWindowTitle(QStringLiteral("DataFile Info"));
  } else {
    Edit2->clear();
    setWindowTitle(QStringLiteral("Lektions Info"));
  }
  // Which kind of DataFile it is: Windows-1252 (readable by older programs) or Unicode.
  Label4->setVisible(forDataFile);
  Label5->setVisible(forDataFile);
  Label5->setText(Utf8ToQString(std::string(EncodingName(services_.lesson.encoding()))));
  exec();
}

void THeaderInfoDlg::Button1Click() {
  // A failed write leaves the button enabled, so the learner can try again.
  if (WriteHeaderInfo(services_.lesson, services_.messages, forDataFile_,
                      ToWinString(Edit1->text(), services_.lesson.encoding()), Memo1->winText())) {
    Button1->setEnabled(false);
  }
}

void THeaderInfoDlg::OKBtnClick() {
  if (Button1->isVisible() && Button1->isEnabled() &&
      services_.messages.show(
          MsgKind::Warning,
          "Sie haben die Änderungen nicht eingetragen! Sollen die Änderungen jetzt "
          "eingetragen werden?",
          MsgButtons::YesNo) == Answer::Yes) {
    Button1Click();
  }
  QDialog::accept();
}

// Closing by Escape or the close box asks about unwritten changes like "OK".
void THeaderInfoDlg::reject() {
  OKBtnClick();
}

}  // namespace merkhaus
