#pragma once

// Driving modal windows from a test: the callback runs inside the modal window's own event loop,
// as a learner's clicks would.

#include <QWidget>
#include <functional>

#include <gtest/gtest.h>

namespace mhtest {

// Runs `fn` with the next modal window that opens (one that is not the active modal window at
// the time of this call). Gives up with a test failure after `timeoutMs`.
void onNextModal(std::function<void(QWidget*)> fn, int timeoutMs = 5000);

// The window as its class; fails the test (and yields nullptr) when it is something else.
template <class T>
T* as(QWidget* w) {
  auto* t = dynamic_cast<T*>(w);
  EXPECT_NE(t, nullptr) << "the modal window is a " << (w ? w->metaObject()->className() : "nullptr");
  return t;
}

// Types text into a widget key by key, as a learner would; unlike QTest::keyClicks it handles
// every character (ä, ß, €).
void typeText(QWidget* w, const QString& text);

// Processes pending events (timers due now, deferred deletes).
void pumpEvents();

}  // namespace mhtest
