#include "practice/study_session.h"

#include "platform/cp1252.h"
#include "practice/answer_check.h"
#include "practice/text_rules.h"
#include "store/datafile.h"

namespace merkhaus {

namespace {

constexpr const char* kEvaluateCaption = "Ausw&erten";
constexpr const char* kNextCaption = "W&eiter";
constexpr const char* kConfirmAbort = "Wollen sie das Üben dieser Lektion abbrechen?";
constexpr std::size_t kCaptionNameLength = 68;

// The fields of one side of an entry: the question side, or the answer side.
struct Side {
  const PString<60>* field[3];
};
Side SideA(const TVocData& e) {
  return {{&e.A1, &e.A2, &e.A3}};
}
Side SideB(const TVocData& e) {
  return {{&e.B1, &e.B2, &e.B3}};
}

}  // namespace

WinString JoinSynonyms(const WinString& x, const WinString& y, const WinString& z) {
  static const WinString separator("  @  ");
  WinString out = x;
  if (!y.empty()) out += separator + y;
  if (!z.empty()) out += separator + z;
  return out;
}

WinString MaskTip(const WinString& s, bool advanced) {
  std::string out = s.bytes();
  for (std::size_t i = 0; i < out.size(); ++i) {
    const std::size_t pos = i + 1;
    const bool keep = advanced ? pos % 2 == 1 : pos % 3 == 0;
    if (!keep) out[i] = '~';
  }
  return WinString(std::move(out));
}

StudySession::StudySession(Shared& shared, Options& options, Messages& messages, Random& random,
                           StudyHooks hooks)
    : shared_(shared),
      options_(options),
      messages_(messages),
      random_(random),
      hooks_(std::move(hooks)),
      engine_(shared, options, random) {}

bool StudySession::StartStudy() {
  engine_.ZeroCounters();
  PrepareStudy();
  if (shared_.Cancelled) return false;
  Advance();
  return true;
}

bool StudySession::LoadVocs() {
  // LoadUnitVocs reports a failed load only through Cancelled, which may already be set by an
  // earlier cancelled choice; look at it on its own and put the old value back after success.
  const std::uint8_t before = shared_.Cancelled;
  shared_.Cancelled = 0;
  LoadUnitVocs(shared_, messages_);
  if (shared_.Cancelled) return false;
  shared_.Cancelled = before;
  engine_.PracticeDone = false;
  SetAnswerMode(true);
  return true;
}

void StudySession::PrepareStudy() {
  for (;;) {
    if (!LoadUnitHeader(shared_, messages_, shared_.CurUnitID)) {
      ShowErr(messages_, "Böser Fehler: 801");
    }
    view_.Label4 = shared_.CurUnit.B1.get();
    view_.Label13 = shared_.CurUnit.Comment.get();
    view_.Label1 = shared_.DataFileHeader.B2.get();
    view_.Label2 = shared_.DataFileHeader.A1.get();
    view_.Caption = "Üben -- " + ToUtf8(shared_.DataFileHeader.B1.get().left(kCaptionNameLength));

    LoadVocs();
    engine_.MasteredCount = 0;
    if (shared_.Cancelled) return;
    if (shared_.VocCount > 0) return;

    messages_.show(MsgKind::Warning,
                   "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, "
                   "oder wählen sie 'zurück'",
                   MsgButtons::Ok);
    const std::uint8_t unit = hooks_.SelectUnit ? hooks_.SelectUnit() : 0;
    // No lesson is no lesson, cancelled or not: taking UnitID 0 would find the same empty lesson
    // and ask again without end.
    if (shared_.Cancelled || unit == 0) {
      shared_.Cancelled = 1;
      return;
    }
    shared_.CurUnitID = unit;
  }
}

void StudySession::Advance() {
  if (engine_.PracticeDone) return;
  WinString text = view_.Edit1.left(kMaxAnswer);
  if (options_.Study_SpaceCut) text = CutSpaces(text);
  view_.Edit1 = text;
  SetAnswerMode(true);
  if (engine_.AwaitingAnswer) {
    Evaluate();
  } else {
    NextQuestion();
  }
  UpdateCounters();
  if (!engine_.PracticeDone && engine_.MasteredCount >= shared_.VocCount) {
    engine_.PracticeDone = true;
    SetAnswerMode(false);
    messages_.show(MsgKind::Information, "Sie haben alle Vokabeln erfolgreich beherrscht!",
                   MsgButtons::Ok);
  }
}

void StudySession::NextQuestion() {
  view_.Memo1Colour = kBlack;
  view_.Memo2Colour = kBlack;
  engine_.AwaitingAnswer = true;
  engine_.Tries = 0;
  // A question answered right on its last try leaves the tip switched off; a new question has
  // all its tries again.
  view_.Button3Enabled = engine_.Tries != options_.Neuversuche;
  view_.Button2Caption = kEvaluateCaption;
  view_.rfindicator = false;
  view_.rfindicator2 = false;
  view_.Memo1 = WinString();
  view_.Memo2 = WinString();
  view_.Memo3 = WinString();

  const auto next = engine_.SelectNextEntry();
  if (!next) return;
  engine_.CurIndex = *next;
  engine_.ChooseDirection();

  const TVocData& e = Current();
  const bool ab = engine_.Direction == QueryDirection::AB;
  const Side side = ab ? SideA(e) : SideB(e);
  WinString question = side.field[0]->get();
  if (options_.Synonymabfrage) {
    // The first or the second synonym with equal chance, the third only after a blank second.
    // A side that is blank throughout shows its first field as stored.
    random_.reseed();
    int k = random_.draw(2);
    for (int tried = 0; tried < 3; ++tried, k = (k + 1) % 3) {
      if (!CutSpaces(side.field[k]->get()).empty()) {
        question = side.field[k]->get();
        break;
      }
    }
  }
  (ab ? view_.Memo1 : view_.Memo2) = question;
  if (options_.Kommentar_zeigen) view_.Memo3 = e.Comment.get();
}

void StudySession::Evaluate() {
  if (view_.Edit1.empty()) return;
  if (options_.FragezeichenLosung && view_.Edit1.view() == "?") {
    ShowSolution();
    return;
  }
  if (CheckAnswer(view_.Edit1.left(kMaxAnswer), Current(), engine_.Direction,
                  PracticeCheckRules(options_))) {
    view_.Edit1 = WinString();
    engine_.RecordRight();
    engine_.AwaitingAnswer = false;
    if (options_.Autoweiterchbx) {
      Advance();
    } else {
      SetAnswerMode(false);
      view_.rfindicator2 = true;
      RevealAnswer(kGreen);
    }
    return;
  }
  if (engine_.RecordWrong()) {
    view_.Edit1 = WinString();
    RevealAnswer(kRed);
    SetAnswerMode(false);
    engine_.AwaitingAnswer = false;
  }
  view_.rfindicator = true;
  if (options_.clearwhenwrong) view_.Edit1 = WinString();
  if (engine_.Tries >= options_.Neuversuche) view_.Button3Enabled = false;
}

void StudySession::ShowSolution() {
  RevealAnswer(kRed);
  engine_.RecordSolution();
  engine_.AwaitingAnswer = false;
  SetAnswerMode(false);
  view_.Edit1 = WinString();
  UpdateCounters();
  engine_.Tries = 0;
}

void StudySession::RevealAnswer(Rgb colour) {
  const TVocData& e = Current();
  if (engine_.Direction == QueryDirection::AB) {
    view_.Memo2Colour = colour;
    view_.Memo2 = JoinSynonyms(e.B1.get(), e.B2.get(), e.B3.get());
  } else {
    view_.Memo1Colour = colour;
    view_.Memo1 = JoinSynonyms(e.A1.get(), e.A2.get(), e.A3.get());
  }
}

void StudySession::Button3Click() {
  if (!view_.Button3Enabled) return;
  const TVocData& e = Current();
  if (engine_.Direction == QueryDirection::AB) {
    view_.Memo2Colour = kRed;
    view_.Memo2 = MaskTip(e.B1.get(), options_.AdvancedTips);
  } else {
    view_.Memo1Colour = kRed;
    view_.Memo1 = MaskTip(e.A1.get(), options_.AdvancedTips);
  }
  engine_.RecordTip();
  view_.Button3Enabled = false;
}

void StudySession::Button5Click() {
  if (!view_.Button5Enabled) return;
  ShowSolution();
}

void StudySession::Button4Click() {
  if (engine_.PracticeDone || !view_.Button4Enabled) return;
  if (hooks_.QuickEditEntry && hooks_.QuickEditEntry(engine_.CurIndex)) LoadVocs();
}

void StudySession::Button8Click() {
  if (!engine_.PracticeDone &&
      messages_.show(MsgKind::Confirmation, kConfirmAbort, MsgButtons::YesNo) != Answer::Yes) {
    return;
  }
  shared_.Cancelled = 0;
  const std::uint8_t unit = hooks_.SelectUnit ? hooks_.SelectUnit() : 0;
  // A selection that ends without a lesson (cancelled, or the DataFile could not be read) keeps
  // the practice of the current lesson going.
  if (shared_.Cancelled || unit == 0) return;
  shared_.CurUnitID = unit;
  PrepareStudy();
  engine_.ZeroCounters();
  engine_.AwaitingAnswer = false;
  Advance();
}

bool StudySession::Button6Click() {
  if (!engine_.PracticeDone &&
      messages_.show(MsgKind::Confirmation, kConfirmAbort, MsgButtons::YesNo) != Answer::Yes) {
    return false;
  }
  engine_.AwaitingAnswer = false;
  return true;
}

void StudySession::Timer1Timer() {
  if (!view_.Timer1Enabled) return;
  if (options_.AutoWeiterAkt) Advance();
}

void StudySession::UpdateCounters() {
  view_.Label7 = std::to_string(engine_.Remaining());
  view_.Label10 = std::to_string(engine_.Tries) + "/" + std::to_string(options_.Neuversuche + 1);
  view_.Label8 = std::to_string(engine_.MasteredCount) + "/" + std::to_string(shared_.VocCount);
}

void StudySession::SetAnswerMode(bool answerMode) {
  view_.Button2Caption = answerMode ? kEvaluateCaption : kNextCaption;
  view_.Button3Enabled = answerMode && engine_.Tries != options_.Neuversuche;
  view_.Button5Enabled = answerMode;
  view_.Button4Enabled = !answerMode;
  view_.Timer1Enabled = !answerMode;
}

}  // namespace merkhaus
