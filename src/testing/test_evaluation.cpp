// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_evaluation.h"

#include "testing/error_quotient.h"
#include "text/text_rules.h"

namespace merkhaus {

bool TestEvaluation::fill(bool onlyWrong) {
  const std::vector<TVocData>& entries = test_.entries();
  const std::size_t count = entries.size();
  unsigned asked = 0;
  unsigned wrong = 0;
  for (std::size_t i = 0; i < count; ++i) {
    if (!test_.TestAsked[i]) continue;
    ++asked;
    if (test_.TestRight[i] == 0) ++wrong;
  }
  if (asked == 0) {
    messages_.show(MsgKind::Warning, "Es wurden keine Vokabeln abgefragt!", MsgButtons::Ok);
    return false;
  }
  const unsigned right = asked - wrong;
  view_.right = std::to_string(right) + " / " + std::to_string(asked);
  view_.quotient = std::to_string(ErrorQuotient(right, asked)) + " %";

  view_.rows.clear();
  for (std::size_t i = 0; i < count; ++i) {
    if (!test_.TestAsked[i] || (onlyWrong && test_.TestRight[i] == 1)) continue;
    const TVocData& e = entries[i];
    view_.rows.push_back({JoinSynonyms(e.A1.get(test_.encoding()), e.A2.get(test_.encoding()),
                                       e.A3.get(test_.encoding())),
                          JoinSynonyms(e.B1.get(test_.encoding()), e.B2.get(test_.encoding()),
                                       e.B3.get(test_.encoding())),
                          test_.TestAnswers[i], e.Comment.get(test_.encoding()),
                          test_.TestRight[i] == 1});
  }
  return true;
}

}  // namespace merkhaus
