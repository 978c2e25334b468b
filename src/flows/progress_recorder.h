// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "flows/lesson_context.h"
#include "store/vocdata.h"

namespace merkhaus {

// How an answer in practice or a test went. Only an entry's first outcome of a day counts for
// its memory: practice repeats a word until it is known, and the repetitions must not make it
// look better remembered than it is.
enum class AnswerOutcome {
  RightFirstTry,  // right at the first try, without a tip
  RightWithHelp,  // right after a tip or after wrong tries
  Failed,         // the solution shown, "?", or wrong in a test
};

// Where practice, test and the corrections report what the learner's progress needs to know.
// The modes never hear whether it was kept: a database that cannot be used is told to the
// learner once by whoever implements this, and learning goes on.
class ProgressRecorder {
 public:
  virtual ~ProgressRecorder() = default;
  // An entry of the context's DataFile was answered.
  virtual void answered(const LessonContext& lesson, const TVocData& entry,
                        AnswerOutcome outcome) = 0;
  // The program replaced `oldEntry` by `newEntry` in the context's DataFile (quick edit): the
  // progress follows the corrected words.
  virtual void corrected(const LessonContext& lesson, const TVocData& oldEntry,
                         const TVocData& newEntry) = 0;
  // A test of the context's lesson ended with every entry asked; `quotient` in percent.
  virtual void testFinished(const LessonContext& lesson, int right, int asked, int quotient) = 0;
  // A Unicode copy of the DataFile `fromPath` (record 0 `fromHeader`) was written to `toPath`
  // (record 0 `toHeader`, see ConvertToUnicode): the copy's entries start with the progress of
  // the source's.
  virtual void converted(const std::string& fromPath, const TVocData& fromHeader,
                         const std::string& toPath, const TVocData& toHeader) {
    (void)fromPath, (void)fromHeader, (void)toPath, (void)toHeader;
  }
};

}  // namespace merkhaus
