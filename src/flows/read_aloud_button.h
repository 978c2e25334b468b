// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QPushButton;
class QRect;
class QWidget;

namespace merkhaus {

class ReadAloud;

// The "Vorlesen" button of a window, with Ctrl+L anywhere in the window as its shortcut (which
// clicks the button while it is enabled). `caption` carries the accelerator where the window
// has Alt+V free. Tab passes over it: it is for the mouse, the accelerator and the shortcut.
QPushButton* MakeReadAloudButton(QWidget* parent, QWidget* window, const QString& caption,
                                 const QRect& geometry);

// Enabled while speech works and there is something to read; without speech the tooltip says
// why and what to install.
void ShowReadAloudState(QPushButton* button, const ReadAloud& speech, bool readable);

}  // namespace merkhaus
