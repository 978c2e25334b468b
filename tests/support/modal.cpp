#include "support/modal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <memory>

namespace mhtest {

void onNextModal(std::function<void(QWidget*)> fn, int timeoutMs) {
  QPointer<QWidget> before = QApplication::activeModalWidget();
  auto timer = new QTimer();
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, before, clock, fn = std::move(fn), timeoutMs] {
    QWidget* w = QApplication::activeModalWidget();
    if (w && w != before.data() && w->isVisible()) {
      timer->stop();
      timer->deleteLater();
      fn(w);
      return;
    }
    if (clock->elapsed() > timeoutMs) {
      timer->stop();
      timer->deleteLater();
      ADD_FAILURE() << "no modal window opened";
    }
  });
  timer->start();
}

void typeText(QWidget* w, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
    QApplication::sendEvent(w, &release);
  }
}

void pumpEvents() {
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  QCoreApplication::processEvents();
}

}  // namespace mhtest
