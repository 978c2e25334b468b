// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QValidator>

#include "platform/win_string.h"

namespace merkhaus {

// The edge between record text (Windows-1252) and the user interface (QString). Both go through
// the one table of cp1252.h.
QString ToQString(const WinString& text);
QString Utf8ToQString(const std::string& utf8);

// Characters that Windows-1252 cannot hold become '?'; the typing fields never let them in.
WinString ToWinString(const QString& text);

// True when every character of the text has a Windows-1252 byte.
bool IsCp1252(const QString& text);

// A text for a one-line place (a list line, a label): each line break becomes a blank.
QString OneLine(QString text);

// A path as the system names it (bytes on Linux) and back.
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);

// Refuses input that Windows-1252 cannot hold, for every field in which the learner types.
class Win1252Validator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

}  // namespace merkhaus
