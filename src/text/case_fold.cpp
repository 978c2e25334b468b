// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/case_fold.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <array>
#include <bitset>
#include <cstdint>
#include <memory>

#include "platform/cp1252.h"

namespace merkhaus {
namespace {

// The folded forms of U+0000..U+07FF (ASCII and every two-byte character: Latin, Greek,
// Cyrillic, Armenian, Hebrew, Arabic), looked up without calling ICU, and which characters of
// the rest of the Basic Multilingual Plane fold at all (most do not: CJK, Indic, symbols).
struct FoldTables {
  struct Entry {
    std::uint8_t len;
    char bytes[7];
  };
  std::array<Entry, 0x800> small{};
  std::bitset<0x10000> changes;

  FoldTables() {
    for (char32_t c = 0; c < 0x800; ++c) {
      std::string folded;
      FoldOne(c, folded);
      small[c].len = static_cast<std::uint8_t>(folded.size());
      folded.copy(small[c].bytes, sizeof small[c].bytes);
    }
    for (char32_t c = 0x800; c < 0x10000; ++c)
      changes[c] = u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_CHANGES_WHEN_CASEFOLDED);
  }

  // Appends the folded form of one character (through ICU).
  static void FoldOne(char32_t c, std::string& out) {
    if (c == 0x0130) {  // İ: a plain i (see the header)
      out += 'i';
      return;
    }
    UChar src[2];
    int32_t n = 0;
    UBool error = false;
    U16_APPEND(src, n, 2, static_cast<UChar32>(c), error);
    UChar dest[8];
    UErrorCode status = U_ZERO_ERROR;
    const int32_t len = u_strFoldCase(dest, 8, src, n, U_FOLD_CASE_DEFAULT, &status);
    if (error || U_FAILURE(status) || len > 8) {
      AppendUtf8(out, c);
      return;
    }
    for (int32_t i = 0; i < len;) {
      UChar32 cp;
      U16_NEXT(dest, i, len, cp);
      AppendUtf8(out, static_cast<char32_t>(cp));
    }
  }
};

const FoldTables& Tables() {
  static const auto tables = std::make_unique<FoldTables>();
  return *tables;
}

}  // namespace

std::string_view Utf8Folder::fold(std::string_view s) {
  const FoldTables& t = Tables();
  buf_.clear();
  if (buf_.capacity() < s.size() + 16) buf_.reserve(2 * s.size() + 16);
  std::size_t i = 0;
  while (i < s.size()) {
    const auto b = static_cast<unsigned char>(s[i]);
    if (b < 0x80) {
      buf_ += (b >= 'A' && b <= 'Z') ? static_cast<char>(b + 32) : static_cast<char>(b);
      ++i;
      continue;
    }
    const std::size_t start = i;
    const auto cp = DecodeUtf8(s, i);
    if (!cp) {  // a damaged byte stays as it is
      buf_ += s[i++];
      continue;
    }
    if (*cp < 0x800) {
      const auto& e = t.small[*cp];
      buf_.append(e.bytes, e.len);
    } else if (*cp < 0x10000 && !t.changes[*cp]) {
      buf_.append(s.substr(start, i - start));
    } else {
      FoldTables::FoldOne(*cp, buf_);
    }
  }
  return buf_;
}

std::string FoldUtf8(std::string_view utf8) {
  Utf8Folder folder;
  return std::string(folder.fold(utf8));
}

}  // namespace merkhaus
