// SPDX-License-Identifier: GPL-3.0-or-later
// The folding compiled into the programs is ICU's, for every character: the table written while
// building, its lookup and the direct table of the two-byte characters agree with the library.

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

#include <cstdio>
#include <string>

#include "platform/cp1252.h"
#include "text/case_fold.h"

namespace merkhaus {
namespace {

// ICU's full default folding of one character, through its C++ string class (the build's table
// is written through the C functions).
std::string IcuFolded(UChar32 c) {
  std::string utf8;
  icu::UnicodeString(c).foldCase(U_FOLD_CASE_DEFAULT).toUTF8String(utf8);
  return utf8;
}

TEST(FoldTable, EveryCharacterFoldsAsIcuFoldsIt) {
  Utf8Folder folder;
  int wrong = 0;
  int folding = 0;
  for (UChar32 c = 0; c <= 0x10FFFF && wrong < 10; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    std::string self;
    AppendUtf8(self, static_cast<char32_t>(c));
    // The one deviation: the capital dotted İ folds to a plain i.
    const std::string expected = c == 0x130 ? "i" : IcuFolded(c);
    if (expected != self) ++folding;
    if (folder.fold(self) != expected) {
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
      ADD_FAILURE() << code << " folds to \"" << std::string(folder.fold(self)) << "\", ICU to \""
                    << expected << "\"";
      ++wrong;
    }
  }
  // Every script's capitals, the ligatures and the ß: far more than a thousand characters.
  EXPECT_GT(folding, 1000);
}

}  // namespace
}  // namespace merkhaus
