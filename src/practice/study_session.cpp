// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_session.h"

#include "config/check_rules.h"
#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "text/questions.h"
#include "text/text_rules.h"

namespace merkhaus {

namespace {

constexpr const char* kConfirmAbort = "Wollen sie das Üben dieser Lektion abbrechen?";
constexpr std::size_t kCaptionNameLength = 68;

}  // namespace

WinString MaskTip(const WinString& s, bool advanced) {
  // Counted in characters: a UTF-8 character is kept whole or becomes one '~'.
  std::string out;
  out.reserve(s.size());
  const std::string_view in = s.view();
  std::size_t pos = 0;
  for (std::size_t i = 0; i < in.size();) {
    std::size_t next = i + 1;
    while (next < in.size() && !StartsChar(in[next], s.encoding()))
      ++next;
    ++pos;
    const bool keep = advanced ? pos % 2 == 1 : pos % 3 == 0;
    if (keep) {
      out.append(in.substr(i, next - i));
    } else {
      out += '~';
    }
    i = next;
  }
  return WinString(std::move(out), s.encoding());
}

StudySession::StudySession(Services& services, const Flows& flows, Redraw& window)
    : lesson_(services.lesson),
      options_(services.options),
      messages_(services.messages),
      random_(services.random),
      progress_(services.progress),
      flows_(flows),
      window_(window),
      engine_(entries_, services.options, services.random),
      speech_(services.speaker, services.options, services.messages, services.lesson) {}

bool StudySession::startStudy() {
  engine_.zeroCounters();
  if (!prepareStudy()) return false;
  advance();
  return true;
}

void StudySession::keepEntries(std::vector<TVocData> entries) {
  entries_ = std::move(entries);
  engine_.PracticeDone = false;
  setAnswerMode(true);
}

void StudySession::showLesson() {
  static_cast<LessonHeading&>(view_) = HeadingOf(lesson_);
  view_.caption =
      "Üben -- " + ToUtf8(DataFileName(lesson_.dataFileHeader).left(kCaptionNameLength));
}

bool StudySession::prepareStudy() {
  return LoadLessonToAsk(lesson_, messages_, flows_.lessons,
                         [this](const std::vector<TVocData>* entries) {
                           showLesson();
                           // When the DataFile cannot be read, the entries stay as they were.
                           if (entries) keepEntries(*entries);
                           engine_.MasteredCount = 0;
                         });
}

void StudySession::advance() {
  if (engine_.PracticeDone) return;
  WinString text = view_.answer.left(kMaxAnswer);
  if (options_.Study_SpaceCut) text = CutSpaces(text);
  view_.answer = text;
  setAnswerMode(true);
  if (engine_.AwaitingAnswer) {
    evaluate();
  } else {
    nextQuestion();
  }
  updateCounters();
  if (!engine_.PracticeDone && engine_.MasteredCount >= count()) {
    engine_.PracticeDone = true;
    setAnswerMode(false);
    view_.correctEnabled = false;  // the practice is over: nothing is asked to be corrected
    // The box comes over the window as the last answer left it ("Gekonnt" full).
    window_.redraw();
    messages_.show(MsgKind::Information, "Sie haben alle Vokabeln erfolgreich beherrscht!",
                   MsgButtons::Ok);
  }
}

void StudySession::nextQuestion() {
  view_.foreignColour = kBlack;
  view_.nativeColour = kBlack;
  engine_.AwaitingAnswer = true;
  engine_.Tries = 0;
  helped_ = false;
  // A question answered right on its last try leaves the tip switched off; a new question has
  // all its tries again.
  view_.tipEnabled = engine_.Tries != options_.Neuversuche;
  view_.evaluating = true;
  view_.wrongShown = false;
  view_.rightShown = false;
  view_.answer = WinString();  // a new question starts with an empty answer field
  view_.foreignText = WinString();
  view_.nativeText = WinString();
  view_.comment = WinString();
  view_.foreignShown = false;

  const auto next = engine_.selectNextEntry();
  if (!next) return;
  engine_.CurIndex = *next;
  engine_.chooseDirection();

  const TVocData& e = current();
  // The question is record text of this DataFile: in its encoding.
  const WinString question =
      QuestionText(e, engine_.Direction, options_.Synonymabfrage, random_, lesson_.encoding());
  (engine_.Direction == QueryDirection::AB ? view_.foreignText : view_.nativeText) = question;
  if (options_.Kommentar_zeigen) view_.comment = e.Comment.get(lesson_.encoding());
  if (engine_.Direction == QueryDirection::AB) {
    view_.foreignShown = true;
    speech_.readShown(e);
  }
}

void StudySession::evaluate() {
  if (view_.answer.empty()) return;
  if (options_.FragezeichenLosung && view_.answer.view() == "?") {
    showSolution();
    return;
  }
  CheckRules rules = PracticeCheckRules(options_);
  rules.encoding = lesson_.encoding();
  if (CheckAnswer(view_.answer.left(kMaxAnswer), current(), engine_.Direction, rules)) {
    reportOutcome(engine_.Tries == 0 && !helped_ ? AnswerOutcome::RightFirstTry
                                                 : AnswerOutcome::RightWithHelp);
    view_.answer = WinString();
    engine_.recordRight();
    engine_.AwaitingAnswer = false;
    if (options_.Autoweiterchbx) {
      advance();
    } else {
      setAnswerMode(false);
      view_.rightShown = true;
      revealAnswer(kGreen);
    }
    return;
  }
  if (engine_.recordWrong()) {
    reportOutcome(AnswerOutcome::Failed);
    view_.answer = WinString();
    revealAnswer(kRed);
    setAnswerMode(false);
    engine_.AwaitingAnswer = false;
  }
  view_.wrongShown = true;
  if (options_.clearwhenwrong) view_.answer = WinString();
  if (engine_.Tries >= options_.Neuversuche) view_.tipEnabled = false;
}

void StudySession::reportOutcome(AnswerOutcome outcome) {
  progress_.answered(lesson_, current(), outcome);
}

void StudySession::showSolution() {
  reportOutcome(AnswerOutcome::Failed);
  revealAnswer(kRed);
  engine_.recordSolution();
  engine_.AwaitingAnswer = false;
  setAnswerMode(false);
  view_.answer = WinString();
  updateCounters();
  engine_.Tries = 0;
}

void StudySession::revealAnswer(Rgb colour) {
  const TVocData& e = current();
  if (engine_.Direction == QueryDirection::AB) {
    view_.nativeColour = colour;
    view_.nativeText = JoinSynonyms(e.B1.get(lesson_.encoding()), e.B2.get(lesson_.encoding()),
                                    e.B3.get(lesson_.encoding()));
  } else {
    view_.foreignColour = colour;
    view_.foreignText = JoinSynonyms(e.A1.get(lesson_.encoding()), e.A2.get(lesson_.encoding()),
                                     e.A3.get(lesson_.encoding()));
    view_.foreignShown = true;
    speech_.readShown(e);
  }
}

void StudySession::tip() {
  if (!view_.tipEnabled) return;
  const TVocData& e = current();
  if (engine_.Direction == QueryDirection::AB) {
    view_.nativeColour = kRed;
    view_.nativeText = MaskTip(e.B1.get(lesson_.encoding()), options_.AdvancedTips);
  } else {
    view_.foreignColour = kRed;
    view_.foreignText = MaskTip(e.A1.get(lesson_.encoding()), options_.AdvancedTips);
  }
  engine_.recordTip();
  helped_ = true;
  view_.tipEnabled = false;
}

void StudySession::solution() {
  if (!view_.solutionEnabled) return;
  showSolution();
}

void StudySession::correct() {
  if (engine_.PracticeDone || !view_.correctEnabled) return;
  if (!flows_.entries.quickEditEntry(current(), true)) return;
  // The correction is in the DataFile now; the practice goes on with the lesson as it is there.
  auto entries = LoadLessonEntries(lesson_, messages_);
  if (!entries) return;
  keepEntries(std::move(*entries));
  // The verdict and the answer given belong to the entry as it was: the corrected entry is shown
  // as its question, and "Auswerten" goes on with an empty answer field.
  view_.wrongShown = false;
  view_.rightShown = false;
  view_.answer = WinString();
  view_.foreignColour = kBlack;
  view_.nativeColour = kBlack;
  const TVocData& e = current();
  const bool askedForeign = engine_.Direction == QueryDirection::AB;
  view_.foreignText = askedForeign
                          ? JoinSynonyms(e.A1.get(lesson_.encoding()), e.A2.get(lesson_.encoding()),
                                         e.A3.get(lesson_.encoding()))
                          : WinString();
  view_.nativeText = askedForeign
                         ? WinString()
                         : JoinSynonyms(e.B1.get(lesson_.encoding()), e.B2.get(lesson_.encoding()),
                                        e.B3.get(lesson_.encoding()));
}

void StudySession::changeLesson() {
  if (!engine_.PracticeDone && messages_.show(MsgKind::Confirmation, kConfirmAbort,
                                              MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return;
  }
  const std::optional<std::uint8_t> unit = flows_.lessons.selectLesson(lesson_.dataFilePath, false);
  // A selection that ends without a lesson (abandoned, or the DataFile could not be read) keeps
  // the practice of the current lesson going.
  if (!unit || *unit == 0) return;
  lesson_.unitId = *unit;
  prepareStudy();
  engine_.zeroCounters();
  engine_.AwaitingAnswer = false;
  advance();
}

bool StudySession::confirmEnd() {
  if (!engine_.PracticeDone && messages_.show(MsgKind::Confirmation, kConfirmAbort,
                                              MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  engine_.AwaitingAnswer = false;
  return true;
}

void StudySession::autoAdvance() {
  if (!view_.autoAdvance) return;
  if (options_.AutoWeiterAkt) advance();
}

void StudySession::readAloud() {
  if (view_.foreignShown && !entries_.empty()) speech_.readEntry(current());
}

void StudySession::updateCounters() {
  view_.remaining = std::to_string(engine_.remaining());
  view_.tries = std::to_string(engine_.Tries) + "/" + std::to_string(options_.Neuversuche + 1);
  view_.mastered = std::to_string(engine_.MasteredCount) + "/" + std::to_string(entries_.size());
}

void StudySession::setAnswerMode(bool answerMode) {
  view_.evaluating = answerMode;
  view_.tipEnabled = answerMode && engine_.Tries != options_.Neuversuche;
  view_.solutionEnabled = answerMode;
  view_.correctEnabled = !answerMode;
  view_.autoAdvance = !answerMode;
}

}  // namespace merkhaus
