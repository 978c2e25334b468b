// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "flows/flows.h"
#include "flows/lesson_context.h"
#include "flows/read_aloud.h"
#include "flows/services.h"
#include "platform/win_string.h"
#include "progress/progress_figures.h"
#include "progress/progress_keeper.h"
#include "text/answer_check.h"

namespace merkhaus {

// How the learner answers in "Wiederholen" (MoreOptions::reviewStyle).
enum class ReviewStyle {
  Typed = 0,  // typed and checked as in practice, graded by how it went
  Card = 1,   // the answer turned over, graded by the learner ("Karteikarte")
};

// Everything the review window shows; the window copies it into its controls after every call
// into ReviewSession.
struct ReviewView {
  std::string caption = "Wiederholen";  // UTF-8
  WinString lessonName;                 // the lesson of the entry asked
  WinString foreignLanguage;            // heading of the A side
  WinString nativeLanguage;             // heading of the B side
  WinString foreignText;
  WinString nativeText;
  WinString comment;
  bool answerShown = false;    // the answer side is shown, in colour when typed
  bool answerRight = false;    // typed: the answer was right (green), otherwise red
  WinString answer;            // the answer field (typed)
  bool wrongShown = false;     // "Falsch" (typed)
  bool answerOnNative = true;  // the answer is the B side (the question came from the A side)
  bool foreignShown = false;   // the foreign side is shown in full: "Vorlesen" may read it
  ReviewStyle style = ReviewStyle::Typed;   // the chosen style
  ReviewStyle asking = ReviewStyle::Typed;  // the style of the entry asked now
  bool grading = false;                     // card: the four grade buttons are active
  // card: the interval each grade leads to, "1 Tag" ... "3,5 Monate"
  std::array<std::string, 4> intervals;
  bool correctEnabled = false;
  std::string counter = "-";  // "asked/queue"
  bool finished = false;
};

// "Wiederholen": the entries of the chosen DataFile that are due today, the least likely to be
// remembered first, then a few never asked ones in lesson order. Every answer is one review in
// the progress database; the DataFile is only read.
class ReviewSession {
 public:
  // The encoding of the reviewed DataFile's texts.
  TextEncoding encoding() const { return EncodingOf(header_); }
  ReviewSession(Services& services, const Flows& flows, ProgressKeeper* keeper);

  const ReviewView& view() const { return view_; }
  const std::vector<ReviewItem>& queue() const { return queue_; }

  void setAnswer(const WinString& text) { view_.answer = text; }

  // Reads what is due on the context's DataFile and asks the first entry. False, after a
  // message, when there is nothing to review or it cannot be read.
  bool startReview();
  // Typed: judges the answer, or moves on once the answer is shown. Card: turns the card over.
  void advance();
  // Typed: shows the solution, graded "Nochmal".
  void solution();
  // Card: the learner's grade, 1 "Nochmal" to 4 "Leicht", once the card is turned over.
  void grade(Grade grade);
  // Switches the answer style from the next entry on (the current one keeps its own), and
  // remembers it.
  void setStyle(ReviewStyle style);
  // The quick edit of the entry just answered.
  void correct();
  // "Vorlesen": reads the foreign side of the entry asked, once it is shown.
  void readAloud();
  const ReadAloud& speech() const { return speech_; }

  // How an interval reads on a grade button: "1 Tag", "12 Tage", "3,5 Monate", "1,2 Jahre".
  static std::string IntervalText(int days);

 private:
  // The store with the DataFile reviewed in it; nothing when the database cannot be used.
  std::optional<ProgressKeeper::Link> link();
  void ask();
  void record(Grade grade);
  void next();
  void finish();
  const ReviewItem& current() const { return queue_[index_]; }
  // The foreign side has just come into view, as the question or as the answer.
  void showForeign();
  void showAnswerSide(const TVocData& e);

  Services& services_;
  Flows flows_;
  ProgressKeeper* keeper_;
  std::string path_;
  TVocData header_{};
  Day today_ = 0;
  std::vector<ReviewItem> queue_;
  std::map<std::uint8_t, WinString> lessonNames_;
  std::size_t index_ = 0;
  int asked_ = 0;
  QueryDirection direction_ = QueryDirection::AB;
  int tries_ = 0;
  bool resolved_ = false;  // typed: the entry has its grade
  ReviewView view_;
  // The chosen DataFile's header, read afresh, so that its entries are read in its own language
  // whatever DataFile the rest of the program last looked at.
  LessonContext speechLesson_;
  ReadAloud speech_;
};

// The caption of the main window's button: "Wiederholen (23)" with the number of entries of the
// current DataFile (or the command line's) due today; "Wiederholen" when there is none or no
// count.
std::string ReviewCaption(Services& services);

}  // namespace merkhaus
