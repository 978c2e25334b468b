// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <compare>
#include <cstddef>
#include <string>
#include <string_view>

namespace merkhaus {

// Text as DataFiles and the program's text files hold it: single bytes of the Windows-1252 code
// page. It is a type of its own so that it cannot reach a message or a window without passing
// the converter in cp1252.h.
class WinString {
 public:
  WinString() = default;
  explicit WinString(std::string bytes) : bytes_(std::move(bytes)) {}
  explicit WinString(std::string_view bytes) : bytes_(bytes) {}
  explicit WinString(const char* bytes) : bytes_(bytes) {}

  const std::string& bytes() const { return bytes_; }
  std::string& bytes() { return bytes_; }
  std::string_view view() const { return bytes_; }

  std::size_t size() const { return bytes_.size(); }
  bool empty() const { return bytes_.empty(); }
  char operator[](std::size_t i) const { return bytes_[i]; }

  // The first n bytes (all of them when the text is shorter).
  WinString left(std::size_t n) const { return WinString(bytes_.substr(0, n)); }
  WinString substr(std::size_t pos, std::size_t n = std::string::npos) const {
    return WinString(bytes_.substr(pos, n));
  }
  std::size_t find(std::string_view s, std::size_t pos = 0) const { return bytes_.find(s, pos); }
  std::size_t find(char c, std::size_t pos = 0) const { return bytes_.find(c, pos); }
  bool contains(std::string_view s) const { return bytes_.find(s) != std::string::npos; }
  bool contains(char c) const { return bytes_.find(c) != std::string::npos; }

  WinString& operator+=(const WinString& o) {
    bytes_ += o.bytes_;
    return *this;
  }
  friend WinString operator+(WinString a, const WinString& b) { return a += b; }

  bool operator==(const WinString&) const = default;
  std::strong_ordering operator<=>(const WinString&) const = default;

 private:
  std::string bytes_;
};

}  // namespace merkhaus
