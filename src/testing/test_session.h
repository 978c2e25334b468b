// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include <vector>

#include "flows/flows.h"
#include "flows/lesson_loading.h"
#include "flows/read_aloud.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "platform/win_string.h"
#include "store/vocdata.h"
#include "text/answer_check.h"

namespace merkhaus {

// Everything the test window shows. The window copies it into its controls after every call
// into TestSession; it decides nothing itself.
struct TestView : LessonHeading {
  std::string caption = "Testen";  // UTF-8
  WinString foreignText;           // the question, when it comes from the A side
  WinString nativeText;            // the question, when it comes from the B side
  WinString comment;
  WinString answer;           // the answer field
  std::string counter = "-";  // "asked/entries"
  bool foreignShown = false;  // the question is the foreign side: "Vorlesen" may read it
  // Grows whenever the evaluation is to be shown beside the test, filled from the test as it
  // stands when the action ends.
  unsigned evaluationRequests = 0;
};

// The test of one lesson as the window "Testen" runs it: every entry is asked once, judged
// under the test's own options and remembered with the answer given; nothing tells the learner
// whether an answer was right until the evaluation. Made once with its window and kept for the
// whole run: the marks and answers of the last test stay for its evaluation, and TestCurIndex
// carries over, so a new test in order starts after the entry asked last. It owns the entries of
// the lesson it tests.
class TestSession {
 public:
  // `window` is shown before the box that ends the test.
  TestSession(Services& services, const Flows& flows, Redraw& window = Unseen());

  const TestView& view() const { return view_; }
  // The encoding of the tested DataFile's texts.
  TextEncoding encoding() const { return lesson_.encoding(); }
  // The entries of the lesson tested, at most 255 in file order.
  const std::vector<TVocData>& entries() const { return entries_; }

  // The answer field as the learner left it; call before every action below.
  void setAnswer(const WinString& text) { view_.answer = text; }

  // Starts a test on the current lesson: prepares the lesson, clears the marks and asks the
  // first question. False when the test does not start: the window is not shown.
  bool startTest();

  // "&Weiter" and Enter: judges the answer, or shows the next question; ends the test with the
  // evaluation once every entry has been asked.
  void testAdvance();
  // "Lektion": after confirmation, a new test on another lesson of the DataFile.
  void changeLesson();
  // "Auswertung": after confirmation, the evaluation of the answers given so far.
  void requestEvaluation();
  // "Ende": true when the test may end (confirmed, or finished).
  bool confirmEnd();
  // "Vorlesen": the foreign side of the entry asked, when it is the question.
  void readAloud();
  const ReadAloud& speech() const { return speech_; }

  // The steps the actions are made of, open for tests. PrepareTest is false when no lesson with
  // entries could be read.
  bool prepareTest();
  void clearTestMarks() { TestAsked.fill(0); }
  void evaluateTestAnswer();
  void giveUpQuestion();
  void nextTestQuestion();
  std::uint8_t selectNextTestEntry();
  void chooseTestDirection();
  void showTestCounter();

  // The state of the test. Indexed like entries(); TestRight and TestAnswers mean something only
  // where TestAsked is set.
  std::array<std::uint8_t, 256> TestAsked{};  // asked in this test
  std::array<std::uint8_t, 256> TestRight{};  // the last judged answer was right
  std::array<WinString, 256> TestAnswers{};   // the last answer, as it was judged
  std::uint8_t TestAskedCount = 0;            // counted when a question was last prepared
  std::uint8_t TestCurIndex = 0;              // the entry asked now or last; never reset
  QueryDirection TestDirection = QueryDirection::AB;
  bool TestAwaitingAnswer = false;  // a question is shown and not answered yet
  bool TestFinished = false;        // every entry has been asked; no more answers

 private:
  void showLesson();
  void countAsked();
  // Keeps the finished test for the lesson's history.
  void reportFinished();

  int count() const { return static_cast<int>(entries_.size()); }

  LessonContext& lesson_;
  Options& options_;
  Messages& messages_;
  Random& random_;
  LessonChooser& lessons_;
  ProgressRecorder& progress_;
  Redraw& window_;
  std::vector<TVocData> entries_;
  TestView view_;
  ReadAloud speech_;
};

}  // namespace merkhaus
