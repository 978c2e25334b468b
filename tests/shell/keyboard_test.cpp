// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMap>
#include <QTabBar>
#include <QTest>

#include "support/all_windows.h"

namespace merkhaus {
namespace {

// The accelerators (Alt+letter) that the controls a learner sees in `window` answer to, each
// with the captions that claim it.
QMap<QString, QStringList> Accelerators(QWidget* window) {
  QMap<QString, QStringList> keys;
  auto claim = [&](const QString& caption) {
    const QKeySequence key = QKeySequence::mnemonic(caption);
    if (!key.isEmpty()) keys[key.toString()] << caption;
  };
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (!w->isVisibleTo(window) || w->window() != window) continue;
    if (auto* button = qobject_cast<QAbstractButton*>(w)) {
      claim(button->text());
    } else if (auto* label = qobject_cast<QLabel*>(w)) {
      // A label's accelerator works only through its buddy.
      if (label->buddy()) claim(label->text());
    } else if (auto* group = qobject_cast<QGroupBox*>(w)) {
      claim(group->title());
    } else if (auto* tabs = qobject_cast<QTabBar*>(w)) {
      for (int i = 0; i < tabs->count(); ++i)
        claim(tabs->tabText(i));
    }
  }
  return keys;
}

// Two controls of one window on the same Alt+letter: the second press goes to the other control
// and what the learner types next goes nowhere.
TEST(Keyboard, NoTwoControlsOfAWindowShareAnAccelerator) {
  mhtest::TestContext t;
  mhtest::AllWindows windows(t);
  ASSERT_GE(windows.all().size(), 15u);
  QMap<QString, QMap<QString, QStringList>> byWindow;
  for (QWidget* window : windows.all()) {
    const QMap<QString, QStringList> keys = Accelerators(window);
    byWindow[mhtest::WindowName(window)] = keys;
    for (auto it = keys.begin(); it != keys.end(); ++it) {
      EXPECT_EQ(1, it.value().size())
          << mhtest::WindowName(window).toStdString() << ": " << it.key().toStdString()
          << " is claimed by " << it.value().join(QStringLiteral(", ")).toStdString();
    }
  }
  // The newer windows are among them, with "Vorlesen" on Alt+V where it has a button.
  EXPECT_TRUE(byWindow.contains(QStringLiteral("lernstand")));
  EXPECT_EQ(QStringList{QStringLiteral("&Vorlesen")},
            byWindow.value(QStringLiteral("review")).value(QStringLiteral("Alt+V")));
}

// F1 in any window opens the help page about that window.
TEST(Keyboard, F1InEveryWindowOpensItsHelpPage) {
  mhtest::TestContext t;
  mhtest::AllWindows windows(t);
  for (QWidget* window : windows.all()) {
    const QString name = mhtest::WindowName(window);
    t.help.topics.clear();
    QTest::keyClick(window, Qt::Key_F1);
    ASSERT_EQ(1u, t.help.topics.size()) << name.toStdString();
    EXPECT_GT(t.help.topics[0], 0) << name.toStdString() << " has no page of its own";
  }
}

}  // namespace
}  // namespace merkhaus
