// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Windows-1252 text in tests: written in UTF-8 in the test source, shown as UTF-8 in failure
// messages.

#include <ostream>
#include <string_view>

#include "platform/cp1252.h"
#include "platform/win_string.h"
#include "support/datafile_builder.h"

namespace merkhaus {

inline void PrintTo(const WinString& s, std::ostream* os) {
  *os << '"' << ToUtf8(s) << '"';
}

}  // namespace merkhaus

namespace mhtest {

// A text of the Latin-1 range, typed in UTF-8, as Windows-1252 bytes.
inline merkhaus::WinString W(std::string_view utf8) {
  return merkhaus::WinString(Latin1(utf8));
}

}  // namespace mhtest
