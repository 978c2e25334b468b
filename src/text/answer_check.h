// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// Which side of an entry is asked. "A - B": the question comes from A1..A3 and the answer is
// expected from B1..B3; "B - A" the other way round.
enum class QueryDirection { AB, BA };

// The four switches that decide how strictly an answer is judged. The practice and the test each
// have their own set in Options (config/check_rules.h); build it at the moment of the check so
// that a changed option applies at once.
struct CheckRules {
  bool smartBrackets = true;  // accept the field without its brackets, and without their content
  bool commaRule = true;      // compare comma-separated meanings in any order, blanks cut
  bool allVariants = false;   // under the comma rule: every meaning of a field must be given
  bool caseSensitive = true;  // under the comma rule: a..z and A..Z differ
  // The encoding of the entry's DataFile (and of the answer): UTF-8 folds case by Unicode.
  TextEncoding encoding = TextEncoding::Cp1252;
};

// Sizes of the tables the comparison works in.
inline constexpr std::size_t kMaxPieces = 64;      // comma-separated pieces of one string
inline constexpr std::size_t kPieceCapacity = 60;  // characters kept of one piece or variant
inline constexpr std::size_t kMaxAnswer = 255;     // characters of a typed answer that count

// True when `answer` (the text as the learner typed it; only its first 255 characters count) is
// a right answer to `entry` asked in `direction`. Pure: changes nothing, shows nothing.
bool CheckAnswer(std::string_view answer, const TVocData& entry, QueryDirection direction,
                 const CheckRules& rules);
// The answer carries the encoding: a UTF-8 answer is checked by the rules of a Unicode DataFile.
inline bool CheckAnswer(const WinString& answer, const TVocData& entry, QueryDirection direction,
                        const CheckRules& rules) {
  if (!answer.isUnicode()) return CheckAnswer(answer.view(), entry, direction, rules);
  CheckRules utf8 = rules;
  utf8.encoding = TextEncoding::Utf8;
  return CheckAnswer(answer.view(), entry, direction, utf8);
}

// The comma rule's comparison of one accepted variant with the typed answer. Only
// rules.allVariants, rules.caseSensitive and rules.encoding are read.
bool CommaMatch(std::string_view variant, std::string_view answer, const CheckRules& rules);

// The bracket forms of a stored field: the short form drops every bracket pair with what it
// encloses, the long form drops only the brackets. Both are space-cut and at most 60 characters.
// A pass that would not shorten the text (a ")" before the first "(", or a "(" without ")") ends
// the short form's rewriting, so it always ends and never grows.
WinString ShortBracketForm(std::string_view field);
WinString LongBracketForm(std::string_view field);

}  // namespace merkhaus
