// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QValidator>
#include <QVariant>

#include <functional>

#include "platform/win_string.h"

class QPlainTextEdit;

namespace merkhaus {

// The edge between record text and the user interface (QString), by the text's encoding:
// Windows-1252 through the one table of cp1252.h, UTF-8 (a Unicode DataFile) directly.
QString ToQString(const WinString& text);
QString Utf8ToQString(const std::string& utf8);

// Typed text as record text of the given encoding (the DataFile's: EncodingOf its record 0).
// In Windows-1252, characters that it cannot hold become '?'; the typing fields never let them
// in. UTF-8 holds every character.
WinString ToWinString(const QString& text, TextEncoding encoding = TextEncoding::Cp1252);

// The encoding of the current DataFile, for the typing fields that follow it (start-up hands in
// the lesson context's). Windows-1252 until start-up has done so.
void FollowDataFileEncoding(std::function<TextEncoding()> current);
TextEncoding CurrentDataFileEncoding();

// True when every character of the text has a Windows-1252 byte.
bool IsCp1252(const QString& text);
// True when the encoding can hold every character of the text.
bool IsRepresentable(const QString& text, TextEncoding encoding);
// The number of bytes the text takes in the encoding (the unit of a field's length byte).
qsizetype EncodedSize(const QString& text, TextEncoding encoding);

// A text for a one-line place (a list line, a label): each line break becomes a blank.
QString OneLine(QString text);

// A list line or grid cell whose text reads from the right (Hebrew, Arabic: its first letter of
// a strong direction) stands at the right edge, where it is read from; every other one keeps the
// view's usual alignment. Works on QListWidgetItem and QTableWidgetItem alike.
template <typename Item>
void AlignByDirection(Item& item) {
  if (item.text().isRightToLeft()) {
    item.setData(Qt::TextAlignmentRole, static_cast<int>(Qt::AlignRight | Qt::AlignVCenter));
  } else {
    item.setData(Qt::TextAlignmentRole, QVariant());
  }
}

// A text box whose text stands at the right edge while it reads from the right (its first
// letter of a strong direction is Hebrew or Arabic), as the one-line fields put it, and at the
// left otherwise. A plain text box reads each line in its own direction but, unlike them, keeps
// every line at the left.
void FollowTextDirection(QPlainTextEdit* box);

// A path as the system names it (bytes on Linux) and back.
QString PathToQString(const std::string& path);
std::string QStringToPath(const QString& path);

// Refuses input that the DataFile's encoding cannot hold, for every field in which the learner
// types: Windows-1252 (the default) refuses characters outside the code page; UTF-8 takes every
// character. With a byte limit (a field of a Unicode DataFile, whose length byte counts bytes)
// it also refuses input that would take more bytes than the field holds.
class Win1252Validator : public QValidator {
  Q_OBJECT
 public:
  using QValidator::QValidator;
  Win1252Validator(TextEncoding encoding, qsizetype byteLimit, QObject* parent = nullptr)
      : QValidator(parent), encoding_(encoding), byteLimit_(byteLimit) {}
  // A validator for a field of record text that follows the current DataFile
  // (CurrentDataFileEncoding); in a Unicode one the field's maxLength counts bytes.
  static Win1252Validator* FollowingDataFile(QObject* field);

  void setEncoding(TextEncoding encoding) {
    encoding_ = encoding;
    follow_ = false;
  }
  TextEncoding encoding() const { return follow_ ? CurrentDataFileEncoding() : encoding_; }
  // At most this many bytes (in the encoding); 0 for no limit beyond the field's maxLength.
  void setByteLimit(qsizetype limit) { byteLimit_ = limit; }

  State validate(QString& input, int& pos) const override;

 private:
  TextEncoding encoding_ = TextEncoding::Cp1252;
  qsizetype byteLimit_ = 0;
  bool follow_ = false;
};

}  // namespace merkhaus
