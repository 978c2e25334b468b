#pragma once

#include "platform/win_string.h"

namespace merkhaus {

// Removes leading and trailing blanks and reduces every inner run of blanks to one. Only the
// blank (code 32) counts; tabs and other characters stay.
WinString CutSpaces(const WinString& s);

// With case sensitivity on, the text unchanged; off, the ASCII letters a..z as capitals. Letters
// outside ASCII (ä, ö, ü, ß, é ...) are not folded.
WinString FoldCase(const WinString& s, bool caseSensitive);

}  // namespace merkhaus
