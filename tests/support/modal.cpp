// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/modal.h"

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <deque>

namespace mhtest {
namespace {

// Numbers every showing of a window, so that a window shown again counts as a new one.
class ShowCounter : public QObject {
 public:
  static ShowCounter& instance() {
    static ShowCounter* counter = [] {
      auto* c = new ShowCounter;
      qApp->installEventFilter(c);
      return c;
    }();
    return *counter;
  }
  quint64 now() const { return serial_; }
  quint64 shownAt(QWidget* w) const { return shown_.value(w, 0); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType() &&
        static_cast<QWidget*>(watched)->isWindow()) {
      shown_[static_cast<QWidget*>(watched)] = ++serial_;
    }
    return false;
  }

 private:
  quint64 serial_ = 0;
  QHash<QWidget*, quint64> shown_;
};

}  // namespace

struct ModalGuard::State {
  std::deque<std::function<void(QWidget*)>> steps;
  int timeoutMs = 5000;
  int ran = 0;
  quint64 after = 0;  // a window must have been shown after this
  QElapsedTimer clock;
  QPointer<QWidget> candidate;  // the window of this step, once it is there
  QElapsedTimer seen;           // since when
  QTimer* timer = nullptr;
  bool failed = false;
};

ModalGuard::ModalGuard(std::shared_ptr<State> state) : state_(std::move(state)) {}

ModalGuard::~ModalGuard() {
  if (!state_) return;
  delete state_->timer;
  state_->timer = nullptr;
  if (!state_->steps.empty() && !state_->failed) {
    ADD_FAILURE() << "the modal window of step " << state_->ran + 1 << " never opened";
  }
}

ModalGuard& ModalGuard::then(std::function<void(QWidget*)> fn) & {
  state_->steps.push_back(std::move(fn));
  return *this;
}

ModalGuard&& ModalGuard::then(std::function<void(QWidget*)> fn) && {
  state_->steps.push_back(std::move(fn));
  return std::move(*this);
}

bool ModalGuard::done() const {
  return state_->steps.empty();
}

ModalGuard onNextModal(std::function<void(QWidget*)> fn, int timeoutMs) {
  ShowCounter& shows = ShowCounter::instance();
  auto state = std::make_shared<ModalGuard::State>();
  state->steps.push_back(std::move(fn));
  state->timeoutMs = timeoutMs;
  state->after = shows.now();
  state->clock.start();
  state->timer = new QTimer;
  state->timer->setInterval(5);
  ModalGuard::State* s = state.get();
  QObject::connect(state->timer, &QTimer::timeout, [s, &shows] {
    if (s->steps.empty()) return;
    QWidget* w = QApplication::activeModalWidget();
    // The step waits until the window is active too (it then has the keyboard focus, as for a
    // learner); a loaded machine takes a while for that.
    const bool candidate = w && w->isVisible() && shows.shownAt(w) > s->after;
    if (candidate && s->candidate != w) {
      s->candidate = w;
      s->seen.start();
    }
    if (candidate && (w->isActiveWindow() || s->seen.elapsed() > 2000)) {
      auto step = std::move(s->steps.front());
      s->steps.pop_front();
      s->after = shows.shownAt(w);
      ++s->ran;
      s->clock.restart();
      if (s->steps.empty()) s->timer->stop();
      step(w);
      return;
    }
    if (s->clock.elapsed() > s->timeoutMs) {
      s->timer->stop();
      s->failed = true;
      ADD_FAILURE() << "the modal window of step " << s->ran + 1 << " never opened";
    }
  });
  state->timer->start();
  return ModalGuard(std::move(state));
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
