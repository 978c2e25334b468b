// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/review_session.h"

#include <cmath>
#include <cstdio>

#include "config/check_rules.h"
#include "platform/cp1252.h"
#include "progress/datafile_read.h"
#include "text/questions.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

constexpr std::size_t kCaptionNameLength = 68;

// "10.12.2026", as the learner reads dates.
std::string GermanDate(Day day) {
  const std::string iso = FormatDay(day);  // YYYY-MM-DD
  return iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4);
}

std::string Vocabularies(int n) {
  return std::to_string(n) + (n == 1 ? " Vokabel" : " Vokabeln");
}

// When the next entries are due, as the last line of a message.
std::string NextDueText(const std::optional<NextDue>& next) {
  if (!next) return "Zurzeit wartet keine Vokabel auf eine Wiederholung.";
  return "Als nächstes " + std::string(next->count == 1 ? "ist " : "sind ") +
         Vocabularies(next->count) + " am " + GermanDate(next->day) + " fällig.";
}

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", value);
  std::string s = text;
  for (char& c : s) {
    if (c == '.') c = ',';
  }
  if (s.size() > 2 && s.compare(s.size() - 2, 2, ",0") == 0) s.resize(s.size() - 2);
  return s;
}

}  // namespace

ReviewSession::ReviewSession(Services& services, const Flows& flows, ProgressKeeper* keeper)
    : services_(services),
      flows_(flows),
      keeper_(keeper),
      speech_(services.speaker, services.options, services.messages, speechLesson_) {}

std::string ReviewSession::IntervalText(int days) {
  if (days < 31) return std::to_string(days) + (days == 1 ? " Tag" : " Tage");
  if (days < 365) {
    const std::string months = OneDecimal(days / 30.4375);
    return months + (months == "1" ? " Monat" : " Monate");
  }
  const std::string years = OneDecimal(days / 365.25);
  return years + (years == "1" ? " Jahr" : " Jahre");
}

std::optional<ProgressKeeper::Link> ReviewSession::link() {
  return LinkChosen(keeper_, path_, header_);
}

bool ReviewSession::startReview() {
  Messages& messages = services_.messages;
  const auto chosen = ReadChosenDataFile(services_.lesson.dataFilePath, messages);
  if (!chosen) return false;
  path_ = chosen->path;
  header_ = chosen->header;
  speechLesson_.dataFileHeader = header_;
  view_ = ReviewView{};
  view_.caption = "Wiederholen -- " + ToUtf8(DataFileName(header_).left(kCaptionNameLength));
  view_.foreignLanguage = ForeignLanguage(header_);
  view_.nativeLanguage = NativeLanguage(header_);
  view_.style = static_cast<ReviewStyle>(static_cast<int>(services_.options.more.reviewStyle));

  const bool toldBefore = !keeper_ || keeper_->told();
  const auto link = this->link();
  if (!link) {
    // The keeper has said why once; a later try still deserves an answer.
    if (toldBefore) {
      messages.show(MsgKind::Warning,
                    "Der Lernstand kann nicht geführt werden; ohne ihn gibt es nichts zu "
                    "wiederholen.",
                    MsgButtons::Ok);
    }
    return false;
  }
  today_ = keeper_->today();
  const auto states = link->store.dueStates(link->file, today_);
  if (!states) {
    keeper_->failed(states.error());
    return false;
  }
  DueRequest request;
  request.today = today_;
  request.queue = true;
  request.newEntries = services_.options.more.newEntriesPerDay;
  auto due = ScanDue(path_, *states, request);
  if (!due) {
    ShowFileError(messages, "Das DataFile kann nicht gelesen werden.", due.error());
    return false;
  }
  if (due->queue.empty()) {
    std::optional<NextDue> next;
    if (const auto all = link->store.states(link->file)) {
      if (const auto figures = ScanFigures(path_, *all, today_, 1)) next = figures->nextDue;
    }
    messages.show(MsgKind::Information,
                  "Heute ist in diesem DataFile nichts zu wiederholen.\n" + NextDueText(next),
                  MsgButtons::Ok);
    return false;
  }
  queue_ = std::move(due->queue);
  lessonNames_.clear();
  for (const LessonDue& l : due->lessons)
    lessonNames_[l.unitId] = l.name;
  index_ = 0;
  asked_ = 0;
  ask();
  return true;
}

void ReviewSession::ask() {
  const Options& options = services_.options;
  const TVocData& e = current().entry;
  view_.asking = view_.style;
  tries_ = 0;
  resolved_ = false;
  view_.lessonName = lessonNames_[current().unitId];
  view_.answer = WinString();
  view_.answerShown = false;
  view_.answerRight = false;
  view_.wrongShown = false;
  view_.grading = false;
  view_.correctEnabled = false;
  view_.intervals = {};
  view_.foreignText = WinString();
  view_.nativeText = WinString();
  view_.comment = WinString();
  direction_ = DrawDirection(options.Abfrageweise, services_.random);
  view_.answerOnNative = direction_ == QueryDirection::AB;
  // The question is record text of the entry's DataFile: in its encoding.
  const WinString question =
      QuestionText(e, direction_, options.Synonymabfrage, services_.random, EncodingOf(header_));
  (direction_ == QueryDirection::AB ? view_.foreignText : view_.nativeText) = question;
  if (options.Kommentar_zeigen) view_.comment = e.Comment.get(EncodingOf(header_));
  view_.counter = std::to_string(index_ + 1) + "/" + std::to_string(queue_.size());
  view_.foreignShown = false;
  if (direction_ == QueryDirection::AB) showForeign();
}

void ReviewSession::showForeign() {
  view_.foreignShown = true;
  speech_.readShown(current().entry);
}

void ReviewSession::readAloud() {
  if (view_.finished || !view_.foreignShown || queue_.empty()) return;
  speech_.readEntry(current().entry);
}

// The side that answers the question, all of its synonyms.
void ReviewSession::showAnswerSide(const TVocData& e) {
  const TextEncoding encoding = EncodingOf(header_);
  if (direction_ == QueryDirection::AB) {
    view_.nativeText = JoinSynonyms(e.B1.get(encoding), e.B2.get(encoding), e.B3.get(encoding));
  } else {
    view_.foreignText = JoinSynonyms(e.A1.get(encoding), e.A2.get(encoding), e.A3.get(encoding));
    showForeign();
  }
}

void ReviewSession::advance() {
  if (view_.finished) return;
  if (view_.asking == ReviewStyle::Card) {
    if (view_.answerShown) return;  // a card turned over waits for its grade
    const TVocData& e = current().entry;
    view_.answerShown = true;
    view_.answerRight = true;
    showAnswerSide(e);
    const auto days = NextIntervals(current().state, today_, keeper_->params());
    for (std::size_t i = 0; i < days.size(); ++i)
      view_.intervals[i] = IntervalText(days[i]);
    view_.grading = true;
    view_.correctEnabled = true;
    return;
  }
  if (resolved_) {
    next();
    return;
  }
  const Options& options = services_.options;
  WinString text = view_.answer.left(kMaxAnswer);
  if (options.Study_SpaceCut) text = CutSpaces(text);
  view_.answer = text;
  if (text.empty()) return;
  if (options.FragezeichenLosung && text.view() == "?") {
    solution();
    return;
  }
  CheckRules rules = PracticeCheckRules(options);
  rules.encoding = EncodingOf(header_);
  if (CheckAnswer(text, current().entry, direction_, rules)) {
    view_.answer = WinString();
    view_.answerRight = true;
    record(tries_ == 0 ? Grade::Good : Grade::Hard);
    return;
  }
  view_.wrongShown = true;
  if (options.clearwhenwrong) view_.answer = WinString();
  if (++tries_ > options.Neuversuche) solution();
}

void ReviewSession::solution() {
  if (view_.finished || view_.asking != ReviewStyle::Typed || resolved_) return;
  view_.answer = WinString();
  view_.answerRight = false;
  record(Grade::Again);
}

void ReviewSession::grade(Grade g) {
  if (view_.finished || view_.asking != ReviewStyle::Card || !view_.grading) return;
  record(g);
  next();
}

void ReviewSession::record(Grade g) {
  const TVocData& e = current().entry;
  ++asked_;
  resolved_ = true;
  if (view_.asking == ReviewStyle::Typed) {
    view_.answerShown = true;
    view_.correctEnabled = true;
    showAnswerSide(e);
  }
  // A review that cannot be kept is told once by the keeper; the learner goes on.
  const auto link = this->link();
  if (!link) return;
  const auto state = link->store.review(link->file, e, g, today_, keeper_->params());
  if (!state) keeper_->failed(state.error());
}

void ReviewSession::next() {
  if (++index_ < queue_.size()) {
    ask();
    return;
  }
  finish();
}

void ReviewSession::finish() {
  view_.finished = true;
  view_.grading = false;
  view_.correctEnabled = false;
  std::optional<NextDue> next;
  if (const auto link = this->link()) {
    if (const auto all = link->store.states(link->file)) {
      if (const auto figures = ScanFigures(path_, *all, today_, 1)) next = figures->nextDue;
    }
  }
  services_.messages.show(
      MsgKind::Information,
      "Sie haben " + Vocabularies(asked_) + " wiederholt.\n" + NextDueText(next), MsgButtons::Ok);
}

void ReviewSession::setStyle(ReviewStyle style) {
  if (view_.style == style) return;
  view_.style = style;
  services_.options.more.reviewStyle = static_cast<int>(style);
  flows_.options.saveMoreOptions();
  // An entry on which nothing has happened yet is asked in the new style at once.
  if (!view_.finished && !queue_.empty() && !view_.answerShown && tries_ == 0) view_.asking = style;
}

void ReviewSession::correct() {
  if (view_.finished || !view_.correctEnabled) return;
  const std::optional<TVocData> fixed = flows_.entries.quickEditEntry(current().entry, true);
  if (!fixed) return;
  queue_[index_].entry = *fixed;
  const TVocData& e = *fixed;
  if (direction_ == QueryDirection::AB) {
    view_.foreignText = JoinSynonyms(e.A1.get(EncodingOf(header_)), e.A2.get(EncodingOf(header_)),
                                     e.A3.get(EncodingOf(header_)));
    view_.nativeText = JoinSynonyms(e.B1.get(EncodingOf(header_)), e.B2.get(EncodingOf(header_)),
                                    e.B3.get(EncodingOf(header_)));
  } else {
    view_.nativeText = JoinSynonyms(e.B1.get(EncodingOf(header_)), e.B2.get(EncodingOf(header_)),
                                    e.B3.get(EncodingOf(header_)));
    view_.foreignText = JoinSynonyms(e.A1.get(EncodingOf(header_)), e.A2.get(EncodingOf(header_)),
                                     e.A3.get(EncodingOf(header_)));
  }
  if (services_.options.Kommentar_zeigen) view_.comment = e.Comment.get(EncodingOf(header_));
}

}  // namespace merkhaus

namespace merkhaus {

std::string ReviewCaption(Services& services) {
  const std::string plain = "Wiederholen";
  auto* keeper = dynamic_cast<ProgressKeeper*>(&services.progress);
  // The DataFile chosen last, or before any choice the one named on the command line.
  const LessonContext& lesson = services.lesson;
  const std::string& path = lesson.dataFilePath.empty() ? lesson.cmdLineFile : lesson.dataFilePath;
  if (!keeper || path.empty()) return plain;
  // A DataFile that cannot be read now is told when the learner chooses it, not here.
  const auto header = ReadDataFileHeader(path);
  if (!header) return plain;
  const auto link = keeper->link(path, *header);
  if (!link) return plain;
  const auto states = link->store.dueStates(link->file, keeper->today());
  if (!states) return plain;
  DueRequest request;
  request.today = keeper->today();
  const auto due = ScanDue(path, *states, request);
  if (!due) return plain;
  return plain + " (" + std::to_string(due->due) + ")";
}

}  // namespace merkhaus
