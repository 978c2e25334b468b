// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include <vector>

#include "flows/flows.h"
#include "flows/lesson_loading.h"
#include "flows/read_aloud.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "platform/win_string.h"
#include "practice/study_engine.h"
#include "store/vocdata.h"

namespace merkhaus {

// A text colour of the question and answer boxes.
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kGreen{0, 128, 0};  // the answer after a right answer
inline constexpr Rgb kRed{255, 0, 0};    // the solution and the tip

// Everything the practice window shows. The window copies it into its controls after every call
// into StudySession; it decides nothing itself.
struct StudyView : LessonHeading {
  std::string caption = "Üben";  // UTF-8
  WinString foreignText;         // the A side: question or answer
  WinString nativeText;          // the B side
  WinString comment;
  Rgb foreignColour = kBlack;
  Rgb nativeColour = kBlack;
  WinString answer;         // the answer field
  bool wrongShown = false;  // "Falsch"
  bool rightShown = false;  // "Richtig"
  bool evaluating = true;   // the advance button judges the answer; false: it moves on
  bool tipEnabled = true;
  bool correctEnabled = false;  // the quick edit of the entry just asked
  bool solutionEnabled = true;
  bool autoAdvance = false;     // the auto-advance timer runs (review mode)
  bool foreignShown = false;    // the foreign side is shown in full: "Vorlesen" may read it
  std::string remaining = "-";  // right answers the entry still needs
  std::string tries = "-";      // "try/allowed"
  std::string mastered = "-";   // "mastered/entries"
};

// The tip: every character at an even position (counted from 1) becomes "~" when detailed,
// otherwise every character at a position not divisible by 3.
WinString MaskTip(const WinString& s, bool advanced);

// The practice of one lesson as the window "Üben" runs it: which question is shown, how an
// answer is judged and what the window shows afterwards. Made once with its window and kept for
// the whole run; the engine inside it keeps CurIndex from one practice to the next. It owns the
// entries of the lesson it practises.
class StudySession {
 public:
  StudySession(Services& services, const Flows& flows, Redraw& window = Unseen());

  const StudyView& view() const { return view_; }
  StudyEngine& engine() { return engine_; }
  const StudyEngine& engine() const { return engine_; }
  // The entries of the lesson practised, at most 255 in file order.
  const std::vector<TVocData>& entries() const { return entries_; }

  // The answer field as the learner left it; call before every action below.
  void setAnswer(const WinString& text) { view_.answer = text; }

  // Starts a practice on the current lesson: clears the counters, prepares the lesson and asks
  // the first question. False when the practice does not start: the window is not shown.
  bool startStudy();

  // Judges the answer or shows the next question, and announces the end of the practice.
  void advance();
  // The tip (ignored while it is disabled).
  void tip();
  // The solution, on request (ignored while it is disabled).
  void solution();
  // The quick edit of the entry just asked; the lesson is reloaded after a change.
  void correct();
  // After confirmation, another lesson of the DataFile.
  void changeLesson();
  // True when the practice may end (confirmed, or done).
  bool confirmEnd();
  // The auto-advance timer fired.
  void autoAdvance();
  // "Vorlesen": the foreign side of the entry asked, while it is shown in full (never the
  // answer the learner is still to give).
  void readAloud();
  const ReadAloud& speech() const { return speech_; }
  // The timer's interval, to be set whenever the window becomes active.
  int timerInterval() const { return options_.Autoweiter * 333; }

  // The steps the actions are made of, open for tests. PrepareStudy is false when no lesson with
  // entries could be read.
  bool prepareStudy();
  void nextQuestion();
  void evaluate();
  void showSolution();
  void revealAnswer(Rgb colour);
  void updateCounters();
  void setAnswerMode(bool answerMode);

 private:
  // Keeps the entries of a lesson read; a load also clears PracticeDone and switches to answer
  // mode.
  void keepEntries(std::vector<TVocData> entries);
  void showLesson();
  // Reports how the question just resolved went.
  void reportOutcome(AnswerOutcome outcome);
  const TVocData& current() const { return entries_[engine_.CurIndex]; }
  int count() const { return static_cast<int>(entries_.size()); }

  LessonContext& lesson_;
  Options& options_;
  Messages& messages_;
  Random& random_;
  ProgressRecorder& progress_;
  Flows flows_;
  Redraw& window_;
  std::vector<TVocData> entries_;
  bool helped_ = false;  // a tip was shown for the current question
  StudyEngine engine_;
  StudyView view_;
  ReadAloud speech_;
};

}  // namespace merkhaus
