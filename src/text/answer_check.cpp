// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/answer_check.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "text/case_fold.h"

namespace merkhaus {

namespace {

// The comparison runs once per evaluation and ten thousand times in a test run's statistics, so
// it works in fixed tables on the stack and allocates nothing.

// Writes the space-cut form of `in` (no leading or trailing blanks, inner runs of blanks as one)
// into out[0..cap) and returns the length that form has in full, which may exceed `cap`; the
// bytes written are always the first min(full, cap) bytes of it.
std::size_t CutSpacesInto(std::string_view in, char* out, std::size_t cap) {
  std::size_t full = 0;
  bool pendingBlank = false;
  for (char c : in) {
    if (c == ' ') {
      pendingBlank = full > 0;
      continue;
    }
    if (pendingBlank) {
      if (full < cap) out[full] = ' ';
      ++full;
      pendingBlank = false;
    }
    if (full < cap) out[full] = c;
    ++full;
  }
  return full;
}

char Fold(char c, bool caseSensitive) {
  return (!caseSensitive && c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c;
}

// The folding of a Unicode DataFile's text, into buffers kept per thread (no allocation per
// comparison once they have grown).
bool Utf8FoldEqual(std::string_view a, std::string_view b) {
  thread_local Utf8Folder foldA;
  thread_local Utf8Folder foldB;
  return foldA.fold(a) == foldB.fold(b);
}

// FoldCase(a) == FoldCase(b) without building either.
bool FoldEqual(std::string_view a, std::string_view b, bool caseSensitive,
               TextEncoding encoding = TextEncoding::Cp1252) {
  if (!caseSensitive && encoding == TextEncoding::Utf8) return Utf8FoldEqual(a, b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (Fold(a[i], caseSensitive) != Fold(b[i], caseSensitive)) return false;
  }
  return true;
}

struct Slot {
  char chars[kPieceCapacity];
  std::uint8_t len = 0;
  std::string_view view() const { return {chars, len}; }
  void assign(std::string_view s) {
    len = static_cast<std::uint8_t>(std::min(s.size(), kPieceCapacity));
    std::memcpy(chars, s.data(), len);
  }
};

struct PieceTable {
  std::array<Slot, kMaxPieces> pieces;
  std::size_t count = 0;

  // Adds the space-cut form of `part`; false when the table is full or the piece does not fit a
  // slot (a piece longer than any stored meaning can never be equal to one).
  bool addCut(std::string_view part) {
    if (count == kMaxPieces) return false;
    Slot& s = pieces[count];
    const std::size_t full = CutSpacesInto(part, s.chars, kPieceCapacity);
    if (full > kPieceCapacity) return false;
    s.len = static_cast<std::uint8_t>(full);
    ++count;
    return true;
  }
  bool addAsIs(std::string_view part) {
    if (count == kMaxPieces || part.size() > kPieceCapacity) return false;
    pieces[count++].assign(part);
    return true;
  }
  // Splits at every comma; each piece is space-cut. Empty pieces count.
  bool split(std::string_view s) {
    for (;;) {
      const std::size_t comma = s.find(',');
      if (!addCut(s.substr(0, comma))) return false;
      if (comma == std::string_view::npos) return true;
      s.remove_prefix(comma + 1);
    }
  }
  bool hasRepetition(bool caseSensitive, TextEncoding encoding) const {
    for (std::size_t i = 0; i < count; ++i) {
      for (std::size_t j = i + 1; j < count; ++j) {
        if (FoldEqual(pieces[i].view(), pieces[j].view(), caseSensitive, encoding)) return true;
      }
    }
    return false;
  }
};

// The short form worked in place on at most 255 characters; a pass is made only while it makes
// the text shorter, which is exactly while it removes a "(" ... ")" pair, or a ")" when no "(" is
// left.
std::size_t ShortFormInto(std::string_view field, char* out, std::size_t cap) {
  char buf[kMaxAnswer];
  std::size_t n = std::min(field.size(), kMaxAnswer);
  std::memcpy(buf, field.data(), n);
  for (;;) {
    const std::string_view text(buf, n);
    const std::size_t open = text.find('(');
    const std::size_t close = text.find(')');
    if (close == std::string_view::npos) break;                 // nothing left, or "(" alone
    if (open != std::string_view::npos && close < open) break;  // ")" before "("
    const std::size_t keep = open == std::string_view::npos ? 0 : open;
    const std::size_t tail = n - close - 1;
    std::memmove(buf + keep, buf + close + 1, tail);
    n = keep + tail;
  }
  return std::min(CutSpacesInto({buf, n}, out, cap), cap);
}

// Deleting the first "(" and then the first ")" until neither is left removes every bracket.
std::size_t LongFormInto(std::string_view field, char* out, std::size_t cap) {
  char buf[kMaxAnswer];
  std::size_t n = 0;
  for (char c : field.substr(0, kMaxAnswer)) {
    if (c != '(' && c != ')') buf[n++] = c;
  }
  return std::min(CutSpacesInto({buf, n}, out, cap), cap);
}

const PString<60>* AnswerFields(const TVocData& e, QueryDirection d, int i) {
  if (d == QueryDirection::AB) return i == 0 ? &e.B1 : i == 1 ? &e.B2 : &e.B3;
  return i == 0 ? &e.A1 : i == 1 ? &e.A2 : &e.A3;
}

}  // namespace

bool CommaMatch(std::string_view variant, std::string_view answer, const CheckRules& rules) {
  const bool cs = rules.caseSensitive;
  const TextEncoding enc = rules.encoding;
  const bool variantComma = variant.find(',') != std::string_view::npos;
  const bool answerComma = answer.find(',') != std::string_view::npos;
  if (!variantComma && !answerComma && rules.allVariants) {
    return FoldEqual(variant, answer, cs, enc);
  }

  PieceTable v;
  PieceTable t;
  if (!v.split(variant)) return false;
  // Without a comma the typed text is taken as typed: blanks around it make it wrong.
  if (!(answerComma ? t.split(answer) : t.addAsIs(answer))) return false;

  if (v.hasRepetition(cs, enc) || t.hasRepetition(cs, enc)) return false;
  if (rules.allVariants ? t.count != v.count : t.count > v.count) return false;

  std::size_t matches = 0;
  for (std::size_t i = 0; i < v.count; ++i) {
    for (std::size_t j = 0; j < t.count; ++j) {
      if (FoldEqual(v.pieces[i].view(), t.pieces[j].view(), cs, enc)) ++matches;
    }
  }
  return matches >= (rules.allVariants ? v.count : t.count);
}

WinString ShortBracketForm(std::string_view field) {
  char out[kPieceCapacity];
  return WinString(std::string_view(out, ShortFormInto(field, out, kPieceCapacity)));
}

WinString LongBracketForm(std::string_view field) {
  char out[kPieceCapacity];
  return WinString(std::string_view(out, LongFormInto(field, out, kPieceCapacity)));
}

bool CheckAnswer(std::string_view answer, const TVocData& entry, QueryDirection direction,
                 const CheckRules& rules) {
  answer = answer.substr(0, CharBoundaryAtOrBefore(answer, kMaxAnswer, rules.encoding));

  // Three fields and two bracket forms of each.
  std::array<Slot, 9> variants;
  std::size_t count = 0;
  for (int i = 0; i < 3; ++i) {
    const auto* f = AnswerFields(entry, direction, i);
    if (!f->empty()) variants[count++].assign(f->view());
  }
  if (rules.smartBrackets) {
    for (int i = 0; i < 3; ++i) {
      const std::string_view f = AnswerFields(entry, direction, i)->view();
      if (f.find('(') == std::string_view::npos || f.find(')') == std::string_view::npos) continue;
      Slot& shortForm = variants[count++];
      shortForm.len = static_cast<std::uint8_t>(ShortFormInto(f, shortForm.chars, kPieceCapacity));
      Slot& longForm = variants[count++];
      longForm.len = static_cast<std::uint8_t>(LongFormInto(f, longForm.chars, kPieceCapacity));
    }
  }

  for (std::size_t i = 0; i < count; ++i) {
    const std::string_view v = variants[i].view();
    if (rules.commaRule ? CommaMatch(v, answer, rules) : v == answer) return true;
  }
  return false;
}

}  // namespace merkhaus
