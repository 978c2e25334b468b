// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/keyboard_access.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QShortcut>
#include <QTextEdit>
#include <vector>

namespace merkhaus {
namespace {

// The window's controls that can take the focus now, in the order of its focus chain.
std::vector<QWidget*> Ring(QWidget* window) {
  std::vector<QWidget*> ring;
  for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
    if (w->window() == window && IsInteractive(w) && w->isVisible() && w->isEnabled()) {
      ring.push_back(w);
    }
  }
  return ring;
}

void MoveFocus(QWidget* window, bool forward) {
  const std::vector<QWidget*> ring = Ring(window);
  if (ring.empty()) return;
  const auto size = static_cast<std::ptrdiff_t>(ring.size());
  std::ptrdiff_t at = -1;
  // The focus may sit inside a control (the field of a combo box): the control counts.
  for (QWidget* f = QApplication::focusWidget(); f && at < 0 && f != window;
       f = f->parentWidget()) {
    for (std::ptrdiff_t i = 0; i < size; ++i) {
      if (ring[static_cast<std::size_t>(i)] == f) at = i;
    }
  }
  std::ptrdiff_t next = 0;
  if (at < 0) {
    next = forward ? 0 : size - 1;
  } else {
    next = (at + (forward ? 1 : size - 1)) % size;
  }
  ring[static_cast<std::size_t>(next)]->setFocus(forward ? Qt::TabFocusReason
                                                         : Qt::BacktabFocusReason);
}

}  // namespace

bool IsInteractive(const QWidget* w) {
  const QWidget* parent = w->parentWidget();
  // The field inside a combo or spin box is part of that box.
  if (qobject_cast<const QComboBox*>(parent) || qobject_cast<const QAbstractSpinBox*>(parent)) {
    return false;
  }
  // A table's headers and corner button belong to the table.
  if (qobject_cast<const QHeaderView*>(w) || qobject_cast<const QAbstractItemView*>(parent)) {
    return false;
  }
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w) ||
         qobject_cast<const QAbstractItemView*>(w) || qobject_cast<const QPlainTextEdit*>(w) ||
         qobject_cast<const QTextEdit*>(w);
}

void InstallControlTabRing(QWidget* window) {
  const auto add = [window](QKeySequence keys, bool forward) {
    auto* shortcut = new QShortcut(keys, window);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window,
                     [window, forward] { MoveFocus(window, forward); });
  };
  add(QKeySequence(Qt::CTRL | Qt::Key_Tab), true);
  // Shift turns Tab into Backtab on most keyboards; both are taken.
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), false);
  add(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), false);
}

void NameColumnFields(const QString& column, std::initializer_list<QWidget*> fields) {
  if (column.trimmed().isEmpty()) return;
  int n = 0;
  for (QWidget* field : fields) {
    ++n;
    const QString name = n == 1 ? column : QStringLiteral("%1 %2").arg(column).arg(n);
    // Set only when it changes: every change is reported to the screen reader.
    if (field->accessibleName() != name) field->setAccessibleName(name);
  }
}

void Announce(QWidget* focused, const QStringList& parts) {
  QStringList said;
  for (const QString& part : parts) {
    if (!part.trimmed().isEmpty()) said << part;
  }
  if (said.isEmpty() || !focused) return;
  const QString text = said.join(QStringLiteral(". "));
  if (focused->accessibleDescription() != text) {
    focused->setAccessibleDescription(text);  // Qt reports the change
  } else {
    // The same words again (the same verdict twice in a row) are news all the same.
    QAccessibleEvent event(focused, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

}  // namespace merkhaus
