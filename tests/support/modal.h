// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Driving modal windows from a test: the callbacks run inside the modal windows' own event
// loops, as a learner's clicks would.

#include <QWidget>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

namespace mhtest {

// Returned by onNextModal. Each step's callback runs with the modal window that opens after the
// previous step's window (the first: after the guard was made). When the guard goes out of
// scope it stops waiting, and the test fails for every step whose window never came: a window
// test cannot pass without the window it drives.
class [[nodiscard]] ModalGuard {
 public:
  struct State;
  explicit ModalGuard(std::shared_ptr<State> state);
  ModalGuard(ModalGuard&&) = default;
  ModalGuard(const ModalGuard&) = delete;
  ModalGuard& operator=(const ModalGuard&) = delete;
  ~ModalGuard();

  // The callback for the modal window that opens after the previous step's one has been handled
  // (windows that follow one another). A window that a step opens from inside its callback
  // needs a guard of its own made in that callback: a step's timer does not fire while the step
  // runs.
  ModalGuard& then(std::function<void(QWidget*)> fn) &;
  ModalGuard&& then(std::function<void(QWidget*)> fn) &&;
  // True when every step has run.
  bool done() const;

 private:
  std::shared_ptr<State> state_;
};

ModalGuard onNextModal(std::function<void(QWidget*)> fn, int timeoutMs = 5000);

// The window as its class; fails the test (and yields nullptr) when it is something else.
template <class T>
T* as(QWidget* w) {
  auto* t = dynamic_cast<T*>(w);
  EXPECT_NE(t, nullptr) << "the modal window is a "
                        << (w ? w->metaObject()->className() : "nullptr");
  return t;
}

// Types text into a widget key by key, as a learner would; unlike QTest::keyClicks it handles
// every character (ä, ß, €).
void typeText(QWidget* w, const QString& text);

// Processes pending events (timers due now, deferred deletes).
void pumpEvents();

}  // namespace mhtest
