// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_engine.h"

#include "text/questions.h"

namespace merkhaus {

void StudyEngine::zeroCounters() {
  Successes.fill(0);
  Penalties.fill(0);
}

bool StudyEngine::isMastered(std::size_t i) const {
  return int{Successes[i]} - int{Penalties[i]} >= options_.KickoutVal;
}

int StudyEngine::remaining() const {
  return options_.KickoutVal - (int{Successes[CurIndex]} - int{Penalties[CurIndex]});
}

void StudyEngine::countMastered() {
  int n = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (isMastered(i)) ++n;
  }
  MasteredCount = static_cast<std::uint8_t>(n);
}

std::optional<std::uint8_t> StudyEngine::selectNextEntry() {
  countMastered();
  const auto next = PickNextEntry(
      options_.algorithmus, count(), CurIndex, [this](int i) { return !isMastered(i); },
      options_.doppelvok, random_);
  if (!next) return std::nullopt;
  return static_cast<std::uint8_t>(*next);
}

void StudyEngine::chooseDirection() {
  Direction = DrawDirection(options_.Abfrageweise, random_);
}

void StudyEngine::recordRight() {
  ++Successes[CurIndex];
}

bool StudyEngine::recordWrong() {
  const bool lost = Tries >= options_.Neuversuche;
  ++Penalties[CurIndex];
  ++Tries;
  return lost;
}

int StudyEngine::tipPenalty(int losungstrafe) {
  const int half = losungstrafe / 2;
  return (losungstrafe % 2 != 0 && half % 2 != 0) ? half + 1 : half;
}

void StudyEngine::recordTip() {
  Penalties[CurIndex] =
      static_cast<std::uint16_t>(Penalties[CurIndex] + tipPenalty(options_.Losungstrafe));
  ++Tries;
}

void StudyEngine::recordSolution() {
  // Tips that cost nothing (Losungstrafe 1) can leave more tries than the solution costs; the
  // difference then gives points back, but never more than the entry holds: a count below zero
  // would wrap to 65535 and the entry could never be mastered.
  const int sum = int{Penalties[CurIndex]} + options_.Losungstrafe - Tries;
  Penalties[CurIndex] = static_cast<std::uint16_t>(sum < 0 ? 0 : sum);
}

}  // namespace merkhaus
