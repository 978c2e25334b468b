// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/case_fold.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "platform/cp1252.h"
#include "text/icu_library.h"

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
  // The ranges of characters from U+0800 on that change when folded (a few hundred). Read from
  // ICU's set of the property rather than asking character by character: that took 20 ms, more
  // than a whole search, at the first folding of every program run.
  std::vector<std::pair<char32_t, char32_t>> changingRanges;

  FoldTables() {
    for (char32_t c = 0; c < 0x800; ++c) {
      std::string folded;
      FoldOne(c, folded);
      small[c].len = static_cast<std::uint8_t>(folded.size());
      folded.copy(small[c].bytes, sizeof small[c].bytes);
    }
    const IcuFunctions& icu = Icu();
    UErrorCode status = U_ZERO_ERROR;
    const USet* set = icu.binaryPropertySet(UCHAR_CHANGES_WHEN_CASEFOLDED, &status);
    if (U_FAILURE(status)) {
      throw std::runtime_error("ICU kennt die Zeichen nicht, die sich beim Falten ändern (Fehler " +
                               std::to_string(static_cast<int>(status)) + ")");
    }
    const int32_t items = icu.setItemCount(set);
    for (int32_t i = 0; i < items; ++i) {
      UChar32 start = 0;
      UChar32 end = -1;
      status = U_ZERO_ERROR;
      // A property's set holds ranges of characters only, no strings.
      if (icu.setItem(set, i, &start, &end, nullptr, 0, &status) != 0 || U_FAILURE(status))
        continue;
      start = std::max<UChar32>(start, 0x800);
      if (start > end) continue;
      changingRanges.emplace_back(static_cast<char32_t>(start), static_cast<char32_t>(end));
      for (UChar32 c = start; c <= end && c < 0x10000; ++c)
        changes[static_cast<std::size_t>(c)] = true;
    }
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
    const int32_t len = Icu().strFoldCase(dest, 8, src, n, U_FOLD_CASE_DEFAULT, &status);
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

namespace {

// Which characters fold to a given folded character, built once from every character that
// changes when folded.
struct FoldInverse {
  std::unordered_map<char32_t, std::vector<std::string>> variants;  // UTF-8 of each
  // The characters folding to one of another length, or to text holding the character.
  std::unordered_map<char32_t, std::vector<std::string>> odd;

  FoldInverse() {
    for (char32_t c = 0x80; c < 0x800; ++c)
      add(c);
    for (const auto& [start, end] : Tables().changingRanges) {
      for (char32_t c = start; c <= end; ++c)
        add(c);
    }
    // ASCII capitals fold to ASCII small letters of the same length.
    for (char32_t c = 'A'; c <= 'Z'; ++c)
      variants[c + 32].push_back(std::string(1, static_cast<char>(c)));
  }

  void add(char32_t c) {
    if (c >= 0xD800 && c <= 0xDFFF) return;
    std::string folded;
    FoldTables::FoldOne(c, folded);
    std::string self;
    AppendUtf8(self, c);
    if (folded == self) return;
    std::size_t i = 0;
    const auto first = DecodeUtf8(folded, i);
    if (first && i == folded.size() && self.size() == folded.size()) {
      variants[*first].push_back(self);
    } else {
      ForEachCodePoint(folded, [&](char32_t part) { odd[part].push_back(self); });
    }
  }
};

const FoldInverse& Inverse() {
  static const auto inverse = std::make_unique<FoldInverse>();
  return *inverse;
}

void Add(ByteSet& set, unsigned char b) {
  set[b >> 6] |= std::uint64_t{1} << (b & 63);
}

}  // namespace

std::optional<FoldedBytes> FoldedByteSets(std::string_view folded) {
  const FoldInverse& inv = Inverse();
  FoldedBytes out;
  std::vector<ByteSet>& sets = out.sets;
  std::size_t i = 0;
  while (i < folded.size()) {
    const std::size_t start = i;
    const auto c = DecodeUtf8(folded, i);
    if (!c) return std::nullopt;
    if (auto o = inv.odd.find(*c); o != inv.odd.end()) {
      for (const std::string& other : o->second)
        Add(out.oddLeads, static_cast<unsigned char>(other[0]));
    }
    const std::string_view self = folded.substr(start, i - start);
    const std::size_t at = sets.size();
    sets.resize(at + self.size(), ByteSet{});
    for (std::size_t k = 0; k < self.size(); ++k)
      Add(sets[at + k], static_cast<unsigned char>(self[k]));
    if (auto v = inv.variants.find(*c); v != inv.variants.end()) {
      for (const std::string& other : v->second) {
        for (std::size_t k = 0; k < other.size(); ++k)
          Add(sets[at + k], static_cast<unsigned char>(other[k]));
      }
    }
  }
  return out;
}

std::string FoldUtf8(std::string_view utf8) {
  Utf8Folder folder;
  return std::string(folder.fold(utf8));
}

}  // namespace merkhaus
