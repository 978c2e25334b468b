// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "config/options.h"
#include "text/answer_check.h"

namespace merkhaus {

// The answer-checking switches of the practice and of the test, as the options hold them now.
inline CheckRules PracticeCheckRules(const Options& o) {
  return {o.SmartBrackets, o.Kommatareg, o.KnowOnlyOneVoc, o.Grossklein};
}

inline CheckRules TestCheckRules(const Options& o) {
  return {o.TestenSmartBrackets, o.testenKommatareg, o.testenKnowOnlyOneVoc, o.testengrossklein};
}

}  // namespace merkhaus
