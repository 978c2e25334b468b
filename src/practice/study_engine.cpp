// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_engine.h"

#include "text/questions.h"

namespace merkhaus {

namespace {
// Every walk is bounded by one more step than a lesson has entries.
constexpr int kWalkSteps = 256;
}  // namespace

void StudyEngine::ZeroCounters() {
  Successes.fill(0);
  Penalties.fill(0);
}

bool StudyEngine::IsMastered(std::size_t i) const {
  return int{Successes[i]} - int{Penalties[i]} >= options_.KickoutVal;
}

int StudyEngine::Remaining() const {
  return options_.KickoutVal - (int{Successes[CurIndex]} - int{Penalties[CurIndex]});
}

void StudyEngine::CountMastered() {
  int n = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (IsMastered(i)) ++n;
  }
  MasteredCount = static_cast<std::uint8_t>(n);
}

bool StudyEngine::RepeatAllowed() const {
  return options_.doppelvok || MasteredCount + 1 >= count();
}

std::optional<std::uint8_t> StudyEngine::SelectNextEntry() {
  switch (options_.algorithmus) {
    case 1:
      return NextInOrder(true);
    case 2:
      return NextInOrder(false);
    case 3:
      return NextRandom();
    default:  // 0, and a configuration that names no order
      return NextSystematic();
  }
}

std::optional<std::uint8_t> StudyEngine::NextSystematic() {
  CountMastered();
  const int count = this->count();
  if (count == 0) return std::nullopt;
  random_.reseed();
  const bool forwards = random_.draw(100) < 50;
  int p = random_.draw(count);
  for (int step = 0; step < kWalkSteps; ++step) {
    if (!IsMastered(p) && (RepeatAllowed() || p != CurIndex)) return static_cast<std::uint8_t>(p);
    if (forwards) {
      p = p + 1 > count - 1 ? 0 : p + 1;
    } else {
      p = p - 1 < 0 ? count - 1 : p - 1;
    }
  }
  return std::nullopt;
}

std::optional<std::uint8_t> StudyEngine::NextInOrder(bool forwards) {
  CountMastered();
  const int count = this->count();
  if (count == 0) return std::nullopt;
  int p = CurIndex;
  for (int step = 0; step < kWalkSteps; ++step) {
    p += forwards ? 1 : -1;
    // CurIndex may lie beyond a lesson that is shorter than the last one.
    if (p > count - 1) p = 0;
    if (p < 0) p = count - 1;
    if (!IsMastered(p)) return static_cast<std::uint8_t>(p);
  }
  return std::nullopt;
}

std::optional<std::uint8_t> StudyEngine::NextRandom() {
  CountMastered();
  const int count = this->count();
  if (MasteredCount >= count) return std::nullopt;
  // At least one entry is open, and when only CurIndex is open a repeat is allowed, so this ends.
  for (;;) {
    const int p = random_.draw(count);
    if (!IsMastered(p) && (RepeatAllowed() || p != CurIndex)) return static_cast<std::uint8_t>(p);
  }
}

void StudyEngine::ChooseDirection() {
  Direction = DrawDirection(options_.Abfrageweise, random_);
}

void StudyEngine::RecordRight() {
  ++Successes[CurIndex];
}

bool StudyEngine::RecordWrong() {
  const bool lost = Tries >= options_.Neuversuche;
  ++Penalties[CurIndex];
  ++Tries;
  return lost;
}

int StudyEngine::TipPenalty(int losungstrafe) {
  const int half = losungstrafe / 2;
  return (losungstrafe % 2 != 0 && half % 2 != 0) ? half + 1 : half;
}

void StudyEngine::RecordTip() {
  Penalties[CurIndex] =
      static_cast<std::uint16_t>(Penalties[CurIndex] + TipPenalty(options_.Losungstrafe));
  ++Tries;
}

void StudyEngine::RecordSolution() {
  // Tips that cost nothing (Losungstrafe 1) can leave more tries than the solution costs; the
  // difference then gives points back, but never more than the entry holds: a count below zero
  // would wrap to 65535 and the entry could never be mastered.
  const int sum = int{Penalties[CurIndex]} + options_.Losungstrafe - Tries;
  Penalties[CurIndex] = static_cast<std::uint16_t>(sum < 0 ? 0 : sum);
}

}  // namespace merkhaus
