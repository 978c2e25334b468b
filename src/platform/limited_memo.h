// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

#include "platform/win_string.h"

class QLineEdit;

namespace merkhaus {

// A multi-line comment field: holds at most `maxBytes` bytes of Windows-1252 text, line breaks
// counted as the CR LF pair they become in the record. Characters Windows-1252 cannot hold and
// text beyond the limit never get in.
class LimitedMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit LimitedMemo(int maxBytes, QWidget* parent = nullptr);

  // The text as the record stores it (line breaks as CR LF), and back.
  WinString winText() const;
  void setWinText(const WinString& text);

 private:
  void enforce();
  int maxBytes_;
  bool enforcing_ = false;
};

// A single-line field in which the learner types record text: only Windows-1252 characters, at
// most `maxLength` of them.
void MakeWin1252Field(QLineEdit* edit, int maxLength);

}  // namespace merkhaus
