// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/text_encoding.h"

namespace merkhaus {

// Text as DataFiles and the program's text files hold it: the bytes together with their
// encoding, Windows-1252 (single bytes, the described format and the default) or UTF-8 (a
// Unicode DataFile). It is a type of its own so that it cannot reach a message or a window
// without passing the converter in cp1252.h, which reads the encoding. Every rule that works
// on characters (cutting, folding, searching) asks it for the encoding.
class WinString {
 public:
  WinString() = default;
  explicit WinString(std::string bytes, TextEncoding e = TextEncoding::Cp1252)
      : bytes_(std::move(bytes)), encoding_(e) {}
  explicit WinString(std::string_view bytes, TextEncoding e = TextEncoding::Cp1252)
      : bytes_(bytes), encoding_(e) {}
  explicit WinString(const char* bytes, TextEncoding e = TextEncoding::Cp1252)
      : bytes_(bytes), encoding_(e) {}

  TextEncoding encoding() const { return encoding_; }
  bool isUnicode() const { return encoding_ == TextEncoding::Utf8; }
  // The same bytes taken as text of encoding e (no conversion: see cp1252.h's Reencode).
  WinString as(TextEncoding e) const& { return WinString(bytes_, e); }
  WinString as(TextEncoding e) && { return WinString(std::move(bytes_), e); }

  const std::string& bytes() const { return bytes_; }
  std::string& bytes() { return bytes_; }
  std::string_view view() const { return bytes_; }

  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  char operator[](std::size_t i) const { return bytes_[i]; }

  // The first n bytes (all of them when the text is shorter); in UTF-8 text fewer when byte n
  // falls inside a character, which is never split.
  WinString left(std::size_t n) const {
    return WinString(bytes_.substr(0, CharBoundaryAtOrBefore(bytes_, n, encoding_)), encoding_);
  }
  WinString substr(std::size_t pos, std::size_t n = std::string::npos) const {
    return WinString(bytes_.substr(pos, n), encoding_);
  }
  // Whether the text is longer than n bytes (a cut by left(n) would change it).
  bool longerThan(std::size_t n) const { return bytes_.size() > n; }
  std::size_t find(std::string_view s, std::size_t pos = 0) const { return bytes_.find(s, pos); }
  std::size_t find(char c, std::size_t pos = 0) const { return bytes_.find(c, pos); }
  bool contains(std::string_view s) const { return bytes_.find(s) != std::string::npos; }
  bool contains(char c) const { return bytes_.find(c) != std::string::npos; }

  // Joining keeps UTF-8 when either side is UTF-8: what joins record text is the text of the
  // same DataFile or a plain ASCII separator.
  WinString& operator+=(const WinString& o) {
    bytes_ += o.bytes_;
    if (o.encoding_ == TextEncoding::Utf8) encoding_ = TextEncoding::Utf8;
    return *this;
  }
  friend WinString operator+(WinString a, const WinString& b) { return a += b; }

  // Texts compare by their bytes: both sides come from one DataFile (or were converted to its
  // encoding on the way in), so the encoding is the same.
  bool operator==(const WinString& o) const { return bytes_ == o.bytes_; }
  std::strong_ordering operator<=>(const WinString& o) const { return bytes_ <=> o.bytes_; }

 private:
  std::string bytes_;
  TextEncoding encoding_ = TextEncoding::Cp1252;
};

}  // namespace merkhaus
