// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/text_rules.h"

#include <unicode/utf8.h>

#include "text/case_fold.h"
#include "text/icu_library.h"

namespace merkhaus {

namespace {

// Most texts have no blank to cut: none at either end, none after another.
bool HasSpacesToCut(const std::string& s) {
  if (s.empty()) return false;
  if (s.front() == ' ' || s.back() == ' ') return true;
  for (std::size_t i = 1; i < s.size(); ++i) {
    if (s[i] == ' ' && s[i - 1] == ' ') return true;
  }
  return false;
}

}  // namespace

WinString CutSpaces(const WinString& s) {
  if (!HasSpacesToCut(s.bytes())) return s;
  std::string out;
  out.reserve(s.size());
  for (char c : s.bytes()) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return WinString(std::move(out), s.encoding());
}

WinString FoldCase(const WinString& s, bool caseSensitive) {
  if (caseSensitive) return s;
  if (s.isUnicode()) return WinString(FoldUtf8(s.view()), TextEncoding::Utf8);
  std::string out = s.bytes();
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  }
  return WinString(std::move(out));
}

WinString EntryCutSpaces(const WinString& text, bool spaceCut) {
  return spaceCut ? CutSpaces(text) : text;
}

WinString JoinSynonyms(const WinString& x, const WinString& y, const WinString& z) {
  static const WinString separator("  @  ");
  WinString out = x;
  if (!y.empty()) out += separator + y;
  if (!z.empty()) out += separator + z;
  return out;
}

bool ReadsRightToLeft(const WinString& text) {
  if (!text.isUnicode()) return false;
  const std::string_view bytes = text.view();
  const auto length = static_cast<int32_t>(bytes.size());
  for (int32_t i = 0; i < length;) {
    // ASCII letters read from the left, and no other ASCII character has a strong direction:
    // such text is told without ICU.
    const auto b = static_cast<unsigned char>(bytes[static_cast<std::size_t>(i)]);
    if (b < 0x80) {
      if ((b | 0x20) >= 'a' && (b | 0x20) <= 'z') return false;
      ++i;
      continue;
    }
    UChar32 c = 0;
    U8_NEXT(bytes.data(), i, length, c);
    if (c < 0) continue;  // a damaged byte has no direction
    switch (Icu().charDirection(c)) {
      case U_LEFT_TO_RIGHT:
        return false;
      case U_RIGHT_TO_LEFT:
      case U_RIGHT_TO_LEFT_ARABIC:
        return true;
      default:
        break;
    }
  }
  return false;
}

}  // namespace merkhaus
