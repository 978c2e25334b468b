// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLineEdit>
#include <functional>

#include "config/special_chars.h"

class QKeyEvent;

namespace merkhaus {

// The special-character key handler of every typing field: F5..F8 insert the character of that
// key from the table at the caret, replacing the selection, as if typed (the shifted one when
// exactly Shift is held and no mouse button is down, the normal one otherwise). An unset
// character inserts nothing. True when the key was one of F5..F8.
bool InsertSpecialChar(QLineEdit& field, const SpecialCharTable& table, int key,
                       Qt::KeyboardModifiers modifiers);

// A field in which the learner types vocabulary, answers or search terms: it takes only text
// that Windows-1252 can hold, at most `maxLength` characters, and F5..F8 type the special
// characters of the shared table (read at the moment of the key press).
//
// The owning window adds its own keys (Enter) through `onKeyDown`, which sees every key press
// first and returns true for the keys it handled; those go no further. Note that a plain
// QLineEdit passes Enter on to its dialog's default button after emitting returnPressed, so a
// field inside a dialog whose Enter means something else handles Enter in onKeyDown.
class SpecialCharEdit : public QLineEdit {
  Q_OBJECT
 public:
  SpecialCharEdit(const SpecialCharTable& table, int maxLength, QWidget* parent = nullptr);

  std::function<bool(QKeyEvent*)> onKeyDown;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  const SpecialCharTable& table_;
};

}  // namespace merkhaus
