// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_text.h"

#include <QFile>

#include "platform/cp1252.h"

namespace merkhaus {

QString ToQString(const WinString& text) {
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text.bytes())
    out += QChar(Cp1252ToUnicode(static_cast<std::uint8_t>(c)));
  return out;
}

QString Utf8ToQString(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

WinString ToWinString(const QString& text) {
  std::string out;
  out.reserve(static_cast<std::size_t>(text.size()));
  for (char32_t cp : text.toUcs4()) {
    const auto byte = UnicodeToCp1252(cp);
    out += byte ? static_cast<char>(*byte) : '?';
  }
  return WinString(std::move(out));
}

bool IsCp1252(const QString& text) {
  for (char32_t cp : text.toUcs4()) {
    if (!UnicodeToCp1252(cp)) return false;
  }
  return true;
}

QString OneLine(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
  text.replace(QLatin1Char('\r'), QLatin1Char(' '));
  text.replace(QLatin1Char('\n'), QLatin1Char(' '));
  return text;
}

QString PathToQString(const std::string& path) {
  return QFile::decodeName(path.c_str());
}

std::string QStringToPath(const QString& path) {
  return QFile::encodeName(path).toStdString();
}

QValidator::State Win1252Validator::validate(QString& input, int& /*pos*/) const {
  return IsCp1252(input) ? Acceptable : Invalid;
}

}  // namespace merkhaus
