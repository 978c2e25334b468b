#pragma once

#include <QObject>
#include <QRect>
#include <QString>

#include "platform/action.h"

class QFrame;
class QLabel;
class QPushButton;
class QWidget;

namespace merkhaus {

// The building blocks of the windows, placed at fixed positions as on their forms.

// A framed panel that groups controls.
QFrame* MakePanel(QWidget* parent, const QRect& geometry);
QLabel* MakeLabel(QWidget* parent, const QString& text, const QRect& geometry);
// A button that Enter does not press unless the window makes it its default button.
QPushButton* MakeButton(QWidget* parent, const QString& caption, const QRect& geometry);

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

}  // namespace merkhaus
