#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace merkhaus {

struct AppContext;
class Picture;

// "Info": product name, version and the size of a DataFile record.
class TAboutBox : public QDialog {
  Q_OBJECT
 public:
  explicit TAboutBox(AppContext& ctx, QWidget* parent = nullptr);

  Picture* ProgramIcon;
  QLabel* ProductName;
  QLabel* Version;
  QLabel* Copyright;  // "TVocData is:"
  QLabel* Comments;   // the record size and " bytes"
  QPushButton* OKButton;
};

}  // namespace merkhaus
