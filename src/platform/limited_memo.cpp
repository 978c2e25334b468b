// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/limited_memo.h"

#include <QLineEdit>
#include <QTextCursor>

#include "platform/qt_text.h"

namespace merkhaus {
LimitedMemo::LimitedMemo(int maxBytes, QWidget* parent)
    : QPlainTextEdit(parent), maxBytes_(maxBytes) {
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  setTabChangesFocus(true);
  FollowTextDirection(this);
  connect(this, &QPlainTextEdit::textChanged, this, &LimitedMemo::enforce);
}

WinString LimitedMemo::winText() const {
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToWinString(text, encoding()).left(static_cast<std::size_t>(maxBytes_));
}

void LimitedMemo::setWinText(const WinString& text) {
  QString q = ToQString(text);
  q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  q.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  setPlainText(q);
}

void LimitedMemo::enforce() {
  if (enforcing_) return;
  const QString text = toPlainText();
  QString kept;
  kept.reserve(text.size());
  int bytes = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    // One character: a surrogate pair stays together.
    QString c(text[i]);
    if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
      c += text[++i];
    const bool lineBreak = c == QStringLiteral("\n");
    if (!lineBreak && !IsRepresentable(c, encoding())) continue;
    const int cost = lineBreak ? 2 : static_cast<int>(EncodedSize(c, encoding()));
    if (bytes + cost > maxBytes_) break;
    kept += c;
    bytes += cost;
  }
  if (kept == text) return;
  enforcing_ = true;
  const int cursor = std::min(static_cast<int>(kept.size()), textCursor().position());
  setPlainText(kept);
  QTextCursor c = textCursor();
  c.setPosition(cursor);
  setTextCursor(c);
  enforcing_ = false;
}

TextEncoding LimitedMemo::encoding() const {
  return encoding_.value_or(CurrentDataFileEncoding());
}

void LimitedMemo::setEncoding(TextEncoding encoding) {
  encoding_ = encoding;
  enforce();
}

void MakeWin1252Field(QLineEdit* edit, int maxLength, TextEncoding encoding) {
  edit->setValidator(new Win1252Validator(
      encoding, encoding == TextEncoding::Utf8 ? maxLength : qsizetype{0}, edit));
  edit->setMaxLength(maxLength);
}

void SetFieldEncoding(QLineEdit* edit, TextEncoding encoding) {
  auto* validator = qobject_cast<Win1252Validator*>(const_cast<QValidator*>(edit->validator()));
  if (!validator) return;
  validator->setEncoding(encoding);
  validator->setByteLimit(encoding == TextEncoding::Utf8 ? edit->maxLength() : 0);
}

}  // namespace merkhaus
