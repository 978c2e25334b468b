// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_messages.h"

#include <algorithm>

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>

#include "platform/qt_text.h"

namespace merkhaus {
namespace {

// A long text (the problem lines of an import, each naming several characters) would make the box
// taller than the screen, with its buttons out of reach: such a text scrolls inside the box, in
// three fifths of the screen's height, which leaves room for the rest of the box and its title
// wherever the box is placed over its window.
void KeepOnScreen(QMessageBox& box) {
  const QScreen* screen = box.screen();
  auto* label = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
  auto* grid = qobject_cast<QGridLayout*>(box.layout());
  if (screen == nullptr || label == nullptr || grid == nullptr) return;
  const QRect available = screen->availableGeometry();
  const int room = available.height() * 3 / 5;
  const int width = std::min(available.width() / 2, label->fontMetrics().averageCharWidth() * 80);
  // The height of the wrapped text is asked of the label; a box that needs no scrolling keeps its
  // label as it was.
  const bool wrapped = label->wordWrap();
  label->setWordWrap(true);
  if (label->heightForWidth(width) <= room) {
    label->setWordWrap(wrapped);
    return;
  }
  const int index = grid->indexOf(label);
  int row = 0, column = 0, rows = 0, columns = 0;
  grid->getItemPosition(index, &row, &column, &rows, &columns);
  grid->removeWidget(label);
  auto* scroll = new QScrollArea(&box);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  scroll->setWidget(label);
  scroll->setFixedSize(width + scroll->verticalScrollBar()->sizeHint().width(), room);
  grid->addWidget(scroll, row, column, rows, columns);
}

}  // namespace

Answer QtMessages::show(MsgKind kind, const std::string& text, MsgButtons buttons) {
  QWidget* parent = QApplication::activeModalWidget();
  if (!parent) parent = QApplication::activeWindow();
  QMessageBox box(parent);
  box.setWindowTitle(QStringLiteral("Merkhaus 3"));
  box.setText(Utf8ToQString(text));
  switch (kind) {
    case MsgKind::Warning:
      box.setIcon(QMessageBox::Warning);
      break;
    case MsgKind::Error:
      box.setIcon(QMessageBox::Critical);
      break;
    case MsgKind::Information:
      box.setIcon(QMessageBox::Information);
      break;
    case MsgKind::Confirmation:
      box.setIcon(QMessageBox::Question);
      break;
  }
  QPushButton* ok = nullptr;
  QPushButton* yes = nullptr;
  QPushButton* no = nullptr;
  QPushButton* cancel = nullptr;
  switch (buttons) {
    case MsgButtons::Ok:
      ok = box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
      box.setEscapeButton(ok);
      break;
    case MsgButtons::Yes:
      yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      box.setEscapeButton(yes);
      break;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
      yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      box.setEscapeButton(no);
      break;
    case MsgButtons::YesNoCancel:
      yes = box.addButton(QStringLiteral("&Ja"), QMessageBox::YesRole);
      no = box.addButton(QStringLiteral("&Nein"), QMessageBox::NoRole);
      cancel = box.addButton(QStringLiteral("Abbrechen"), QMessageBox::RejectRole);
      box.setEscapeButton(cancel);
      break;
  }
  QPushButton* defaultButton = ok ? ok : buttons == MsgButtons::YesNoDefaultNo ? no : yes;
  box.setDefaultButton(defaultButton);
  KeepOnScreen(box);
  // The keyboard starts on the default button, so that Space presses what Enter would.
  QTimer::singleShot(0, defaultButton, [defaultButton] { defaultButton->setFocus(); });
  box.exec();
  const auto* clicked = box.clickedButton();
  if (clicked == yes && yes) return Answer::Yes;
  if (clicked == no && no) return Answer::No;
  if (clicked == cancel && cancel) return Answer::Cancel;
  if (ok) return Answer::Ok;
  // A box closed without a button counts as its escape answer.
  if (buttons == MsgButtons::Yes) return Answer::Yes;
  return buttons == MsgButtons::YesNoCancel ? Answer::Cancel : Answer::No;
}

}  // namespace merkhaus
