// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/all_windows.h"

#include <QApplication>
#include <algorithm>

#include "shell/start_up.h"

namespace mhtest {

QString WindowName(const QWidget* window) {
  return window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                        : window->objectName();
}

AllWindows::AllWindows(TestContext& t) {
  const QWidgetList before = QApplication::topLevelWidgets();
  windows_ = std::make_unique<merkhaus::Windows>(t.services, t.dir.path());
  for (QWidget* w : QApplication::topLevelWidgets()) {
    // Menus and tooltips are top-level too, but belong to a window.
    if (!before.contains(w) && w->windowType() != Qt::Popup && w->windowType() != Qt::ToolTip) {
      all_.push_back(w);
    }
  }
  std::sort(all_.begin(), all_.end(),
            [](const QWidget* a, const QWidget* b) { return WindowName(a) < WindowName(b); });
}

AllWindows::~AllWindows() = default;

}  // namespace mhtest
