// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace merkhaus {

// The error quotient of a test, in percent: 100 less the share of right answers. The share is
// right ÷ (asked ÷ 100), both divisions in 80-bit extended precision, rounded to the nearest
// whole number with halves going to the even neighbour. The precision is part of the result:
// 65 right of 104 is 62.5 in exact arithmetic but a little more in extended precision, so it
// gives 37 %, as the learner's earlier evaluations did. `asked` must be at least 1.
int ErrorQuotient(unsigned right, unsigned asked);

}  // namespace merkhaus
