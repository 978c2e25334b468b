// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_session.h"

#include "config/check_rules.h"
#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "testing/error_quotient.h"
#include "text/questions.h"
#include "text/text_rules.h"

namespace merkhaus {

namespace {

constexpr const char* kConfirmAbort = "Wollen sie das Testen dieser Lektion abbrechen?";
constexpr const char* kConfirmEvaluation =
    "Wollen sie das Testen dieser Lektion abbrechen und die Auswertung anzeigen?";
constexpr std::size_t kCaptionLength = 70;

}  // namespace

TestSession::TestSession(Services& services, const Flows& flows, Redraw& window)
    : lesson_(services.lesson),
      options_(services.options),
      messages_(services.messages),
      random_(services.random),
      lessons_(flows.lessons),
      progress_(services.progress),
      window_(window),
      speech_(services.speaker, services.options, services.messages, services.lesson) {}

bool TestSession::startTest() {
  const bool prepared = prepareTest();
  clearTestMarks();
  if (!prepared) return false;
  testAdvance();
  return true;
}

void TestSession::showLesson() {
  static_cast<LessonHeading&>(view_) = HeadingOf(lesson_);
  view_.caption =
      ToUtf8((WinString("Testen -- ") + DataFileName(lesson_.dataFileHeader)).left(kCaptionLength));
}

bool TestSession::prepareTest() {
  return LoadLessonToAsk(lesson_, messages_, lessons_,
                         [this](const std::vector<TVocData>* entries) {
                           showLesson();
                           // When the DataFile cannot be read, the entries stay as they were.
                           if (!entries) return;
                           entries_ = *entries;
                           TestFinished = false;
                         });
}

void TestSession::testAdvance() {
  if (TestFinished) return;
  WinString text = view_.answer.left(kMaxAnswer);
  if (options_.Testen_SpaceCut) text = CutSpaces(text);
  view_.answer = text;
  if (TestAwaitingAnswer) {
    evaluateTestAnswer();
  } else {
    nextTestQuestion();
  }
  showTestCounter();
  if (TestAskedCount >= count()) {
    TestFinished = true;
    reportFinished();
    window_.redraw();
    messages_.show(MsgKind::Information, "Alle Vokabeln wurden jetzt abgefragt!", MsgButtons::Ok);
    ++view_.evaluationRequests;
  }
}

void TestSession::reportFinished() {
  int asked = 0;
  int right = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (!TestAsked[i]) continue;
    ++asked;
    if (TestRight[i]) ++right;
  }
  // A test that ended without a question (no entries left to ask) has nothing to keep.
  if (asked == 0) return;
  progress_.testFinished(lesson_, right, asked,
                         ErrorQuotient(static_cast<unsigned>(right), static_cast<unsigned>(asked)));
}

void TestSession::evaluateTestAnswer() {
  if (view_.answer.empty()) return;
  const WinString text = view_.answer.left(kMaxAnswer);
  TestAnswers[TestCurIndex] = text;
  if (options_.FragezeichenLosung && text.view() == "?") {
    giveUpQuestion();
    return;
  }
  const bool right = CheckAnswer(text, entries_[TestCurIndex], TestDirection, [&] {
    CheckRules rules = TestCheckRules(options_);
    rules.encoding = lesson_.encoding();
    return rules;
  }());
  view_.answer = WinString();
  TestAsked[TestCurIndex] = 1;
  TestRight[TestCurIndex] = right ? 1 : 0;
  progress_.answered(lesson_, entries_[TestCurIndex],
                     right ? AnswerOutcome::RightFirstTry : AnswerOutcome::Failed);
  TestAwaitingAnswer = false;
  nextTestQuestion();
}

void TestSession::giveUpQuestion() {
  // The entry counts as asked and wrong, but its question stays: a later answer replaces the "?".
  TestAsked[TestCurIndex] = 1;
  TestRight[TestCurIndex] = 0;
  progress_.answered(lesson_, entries_[TestCurIndex], AnswerOutcome::Failed);
  view_.answer = WinString();
  showTestCounter();
}

void TestSession::countAsked() {
  int n = 0;
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (TestAsked[i]) ++n;
  }
  TestAskedCount = static_cast<std::uint8_t>(n);
}

void TestSession::nextTestQuestion() {
  TestAwaitingAnswer = true;
  view_.foreignText = WinString();
  view_.nativeText = WinString();
  view_.comment = WinString();
  view_.foreignShown = false;
  countAsked();
  if (TestAskedCount >= count()) return;
  TestCurIndex = selectNextTestEntry();
  chooseTestDirection();

  const TVocData& e = entries_[TestCurIndex];
  // The question is record text of this DataFile: in its encoding.
  const WinString question =
      QuestionText(e, TestDirection, options_.testensynonymabfrage, random_, lesson_.encoding());
  (TestDirection == QueryDirection::AB ? view_.foreignText : view_.nativeText) = question;
  if (options_.Testen_showcomments) view_.comment = e.Comment.get(lesson_.encoding());
  if (TestDirection == QueryDirection::AB) {
    view_.foreignShown = true;
    speech_.readShown(e);
  }
}

void TestSession::readAloud() {
  if (view_.foreignShown && TestCurIndex < entries_.size())
    speech_.readEntry(entries_[TestCurIndex]);
}

std::uint8_t TestSession::selectNextTestEntry() {
  // A question is prepared only while an entry is open, so there always is one.
  const auto next = PickNextEntry(
      options_.algorithmus, count(), TestCurIndex, [this](int i) { return TestAsked[i] == 0; },
      options_.doppelvok, random_);
  return static_cast<std::uint8_t>(next.value_or(0));
}

void TestSession::chooseTestDirection() {
  TestDirection = DrawDirection(options_.TestenAbfrageweise, random_);
}

void TestSession::showTestCounter() {
  view_.counter = std::to_string(TestAskedCount) + "/" + std::to_string(entries_.size());
}

void TestSession::changeLesson() {
  if (!TestFinished && messages_.show(MsgKind::Confirmation, kConfirmAbort,
                                      MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const std::optional<std::uint8_t> unit = lessons_.selectLesson(lesson_.dataFilePath, false);
  // A choice that ends without a lesson (abandoned, or the list could not be read) leaves the
  // running test as it is, and the lesson being tested stays the current one.
  if (!unit || *unit == 0) return;
  const std::uint8_t running = lesson_.unitId;
  lesson_.unitId = *unit;
  try {
    prepareTest();
  } catch (...) {
    // A read error ends the action; the test goes on with the lesson it was testing.
    lesson_.unitId = running;
    throw;
  }
  clearTestMarks();
  // When the DataFile could not be read, the entries still loaded are tested afresh, also after
  // a finished test.
  TestFinished = false;
  TestAwaitingAnswer = false;
  testAdvance();
}

void TestSession::requestEvaluation() {
  if (!TestFinished && messages_.show(MsgKind::Confirmation, kConfirmEvaluation,
                                      MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  ++view_.evaluationRequests;
}

bool TestSession::confirmEnd() {
  if (!TestFinished && messages_.show(MsgKind::Confirmation, kConfirmAbort,
                                      MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  TestAwaitingAnswer = false;
  return true;
}

}  // namespace merkhaus
