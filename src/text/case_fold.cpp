// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/case_fold.h"

#include <algorithm>
#include <array>
#include <bit>
#include <bitset>
#include <cstdint>
#include <memory>
#include <numeric>
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
// changes when folded.
struct FoldInverse {
  // Pairs of (folded character, character folding to it of the same length in UTF-8), by the
  // first.
  std::vector<std::pair<char32_t, char32_t>> variants;
  // The characters folding to one of another length (ᲃ to с, the Kelvin sign to k) or to more
  // than one (ß to ss), in UTF-8, by their folding.
  struct Odd {
    std::string folded, self;
  };
  std::vector<Odd> odd;
  // The same characters once for each character of their folding but the first, with the
  // folding from there on (ß: s; ﬃ: fi and i), by that rest: text whose folding begins inside
  // such a character's.
  std::vector<Odd> tails;
  std::size_t longestTail = 0;

  FoldInverse() {
    for (const FoldEntry& e : kFoldEntries) {
      if (e.code >= 0x80) add(e.code);
    }
    // ASCII capitals fold to ASCII small letters of the same length.
    for (char32_t c = 'A'; c <= 'Z'; ++c)
      variants.emplace_back(c + 32, c);
    std::sort(variants.begin(), variants.end());
    const auto byFolding = [](const Odd& a, const Odd& b) { return a.folded < b.folded; };
    std::sort(odd.begin(), odd.end(), byFolding);
    for (const Odd& o : odd) {
      for (std::size_t p = 1; p < o.folded.size(); ++p) {
        if ((static_cast<unsigned char>(o.folded[p]) & 0xC0) == 0x80) continue;
        tails.push_back({o.folded.substr(p), o.self});
        longestTail = std::max(longestTail, o.folded.size() - p);
      }
    }
    std::sort(tails.begin(), tails.end(), byFolding);
  }

  void add(char32_t c) {
    Odd o;
    FoldTables::FoldOne(c, o.folded);
    AppendUtf8(o.self, c);
    if (o.folded == o.self) return;
    std::size_t i = 0;
    const auto first = DecodeUtf8(o.folded, i);
    if (first && i == o.folded.size() && o.self.size() == o.folded.size()) {
      variants.emplace_back(*first, c);
    } else {
      odd.push_back(std::move(o));
    }
  }

  // Calls f with the UTF-8 of every character of the same length that folds to c.
  template <class F>
  void forEachVariant(char32_t c, F&& f) const {
    const auto first =
        std::lower_bound(variants.begin(), variants.end(), std::make_pair(c, char32_t{0}));
    for (auto at = first; at != variants.end() && at->first == c; ++at) {
      std::string other;
      AppendUtf8(other, at->second);
      f(std::string_view(other));
    }
  }
  // Calls f with every odd character whose folding starts with the bytes `lead`.
  template <class F>
  void forEachOddStartingWith(std::string_view lead, F&& f) const {
    ForEachStartingWith(odd, lead, f);
  }
  // Calls f with every tail that `text` starts with or that starts with `text`.
  template <class F>
  void forEachTailMeeting(std::string_view text, F&& f) const {
    for (std::size_t n = 1; n <= std::min(longestTail, text.size()); ++n) {
      const std::string_view part = text.substr(0, n);
      ForEachStartingWith(tails, part, [&](const Odd& t) {
        if (t.folded == part) f(t);
      });
    }
    ForEachStartingWith(tails, text, [&](const Odd& t) {
      if (t.folded.size() > text.size()) f(t);
    });
  }

 private:
  template <class F>
  static void ForEachStartingWith(const std::vector<Odd>& list, std::string_view lead, F&& f) {
    const auto first = std::lower_bound(list.begin(), list.end(), lead, [](const Odd& o, auto v) {
      return std::string_view(o.folded) < v;
    });
    for (auto at = first; at != list.end() && at->folded.starts_with(lead); ++at)
      f(*at);
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

// The ways unfolded text can spell a folded text, as steps from one of its character boundaries
// to a later one, each step one unfolded character. A character whose folding is longer than
// the step may also begin a spelling inside its folding (the second s of ß, the t of ﬆ) or end
// one there.
class Spellings {
 public:
  // Nothing for damaged UTF-8.
  static std::optional<Spellings> Of(std::string_view folded) {
    Spellings s(folded.size());
    const FoldInverse& inv = Inverse();
    inv.forEachTailMeeting(folded, [&](const FoldInverse::Odd& tail) {
      s.step(0, std::min(tail.folded.size(), folded.size()), tail.self);
    });
    for (std::size_t k = 0; k < folded.size();) {
      std::size_t next = k;
      const auto c = DecodeUtf8(folded, next);
      if (!c) return std::nullopt;
      const std::string_view self = folded.substr(k, next - k);
      const std::string_view rest = folded.substr(k);
      s.step(k, next, self);
      inv.forEachVariant(*c, [&](std::string_view other) { s.step(k, next, other); });
      inv.forEachOddStartingWith(self, [&](const FoldInverse::Odd& o) {
        if (rest.starts_with(o.folded)) {
          s.step(k, k + o.folded.size(), o.self);
        } else if (std::string_view(o.folded).starts_with(rest)) {
          s.step(k, folded.size(), o.self);  // its folding goes on beyond the text's end
        }
      });
      k = next;
    }
    s.measure();
    return s;
  }

  // The byte sets of a window as long as the shortest spelling, laid over the start of every
  // spelling or over its end.
  std::vector<ByteSet> fromStart() const {
    std::vector<ByteSet> sets(shortest_);
    for (const Step& st : steps_) {
      for (const std::size_t d : before_[st.from].list) {
        for (std::size_t j = 0; j < st.bytes.size() && d + j < shortest_; ++j)
          Add(sets[d + j], static_cast<unsigned char>(st.bytes[j]));
      }
    }
    return sets;
  }
  std::vector<ByteSet> fromEnd() const {
    std::vector<ByteSet> sets(shortest_);
    for (const Step& st : steps_) {
      for (const std::size_t d : after_[st.to].list) {
        for (std::size_t j = 0; j < st.bytes.size(); ++j) {
          const std::size_t fromEnd = d + st.bytes.size() - 1 - j;
          if (fromEnd < shortest_)
            Add(sets[shortest_ - 1 - fromEnd], static_cast<unsigned char>(st.bytes[j]));
        }
      }
    }
    return sets;
  }

 private:
  struct Step {
    std::size_t from, to;
    std::string bytes;
  };

  explicit Spellings(std::size_t size) : before_(size + 1), after_(size + 1) {}

  void step(std::size_t from, std::size_t to, std::string_view bytes) {
    steps_.push_back({from, to, std::string(bytes)});
  }

  // The byte lengths of the spellings that reach a boundary, each once.
  struct Lengths {
    std::vector<std::size_t> list;
    std::vector<std::uint64_t> seen;  // a bit for each length in the list
    void take(std::size_t n) {
      if (seen.size() <= n / 64) seen.resize(n / 64 + 1);
      const std::uint64_t bit = std::uint64_t{1} << (n % 64);
      if ((seen[n / 64] & bit) != 0) return;
      seen[n / 64] |= bit;
      list.push_back(n);
    }
  };

  // The byte lengths of the spellings of the text before and after each boundary; then only
  // the steps that lie on a whole spelling are kept.
  void measure() {
    const std::size_t end = before_.size() - 1;
    // The steps were made in the order of their start and every step goes forward, so all the
    // steps that lead to a boundary come before those that leave it (and the other way round).
    before_[0].take(0);
    for (const Step& st : steps_) {
      for (std::size_t i = 0; i < before_[st.from].list.size(); ++i)
        before_[st.to].take(before_[st.from].list[i] + st.bytes.size());
    }
    after_[end].take(0);
    for (auto st = steps_.rbegin(); st != steps_.rend(); ++st) {
      for (std::size_t i = 0; i < after_[st->to].list.size(); ++i)
        after_[st->from].take(after_[st->to].list[i] + st->bytes.size());
    }
    std::erase_if(steps_, [&](const Step& st) {
      return before_[st.from].list.empty() || after_[st.to].list.empty();
    });
    const auto& done = before_[end].list;
    shortest_ = done.empty() ? 0 : *std::min_element(done.begin(), done.end());
  }

  std::vector<Step> steps_;
  std::vector<Lengths> before_, after_;
  std::size_t shortest_ = 0;
};

}  // namespace

std::array<std::size_t, 256> WindowSkips(const std::vector<ByteSet>& sets) {
  std::array<std::size_t, 256> skips;
  skips.fill(sets.size());
  for (std::size_t j = 0; j + 1 < sets.size(); ++j) {
    for (std::size_t w = 0; w < 4; ++w) {
      for (std::uint64_t bits = sets[j][w]; bits != 0; bits &= bits - 1)
        skips[64 * w + static_cast<std::size_t>(std::countr_zero(bits))] = sets.size() - 1 - j;
    }
  }
  return skips;
}

std::optional<FoldedBytes> FoldedByteSets(std::string_view folded) {
  const auto spellings = Spellings::Of(folded);
  if (!spellings) return std::nullopt;
  // A character of another length shifts every byte after it: sets laid over the start blur
  // the bytes behind such a character, those laid over the end the bytes before it.
  auto start = spellings->fromStart();
  auto end = spellings->fromEnd();
  // Whichever moves on further, summed over every byte value, looks at fewer bytes.
  const auto sum = [](const std::vector<ByteSet>& sets) {
    const auto skips = WindowSkips(sets);
    return std::accumulate(skips.begin(), skips.end(), std::size_t{0});
  };
  if (sum(end) > sum(start)) return FoldedBytes{std::move(end), true};
  return FoldedBytes{std::move(start), false};
}

std::string FoldUtf8(std::string_view utf8) {
  Utf8Folder folder;
  return std::string(folder.fold(utf8));
}

}  // namespace merkhaus
