// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_text.h"

#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextOption>

#include "platform/cp1252.h"

namespace merkhaus {

QString ToQString(const WinString& text) {
  if (text.isUnicode()) {
    return QString::fromUtf8(text.bytes().data(), static_cast<qsizetype>(text.size()));
  }
  QString out;
  out.reserve(static_cast<qsizetype>(text.size()));
  for (char c : text.bytes())
    out += QChar(Cp1252ToUnicode(static_cast<std::uint8_t>(c)));
  return out;
}

QString Utf8ToQString(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

WinString ToWinString(const QString& text, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return WinString(text.toStdString(), TextEncoding::Utf8);
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

namespace {
std::function<TextEncoding()>& CurrentEncodingSource() {
  static std::function<TextEncoding()> source;
  return source;
}
}  // namespace

void FollowDataFileEncoding(std::function<TextEncoding()> current) {
  CurrentEncodingSource() = std::move(current);
}

TextEncoding CurrentDataFileEncoding() {
  const auto& source = CurrentEncodingSource();
  return source ? source() : TextEncoding::Cp1252;
}

bool IsRepresentable(const QString& text, TextEncoding encoding) {
  // Every QString converts to UTF-8 (a lone surrogate becomes U+FFFD).
  return encoding == TextEncoding::Utf8 || IsCp1252(text);
}

qsizetype EncodedSize(const QString& text, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return text.toUtf8().size();
  return static_cast<qsizetype>(text.toUcs4().size());
}

void FollowTextDirection(QPlainTextEdit* box) {
  QTextDocument* document = box->document();
  QObject::connect(document, &QTextDocument::contentsChanged, box, [document] {
    QTextOption option = document->defaultTextOption();
    const Qt::Alignment side =
        document->toPlainText().isRightToLeft() ? Qt::AlignRight : Qt::AlignLeft;
    // Setting the option lays the text out again: only when the side changes.
    if (option.alignment() == side) return;
    option.setAlignment(side);
    document->setDefaultTextOption(option);
  });
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
  const TextEncoding encoding = this->encoding();
  if (!IsRepresentable(input, encoding)) return Invalid;
  qsizetype limit = byteLimit_;
  if (follow_ && encoding == TextEncoding::Utf8) {
    if (const auto* edit = qobject_cast<const QLineEdit*>(parent())) limit = edit->maxLength();
  }
  if (limit > 0 && EncodedSize(input, encoding) > limit) return Invalid;
  return Acceptable;
}

Win1252Validator* Win1252Validator::FollowingDataFile(QObject* field) {
  auto* v = new Win1252Validator(field);
  v->follow_ = true;
  return v;
}

}  // namespace merkhaus
