// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace merkhaus {

// Unicode case folding of UTF-8 text for comparisons that ignore case (the answer check's and
// the dictionary's option in a Unicode DataFile): the full default folding of the Unicode
// Character Database (as ICU has it where the programs are built), so that "STRASSE" and "straße",
// "ΛΟΓΟΣ" and "λογος", "МОСКВА" and "москва" are equal. One deviation for Turkish: the capital
// dotted İ folds to a plain i (not i with a combining dot), so that "İstanbul" and "istanbul" are
// equal; the small dotless ı stays a letter of its own, as it is in Turkish.
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

// A set of byte values (a bit each).
using ByteSet = std::array<std::uint64_t, 4>;
inline bool Holds(const ByteSet& set, unsigned char b) {
  return (set[b >> 6] >> (b & 63)) & 1;
}

// For folded text (FoldUtf8): byte sets that let a search skip unfolded text byte by byte and
// fold only where it may match. Some characters fold to one of another length in UTF-8 (ᲃ to с,
// the Kelvin sign to k) or to more than one (ß to ss), so the same folded text is spelt with
// more or fewer bytes. The sets make a window as long as the shortest spelling, laid over the
// start of every spelling or over the end of every spelling (whichever skips more): at each
// place of the window, the bytes that any spelling has there.
struct FoldedBytes {
  std::vector<ByteSet> sets;
  bool fromEnd = false;  // laid over the end
};
// Nothing for damaged UTF-8.
std::optional<FoldedBytes> FoldedByteSets(std::string_view folded);
// The Horspool shifts over a window of byte sets: for each byte value, how far the window moves
// on when that byte stands under its last place.
std::array<std::size_t, 256> WindowSkips(const std::vector<ByteSet>& sets);

// Whether the text is plain ASCII, whose folded form is its A..Z as a..z (callers fold such
// fields through a byte table).
inline bool IsAsciiText(std::string_view bytes) {
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

}  // namespace merkhaus
