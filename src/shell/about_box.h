// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace merkhaus {

class HelpViewer;
class Picture;

// "Info": product name, version and the size of a DataFile record.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(HelpViewer& help);

  Picture* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;  // "TVocData is:"
  QLabel* Comments;   // the record size and " bytes"
  QPushButton* OKButton;
};

}  // namespace merkhaus
