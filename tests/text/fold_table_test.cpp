// SPDX-License-Identifier: GPL-3.0-or-later
// The folding compiled into the programs is ICU's, for every character: the table written while
// building, its lookup and the direct table of the two-byte characters agree with the library.

#include <gtest/gtest.h>
#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <cstdio>
#include <string>

#include "platform/cp1252.h"
#include "text/case_fold.h"

namespace merkhaus {
namespace {

std::string IcuFolded(UChar32 c) {
  UChar src[2];
  int32_t n = 0;
  UBool error = false;
  U16_APPEND(src, n, 2, c, error);
  UChar folded[8];
  UErrorCode status = U_ZERO_ERROR;
  const int32_t len = u_strFoldCase(folded, 8, src, n, U_FOLD_CASE_DEFAULT, &status);
  char utf8[32];
  int32_t bytes = 0;
  u_strToUTF8(utf8, sizeof utf8, &bytes, folded, len, &status);
  EXPECT_FALSE(error || U_FAILURE(status)) << c;
  return std::string(utf8, static_cast<std::size_t>(bytes));
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
