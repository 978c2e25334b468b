// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/win_string.h"

namespace merkhaus {

// The small rules on vocabulary text that every part of the program shares.

// Removes leading and trailing blanks and reduces every inner run of blanks to one. Only the
// blank (code 32) counts; tabs and other characters stay.
WinString CutSpaces(const WinString& s);

// With case sensitivity on, the text unchanged; off, in Windows-1252 text the ASCII letters a..z
// as capitals (letters outside ASCII, ä, ö, ü, ß, é ..., are not folded), in UTF-8 text the
// Unicode case folding of case_fold.h (every script). Only for comparing: both sides are folded
// by the same rule.
WinString FoldCase(const WinString& s, bool caseSensitive);

// The blanks rule of typed vocabulary ("Eingabe_SpaceCut"): when on, CutSpaces; otherwise the
// text stays as typed.
WinString EntryCutSpaces(const WinString& text, bool spaceCut);

// x, then "  @  " and y when y is not empty, then "  @  " and z when z is not empty: the synonyms
// of one side as the practice and the test evaluation show them.
WinString JoinSynonyms(const WinString& x, const WinString& y, const WinString& z);

// Whether a text reads from the right: its first letter of a strong direction is Hebrew, Arabic
// or of another right-to-left script. Windows-1252 holds no such letter.
bool ReadsRightToLeft(const WinString& text);

}  // namespace merkhaus
