#pragma once

// Failure messages show Windows-1252 text as UTF-8 instead of the object's bytes.

#include <ostream>

#include "platform/cp1252.h"
#include "platform/win_string.h"

namespace merkhaus {

inline void PrintTo(const WinString& s, std::ostream* os) {
  *os << '"' << ToUtf8(s) << '"';
}

}  // namespace merkhaus
