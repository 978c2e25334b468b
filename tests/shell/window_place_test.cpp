// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_place.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <memory>

#include "shell/main_window.h"
#include "shell/start_up.h"
#include "support/all_windows.h"
#include "support/modal.h"

namespace merkhaus {
namespace {

TEST(WindowPlace, AFrameIsMovedWholeIntoTheArea) {
  const QRect area(0, 0, 1000, 700);
  struct Case {
    const char* name;
    QRect frame;
    QPoint at;
  };
  const Case cases[] = {
      {"inside stays", QRect(100, 50, 300, 200), QPoint(100, 50)},
      {"title bar above the screen", QRect(100, -120, 300, 200), QPoint(100, 0)},
      {"off the right and bottom", QRect(900, 650, 300, 200), QPoint(700, 500)},
      {"off the left", QRect(-40, 10, 300, 200), QPoint(0, 10)},
      {"larger than the area: the title bar's corner on it", QRect(-30, -60, 1400, 900),
       QPoint(0, 0)},
  };
  for (const Case& c : cases) {
    const QRect fitted = FitIntoArea(c.frame, area);
    EXPECT_EQ(c.at, fitted.topLeft()) << c.name;
    EXPECT_EQ(c.frame.size(), fitted.size()) << c.name;
  }
  // An area that does not start at 0 (a second screen, a panel at the top).
  EXPECT_EQ(QPoint(1280, 32),
            FitIntoArea(QRect(1200, 0, 300, 200), QRect(1280, 32, 800, 600)).topLeft());
}

// Every window, placed off the screen (as a larger scale or a smaller screen leaves it), opens
// whole on the screen of the main window.
TEST(WindowPlace, EveryWindowOpensOnTheScreen) {
  mhtest::TestContext t;
  mhtest::AllWindows windows(t);
  TForm1& main = windows.windows().main();
  const std::unique_ptr<QObject> placer(KeepWindowsOnScreen(*qApp, &main));
  main.show();
  const QRect area = main.screen()->availableGeometry();
  QDialog large;
  large.resize(area.width() + 200, area.height() + 300);
  std::vector<QWidget*> all = windows.all();
  all.push_back(&large);
  for (QWidget* w : all) {
    if (w == &main) continue;
    const std::string name = mhtest::WindowName(w).toStdString();
    w->move(area.left() - 50, area.top() - 400);
    w->show();
    mhtest::pumpEvents();
    const QRect frame = w->frameGeometry();
    EXPECT_TRUE(area.contains(frame.topLeft())) << name << " at " << frame.x() << "," << frame.y();
    if (frame.width() <= area.width() && frame.height() <= area.height()) {
      EXPECT_TRUE(area.contains(frame)) << name;
    }
    w->hide();
  }
}

}  // namespace
}  // namespace merkhaus
