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

namespace merkhaus {
namespace {

// A lesson's line as the DataFile gives it is what finds the lesson again; the list shows it on
// one line (a comment may hold line breaks) and whole as the tool tip.
void AddLine(QListWidget* list, const WinString& line) {
  const QString shown = OneLine(ToQString(line));
  auto* item = new QListWidgetItem(shown, list);
  item->setToolTip(shown);
  item->setData(Qt::UserRole, ToQString(line));
  AlignByDirection(*item);
}

// No line is current, so none looks chosen when the list gets the focus; the first arrow key
// then chooses the first line.
void NothingChosen(QListWidget* list) {
  list->clearSelection();
  list->setCurrentIndex(QModelIndex());
}

}  // namespace

TForm6::TForm6(Services& services, NewLessonDialog& newLesson, HeaderInfoViewer& headerInfo)
    : QDialog(nullptr),
      services_(services),
      choice_(services.lesson, services.messages, newLesson, headerInfo) {
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
  ListBox1->setAccessibleName(QStringLiteral("Lektionen"));

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
    // No line is chosen when the window opens; End and PageDown go from the top then, as they
    // would from the first line (Qt's list would only choose the first line).
    if ((key->key() == Qt::Key_End || key->key() == Qt::Key_PageDown) && SelectedRow() < 0 &&
        ListBox1->count() > 0) {
      ListBox1->setCurrentRow(0, QItemSelectionModel::NoUpdate);
    }
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
    choice_.showInfo(SelectedRow());
  }
}

int TForm6::SelectedRow() const {
  const QListWidgetItem* item = ListBox1->currentItem();
  return item && item->isSelected() ? ListBox1->row(item) : -1;
}

void TForm6::Button1Click() {
  if (SelectedRow() >= 0) QDialog::accept();
}

void TForm6::ListBox1DblClick() {
  Button1Click();
}

void TForm6::Button4Click() {
  back_ = true;
  QDialog::reject();
}

// The window closes only through its buttons, a double-click or Enter on a line.
void TForm6::reject() {}

void TForm6::Button2Click() {
  choice_.newLesson();
  render();
}

void TForm6::Button3Click() {
  const int row = SelectedRow();
  if (choice_.deleteLine(row)) delete ListBox1->takeItem(row);
}

void TForm6::render() {
  const LessonChoiceView& v = choice_.view();
  Button2->setEnabled(v.mayCreate);
  Button3->setEnabled(v.mayCreate);
  Label1->setText(ToQString(v.dataFileName));
  const QString comment = ToQString(v.dataFileComment);
  FitSlant(Label2, comment);
  Label2->setText(comment);
  if (shownListVersion_ == v.listVersion) return;
  shownListVersion_ = v.listVersion;
  ListBox1->clear();
  for (const WinString& line : v.lines)
    AddLine(ListBox1, line);
  NothingChosen(ListBox1);
}

std::optional<std::uint8_t> TForm6::selectLesson(const std::string& path, bool allowCreate) {
  back_ = false;
  const bool show = choice_.begin(path, allowCreate);
  render();
  if (!show) return choice_.outcome();
  exec();
  return choice_.end(SelectedRow(), back_);
}

}  // namespace merkhaus
