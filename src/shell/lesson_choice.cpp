#include "shell/lesson_choice.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/app_context.h"
#include "shell/header_info_dialog.h"
#include "shell/lesson_flows.h"
#include "shell/new_lesson_dialog.h"
#include "store/units.h"

namespace merkhaus {

TForm6::TForm6(AppContext& ctx) : QDialog(nullptr), ctx_(ctx) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("Lektionsauswahl"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(440, 360);

  Label1 = new QLabel(this);
  Label1->setGeometry(12, 8, 416, 22);
  SetBold(Label1, 1.15);
  Label2 = new QLabel(this);
  Label2->setGeometry(12, 30, 416, 20);
  SetItalic(Label2);

  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(12, 56, 310, 292);
  ListBox1->installEventFilter(this);

  Button1 = new QPushButton(QStringLiteral("&Wählen"), this);
  Button1->setGeometry(332, 56, 96, 30);
  SetBold(Button1);
  Button4 = new QPushButton(QStringLiteral("&Zurück"), this);
  Button4->setGeometry(332, 92, 96, 30);
  Button2 = new QPushButton(QStringLiteral("&Neu..."), this);
  Button2->setGeometry(332, 282, 96, 30);
  Button3 = new QPushButton(QStringLiteral("&Löschen"), this);
  Button3->setGeometry(332, 318, 96, 30);
  for (auto* b : {Button1, Button2, Button3, Button4})
    b->setAutoDefault(false);

  connect(Button1, &QPushButton::clicked, this, &TForm6::Button1Click);
  connect(Button4, &QPushButton::clicked, this, &TForm6::Button4Click);
  connect(Button2, &QPushButton::clicked, this, &TForm6::Button2Click);
  connect(Button3, &QPushButton::clicked, this, &TForm6::Button3Click);
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm6::ListBox1DblClick);
  AttachHelp(this, ctx_.help, HelpContext::LessonChoice);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      ListBox1KeyPress(QStringLiteral("\r"));
      return true;
    }
    if (key->text().compare(QStringLiteral("i"), Qt::CaseInsensitive) == 0) {
      ListBox1KeyPress(key->text());
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void TForm6::ListBox1KeyPress(const QString& key) {
  if (key == QStringLiteral("\r")) {
    ListBox1DblClick();
  } else if (key.compare(QStringLiteral("i"), Qt::CaseInsensitive) == 0) {
    ShowUnitInfo();
  }
}

void TForm6::Button1Click() {
  if (ListBox1->currentRow() >= 0 && ListBox1->currentItem()->isSelected()) QDialog::accept();
}

void TForm6::ListBox1DblClick() {
  Button1Click();
}

void TForm6::Button4Click() {
  ctx_.shared.Cancelled = 1;
  QDialog::reject();
}

// The window closes only through its buttons, a double-click or Enter on a line.
void TForm6::reject() {}

void TForm6::Button2Click() {
  ctx_.forms.OKBottomDlg1->exec();
}

void TForm6::Button3Click() {
  QListWidgetItem* item = ListBox1->currentItem();
  const bool selected = item && item->isSelected();
  const WinString line = selected ? ToWinString(item->text()) : WinString();
  if (DeleteUnitFlow(ctx_.shared.DataFilePath, selected ? &line : nullptr, ctx_.messages)) {
    delete ListBox1->takeItem(ListBox1->row(item));
  }
}

void TForm6::RefillUnitList() {
  ListBox1->clear();
  std::vector<UnitLine> lines;
  if (!ReadUnitList(ctx_.shared.DataFilePath, lines)) {
    ShowErr(ctx_.messages, "RW - Fehler in Unit6!");
    return;
  }
  for (const auto& l : lines)
    ListBox1->addItem(ToQString(l.Line));
}

void TForm6::ShowUnitInfo() {
  QListWidgetItem* item = ListBox1->currentItem();
  if (!item || !item->isSelected()) return;
  TVocData header;
  switch (FindUnitByLine(ctx_.shared.DataFilePath, ToWinString(item->text()), header)) {
    case Lookup::CannotOpen:
      ShowErr(ctx_.messages, "RW - Fehler in Unit6!");
      return;
    case Lookup::Found:
      ctx_.shared.CurUnit = header;
      break;
    case Lookup::NotFound:
      break;
  }
  ShowHeaderInfo(ctx_, false, false);
}

std::uint8_t TForm6::Select(const std::string& path, bool allowCreate) {
  if (path.empty()) return 0;
  Button2->setEnabled(allowCreate);
  Button3->setEnabled(allowCreate);

  std::vector<UnitLine> lines;
  std::uint64_t records = 0;
  if (!ReadUnitList(path, lines, nullptr, &records)) {
    ShowErr(ctx_.messages, "RW - Fehler 601!");
    return 0;
  }
  if (records <= 1) {
    if (!allowCreate) {
      ctx_.messages.show(MsgKind::Information, "Keine Lektionen verfügbar!", MsgButtons::Ok);
      return 0;
    }
    if (ctx_.messages.show(MsgKind::Confirmation, "Keine Lektionen verfügbar. Neue anlegen?",
                           MsgButtons::YesNo) != Answer::Yes) {
      ctx_.shared.Cancelled = 1;
      return 0;
    }
    ctx_.forms.OKBottomDlg1->exec();
    if (ctx_.shared.Cancelled == 1) return 0;
  }

  ListBox1->clear();
  TVocData header;
  if (!ReadUnitList(path, lines, &header)) {
    ShowErr(ctx_.messages, "RW - Fehler in Unit6!");
    return 0;
  }
  ctx_.shared.DataFileHeader = header;
  Label1->setText(ToQString(header.B1.get()));
  Label2->setText(ToQString(header.Comment.get()));
  for (const auto& l : lines)
    ListBox1->addItem(ToQString(l.Line));
  ListBox1->setCurrentRow(-1);
  ListBox1->clearSelection();

  exec();
  if (ctx_.shared.Cancelled != 0) return 0;
  QListWidgetItem* item = ListBox1->currentItem();
  if (!item) return 0;
  return SelectedUnitID(path, ToWinString(item->text()));
}

std::uint8_t SelectUnit(AppContext& ctx, const std::string& path, bool allowCreate) {
  return ctx.forms.Form6->Select(path, allowCreate);
}

}  // namespace merkhaus
