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

// Windows-1252 text as UTF-8 (for messages and for the command-line tool's output).
std::string ToUtf8(const WinString& text);

// UTF-8 text as Windows-1252, or nothing when the text is not valid UTF-8 or holds a character
// that Windows-1252 cannot hold.
std::optional<WinString> FromUtf8(std::string_view utf8);

// True when the bytes are valid UTF-8 (plain ASCII included).
bool IsValidUtf8(std::string_view bytes);

}  // namespace merkhaus
