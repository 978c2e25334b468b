// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "platform/dialogs.h"

class QTextBrowser;

namespace merkhaus {

// The help file "Merkhaus.hlp": German HTML pages in the program's resources, one contents page
// (":/help/index.html") and one page per help context number (":/help/<number>.html").
class HelpWindow : public QDialog, public HelpViewer {
  Q_OBJECT
 public:
  explicit HelpWindow(QWidget* parent = nullptr);

  void showContents() override;
  void showTopic(int context) override;
  void close() override;

  QTextBrowser* Browser = nullptr;

  static QString PageUrl(int context);
};

}  // namespace merkhaus
