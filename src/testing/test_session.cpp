// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_session.h"

#include "config/check_rules.h"
#include "flows/empty_lesson.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "text/questions.h"
#include "text/text_rules.h"

namespace merkhaus {

namespace {

constexpr const char* kConfirmAbort = "Wollen sie das Testen dieser Lektion abbrechen?";
constexpr const char* kConfirmEvaluation =
    "Wollen sie das Testen dieser Lektion abbrechen und die Auswertung anzeigen?";
constexpr std::size_t kCaptionLength = 70;

}  // namespace

TestSession::TestSession(Shared& shared, Options& options, Messages& messages, Random& random,
                         LessonChooser& lessons, TestDisplay& display)
    : shared_(shared),
      options_(options),
      messages_(messages),
      random_(random),
      lessons_(lessons),
      display_(display) {}

bool TestSession::StartTest() {
  PrepareTest();
  ClearTestMarks();
  if (shared_.Cancelled) return false;
  TestAdvance();
  return true;
}

void TestSession::PrepareTest() {
  for (;;) {
    // The lesson's header and its entries come from one pass over the DataFile.
    const LessonRead lesson = ReadCurrentLesson(shared_, messages_);
    view_.lessonName = shared_.CurUnit.B1.get();
    view_.lessonComment = shared_.CurUnit.Comment.get();
    view_.nativeLanguage = shared_.DataFileHeader.B2.get();
    view_.foreignLanguage = shared_.DataFileHeader.A1.get();
    view_.caption =
        ToUtf8((WinString("Testen -- ") + shared_.DataFileHeader.B1.get()).left(kCaptionLength));

    if (!LoadTestVocs(lesson)) return;
    if (shared_.VocCount > 0) return;

    if (!ChooseInsteadOfEmptyLesson(shared_, messages_, lessons_)) return;
  }
}

bool TestSession::LoadTestVocs(const LessonRead& lesson) {
  if (!lesson.opened) {
    ShowErr(messages_, "IO-Fehler 802!");
    shared_.Cancelled = 1;
    return false;
  }
  KeepEntries(shared_, lesson);
  TestFinished = false;
  return true;
}

void TestSession::TestAdvance() {
  if (TestFinished) return;
  WinString text = view_.answer.left(kMaxAnswer);
  if (options_.Testen_SpaceCut) text = CutSpaces(text);
  view_.answer = text;
  if (TestAwaitingAnswer) {
    EvaluateTestAnswer();
  } else {
    NextTestQuestion();
  }
  ShowTestCounter();
  if (TestAskedCount >= shared_.VocCount) {
    TestFinished = true;
    display_.ShowTestState();
    messages_.show(MsgKind::Information, "Alle Vokabeln wurden jetzt abgefragt!", MsgButtons::Ok);
    display_.ShowEvaluation();
  }
}

void TestSession::EvaluateTestAnswer() {
  if (view_.answer.empty()) return;
  const WinString text = view_.answer.left(kMaxAnswer);
  TestAnswers[TestCurIndex] = text;
  if (options_.FragezeichenLosung && text.view() == "?") {
    GiveUpQuestion();
    return;
  }
  const bool right =
      CheckAnswer(text, shared_.VocList[TestCurIndex], TestDirection, TestCheckRules(options_));
  view_.answer = WinString();
  TestAsked[TestCurIndex] = 1;
  TestRight[TestCurIndex] = right ? 1 : 0;
  TestAwaitingAnswer = false;
  NextTestQuestion();
}

void TestSession::GiveUpQuestion() {
  // The entry counts as asked and wrong, but its question stays: a later answer replaces the "?".
  TestAsked[TestCurIndex] = 1;
  TestRight[TestCurIndex] = 0;
  view_.answer = WinString();
  ShowTestCounter();
}

void TestSession::CountAsked() {
  int n = 0;
  for (std::size_t i = 0; i < shared_.VocCount; ++i) {
    if (TestAsked[i]) ++n;
  }
  TestAskedCount = static_cast<std::uint8_t>(n);
}

void TestSession::NextTestQuestion() {
  TestAwaitingAnswer = true;
  view_.foreignText = WinString();
  view_.nativeText = WinString();
  view_.comment = WinString();
  CountAsked();
  if (TestAskedCount >= shared_.VocCount) return;
  TestCurIndex = SelectNextTestEntry();
  ChooseTestDirection();

  const TVocData& e = shared_.VocList[TestCurIndex];
  const WinString question = QuestionText(e, TestDirection, options_.testensynonymabfrage, random_);
  (TestDirection == QueryDirection::AB ? view_.foreignText : view_.nativeText) = question;
  if (options_.Testen_showcomments) view_.comment = e.Comment.get();
}

std::uint8_t TestSession::SelectNextTestEntry() {
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

std::uint8_t TestSession::FirstUnasked() const {
  for (std::size_t p = 0; p < shared_.VocCount; ++p) {
    if (!TestAsked[p]) return static_cast<std::uint8_t>(p);
  }
  return 0;
}

// Each walk below visits every entry within VocCount steps, and at least one entry qualifies
// whenever a question is prepared (the entry asked last may come again when it is the only one
// left). The bound only keeps a broken invariant from hanging the program.
std::uint8_t TestSession::NextSystematic() {
  const int count = shared_.VocCount;
  random_.reseed();
  const bool forwards = random_.draw(100) < 50;
  int p = random_.draw(count);
  const bool repeatAllowed = TestAskedCount >= count - 1 || options_.doppelvok;
  for (int step = 0; step <= count; ++step) {
    if (!TestAsked[p] && (repeatAllowed || p != TestCurIndex)) return static_cast<std::uint8_t>(p);
    if (forwards) {
      p = p + 1 > count - 1 ? 0 : p + 1;
    } else {
      p = p - 1 < 0 ? count - 1 : p - 1;
    }
  }
  return FirstUnasked();
}

std::uint8_t TestSession::NextInOrder(bool forwards) {
  const int count = shared_.VocCount;
  int p = TestCurIndex;
  // One step more than a full round: the index asked last may lie beyond a shorter lesson.
  for (int step = 0; step <= count + 1; ++step) {
    p += forwards ? 1 : -1;
    if (p > count - 1) p = 0;
    if (p < 0) p = count - 1;
    if (!TestAsked[p]) return static_cast<std::uint8_t>(p);
  }
  return FirstUnasked();
}

std::uint8_t TestSession::NextRandom() {
  const int count = shared_.VocCount;
  const bool repeatAllowed = count <= 1 || options_.doppelvok;
  const auto fits = [&](int p) { return !TestAsked[p] && (repeatAllowed || p != TestCurIndex); };
  bool any = false;
  for (int p = 0; p < count && !any; ++p)
    any = fits(p);
  if (!any) return FirstUnasked();
  for (;;) {
    const int p = random_.draw(count);
    if (fits(p)) return static_cast<std::uint8_t>(p);
  }
}

void TestSession::ChooseTestDirection() {
  TestDirection = DrawDirection(options_.TestenAbfrageweise, random_);
}

void TestSession::ShowTestCounter() {
  view_.counter = std::to_string(TestAskedCount) + "/" + std::to_string(shared_.VocCount);
}

void TestSession::ChangeLesson() {
  if (!TestFinished &&
      messages_.show(MsgKind::Confirmation, kConfirmAbort, MsgButtons::YesNo) != Answer::Yes) {
    return;
  }
  shared_.Cancelled = 0;
  const std::uint8_t unit = lessons_.SelectUnit(shared_.DataFilePath, false);
  // A choice that ends without a lesson (abandoned, or the list could not be read) leaves the
  // running test as it is, and the lesson being tested stays the current one.
  if (shared_.Cancelled || unit == 0) return;
  const std::uint8_t running = shared_.CurUnitID;
  shared_.CurUnitID = unit;
  try {
    PrepareTest();
  } catch (...) {
    // A read error ends the action; the test goes on with the lesson it was testing.
    shared_.CurUnitID = running;
    throw;
  }
  ClearTestMarks();
  // When the DataFile could not be read, the entries still loaded are tested afresh, also after
  // a finished test.
  TestFinished = false;
  TestAwaitingAnswer = false;
  TestAdvance();
}

void TestSession::RequestEvaluation() {
  if (!TestFinished &&
      messages_.show(MsgKind::Confirmation, kConfirmEvaluation, MsgButtons::YesNo) != Answer::Yes) {
    return;
  }
  display_.ShowEvaluation();
}

bool TestSession::ConfirmEnd() {
  if (!TestFinished &&
      messages_.show(MsgKind::Confirmation, kConfirmAbort, MsgButtons::YesNo) != Answer::Yes) {
    return false;
  }
  TestAwaitingAnswer = false;
  return true;
}

}  // namespace merkhaus
