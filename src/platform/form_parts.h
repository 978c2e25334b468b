// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include "platform/action.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace merkhaus {

// The building blocks of the windows, placed at fixed positions as on their forms.

// A framed panel that groups controls.
QFrame* MakePanel(QWidget* parent, const QRect& geometry);
QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry);
// A button that Enter does not press unless the window makes it its default button.
QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry);

// A button that Tab passes over: windows where only the answer field belongs to the keyboard.
QPushButton* MakeClickOnlyButton(QWidget* parent, const QString& caption, const QRect& geometry);
// A read-only text box that never takes the focus (the question and answer boxes).
QPlainTextEdit* MakeMemo(QWidget* parent, const QRect& geometry);
// A text longer than its label ends in "…"; the whole text shows on hover.
void ShowElided(QLabel* label, const QString& text);

// Connects a control's signal to a handler of its window as one action of the learner
// (RunAction): whatever goes wrong in it is told in one box and ends only that action.
template <class Sender, class Signal, class Window>
void OnEvent(Sender* sender, Signal signal, Window* window, void (Window::*handler)(),
             Messages& messages) {
  QObject::connect(sender, signal, window, [window, handler, &messages] {
    RunAction(messages, [&] { (window->*handler)(); });
  });
}

// Font styles of captions and names.
void SetBold(QWidget* w, double scale = 1.0);
void SetItalic(QWidget* w);
// Before a widget made italic shows DataFile text: upright when the italic face cannot draw
// every letter of it. The oblique DejaVu Sans that Debian installs with the program has no
// Arabic, and no other font stands in for it, so an Arabic comment would show as empty boxes.
// ShowElided does this itself.
void FitSlant(QWidget* w, const QString& text);

}  // namespace merkhaus
