// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/special_char_edit.h"

#include <QGuiApplication>
#include <QKeyEvent>

#include "platform/qt_text.h"

namespace merkhaus {

bool InsertSpecialChar(QLineEdit& field, const SpecialCharTable& table, int key,
                       Qt::KeyboardModifiers modifiers) {
  if (key < Qt::Key_F5 || key > Qt::Key_F8) return false;
  // The keypad flag says where a key sits, not that something is held.
  const bool exactlyShift = (modifiers & ~Qt::KeypadModifier) == Qt::ShiftModifier &&
                            QGuiApplication::mouseButtons() == Qt::NoButton;
  const auto c = SpecialCharFor(table, key - Qt::Key_F5, exactlyShift);
  // Control characters from a damaged Merkhaus.soz cannot be typed either.
  if (!c || static_cast<unsigned char>(*c) < 0x20 || *c == '\x7F') return true;
  if (field.isReadOnly()) return true;
  field.insert(ToQString(WinString(std::string(1, *c))));
  return true;
}

SpecialCharEdit::SpecialCharEdit(const SpecialCharTable& table, int maxLength, QWidget* parent)
    : QLineEdit(parent), table_(table) {
  // Record text: what the current DataFile can hold.
  setValidator(Win1252Validator::FollowingDataFile(this));
  setMaxLength(maxLength);
}

void SpecialCharEdit::keyPressEvent(QKeyEvent* event) {
  if (onKeyDown && onKeyDown(event)) {
    event->accept();
    return;
  }
  if (InsertSpecialChar(*this, table_, event->key(), event->modifiers())) {
    event->accept();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

}  // namespace merkhaus
