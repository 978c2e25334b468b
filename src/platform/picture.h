// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSvgWidget>

namespace merkhaus {

// A picture from the program's resources that reports double-clicks.
class Picture : public QSvgWidget {
  Q_OBJECT
 public:
  explicit Picture(const QString& resource, QWidget* parent = nullptr);

 signals:
  void doubleClicked();

 protected:
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

// F1 in the window (and in every child of it) opens the help topic of `context`.
class HelpViewer;
void AttachHelp(QWidget* window, HelpViewer& help, int context);

}  // namespace merkhaus
