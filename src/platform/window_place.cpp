// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_place.h"

#include <QApplication>
#include <QEvent>
#include <QMargins>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace merkhaus {
namespace {

// The frame of a window that has not been shown yet is unknown to Qt; until the window manager
// told it for the main window, a title bar and a thin border are assumed.
constexpr QMargins kAssumedFrame{4, 30, 4, 4};

class WindowPlacer : public QObject {
 public:
  WindowPlacer(QApplication& app, QWidget* mainWindow) : QObject(&app), main_(mainWindow) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow() && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip &&
          w->windowType() != Qt::Desktop) {
        // Moved while Qt is still showing it, the window would not be mapped: it is placed as
        // soon as it is up.
        QTimer::singleShot(0, w, [this, w] { place(w); });
      }
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  void place(QWidget* w) const {
    if (!w->isVisible()) return;
    QScreen* screen = main_ && main_->isVisible() && w != main_ ? main_->screen() : w->screen();
    if (!screen) return;
    const QRect available = screen->availableGeometry();
    QMargins frame = kAssumedFrame;
    const QRect known = w->frameGeometry();
    if (known.size() != w->geometry().size()) {
      frame = {w->geometry().left() - known.left(), w->geometry().top() - known.top(),
               known.right() - w->geometry().right(), known.bottom() - w->geometry().bottom()};
    } else if (main_ && main_->isVisible() &&
               main_->frameGeometry().size() != main_->geometry().size()) {
      const QRect m = main_->frameGeometry(), g = main_->geometry();
      frame = {g.left() - m.left(), g.top() - m.top(), m.right() - g.right(),
               m.bottom() - g.bottom()};
    }
    const QRect outer = w->geometry().marginsAdded(frame);
    const QRect fitted = FitIntoArea(outer, available);
    // A window's position is its frame's.
    if (fitted != outer) w->move(fitted.topLeft());
  }

  QPointer<QWidget> main_;
};

}  // namespace

QRect FitIntoArea(const QRect& frame, const QRect& available) {
  const int x =
      std::max(available.left(), std::min(frame.left(), available.right() + 1 - frame.width()));
  const int y =
      std::max(available.top(), std::min(frame.top(), available.bottom() + 1 - frame.height()));
  return QRect(QPoint(x, y), frame.size());
}

QObject* KeepWindowsOnScreen(QApplication& app, QWidget* mainWindow) {
  auto* placer = new WindowPlacer(app, mainWindow);
  app.installEventFilter(placer);
  return placer;
}

}  // namespace merkhaus
