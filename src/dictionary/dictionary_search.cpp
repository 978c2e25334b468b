// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_search.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <string>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/record_file.h"
#include "text/case_fold.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

// Whether `bytes` hold the ASCII letter `small` as a small letter or as a capital: a search that
// ignores case looks for both.
bool HoldsLetterByMemchr(std::string_view bytes, char small) {
  return std::memchr(bytes.data(), small, bytes.size()) != nullptr ||
         std::memchr(bytes.data(), small - 'a' + 'A', bytes.size()) != nullptr;
}

// Whether `bytes` hold `a` or `b`.
bool HoldsEitherByMemchr(std::string_view bytes, char a, char b) {
  return std::memchr(bytes.data(), a, bytes.size()) != nullptr ||
         std::memchr(bytes.data(), b, bytes.size()) != nullptr;
}

// Whether `bytes` hold any of `members`.
bool HoldsAnyByMemchr(std::string_view bytes, std::string_view members) {
  for (const char b : members) {
    if (std::memchr(bytes.data(), b, bytes.size()) != nullptr) return true;
  }
  return false;
}

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
// Two runs of memchr over every block cost a good part of a whole search. With AVX2 one pass
// does, as fast as one memchr: 256 bytes at a time as eight vectors of 32, each compared with
// what is looked for. A letter's two cases: each byte with the bit 0x20 set (which makes A..Z
// small and leaves a..z as they are) compared with `a`; otherwise each byte compared with `a`
// and with `b`. The bytes after the last 256 are left to the caller.
template <bool kLetter>
__attribute__((target("avx2"))) bool HoldsByVectors(std::string_view bytes, char a, char b) {
  using Bytes = char __attribute__((vector_size(32)));
  using Mask = signed char __attribute__((vector_size(32)));
  constexpr std::size_t kChunk = 8 * sizeof(Bytes);
  const char* p = bytes.data();
  const std::size_t n = bytes.size() / kChunk * kChunk;
  const Bytes wantA = Bytes{} + a;
  const Bytes wantB = Bytes{} + b;
  for (std::size_t i = 0; i < n; i += kChunk) {
    Mask any{};
    for (std::size_t k = 0; k < kChunk; k += sizeof(Bytes)) {
      Bytes x;
      std::memcpy(&x, p + i + k, sizeof(Bytes));
      if constexpr (kLetter) {
        any |= (x | 0x20) == wantA;
      } else {
        any |= (x == wantA) | (x == wantB);
      }
    }
    std::uint64_t words[sizeof(Mask) / 8];
    std::memcpy(words, &any, sizeof(Mask));
    if ((words[0] | words[1] | words[2] | words[3]) != 0) return true;
  }
  return false;
}

std::size_t VectorPart(std::string_view bytes) {
  return bytes.size() / 256 * 256;
}

// Asked once, at the first search; not through an indirect function chosen while the program is
// being loaded, because such a chooser runs before the C library (or a sanitizer's run-time) is
// ready.
bool HasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

bool HoldsLetter(std::string_view bytes, char small) {
  if (!HasAvx2()) return HoldsLetterByMemchr(bytes, small);
  const std::size_t n = VectorPart(bytes);
  return HoldsByVectors<true>(bytes, small, small) || HoldsLetterByMemchr(bytes.substr(n), small);
}
bool HoldsEither(std::string_view bytes, char a, char b) {
  if (!HasAvx2()) return HoldsEitherByMemchr(bytes, a, b);
  const std::size_t n = VectorPart(bytes);
  return HoldsByVectors<false>(bytes, a, b) || HoldsEitherByMemchr(bytes.substr(n), a, b);
}

// The same for up to eight bytes at once (`members`), so that a block holding any of them is
// told after the first that comes, not after a pass for each one that is missing.
__attribute__((target("avx2"))) bool HoldsAnyByVectors(std::string_view bytes,
                                                       std::string_view members) {
  using Bytes = char __attribute__((vector_size(32)));
  using Mask = signed char __attribute__((vector_size(32)));
  constexpr std::size_t kChunk = 8 * sizeof(Bytes);
  Bytes want[8];
  for (std::size_t w = 0; w < 8; ++w)
    want[w] = Bytes{} + members[std::min(w, members.size() - 1)];
  const char* p = bytes.data();
  const std::size_t n = bytes.size() / kChunk * kChunk;
  for (std::size_t i = 0; i < n; i += kChunk) {
    Mask any{};
    for (std::size_t k = 0; k < kChunk; k += sizeof(Bytes)) {
      Bytes x;
      std::memcpy(&x, p + i + k, sizeof(Bytes));
      for (std::size_t w = 0; w < members.size(); ++w)
        any |= x == want[w];
    }
    std::uint64_t words[sizeof(Mask) / 8];
    std::memcpy(words, &any, sizeof(Mask));
    if ((words[0] | words[1] | words[2] | words[3]) != 0) return true;
  }
  return false;
}

bool HoldsAny(std::string_view bytes, std::string_view members) {
  if (!HasAvx2() || members.empty() || members.size() > 8) return HoldsAnyByMemchr(bytes, members);
  const std::size_t n = VectorPart(bytes);
  return HoldsAnyByVectors(bytes, members) || HoldsAnyByMemchr(bytes.substr(n), members);
}
#else
bool HoldsLetter(std::string_view bytes, char small) {
  return HoldsLetterByMemchr(bytes, small);
}
bool HoldsEither(std::string_view bytes, char a, char b) {
  return HoldsEitherByMemchr(bytes, a, b);
}
bool HoldsAny(std::string_view bytes, std::string_view members) {
  return HoldsAnyByMemchr(bytes, members);
}
#endif

// How many byte values a set holds.
int Members(const ByteSet& set) {
  int n = 0;
  for (const std::uint64_t word : set)
    n += std::popcount(word);
  return n;
}

// The term of one search, folded once, compared with field after field. The search calls it
// for up to seven fields of every record, so it works on the record's bytes in place: a
// Horspool search through a folding table looks at the byte under the term's last character
// first and skips ahead by as much as that byte allows, which rejects most fields after a byte
// or two.
//
// In a Unicode DataFile (a UTF-8 term) a search that ignores case compares the Unicode case
// folding of term and field: a plain ASCII field through the table (A..Z as a..z, as the full
// folding has it), any other field folded into a buffer the matcher keeps. Folding every field
// would make the search several times slower, so the same Horspool search first runs over the
// unfolded bytes with the set of bytes that any spelling of the term has at each place of a
// window (FoldedByteSets); only a field in which it finds a place is folded and compared.
class TermMatcher {
 public:
  TermMatcher(const WinString& term, bool caseSensitive, bool wholeFields)
      : term_(FoldCase(term, caseSensitive).bytes()),
        whole_(wholeFields),
        caseSensitive_(caseSensitive),
        unicodeFold_(!caseSensitive && term.isUnicode()) {
    // FoldCase's rule byte by byte: a..z become A..Z when case does not count; every other byte
    // stays. The Unicode folding makes A..Z small instead.
    for (int c = 0; c < 256; ++c) {
      if (unicodeFold_) {
        fold_[c] = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        continue;
      }
      const bool lower = !caseSensitive && c >= 'a' && c <= 'z';
      fold_[c] = static_cast<char>(lower ? c - 'a' + 'A' : c);
    }
    const std::size_t m = term_.size();
    std::fill(std::begin(skip_), std::end(skip_), m);
    for (std::size_t j = 0; j + 1 < m; ++j)
      skip_[static_cast<unsigned char>(term_[j])] = m - 1 - j;
    if (unicodeFold_ && m > 0) {
      if (auto bytes = FoldedByteSets(term_)) {
        sets_ = std::move(bytes->sets);
        setsFromEnd_ = bytes->fromEnd;
        const std::size_t shortest = sets_.size();
        // A block is asked for the bytes of the two places of the window that allow the fewest:
        // each byte of a set looked for in vain costs a pass over the whole block.
        std::vector<std::size_t> places(shortest);
        for (std::size_t j = 0; j < shortest; ++j)
          places[j] = j;
        std::stable_sort(places.begin(), places.end(), [&](std::size_t a, std::size_t b) {
          return Members(sets_[a]) < Members(sets_[b]);
        });
        firstBytes_.take(sets_[places.front()]);
        lastBytes_.take(sets_[places[places.size() > 1 ? 1 : 0]]);
        setSkip_ = WindowSkips(sets_);
      }
    }
  }

  // False when no field within `bytes` can match: the term's first or its last byte (in both
  // cases when case does not count; in a Unicode search, the bytes one of two places of the
  // window allows) appears nowhere in them. A whole block of records is
  // rejected so by the C library's byte search, which runs as fast as memory; a block that may
  // hold a hit is searched field by field.
  bool mayMatchIn(std::string_view bytes) const {
    const std::size_t m = term_.size();
    if (m == 0) return true;
    // Many characters fold to text with other bytes (Ä to ä, ß to ss, the Kelvin sign to k):
    // without byte sets every block may hold a hit.
    if (unicodeFold_) {
      return sets_.empty() || (firstBytes_.holdsAny(bytes) && lastBytes_.holdsAny(bytes));
    }
    return holds(bytes, term_[0]) && (m == 1 || holds(bytes, term_[m - 1]));
  }

  // Whether the fields are compared by their Unicode folding; matches<kFolded>() must be called
  // with this. The search's loop over the records is built once for each, so that the
  // comparison of the other kind costs that loop nothing.
  bool folded() const { return unicodeFold_; }

  bool matches(std::string_view field) const {
    return unicodeFold_ ? matches<true>(field) : matches<false>(field);
  }

  // Inline in the loop over the records, which calls it for up to seven fields of each.
  template <bool kFolded>
  [[gnu::always_inline]] bool matches(std::string_view field) const {
    if constexpr (kFolded) {
      if (!sets_.empty() && !mayHold(field)) return false;
      if (!IsAsciiText(field)) field = folder_.fold(field);
    }
    const std::size_t n = field.size();
    const std::size_t m = term_.size();
    if (whole_) return n == m && equalAt(field.data(), m);
    if (m == 0 || m > n) return false;
    const char last = term_[m - 1];
    for (std::size_t i = 0; i + m <= n;) {
      const char c = fold(field[i + m - 1]);
      if (c == last && equalAt(field.data() + i, m - 1)) return true;
      i += skip_[static_cast<unsigned char>(c)];
    }
    return false;
  }

 private:
  // Whether `bytes` hold the folded byte c, as it is or, when case does not count, as a small
  // letter.
  bool holds(std::string_view bytes, char c) const {
    if (caseSensitive_ || c < 'A' || c > 'Z')
      return std::memchr(bytes.data(), c, bytes.size()) != nullptr;
    return HoldsLetter(bytes, static_cast<char>(c - 'A' + 'a'));
  }
  char fold(char c) const { return fold_[static_cast<unsigned char>(c)]; }
  // The bytes of a set, listed once, so that a block is asked whether it holds any of them. A
  // character and its other case mostly differ in one byte of their UTF-8 (С and с: D0 A1 and
  // D1 81), so the sets of two bytes are looked for in one pass; an ASCII letter's two cases
  // (q and Q) are one byte with or without the bit 0x20.
  struct SetBytes {
    std::string members;
    void take(const ByteSet& set) {
      members.clear();
      for (int b = 0; b < 256; ++b) {
        if (Holds(set, static_cast<unsigned char>(b))) members += static_cast<char>(b);
      }
    }
    bool holdsAny(std::string_view bytes) const {
      if (members.size() == 1)
        return std::memchr(bytes.data(), members[0], bytes.size()) != nullptr;
      if (members.size() == 2) {
        const char small = members[1];
        if (small >= 'a' && small <= 'z' && members[0] == small - 'a' + 'A')
          return HoldsLetter(bytes, small);
        return HoldsEither(bytes, members[0], members[1]);
      }
      return HoldsAny(bytes, members);
    }
  };
  // Whether the unfolded field has a place where every byte is one that a spelling of the term
  // has at that place of the window (a whole field: at the end the sets are laid over); false
  // means it cannot match. Every spelling is at least as long as the window, so the Horspool
  // search over the sets skips none.
  bool mayHold(std::string_view field) const {
    const std::size_t n = field.size();
    const std::size_t m = sets_.size();
    const auto fits = [&](std::size_t at) {
      for (std::size_t j = 0; j < m; ++j) {
        if (!Holds(sets_[j], static_cast<unsigned char>(field[at + j]))) return false;
      }
      return true;
    };
    if (whole_) return n >= m && fits(setsFromEnd_ ? n - m : 0);
    for (std::size_t i = 0; i + m <= n;) {
      const auto c = static_cast<unsigned char>(field[i + m - 1]);
      if (Holds(sets_[m - 1], c) && fits(i)) return true;
      i += setSkip_[c];
    }
    return false;
  }
  // The first m bytes at `at`, folded, equal those of the term.
  bool equalAt(const char* at, std::size_t m) const {
    for (std::size_t j = 0; j < m; ++j) {
      if (fold(at[j]) != term_[j]) return false;
    }
    return true;
  }

  std::string term_;
  bool whole_;
  bool caseSensitive_;
  bool unicodeFold_;
  mutable Utf8Folder folder_;
  std::vector<ByteSet> sets_;  // empty: no byte sets for this term (or not a Unicode search)
  bool setsFromEnd_ = false;
  std::array<std::size_t, 256> setSkip_;
  SetBytes firstBytes_, lastBytes_;  // of two of the sets
  char fold_[256];
  std::size_t skip_[256];
};

// The word fields that the field switches govern, in the order they are tried.
constexpr PString<60> TVocData::*kSwitchedWords[6] = {&TVocData::B1, &TVocData::B2, &TVocData::B3,
                                                      &TVocData::A1, &TVocData::A2, &TVocData::A3};

}  // namespace

SearchSettings ReadSearchSettings(const Options& o, SearchDirection direction) {
  SearchSettings s;
  s.caseSensitive = o.groesse;
  s.wholeFields = o.ganzewoerter;
  s.showUnitId = o.showunitID;
  s.clearList = o.ClearList;
  s.cutSpaces = o.wortbuchleerenft;
  // The single switches count only while "Nicht alle Felder durchsuchen" is on; otherwise every
  // field is searched.
  const std::array<bool, 7> switches{o.searchB1, o.searchB2, o.searchB3,     o.searchA1,
                                     o.searchA2, o.searchA3, o.searchComment};
  for (std::size_t i = 0; i < switches.size(); ++i)
    s.fields[i] = !o.Felder || switches[i];
  s.direction = direction;
  return s;
}

bool FieldMatches(const WinString& term, std::string_view field, bool caseSensitive,
                  bool wholeFields) {
  return TermMatcher(term, caseSensitive, wholeFields).matches(field);
}

WinString HitLine(const TVocData& record, bool showUnitId, TextEncoding encoding) {
  std::string line;
  line.reserve(2 * kWordCapacity + 10);
  line.append(record.B1.view()).append(" = ").append(record.A1.view());
  if (showUnitId) line.append(" @> ").append(std::to_string(record.UnitID));
  return WinString(std::move(line), encoding);
}

void DictionarySearch::clearHits() {
  lines_.clear();
  hits_.clear();
}

DictionarySearch::Outcome DictionarySearch::search(const std::string& path, const WinString& typed,
                                                   const SearchSettings& settings,
                                                   const SearchProgress& progress) {
  if (typed.empty()) return Outcome::NotRun;
  // A term of blanks only is cut to the empty term and still searched: with whole fields it
  // finds the entries with an empty field.
  term_ = settings.cutSpaces ? CutSpaces(typed.left(255)) : typed;
  return searchDataFile(path, settings, progress) ? Outcome::Searched : Outcome::Failed;
}

bool DictionarySearch::searchDataFile(const std::string& path, const SearchSettings& settings,
                                      const SearchProgress& progress) {
  const std::size_t kept = settings.clearList ? 0 : lines_.size();
  auto opened = RecordFile::open(path, Access::Read);
  if (!opened) {
    ShowFileError(messages_, kDictionaryReadError, opened.error());
    return false;
  }
  RecordFile& file = *opened;

  // The term in the DataFile's encoding, whatever the window typed it in; a character that a
  // Windows-1252 DataFile cannot hold is in none of its fields.
  TextEncoding encoding = TextEncoding::Cp1252;
  if (file.count() > 0) {
    TVocData first;
    try {
      file.read(0, first);
    } catch (const IoError& e) {
      ShowFileError(messages_, kDictionaryReadError, e.error());
      return false;
    }
    encoding = EncodingOf(first);
  }
  if (term_.encoding() != encoding) {
    term_ = Reencode(term_, encoding).value_or(term_.as(encoding));
  }

  const TermMatcher matcher(term_, settings.caseSensitive, settings.wholeFields);
  const bool nativeSide = settings.direction != SearchDirection::BToA;
  const bool foreignSide = settings.direction != SearchDirection::AToB;
  PString<60> TVocData::*words[6];
  std::size_t wordCount = 0;
  // Tried in the order they lie in the record (A1 B1 A2 A3 B2 B3): which one matches first does
  // not change the hits, and memory read front to back comes sooner.
  for (const std::size_t i : {3, 0, 4, 5, 1, 2}) {
    if (settings.fields[i] && (i < 3 ? nativeSide : foreignSide))
      words[wordCount++] = kSwitchedWords[i];
  }
  const bool comment = settings.fields[6];

  // The hits are kept aside until the whole file has been read, so that a file that fails half
  // way leaves the list as it was.
  const std::size_t room = kMaxHits - std::min(kept, kMaxHits);
  std::vector<TVocData> found;
  std::optional<TVocData> header;
  const std::uint64_t total = file.count() > 0 ? file.count() - 1 : 0;
  const std::uint64_t step = std::max<std::uint64_t>(1, total / 100);
  std::uint64_t told = 0;
  if (progress) progress(0, total);
  // The loop over the records, built once for each kind of comparison (TermMatcher::folded).
  const bool everyField = wordCount == 6 && comment;
  const auto scan = [&]<bool kFolded, bool kEveryField>() {
    const auto matches = [&](const TVocData& r) __attribute__((always_inline)) {
      if constexpr (kEveryField) {
        // Mostly every field is searched: known places let the fields' lengths be read at once.
        return matcher.matches<kFolded>(r.A1.view()) || matcher.matches<kFolded>(r.B1.view()) ||
               matcher.matches<kFolded>(r.A2.view()) || matcher.matches<kFolded>(r.A3.view()) ||
               matcher.matches<kFolded>(r.B2.view()) || matcher.matches<kFolded>(r.B3.view()) ||
               matcher.matches<kFolded>(r.Comment.view());
      }
      for (std::size_t i = 0; i < wordCount; ++i) {
        if (matcher.matches<kFolded>((r.*words[i]).view())) return true;
      }
      return comment && matcher.matches<kFolded>(r.Comment.view());
    };
    file.scanBlocks(0, [&](std::uint64_t first, std::span<const TVocData> block) {
      // Every record counts as read, also once the list is full: the search always reads the
      // whole file.
      if (progress && first + block.size() - 1 - told >= step && first + block.size() > 1) {
        told = first + block.size() - 1;
        progress(told, total);
      }
      std::size_t i = 0;
      if (first == 0) {
        header = block[0];
        i = 1;
      }
      if (found.size() >= room) return true;
      const std::string_view bytes(reinterpret_cast<const char*>(block.data() + i),
                                   (block.size() - i) * kRecordSize);
      if (!matcher.mayMatchIn(bytes)) return true;
      for (; i < block.size() && found.size() < room; ++i) {
        const TVocData& r = block[i];
        // Deleted records and lesson headers are never hits. Few records match, so they are
        // told apart only then: the Deleted byte at the record's end is one memory line more.
        if (matches(r) && r.Deleted != 1 && !IsUnitHeader(r)) found.push_back(r);
      }
      return true;
    });
  };
  try {
    if (matcher.folded()) {
      everyField ? scan.template operator()<true, true>() : scan.template operator()<true, false>();
    } else {
      everyField ? scan.template operator()<false, true>()
                 : scan.template operator()<false, false>();
    }
  } catch (const IoError& e) {
    ShowFileError(messages_, kDictionaryReadError, e.error());
    return false;
  }
  if (header) header_ = header;
  file.close();
  if (progress && told != total) progress(total, total);

  lines_.resize(kept);
  hits_.resize(kept);
  for (const TVocData& r : found) {
    lines_.push_back(HitLine(r, settings.showUnitId, encoding));
    hits_.push_back(r);
  }
  return true;
}

void DictionarySearch::warnWhenFull() {
  if (lines_.size() >= kMaxHits) {
    messages_.show(MsgKind::Warning, std::string(kTooManyHits) + "\n" + kHitsShown, MsgButtons::Ok);
  }
}

}  // namespace merkhaus
