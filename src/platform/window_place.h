// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>

class QApplication;
class QObject;
class QWidget;

namespace merkhaus {

// Where a window's frame goes so that it stands whole in `available` (a screen's free area): as
// near its own place as it can be. A frame larger than the area keeps its top-left corner (the
// title bar) on it, so that it can always be moved.
QRect FitIntoArea(const QRect& frame, const QRect& available);

// Every window of the program opens whole on the screen that holds `mainWindow` (on the one it
// would open on while the main window is hidden): a window placed off that screen, or larger
// than it, is moved onto it as it is shown. Qt's own dialogs and message boxes are windows too.
// Deleting the returned object ends it.
QObject* KeepWindowsOnScreen(QApplication& app, QWidget* mainWindow);

}  // namespace merkhaus
