// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/restore_windows.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <optional>
#include <vector>

#include "maintenance/restore_flow.h"
#include "platform/dialogs.h"
#include "platform/form_parts.h"
#include "platform/picture.h"
#include "platform/qt_text.h"

namespace merkhaus {
namespace {

// The common form of both windows: a heading, the list and two buttons, centred, with a close
// box only.
template <class Window>
void Build(Window* w, const QString& caption, const QString& heading) {
  w->setWindowTitle(caption);
  w->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                    Qt::WindowCloseButtonHint);
  w->setFixedSize(440, 330);
  w->Label1 = MakeLabel(w, heading, QRect(12, 8, 416, 20));
  w->ListBox1 = new QListWidget(w);
  w->ListBox1->setGeometry(12, 30, 416, 252);
  w->ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
  w->Button2 = MakeButton(w, QStringLiteral("Wieder herstellen"), QRect(12, 292, 160, 30));
  w->Button1 = MakeButton(w, QStringLiteral("Schließen"), QRect(308, 292, 120, 30));
  w->Label1->setBuddy(w->ListBox1);
  // A list takes its name from no label.
  w->ListBox1->setAccessibleName(heading);
}

// A line as the DataFile gives it is what finds the record again; the list shows it on one line.
void Fill(QListWidget* list, const std::vector<WinString>& lines) {
  list->clear();
  for (const WinString& line : lines) {
    const QString shown = OneLine(ToQString(line));
    auto* item = new QListWidgetItem(shown, list);
    item->setToolTip(shown);
    // The record's own bytes and encoding, so that the line finds it again exactly.
    item->setData(Qt::UserRole, QByteArray::fromStdString(line.bytes()));
    item->setData(Qt::UserRole + 1, static_cast<int>(line.encoding()));
    AlignByDirection(*item);
  }
  list->setCurrentIndex(QModelIndex());
}

// The selected line, or nothing.
std::optional<WinString> Selected(const QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  if (items.isEmpty()) return std::nullopt;
  const QListWidgetItem* item = items.front();
  return WinString(item->data(Qt::UserRole).toByteArray().toStdString(),
                   static_cast<TextEncoding>(item->data(Qt::UserRole + 1).toInt()));
}

void RemoveSelected(QListWidget* list) {
  const QList<QListWidgetItem*> items = list->selectedItems();
  if (!items.isEmpty()) delete items.front();
  list->clearSelection();
}

}  // namespace

Tundelete::Tundelete(Services& services) : QDialog(nullptr), services_(services) {
  setObjectName(QStringLiteral("undelete"));
  AttachHelp(this, services_.help, HelpContext::Editor);
  Build(this, QStringLiteral("Wieder herstellen"), QStringLiteral("Alle gelöschten Units:"));
  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &Tundelete::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &Tundelete::Button2Click, m);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &Tundelete::ListBox1DblClick, m);
}

void Tundelete::ListDeletedUnits() {
  ListBox1->clear();
  const auto lines = OfferDeletedLessons(services_.lesson.dataFilePath, services_.messages);
  if (!lines) return;
  Fill(ListBox1, *lines);
  exec();
}

void Tundelete::Button1Click() {
  accept();
}

void Tundelete::Button2Click() {
  const auto line = Selected(ListBox1);
  if (!line) return;
  if (RestoreLessonTold(services_.lesson.dataFilePath, *line, services_.messages).value_or(0) > 0) {
    RemoveSelected(ListBox1);
  }
}

void Tundelete::ListBox1DblClick() {
  Button2Click();
}

Tundeletevoc::Tundeletevoc(Services& services) : QDialog(nullptr), services_(services) {
  setObjectName(QStringLiteral("undeletevoc"));
  AttachHelp(this, services_.help, HelpContext::Editor);
  Build(this, QStringLiteral("Vokabeln wieder herstellen"),
        QStringLiteral("Alle gelöschten Vokabeln:"));
  Messages& m = services_.messages;
  OnEvent(Button1, &QPushButton::clicked, this, &Tundeletevoc::Button1Click, m);
  OnEvent(Button2, &QPushButton::clicked, this, &Tundeletevoc::Button2Click, m);
  OnEvent(ListBox1, &QListWidget::itemDoubleClicked, this, &Tundeletevoc::ListBox1DblClick, m);
}

void Tundeletevoc::ListDeletedVocs() {
  ListBox1->clear();
  const LessonContext& lesson = services_.lesson;
  const auto lines = OfferDeletedEntries(lesson.dataFilePath, lesson.unitId, services_.messages);
  if (!lines) return;
  Fill(ListBox1, *lines);
  exec();
}

void Tundeletevoc::Button1Click() {
  accept();
}

void Tundeletevoc::Button2Click() {
  const auto line = Selected(ListBox1);
  if (!line) return;
  const LessonContext& lesson = services_.lesson;
  if (RestoreEntryTold(lesson.dataFilePath, lesson.unitId, *line, services_.messages)) {
    RemoveSelected(ListBox1);
  }
}

void Tundeletevoc::ListBox1DblClick() {
  Button2Click();
}

}  // namespace merkhaus
