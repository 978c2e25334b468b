// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "config/options.h"
#include "platform/random.h"
#include "store/vocdata.h"
#include "text/answer_check.h"

namespace merkhaus {

// The memory and the decisions of a practice: two counters per entry of the practice, the
// choice of the next entry and its direction, the points every answer, tip and solution earns,
// and when an entry is mastered. One engine lives for the whole run, so CurIndex carries over
// from one practice to the next (a new practice in order starts after the entry asked last).
class StudyEngine {
 public:
  // `entries` are the entries of the practice, owned by its session.
  StudyEngine(const std::vector<TVocData>& entries, const Options& options, Random& random)
      : entries_(entries), options_(options), random_(random) {}

  // Clears the counters of all 256 entries.
  void zeroCounters();

  // The index of the entry to ask next under `algorithmus` (PickNextEntry), or nothing when no
  // entry can be asked (every entry mastered, or none loaded). Updates MasteredCount.
  std::optional<std::uint8_t> selectNextEntry();

  // Sets Direction for a new question from `Abfrageweise`.
  void chooseDirection();

  // Successes minus penalties (as a signed number) of entry i has reached KickoutVal.
  bool isMastered(std::size_t i) const;

  // Right answers the current entry still needs: zero or negative once it is mastered.
  int remaining() const;

  // Counter changes of the current entry (CurIndex).
  void recordRight();
  // A wrong answer costs one point. Returns true when the question is lost: the learner had
  // already spent all `Neuversuche` retries. Tries grows by one either way.
  bool recordWrong();
  void recordTip();
  // The solution costs Losungstrafe less the tries already spent, so a question given up costs
  // Losungstrafe points in all. The caller sets Tries to 0 once the counters have been shown.
  void recordSolution();

  // Half of `Losungstrafe`, halves rounded to the even neighbour.
  static int tipPenalty(int losungstrafe);

  std::array<std::uint16_t, 256> Successes{};
  std::array<std::uint16_t, 256> Penalties{};
  std::uint8_t CurIndex = 0;
  QueryDirection Direction = QueryDirection::AB;
  std::uint8_t Tries = 0;
  std::uint8_t MasteredCount = 0;
  bool AwaitingAnswer = false;
  bool PracticeDone = false;

 private:
  void countMastered();

  int count() const { return static_cast<int>(entries_.size()); }

  const std::vector<TVocData>& entries_;
  const Options& options_;
  Random& random_;
};

}  // namespace merkhaus
