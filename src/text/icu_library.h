// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <unicode/uchar.h>

#include <string>

namespace merkhaus {

// The one function of ICU's common library that the text rules use: the direction of a
// character. The library (with its 31 MB of character data) is loaded when a Unicode text's
// direction is first needed, not when a program starts: merkhaus-tool runs for a few
// milliseconds, and loading ICU would take a fifth of that for every command. The windows find
// it already loaded (Qt uses it). Case folding needs no library (case_fold.h).
struct IcuFunctions {
  decltype(&::u_charDirection) charDirection = nullptr;
};

// The library's file name, of the ICU version the program was built with.
inline constexpr const char* kIcuLibrary = "libicuuc.so." U_ICU_VERSION_SHORT;

// The functions, loaded at the first call. When the library or one of its functions cannot be
// loaded, throws IoError with a German message naming the library and the reason, each time it
// is asked (the action that needed it ends with that message; nothing is folded wrong).
const IcuFunctions& Icu();

// For tests: the library that Icu() loads from now on (nullptr: kIcuLibrary again); forgets
// what was loaded before.
void UseIcuLibraryForTesting(const char* library);

}  // namespace merkhaus
