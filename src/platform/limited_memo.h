// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPlainTextEdit>

#include <optional>

#include "platform/win_string.h"

class QLineEdit;

namespace merkhaus {

// A multi-line comment field: holds at most `maxBytes` bytes of record text, line breaks
// counted as the CR LF pair they become in the record. In Windows-1252 (the default) characters
// it cannot hold never get in; in a Unicode DataFile's field every character does, counted by
// its bytes of UTF-8. Text beyond the limit never gets in.
class LimitedMemo : public QPlainTextEdit {
  Q_OBJECT
 public:
  explicit LimitedMemo(int maxBytes, QWidget* parent = nullptr);

  // The text as the record stores it (line breaks as CR LF), and back.
  WinString winText() const;
  void setWinText(const WinString& text);

  // The encoding of the DataFile whose text the field holds; unless set, the current DataFile's
  // (CurrentDataFileEncoding).
  void setEncoding(TextEncoding encoding);
  TextEncoding encoding() const;

 private:
  void enforce();
  int maxBytes_;
  bool enforcing_ = false;
  std::optional<TextEncoding> encoding_;
};

// A single-line field in which the learner types record text: only Windows-1252 characters, at
// most `maxLength` of them; in a Unicode DataFile's field every character, at most `maxLength`
// bytes of UTF-8.
void MakeWin1252Field(QLineEdit* edit, int maxLength, TextEncoding encoding = TextEncoding::Cp1252);
// Switches a field made by MakeWin1252Field to the encoding of another DataFile.
void SetFieldEncoding(QLineEdit* edit, TextEncoding encoding);

}  // namespace merkhaus
