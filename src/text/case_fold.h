// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace merkhaus {

// Unicode case folding of UTF-8 text for comparisons that ignore case (the answer check's and
// the dictionary's option in a Unicode DataFile): the full default folding of the Unicode
// Character Database through ICU, so that "STRASSE" and "straße", "ΛΟΓΟΣ" and "λογος",
// "МОСКВА" and "москва" are equal. One deviation for Turkish: the capital dotted İ folds to a
// plain i (not i with a combining dot), so that "İstanbul" and "istanbul" are equal; the small
// dotless ı stays a letter of its own, as it is in Turkish.
//
// Windows-1252 text never comes here: its rule stays the ASCII one of FoldCase.
//
// The folded text goes into a buffer the folder keeps, so that folding field after field of a
// scan allocates nothing once the buffer has grown to the longest field. Damaged UTF-8 bytes are
// kept as they are.
class Utf8Folder {
 public:
  // The folded form of `utf8`, valid until the next call.
  std::string_view fold(std::string_view utf8);

 private:
  std::string buf_;
};

// The folded form as a string of its own.
std::string FoldUtf8(std::string_view utf8);

// Whether the text is plain ASCII, whose folded form is its A..Z as a..z (callers fold such
// fields through a byte table).
inline bool IsAsciiText(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace merkhaus
