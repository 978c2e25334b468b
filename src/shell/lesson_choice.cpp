// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/lesson_choice.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"
#include "shell/new_lesson_dialog.h"
#include "shell/start_up.h"
#include "store/lessons.h"
#include "store/units.h"

namespace merkhaus {
namespace {

// A lesson's line as the DataFile gives it is what finds the lesson again; the list shows it on
// one line (a comment may hold line breaks) and whole as the tool tip.
void AddLine(QListWidget* list, const WinString& line) {
  const QString shown = OneLine(ToQString(line));
  auto* item = new QListWidgetItem(shown, list);
  item->setToolTip(shown);
  item->setData(Qt::UserRole, ToQString(line));
}

WinString LineOf(const QListWidgetItem* item) {
  return ToWinString(item->data(Qt::UserRole).toString());
}

// No line is current, so none looks chosen when the list gets the focus; the first arrow key
// then chooses the first line.
void NothingChosen(QListWidget* list) {
  list->clearSelection();
  list->setCurrentIndex(QModelIndex());
}

}  // namespace

TForm6::TForm6(Services& services, Windows& windows)
    : QDialog(nullptr), services_(services), windows_(windows) {
  setObjectName(QStringLiteral("Form6"));
  setWindowTitle(QStringLiteral("Lektionsauswahl"));
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(560, 360);

  Label1 = new QLabel(this);
  Label1->setGeometry(12, 8, 536, 22);
  SetBold(Label1, 1.15);
  Label2 = new QLabel(this);
  Label2->setGeometry(12, 30, 536, 20);
  SetItalic(Label2);

  ListBox1 = new QListWidget(this);
  ListBox1->setGeometry(12, 56, 430, 292);
  ListBox1->installEventFilter(this);

  Button1 = new QPushButton(QStringLiteral("&Wählen"), this);
  Button1->setGeometry(452, 56, 96, 30);
  SetBold(Button1);
  Button4 = new QPushButton(QStringLiteral("&Zurück"), this);
  Button4->setGeometry(452, 92, 96, 30);
  Button2 = new QPushButton(QStringLiteral("&Neu..."), this);
  Button2->setGeometry(452, 282, 96, 30);
  Button3 = new QPushButton(QStringLiteral("&Löschen"), this);
  Button3->setGeometry(452, 318, 96, 30);
  for (auto* b : {Button1, Button2, Button3, Button4})
    b->setAutoDefault(false);

  OnEvent(Button1, &QPushButton::clicked, this, &TForm6::Button1Click, services_.messages);
  OnEvent(Button4, &QPushButton::clicked, this, &TForm6::Button4Click, services_.messages);
  OnEvent(Button2, &QPushButton::clicked, this, &TForm6::Button2Click, services_.messages);
  OnEvent(Button3, &QPushButton::clicked, this, &TForm6::Button3Click, services_.messages);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm6::ListBox1DblClick,
          services_.messages);
  AttachHelp(this, services_.help, HelpContext::LessonChoice);
}

bool TForm6::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox1 && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    QString typed = key->text();
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) typed = QStringLiteral("\r");
    if (typed == QStringLiteral("\r") ||
        typed.compare(QStringLiteral("i"), Qt::CaseInsensitive) == 0) {
      RunAction(services_.messages, [&] { ListBox1KeyPress(typed); });
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
  services_.shared.Cancelled = 1;
  QDialog::reject();
}

// The window closes only through its buttons, a double-click or Enter on a line.
void TForm6::reject() {}

void TForm6::Button2Click() {
  NewLesson();
}

void TForm6::NewLesson() {
  if (windows_.newLesson().exec() == QDialog::Accepted) RefillUnitList();
}

void TForm6::Button3Click() {
  QListWidgetItem* item = ListBox1->currentItem();
  const bool selected = item && item->isSelected();
  const WinString line = selected ? LineOf(item) : WinString();
  if (DeleteUnitFlow(services_.shared.DataFilePath, selected ? &line : nullptr,
                     services_.messages)) {
    delete ListBox1->takeItem(ListBox1->row(item));
  }
}

void TForm6::RefillUnitList() {
  ListBox1->clear();
  const UnitList list = ReadUnitList(services_.shared.DataFilePath);
  if (!list.opened) {
    ShowErr(services_.messages, WithReason("RW - Fehler in Unit6!", list.error));
    return;
  }
  for (const auto& l : list.lines)
    AddLine(ListBox1, l.Line);
  NothingChosen(ListBox1);
}

void TForm6::ShowUnitInfo() {
  QListWidgetItem* item = ListBox1->currentItem();
  if (!item || !item->isSelected()) return;
  TVocData header;
  FileError error;
  switch (FindUnitByLine(services_.shared.DataFilePath, LineOf(item), header, &error)) {
    case Lookup::CannotOpen:
      ShowErr(services_.messages, WithReason("RW - Fehler in Unit6!", error));
      return;
    case Lookup::Found:
      services_.shared.CurUnit = header;
      break;
    case Lookup::NotFound:
      break;
  }
  windows_.ShowHeaderInfo(false, false);
}

std::uint8_t TForm6::Select(const std::string& path, bool allowCreate) {
  if (path.empty()) return 0;
  Button2->setEnabled(allowCreate);
  Button3->setEnabled(allowCreate);

  Messages& messages = services_.messages;
  Shared& shared = services_.shared;
  UnitList list = ReadUnitList(path);
  if (!list.opened) {
    ShowErr(messages, WithReason("RW - Fehler 601!", list.error));
    return 0;
  }
  if (list.records <= 1) {
    if (!allowCreate) {
      messages.show(MsgKind::Information, "Keine Lektionen verfügbar!", MsgButtons::Ok);
      return 0;
    }
    if (messages.show(MsgKind::Confirmation, "Keine Lektionen verfügbar. Neue anlegen?",
                      MsgButtons::YesNo) != Answer::Yes) {
      shared.Cancelled = 1;
      return 0;
    }
    windows_.newLesson().exec();
    if (shared.Cancelled == 1) return 0;
    list = ReadUnitList(path);
    if (!list.opened) {
      ShowErr(messages, WithReason("RW - Fehler in Unit6!", list.error));
      return 0;
    }
  }

  ListBox1->clear();
  shared.DataFileHeader = list.header;
  Label1->setText(ToQString(list.header.B1.get()));
  Label2->setText(ToQString(list.header.Comment.get()));
  for (const auto& l : list.lines)
    AddLine(ListBox1, l.Line);
  NothingChosen(ListBox1);

  exec();
  if (shared.Cancelled != 0) return 0;
  QListWidgetItem* item = ListBox1->currentItem();
  if (!item) return 0;
  return SelectedUnitID(path, LineOf(item));
}

}  // namespace merkhaus
