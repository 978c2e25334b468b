// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "testing/test_session.h"

namespace merkhaus {

// One row of the evaluation's grid: an entry asked in the test.
struct EvaluationRow {
  WinString foreign;   // "Fremdwort": the A side, synonyms joined
  WinString native;    // "Übersetzung": the B side, synonyms joined
  WinString answer;    // "Ihre Eingabe"
  WinString comment;   // "Kommentare"
  bool right = false;  // the answer was judged right (the grid tells it to a screen reader)
  bool operator==(const EvaluationRow&) const = default;
};

// What the evaluation window shows.
struct EvaluationView {
  std::string right = "<";          // "right / asked"
  std::string quotient = "<";       // the error quotient, "30 %"
  std::vector<EvaluationRow> rows;  // in the order of the lesson, at most 255
};

// The evaluation of a test ("Testauswertung"). It shows the test as it stood when it was last
// filled and keeps that content until the next filling, also from one test to the next.
class TestEvaluation {
 public:
  TestEvaluation(const TestSession& test, Messages& messages) : test_(test), messages_(messages) {}

  const EvaluationView& view() const { return view_; }

  // Fills the evaluation from the entries asked so far; with `onlyWrong`, only the entries
  // answered wrong (or given up with "?") are listed, but all asked ones are counted. When
  // nothing has been asked yet: a warning, and the content stays. True when filled.
  bool fill(bool onlyWrong);

 private:
  const TestSession& test_;
  Messages& messages_;
  EvaluationView view_;
};

}  // namespace merkhaus
