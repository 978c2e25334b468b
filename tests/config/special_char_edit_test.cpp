// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/special_char_edit.h"

#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "support/modal.h"

namespace merkhaus {
namespace {

using Slot = SpecialCharTable::Slot;

// The table of a first start: F5 "ç"/"Ç", F6 "æ"/"Æ".
SpecialCharTable Defaults() {
  SpecialCharTable t;
  t.keys[0] = Slot{'\xE7', '\xC7'};
  t.keys[1] = Slot{'\xE6', '\xC6'};
  return t;
}

TEST(SpecialCharEdit, FunctionKeysTypeTheTablesCharacters) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int selStart, selLength;  // selLength 0: caret at selStart
    QString expected;
  };
  const Case cases[] = {
      {"F5", Qt::Key_F5, Qt::NoModifier, 2, 0, QStringLiteral("abçcd")},
      {"Shift+F5", Qt::Key_F5, Qt::ShiftModifier, 2, 0, QStringLiteral("abÇcd")},
      {"Ctrl+F5", Qt::Key_F5, Qt::ControlModifier, 2, 0, QStringLiteral("abçcd")},
      {"Shift+Ctrl+F5", Qt::Key_F5, Qt::ShiftModifier | Qt::ControlModifier, 2, 0,
       QStringLiteral("abçcd")},
      {"Alt+Shift+F6", Qt::Key_F6, Qt::AltModifier | Qt::ShiftModifier, 0, 0,
       QStringLiteral("æabcd")},
      {"F7 is unset", Qt::Key_F7, Qt::NoModifier, 2, 0, QStringLiteral("abcd")},
      {"F5 replaces a selection", Qt::Key_F5, Qt::NoModifier, 1, 2, QStringLiteral("açd")},
      {"Shift+F6 replaces a selection", Qt::Key_F6, Qt::ShiftModifier, 0, 4, QStringLiteral("Æ")},
      {"Ctrl+Shift+F6 replaces a selection", Qt::Key_F6, Qt::ShiftModifier | Qt::ControlModifier, 3,
       1, QStringLiteral("abcæ")},
      {"an unset character leaves the selection", Qt::Key_F8, Qt::ShiftModifier, 1, 2,
       QStringLiteral("abcd")},
  };
  const SpecialCharTable table = Defaults();
  for (const auto& c : cases) {
    SpecialCharEdit edit(table, 60);
    edit.setText(QStringLiteral("abcd"));
    if (c.selLength > 0) {
      edit.setSelection(c.selStart, c.selLength);
    } else {
      edit.setCursorPosition(c.selStart);
    }
    QTest::keyClick(&edit, c.key, c.modifiers);
    EXPECT_EQ(c.expected, edit.text()) << c.name;
  }
}

TEST(SpecialCharEdit, TheTableIsReadAtTheKeyPress) {
  SpecialCharTable table = Defaults();
  SpecialCharEdit edit(table, 60);
  table.keys[0] = Slot{'\xE9', '\xC9'};  // "Eintragen" changed F5
  QTest::keyClick(&edit, Qt::Key_F5);
  EXPECT_EQ(QStringLiteral("é"), edit.text());
  QTest::keyClick(&edit, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(QString(), edit.text()) << "an insertion undoes like typing";
}

TEST(SpecialCharEdit, KeepsToItsLengthAndToWindows1252) {
  SpecialCharTable table = Defaults();
  SpecialCharEdit edit(table, 3);
  mhtest::typeText(&edit, QStringLiteral("abΩc"));
  EXPECT_EQ(QStringLiteral("abc"), edit.text());
  QTest::keyClick(&edit, Qt::Key_F5);
  EXPECT_EQ(QStringLiteral("abc"), edit.text());
  edit.setSelection(0, 1);
  QTest::keyClick(&edit, Qt::Key_F5);
  EXPECT_EQ(QStringLiteral("çbc"), edit.text()) << "a selection makes room";

  table.keys[2] = Slot{'\x01', '\x7F'};  // from a damaged file
  edit.clear();
  QTest::keyClick(&edit, Qt::Key_F7);
  QTest::keyClick(&edit, Qt::Key_F7, Qt::ShiftModifier);
  EXPECT_EQ(QString(), edit.text());
}

TEST(SpecialCharEdit, TheOwnerSeesKeysFirst) {
  SpecialCharTable table = Defaults();
  SpecialCharEdit edit(table, 60);
  QSignalSpy returns(&edit, &QLineEdit::returnPressed);
  QTest::keyClick(&edit, Qt::Key_Return);
  EXPECT_EQ(1, returns.count()) << "returnPressed without an owner's hook";

  int enters = 0;
  edit.onKeyDown = [&](QKeyEvent* e) {
    if (e->key() != Qt::Key_Return && e->key() != Qt::Key_Enter) return false;
    ++enters;
    return true;
  };
  QTest::keyClick(&edit, Qt::Key_Return);
  QTest::keyClicks(&edit, QStringLiteral("ab"));
  QTest::keyClick(&edit, Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(1, enters);
  EXPECT_EQ(1, returns.count()) << "a handled key goes no further";
  EXPECT_EQ(QStringLiteral("abÆ"), edit.text());
}

}  // namespace
}  // namespace merkhaus
