// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>
#include <initializer_list>

class QWidget;

namespace merkhaus {

// Windows whose Tab order is kept short on purpose (the learner types fast with it) still let a
// keyboard user reach every control: Ctrl+Tab moves the focus to the next control of the window
// in its focus chain, also to those that Tab passes over (buttons, the question boxes), and
// Ctrl+Shift+Tab to the previous one. F6, the usual key for this, inserts a special character
// here. Disabled and hidden controls are skipped.
void InstallControlTabRing(QWidget* window);

// True for the controls that the learner can act on or read with the focus: buttons, fields,
// lists, tables, combo and spin boxes and text boxes.
bool IsInteractive(const QWidget* widget);

// Names the fields of one side of an entry after their column: the first "Englisch", the
// others "Englisch 2", "Englisch 3" (synonyms). An empty column keeps the names they have.
void NameColumnFields(const QString& column, std::initializer_list<QWidget*> fields);

// Tells a screen reader what the window has just shown (a question, a solution, a verdict):
// Qt 6.4 has no announcement event, so the text becomes the accessible description of the
// control that has the focus, and its change is reported. Empty parts are left out; nothing is
// said when nothing is left.
void Announce(QWidget* focused, const QStringList& parts);

}  // namespace merkhaus
