// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/open_datafile_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>

#include "platform/dialogs.h"
#include "platform/file_io.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/new_datafile_form.h"
#include "shell/voc_data_module.h"

namespace merkhaus {

TOKBottomDlg::TOKBottomDlg(Services& services, TVocDataModule& fileDialogs, TForm4& newDataFile)
    : QDialog(nullptr), services_(services), fileDialogs_(fileDialogs), newDataFile_(newDataFile) {
  setObjectName(QStringLiteral("OKBottomDlg"));
  setWindowTitle(QStringLiteral("DataFile öffnen"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(420, 132);

  Label1 = new QLabel(QStringLiteral("&Pfad:"), this);
  Label1->setGeometry(12, 14, 300, 18);
  Edit1 = new QLineEdit(this);
  Edit1->setGeometry(12, 34, 356, 26);
  Label1->setBuddy(Edit1);
  Button1 = new QPushButton(QStringLiteral("..."), this);
  Button1->setGeometry(374, 34, 34, 26);
  Button1->setAccessibleDescription(QStringLiteral("DataFile auswählen"));

  Button4 = new QPushButton(QStringLiteral("Neues..."), this);
  Button4->setGeometry(12, 92, 100, 28);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(222, 92, 90, 28);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
  CancelBtn->setGeometry(318, 92, 90, 28);
  for (auto* b : {Button1, Button4, CancelBtn})
    b->setAutoDefault(false);

  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &TOKBottomDlg::Button1Click, m);
  OnEvent(Button4, &QPushButton::clicked, this, &TOKBottomDlg::Button4Click, m);
  OnEvent(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick, m);
  OnEvent(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg::CancelBtnClick, m);
  AttachHelp(this, services_.help, HelpContext::OpenDataFile);
}

void TOKBottomDlg::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormShow();
}

void TOKBottomDlg::FormShow() {
  // Enter accepts the proposed path.
  OKBtn->setFocus();
}

void TOKBottomDlg::Button1Click() {
  // The file dialog starts at the file in the field, also when the field holds a path relative
  // to the program's current folder; cancelling it leaves the field as it was.
  const QString before = Edit1->text();
  std::string start = QStringToPath(before);
  if (!start.empty()) start = std::filesystem::absolute(start).lexically_normal().string();
  for (;;) {
    const auto path = fileDialogs_.OpenDialog1Execute(start);
    if (!path) {
      Edit1->setText(before);
      return;
    }
    Edit1->setText(PathToQString(*path));
    if (KindOf(*path) != PathKind::Missing) break;
    services_.messages.show(MsgKind::Warning, MissingFileWarning(*path), MsgButtons::Ok);
    start = *path;
  }
  OKBtn->setFocus();
}

void TOKBottomDlg::OKBtnClick() {
  const AcceptedPath accepted =
      AcceptDataFilePath(QStringToPath(Edit1->text()), services_.messages);
  if (!accepted.usable) abandoned_ = true;
  Edit1->setText(PathToQString(accepted.fieldText));
  QDialog::accept();
}

void TOKBottomDlg::CancelBtnClick() {
  reject();
}

void TOKBottomDlg::reject() {
  abandoned_ = true;
  QDialog::reject();
}

void TOKBottomDlg::Button4Click() {
  const auto path = fileDialogs_.SaveDialog1Execute();
  if (!path) return;
  if (newDataFile_.exec() != QDialog::Accepted) {
    abandoned_ = true;
    return;
  }
  if (!CreateNewDataFile(*path, newDataFile_.Details(), services_.messages)) return;
  newDataFile_.ResetFields();
  Edit1->setText(PathToQString(*path));
}

std::optional<std::string> TOKBottomDlg::chooseDataFile(ChooseMode mode) {
  abandoned_ = false;
  Button4->setEnabled(mode == ChooseMode::NewDataFile);
  const DataFileChoicePlan plan = PlanDataFileChoice(
      services_.lesson.cmdLineFile, services_.options, QStringToPath(Edit1->text()));
  Edit1->setText(PathToQString(plan.fieldText));
  if (!plan.ask) return plan.result;
  exec();
  if (abandoned_) return std::nullopt;
  return QStringToPath(Edit1->text());
}

}  // namespace merkhaus
