// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <optional>

#include "platform/random.h"
#include "platform/win_string.h"
#include "store/vocdata.h"
#include "text/answer_check.h"

namespace merkhaus {

// How the practice and the test put a question.

// The direction of a new question from the option "Abfrageweise" / "TestenAbfrageweise":
// 0 "A - B", 1 "B - A", 2 at random (re-seeded from the clock, even chances). A value that names
// no direction asks "A - B".
QueryDirection DrawDirection(int abfrageweise, Random& random);

// The text a question shows: the first field of the question side as stored, or with
// `allSynonyms` the first or the second synonym with equal chance (re-seeded from the clock),
// the third only after a blank second, passing over blank fields. A side blank throughout shows
// its first field as stored. The text is tagged with `encoding`, the DataFile's.
WinString QuestionText(const TVocData& entry, QueryDirection direction, bool allSynonyms,
                       Random& random, TextEncoding encoding);

// Which entry the practice and the test ask next, under the option `algorithmus`: 0 systematic
// (from a random start, in a random direction; re-seeded from the clock), 1 in order and 2
// reversed (on from `current`, the entry asked last), 3 completely at random; any other value
// asks systematically. Only entries for which `open` is true come in question, and the entry
// asked last comes again at once only with `repeat` (the option doppelvok) or when it is the
// last open entry. Nothing when no entry of the `count` is open.
std::optional<int> PickNextEntry(int algorithmus, int count, int current,
                                 const std::function<bool(int)>& open, bool repeat, Random& random);

}  // namespace merkhaus
