// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Every window of the program, made once as start-up makes them, with a test's services: for
// checks that hold for all windows alike (keyboard, names, placement).

#include <QString>
#include <QWidget>
#include <memory>
#include <vector>

#include "support/test_context.h"

namespace merkhaus {
class Windows;
}

namespace mhtest {

class AllWindows {
 public:
  // Makes the windows with `t`'s services; Merkhaus.cfg is looked for in `t.dir`.
  explicit AllWindows(TestContext& t);
  ~AllWindows();
  AllWindows(const AllWindows&) = delete;
  AllWindows& operator=(const AllWindows&) = delete;

  merkhaus::Windows& windows() { return *windows_; }
  // Every top-level window made, ordered by its name (the form's class name when it has none).
  const std::vector<QWidget*>& all() const { return all_; }

 private:
  std::unique_ptr<merkhaus::Windows> windows_;
  std::vector<QWidget*> all_;
};

// The name a window is reported by: its object name, else its class.
QString WindowName(const QWidget* window);

}  // namespace mhtest
