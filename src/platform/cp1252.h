// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/win_string.h"

namespace merkhaus {

// The one converter between Windows-1252 bytes and Unicode. The five bytes that Windows-1252
// leaves unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the code points of the same number,
// so every byte value survives a round trip.
char16_t Cp1252ToUnicode(std::uint8_t byte);

// The Windows-1252 byte of a code point, or nothing when the code page cannot hold it.
std::optional<std::uint8_t> UnicodeToCp1252(char32_t codePoint);

// Record text as UTF-8 (for messages and for the command-line tool's output): Windows-1252 text
// through the table; UTF-8 text as it is, with U+FFFD for each damaged byte (a corrupt file).
std::string ToUtf8(const WinString& text);

// UTF-8 text as text of the given encoding, or nothing when the text is not valid UTF-8 or (for
// Windows-1252) holds a character that Windows-1252 cannot hold.
std::optional<WinString> FromUtf8(std::string_view utf8,
                                  TextEncoding encoding = TextEncoding::Cp1252);

// The text in another encoding: Windows-1252 always becomes UTF-8; UTF-8 becomes Windows-1252
// only when every character has a byte there.
std::optional<WinString> Reencode(const WinString& text, TextEncoding to);

// Valid UTF-8 bytes as they are, each damaged byte replaced by U+FFFD.
std::string SanitizedUtf8(std::string_view bytes);

// Calls f(codePoint) for each character of valid UTF-8 text; false (after the characters
// before it) at the first damaged sequence.
template <class F>
bool ForEachCodePoint(std::string_view utf8, F&& f);

// True when the bytes are valid UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view bytes);

// Decodes the character at utf8[i] and moves i past it; nothing on a damaged sequence (i stays).
std::optional<char32_t> DecodeUtf8(std::string_view utf8, std::size_t& i);

// Appends the UTF-8 bytes of a code point.
void AppendUtf8(std::string& out, char32_t codePoint);

template <class F>
bool ForEachCodePoint(std::string_view utf8, F&& f) {
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto cp = DecodeUtf8(utf8, i);
    if (!cp) return false;
    f(*cp);
  }
  return true;
}

}  // namespace merkhaus
