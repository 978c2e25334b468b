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
  connect(this, &QPlainTextEdit::textChanged, this, &LimitedMemo::enforce);
}

WinString LimitedMemo::winText() const {
  QString text = toPlainText();
  text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return ToWinString(text).left(static_cast<std::size_t>(maxBytes_));
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
  for (const QChar c : text) {
    const int cost = c == QLatin1Char('\n') ? 2 : 1;
    if (bytes + cost > maxBytes_) break;
    if (c != QLatin1Char('\n') && !IsCp1252(QString(c))) continue;
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

void MakeWin1252Field(QLineEdit* edit, int maxLength) {
  edit->setValidator(new Win1252Validator(edit));
  edit->setMaxLength(maxLength);
}

}  // namespace merkhaus
