#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "config/options.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "platform/win_string.h"
#include "practice/study_engine.h"
#include "store/shared.h"

namespace merkhaus {

// A text colour of the question and answer boxes.
struct Rgb {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};
inline constexpr Rgb kBlack{0, 0, 0};
inline constexpr Rgb kGreen{0, 128, 0};  // the answer after a right answer
inline constexpr Rgb kRed{255, 0, 0};    // the solution and the tip

// Everything the practice window shows, member for control. The window copies it into its
// controls after every call into StudySession; it decides nothing itself.
struct StudyView {
  std::string Caption = "Üben";   // UTF-8
  WinString Label4;               // lesson name
  WinString Label13;              // lesson comment
  WinString Label2;               // foreign language, caption of Memo1
  WinString Label1;               // native language, caption of Memo2
  WinString Memo1, Memo2, Memo3;  // A side, B side, comment
  Rgb Memo1Colour = kBlack;
  Rgb Memo2Colour = kBlack;
  WinString Edit1;            // the answer field
  bool rfindicator = false;   // "Falsch" visible
  bool rfindicator2 = false;  // "Richtig" visible (drawn over "Falsch")
  std::string Button2Caption = "Ausw&erten";
  bool Button3Enabled = true;   // "&Tip"
  bool Button4Enabled = false;  // "Korrigieren"
  bool Button5Enabled = true;   // "Lösun&g"
  bool Timer1Enabled = false;   // the auto-advance timer runs
  std::string Label7 = "-";     // "Noch mal:"
  std::string Label10 = "-";    // "Versuch:"
  std::string Label8 = "-";     // "Gekonnt:"
};

// The windows the practice opens, given by the practice window.
struct StudyHooks {
  // The lesson selection for DataFilePath without lesson creation. Yields the chosen UnitID, or
  // 0 (and usually Cancelled = 1) when no lesson was chosen.
  std::function<std::uint8_t()> SelectUnit;
  // The quick edit of VocList[index] in edit mode; true when the learner confirmed and the entry
  // was written back.
  std::function<bool(std::size_t index)> QuickEditEntry;
};

// x, then "  @  " and y when y is not empty, then "  @  " and z when z is not empty.
WinString JoinSynonyms(const WinString& x, const WinString& y, const WinString& z);
// The tip: every character at an even position (counted from 1) becomes "~" when detailed,
// otherwise every character at a position not divisible by 3.
WinString MaskTip(const WinString& s, bool advanced);

// The practice of one lesson as the window "Üben" runs it: which question is shown, how an
// answer is judged and what the window shows afterwards. Made once with its window and kept for
// the whole run; the engine inside it keeps CurIndex from one practice to the next.
class StudySession {
 public:
  StudySession(Shared& shared, Options& options, Messages& messages, Random& random,
               StudyHooks hooks = {});

  StudyHooks& hooks() { return hooks_; }
  const StudyView& view() const { return view_; }
  StudyEngine& engine() { return engine_; }
  const StudyEngine& engine() const { return engine_; }

  // The answer field as the learner left it; call before every action below.
  void SetEdit1(const WinString& text) { view_.Edit1 = text; }

  // Starts a practice on CurUnitID: clears the counters, prepares the lesson and asks the first
  // question. False when the practice does not start (Cancelled): the window is not shown.
  bool StartStudy();

  // "Ausw&erten" / "W&eiter", Enter in the answer field: judges the answer or shows the next
  // question, and announces the end of the practice.
  void Advance();
  // "&Tip" (ignored while the button is disabled).
  void Button3Click();
  // "Lösun&g" (ignored while the button is disabled).
  void Button5Click();
  // "Korrigieren": the quick edit of the entry just asked, then the lesson is reloaded.
  void Button4Click();
  // "Lektion": after confirmation, another lesson of the DataFile.
  void Button8Click();
  // "Ende": true when the window closes (confirmed, or the practice is done).
  bool Button6Click();
  // The auto-advance timer fired.
  void Timer1Timer();
  // The timer's interval, to be set whenever the window becomes active.
  int TimerInterval() const { return options_.Autoweiter * 333; }

  // The steps the handlers are made of, open for the window and for tests.
  void PrepareStudy();
  void NextQuestion();
  void Evaluate();
  void ShowSolution();
  void RevealAnswer(Rgb colour);
  void UpdateCounters();
  void SetAnswerMode(bool answerMode);

 private:
  // LoadUnitVocs; a successful load also clears PracticeDone and switches to answer mode.
  bool LoadVocs();
  const TVocData& Current() const { return shared_.VocList[engine_.CurIndex]; }

  Shared& shared_;
  Options& options_;
  Messages& messages_;
  Random& random_;
  StudyHooks hooks_;
  StudyEngine engine_;
  StudyView view_;
};

}  // namespace merkhaus
