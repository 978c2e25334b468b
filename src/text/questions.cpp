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
                       Random& random, TextEncoding encoding) {
  const bool ab = direction == QueryDirection::AB;
  const PString<60>* const side[3] = {ab ? &e.A1 : &e.B1, ab ? &e.A2 : &e.B2, ab ? &e.A3 : &e.B3};
  if (!allSynonyms) return side[0]->get(encoding);
  random.reseed();
  int k = random.draw(2);
  for (int tried = 0; tried < 3; ++tried, k = (k + 1) % 3) {
    if (!CutSpaces(side[k]->get(encoding)).empty()) return side[k]->get(encoding);
  }
  return side[0]->get(encoding);
}

std::optional<int> PickNextEntry(int algorithmus, int count, int current,
                                 const std::function<bool(int)>& open, bool repeat,
                                 Random& random) {
  if (count <= 0) return std::nullopt;
  int openCount = 0;
  for (int p = 0; p < count; ++p)
    openCount += open(p) ? 1 : 0;
  const bool repeatAllowed = repeat || openCount <= 1;
  const auto fits = [&](int p) { return open(p) && (repeatAllowed || p != current); };
  // Each walk visits every entry within count + 1 steps, also from an entry asked last that lies
  // beyond a shorter lesson.
  switch (algorithmus) {
    case 1:
    case 2: {
      const int step = algorithmus == 1 ? 1 : -1;
      int p = current;
      for (int i = 0; i <= count; ++i) {
        p += step;
        if (p > count - 1) p = 0;
        if (p < 0) p = count - 1;
        if (open(p)) return p;
      }
      return std::nullopt;
    }
    case 3:
      // An open entry always fits: when the entry asked last is the only one, it may come again.
      if (openCount == 0) return std::nullopt;
      for (;;) {
        const int p = random.draw(count);
        if (fits(p)) return p;
      }
    default: {
      random.reseed();
      const bool forwards = random.draw(100) < 50;
      int p = random.draw(count);
      for (int i = 0; i <= count; ++i) {
        if (fits(p)) return p;
        p = forwards ? (p + 1 > count - 1 ? 0 : p + 1) : (p - 1 < 0 ? count - 1 : p - 1);
      }
      return std::nullopt;
    }
  }
}

}  // namespace merkhaus
