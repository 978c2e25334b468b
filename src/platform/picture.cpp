// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/picture.h"

#include <QEvent>
#include <QKeyEvent>

#include "platform/dialogs.h"

namespace merkhaus {

Picture::Picture(const QString& resource, QWidget* parent) : QSvgWidget(resource, parent) {}

void Picture::mouseDoubleClickEvent(QMouseEvent* event) {
  emit doubleClicked();
  QSvgWidget::mouseDoubleClickEvent(event);
}

namespace {

// Sees the F1 presses that no control of the window used: unhandled keys travel up to the window.
class HelpKeyFilter : public QObject {
 public:
  HelpKeyFilter(QObject* parent, HelpViewer& help, int context)
      : QObject(parent), help_(help), context_(context) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1) {
      help_.showTopic(context_);
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  HelpViewer& help_;
  int context_;
};

}  // namespace

void AttachHelp(QWidget* window, HelpViewer& help, int context) {
  window->installEventFilter(new HelpKeyFilter(window, help, context));
}

}  // namespace merkhaus
