#include "shell/open_datafile_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <filesystem>
#include <system_error>

#include "platform/dialogs.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/app_context.h"
#include "shell/new_datafile_form.h"
#include "shell/voc_data_module.h"

namespace merkhaus {

TOKBottomDlg::TOKBottomDlg(AppContext& ctx) : QDialog(nullptr), ctx_(ctx) {
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

  Button4 = new QPushButton(QStringLiteral("Neues..."), this);
  Button4->setGeometry(12, 92, 100, 28);
  OKBtn = new QPushButton(QStringLiteral("OK"), this);
  OKBtn->setGeometry(222, 92, 90, 28);
  OKBtn->setDefault(true);
  CancelBtn = new QPushButton(QStringLiteral("Abbrechen"), this);
  CancelBtn->setGeometry(318, 92, 90, 28);
  for (auto* b : {Button1, Button4, CancelBtn})
    b->setAutoDefault(false);

  connect(Button1, &QPushButton::clicked, this, &TOKBottomDlg::Button1Click);
  connect(Button4, &QPushButton::clicked, this, &TOKBottomDlg::Button4Click);
  connect(OKBtn, &QPushButton::clicked, this, &TOKBottomDlg::OKBtnClick);
  connect(CancelBtn, &QPushButton::clicked, this, &TOKBottomDlg::CancelBtnClick);
  AttachHelp(this, ctx_.help, HelpContext::OpenDataFile);
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
  for (;;) {
    const auto path = ctx_.forms.VocDataModule->OpenDialog1Execute(QStringToPath(Edit1->text()));
    if (!path) return;
    Edit1->setText(PathToQString(*path));
    std::error_code ec;
    if (std::filesystem::exists(*path, ec)) break;
    ctx_.messages.show(MsgKind::Warning, MissingFileWarning(*path), MsgButtons::Ok);
  }
  OKBtn->setFocus();
}

void TOKBottomDlg::OKBtnClick() {
  const std::string field =
      AcceptDataFilePath(QStringToPath(Edit1->text()), ctx_.messages, ctx_.shared.Cancelled);
  Edit1->setText(PathToQString(field));
  QDialog::accept();
}

void TOKBottomDlg::CancelBtnClick() {
  reject();
}

void TOKBottomDlg::reject() {
  ctx_.shared.Cancelled = 1;
  QDialog::reject();
}

void TOKBottomDlg::Button4Click() {
  const auto path = ctx_.forms.VocDataModule->SaveDialog1Execute();
  if (!path) return;
  TForm4& form = *ctx_.forms.Form4;
  form.exec();
  if (ctx_.shared.Cancelled == 1) return;
  if (!CreateNewDataFile(*path, form.Details(), ctx_.messages)) return;
  form.ResetFields();
  Edit1->setText(PathToQString(*path));
}

std::string ChooseDataFile(AppContext& ctx, ChooseMode mode) {
  TOKBottomDlg& dialog = *ctx.forms.OKBottomDlg;
  dialog.Button4->setEnabled(mode == ChooseMode::NewDataFile);
  const DataFileChoicePlan plan =
      PlanDataFileChoice(ctx.shared.CmdLineFile, ctx.options, QStringToPath(dialog.Edit1->text()));
  dialog.Edit1->setText(PathToQString(plan.fieldText));
  if (!plan.ask) return plan.result;
  dialog.exec();
  if (ctx.shared.Cancelled != 0) return std::string();
  return QStringToPath(dialog.Edit1->text());
}

}  // namespace merkhaus
