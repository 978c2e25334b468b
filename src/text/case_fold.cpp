// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/case_fold.h"

#include <algorithm>
#include <array>
#include <bitset>
#include <cstdint>
#include <memory>
#include <utility>

#include "platform/cp1252.h"

namespace merkhaus {
namespace {

struct FoldEntry {
  char32_t code;
  const char* folded;  // UTF-8
};
// kFoldEntries: every character that folding changes, ascending (written while building from
// the Unicode Character Database, make_fold_table.cpp).
#include "text/fold_table.inc"

// The folded form of one character; nothing when it folds to itself.
const char* FoldedForm(char32_t c) {
  const auto* const end = std::end(kFoldEntries);
  const auto* const at = std::lower_bound(
      std::begin(kFoldEntries), end, c, [](const FoldEntry& e, char32_t v) { return e.code < v; });
  return at != end && at->code == c ? at->folded : nullptr;
}

// The folded forms of U+0000..U+07FF (ASCII and every two-byte character: Latin, Greek,
// Cyrillic, Armenian, Hebrew, Arabic), looked up directly, and which characters of the rest of
// the Basic Multilingual Plane fold at all (most do not: CJK, Indic, symbols).
struct FoldTables {
  struct Entry {
    std::uint8_t len;
    char bytes[7];
  };
  std::array<Entry, 0x800> small{};
  std::bitset<0x10000> changes;

  // Built at the first folding of a program run, from the table alone: a few microseconds.
  FoldTables() {
    for (char32_t c = 0; c < 0x800; ++c) {
      std::string self;
      AppendUtf8(self, c);
      set(c, self);
    }
    for (const FoldEntry& e : kFoldEntries) {
      if (e.code < 0x800) {
        std::string folded;
        FoldOne(e.code, folded);
        set(e.code, folded);
      }
      if (e.code >= 0x800 && e.code < 0x10000) changes[e.code] = true;
    }
  }
  void set(char32_t c, std::string_view folded) {
    small[c].len = static_cast<std::uint8_t>(folded.size());
    folded.copy(small[c].bytes, sizeof small[c].bytes);
  }

  // Appends the folded form of one character.
  static void FoldOne(char32_t c, std::string& out) {
    if (c == 0x0130) {  // İ: a plain i (see the header)
      out += 'i';
      return;
    }
    if (const char* folded = FoldedForm(c)) {
      out += folded;
    } else {
      AppendUtf8(out, c);
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
// changes when folded: pairs of (folded character, character folding to it), by the first.
struct FoldInverse {
  using Pairs = std::vector<std::pair<char32_t, char32_t>>;
  Pairs variants;  // folding to that one character, of the same length in UTF-8
  // The characters folding to one of another length, or to text holding the character.
  Pairs odd;

  FoldInverse() {
    for (const FoldEntry& e : kFoldEntries) {
      if (e.code >= 0x80) add(e.code);
    }
    // ASCII capitals fold to ASCII small letters of the same length.
    for (char32_t c = 'A'; c <= 'Z'; ++c)
      variants.emplace_back(c + 32, c);
    std::sort(variants.begin(), variants.end());
    std::sort(odd.begin(), odd.end());
  }

  void add(char32_t c) {
    std::string folded;
    FoldTables::FoldOne(c, folded);
    std::string self;
    AppendUtf8(self, c);
    if (folded == self) return;
    std::size_t i = 0;
    const auto first = DecodeUtf8(folded, i);
    if (first && i == folded.size() && self.size() == folded.size()) {
      variants.emplace_back(*first, c);
    } else {
      ForEachCodePoint(folded, [&](char32_t part) { odd.emplace_back(part, c); });
    }
  }

  // Calls f with the UTF-8 of every character that `pairs` give for the folded character c.
  template <class F>
  static void ForEachOf(const Pairs& pairs, char32_t c, F&& f) {
    const auto first = std::lower_bound(pairs.begin(), pairs.end(), std::make_pair(c, char32_t{0}));
    for (auto at = first; at != pairs.end() && at->first == c; ++at) {
      std::string other;
      AppendUtf8(other, at->second);
      f(std::string_view(other));
    }
  }
};

const FoldInverse& Inverse() {
  // Never taken down: the program ends without spending time on it.
  static const FoldInverse& inverse = *new FoldInverse;
  return inverse;
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
    FoldInverse::ForEachOf(inv.odd, *c, [&](std::string_view other) {
      Add(out.oddLeads, static_cast<unsigned char>(other[0]));
    });
    const std::string_view self = folded.substr(start, i - start);
    const std::size_t at = sets.size();
    sets.resize(at + self.size(), ByteSet{});
    for (std::size_t k = 0; k < self.size(); ++k)
      Add(sets[at + k], static_cast<unsigned char>(self[k]));
    FoldInverse::ForEachOf(inv.variants, *c, [&](std::string_view other) {
      for (std::size_t k = 0; k < other.size(); ++k)
        Add(sets[at + k], static_cast<unsigned char>(other[k]));
    });
  }
  return out;
}

std::string FoldUtf8(std::string_view utf8) {
  Utf8Folder folder;
  return std::string(folder.fold(utf8));
}

}  // namespace merkhaus
