// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace merkhaus {

// How the text of a DataFile (and of every text taken from it) is stored. The described format
// is Windows-1252, one byte per character; a Unicode DataFile, told by its own signature in
// record 0, holds UTF-8. Length bytes count bytes in both.
// The same two serve for the text files the program writes and reads (Windows1252 is Cp1252).
enum class TextEncoding : std::uint8_t { Cp1252, Utf8, Windows1252 = Cp1252 };

// The German name of a kind of DataFile as the info and the tool show it.
inline constexpr std::string_view EncodingName(TextEncoding e) {
  return e == TextEncoding::Utf8 ? "Unicode (alle Sprachen)" : "Westeuropäisch (Windows-1252)";
}

// The length of the longest start of `bytes` that is at most `n` bytes long and ends at a
// character boundary: every byte for Windows-1252; for UTF-8 a sequence is never split (a
// damaged sequence counts byte by byte).
std::size_t CharBoundaryAtOrBefore(std::string_view bytes, std::size_t n, TextEncoding e);

// The number of characters of the text (bytes for Windows-1252; for UTF-8 every byte that does
// not continue a sequence).
std::size_t CharCount(std::string_view bytes, TextEncoding e);

// Whether byte b starts a character (is not a UTF-8 continuation byte).
inline constexpr bool StartsChar(char b, TextEncoding e) {
  return e == TextEncoding::Cp1252 || (static_cast<unsigned char>(b) & 0xC0) != 0x80;
}

}  // namespace merkhaus
