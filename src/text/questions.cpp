// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/questions.h"

#include "text/text_rules.h"

namespace merkhaus {

QueryDirection DrawDirection(int abfrageweise, Random& random) {
  switch (abfrageweise) {
    case 1:
      return QueryDirection::BA;
    case 2:
      random.reseed();
      return random.draw(100) < 50 ? QueryDirection::AB : QueryDirection::BA;
    default:
      return QueryDirection::AB;
  }
}

WinString QuestionText(const TVocData& e, QueryDirection direction, bool allSynonyms,
                       Random& random) {
  const bool ab = direction == QueryDirection::AB;
  const PString<60>* const side[3] = {ab ? &e.A1 : &e.B1, ab ? &e.A2 : &e.B2, ab ? &e.A3 : &e.B3};
  if (!allSynonyms) return side[0]->get();
  random.reseed();
  int k = random.draw(2);
  for (int tried = 0; tried < 3; ++tried, k = (k + 1) % 3) {
    if (!CutSpaces(side[k]->get()).empty()) return side[k]->get();
  }
  return side[0]->get();
}

}  // namespace merkhaus
