// SPDX-License-Identifier: GPL-3.0-or-later
// Every window of the program, made once as at start-up, is walked as a screen reader and a
// keyboard user meet it: every control has a name, and every button is reached without the
// mouse.

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QTabWidget>
#include <QTest>
#include <algorithm>
#include <set>
#include <string>

#include "config/special_char_edit.h"
#include "entry/entry_window.h"
#include "platform/help_window.h"
#include "platform/keyboard_access.h"
#include "practice/study_window.h"
#include "quickedit/quick_edit_window.h"
#include "shell/new_datafile_form.h"
#include "shell/start_up.h"
#include "support/all_windows.h"
#include "support/test_context.h"
#include "testing/test_window.h"

namespace merkhaus {
namespace {

QString Describe(const QWidget* w) {
  const QString text =
      qobject_cast<const QAbstractButton*>(w)
          ? QStringLiteral(" \"%1\"").arg(static_cast<const QAbstractButton*>(w)->text())
          : QString();
  // Some windows get their caption only when they open.
  const QWidget* window = w->window();
  const QString caption = window->windowTitle().isEmpty()
                              ? QString::fromLatin1(window->metaObject()->className())
                              : window->windowTitle();
  return QStringLiteral("%1: %2 %3%4")
      .arg(caption, QString::fromLatin1(w->metaObject()->className()), w->objectName(), text);
}

QList<QWidget*> Controls(QWidget* window) {
  QList<QWidget*> controls;
  for (QWidget* w : window->findChildren<QWidget*>()) {
    if (w->window() == window && IsInteractive(w)) controls << w;
  }
  return controls;
}

// Controls without a name, and buttons whose caption says nothing (one letter, "...") without a
// description.
QStringList Unnamed(QWidget* window) {
  QStringList found;
  for (QWidget* w : Controls(window)) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(w);
    const QString name = face ? face->text(QAccessible::Name).trimmed() : QString();
    qsizetype letters = 0;
    for (const QChar c : name)
      letters += c.isLetterOrNumber() ? 1 : 0;
    if (name.isEmpty()) {
      found << Describe(w) + QStringLiteral(" has no name");
    } else if (letters < 2 && face->text(QAccessible::Description).trimmed().isEmpty()) {
      found << Describe(w) + QStringLiteral(" has a cryptic name and no description");
    }
  }
  return found;
}

// The controls that a key pressed again and again visits, from where the focus is.
QSet<QWidget*> Walk(QWidget* window, Qt::KeyboardModifiers modifiers) {
  QSet<QWidget*> seen;
  for (int i = 0; i < 80; ++i) {
    QWidget* at = QApplication::focusWidget();
    if (!at || at->window() != window) at = window;
    QTest::keyClick(at, Qt::Key_Tab, modifiers);
    if (QWidget* f = QApplication::focusWidget()) {
      // A combo box's field stands for the box.
      for (QWidget* w = f; w && w != window; w = w->parentWidget())
        seen.insert(w);
    }
  }
  return seen;
}

// Whether an accelerator reaches a control: its own caption's, or that of a label it is the
// buddy of.
bool HasAccelerator(QWidget* window, QWidget* w) {
  if (auto* b = qobject_cast<QAbstractButton*>(w)) {
    if (!QKeySequence::mnemonic(b->text()).isEmpty()) return true;
  }
  for (QLabel* label : window->findChildren<QLabel*>()) {
    if (label->buddy() == w && !QKeySequence::mnemonic(label->text()).isEmpty()) return true;
  }
  return false;
}

// Visible controls that neither Tab, Ctrl+Tab nor an accelerator reaches. Disabled controls are
// enabled for the walk: they are reached once they are enabled. Radio buttons are one stop: the
// arrow keys move between them.
QStringList Unreachable(QWidget* window) {
  QList<QWidget*> controls;
  QList<QWidget*> disabled;
  for (QWidget* w : Controls(window)) {
    if (!w->isVisibleTo(window)) continue;
    controls << w;
    if (!w->isEnabled()) {
      disabled << w;
      w->setEnabled(true);
    }
  }
  QSet<QWidget*> reached = Walk(window, Qt::NoModifier);
  reached |= Walk(window, Qt::ControlModifier);
  for (QWidget* w : disabled)
    w->setEnabled(false);
  QStringList found;
  for (QWidget* w : controls) {
    if (reached.contains(w) || HasAccelerator(window, w)) continue;
    if (qobject_cast<QRadioButton*>(w)) {
      const auto siblings = w->parentWidget()->findChildren<QRadioButton*>();
      if (std::any_of(siblings.begin(), siblings.end(),
                      [&](QRadioButton* r) { return reached.contains(r); })) {
        continue;
      }
    }
    found << Describe(w) + QStringLiteral(" is not reached from the keyboard");
  }
  return found;
}

TEST(Accessibility, EveryWindowNamesItsControlsAndReachesItsButtons) {
  mhtest::TestContext t;
  mhtest::AllWindows windows(t);
  HelpWindow help;
  std::vector<QWidget*> all = windows.all();
  all.push_back(&help);
  std::set<std::string> classes;
  QStringList found;
  QStringList pageCaptions;
  for (QWidget* window : all) {
    classes.insert(QString::fromLatin1(window->metaObject()->className())
                       .remove(QStringLiteral("merkhaus::"))
                       .toStdString());
    found << Unnamed(window);
    window->show();
    window->activateWindow();
    QApplication::setActiveWindow(window);
    // A window of pages is walked on every page.
    auto* pages = window->findChild<QTabWidget*>();
    const int count = pages ? pages->count() : 1;
    for (int page = 0; page < count; ++page) {
      if (pages) {
        pages->setCurrentIndex(page);
        pageCaptions << pages->tabText(page).remove(QLatin1Char('&'));
      }
      found << Unreachable(window);
    }
    window->hide();
  }
  found.removeDuplicates();
  EXPECT_TRUE(found.isEmpty()) << found.join(QLatin1Char('\n')).toStdString();
  // The walk found the windows it is about.
  for (const char* name :
       {"TForm1",      "TForm3",       "TForm4",        "TForm6",         "Tstudy",
        "TTesten",     "Ttst_ausw",    "Tbeebook",      "TEditDataFile",  "TQuickEdit",
        "TOptionsDLG", "TOKBottomDlg", "TOKBottomDlg1", "THeaderInfoDlg", "TAboutBox",
        "Tundelete",   "Tundeletevoc", "HelpWindow",    "TReview",        "TLernstand"}) {
    EXPECT_TRUE(classes.count(name)) << name << " was not walked";
  }
  for (const char* caption : {"Wiederholen", "Sprache"})
    EXPECT_TRUE(pageCaptions.contains(QString::fromUtf8(caption))) << caption << " was not walked";
}

// The windows whose Tab order is short on purpose keep it (the test above proves that Ctrl+Tab
// reaches the rest); Ctrl+Shift+Tab goes back the way Ctrl+Tab came.
TEST(Accessibility, ShortTabOrdersStayAndCtrlShiftTabGoesBack) {
  mhtest::TestContext t;
  Windows windows(t.services, t.dir.path());
  TQuickEdit q(t.services);
  Tstudy& study = *windows.mode<Tstudy>();
  TTesten& test = *windows.mode<TTesten>();
  TForm3& entry = *windows.mode<TForm3>();
  TForm4& form4 = windows.newDataFile();
  const QList<QWidget*> rows[] = {
      {study.Edit1, study.Button4},
      {test.Edit1},
      {entry.Edit1, entry.Edit2},
      {q.Edit1, q.Edit3, q.Edit5, q.Edit2, q.Edit4, q.Edit6, q.Button2, q.Button1},
      {form4.Edit1, form4.Edit2, form4.ComboBox1, form4.Edit3, form4.ComboBox3, form4.Button1,
       form4.Button2},
  };
  for (const QList<QWidget*>& tabStops : rows) {
    QWidget* window = tabStops.front()->window();
    SCOPED_TRACE(window->windowTitle().toStdString());
    window->show();
    QApplication::setActiveWindow(window);
    tabStops.front()->setFocus();
    const QList<QWidget*> controls = Controls(window);
    QSet<QWidget*> reached;
    for (QWidget* w : Walk(window, Qt::NoModifier)) {
      if (controls.contains(w)) reached.insert(w);
    }
    EXPECT_EQ(QSet<QWidget*>(tabStops.begin(), tabStops.end()), reached);

    tabStops.front()->setFocus();
    QTest::keyClick(tabStops.front(), Qt::Key_Tab, Qt::ControlModifier);
    QWidget* next = QApplication::focusWidget();
    EXPECT_NE(tabStops.front(), next);
    QTest::keyClick(next, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(tabStops.front(), QApplication::focusWidget()) << "back where it was";
    window->hide();
  }
}

}  // namespace
}  // namespace merkhaus
