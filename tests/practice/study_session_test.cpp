// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

#include "quickedit/quick_edit.h"
#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/scripted_random.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;

constexpr const char* kAbort = "Wollen sie das Üben dieser Lektion abbrechen?";
constexpr const char* kAllMastered = "Sie haben alle Vokabeln erfolgreich beherrscht!";
constexpr const char* kEmptyLesson =
    "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, oder wählen sie "
    "'zurück'";

using mhtest::W;

// A practice on a DataFile built byte by byte. Lesson 1 holds house/Haus (with a second meaning
// and a comment), dog/Hund and abcde/abcde; lesson 2 is empty; lesson 3 holds cat/Katze. The
// entries are asked in order unless a test says otherwise, so no draw is needed.
class StudySessionTest : public ::testing::Test {
 protected:
  StudySessionTest() {
    mhtest::WriteRecords(
        path, {Header("Vokabeln", "Englisch", "Deutsch"), Unit(1, "Lektion 1", "Erste Lektion"),
               Entry6(1, "house", "", "", "Haus", Latin1("Gebäude"), "", Latin1("ein Gebäude")),
               Entry(1, "dog", "Hund"), Entry(1, "abcde", "abcde"), Unit(2, "Leer"),
               Unit(3, "Drei"), Entry(3, "cat", "Katze")});
    lesson.dataFilePath = path;
    lesson.unitId = 1;
    lesson.dataFileHeader = ReadHeaderRecord(path).value();
    options.algorithmus = 1;
  }

  void Type(const char* utf8) { session.setAnswer(W(utf8)); }
  void Answer(const char* utf8) {
    Type(utf8);
    session.advance();
  }
  const StudyView& v() const { return session.view(); }
  StudyEngine& engine() { return session.engine(); }
  bool AnswerMode() const {
    return v().evaluating && v().solutionEnabled && !v().correctEnabled && !v().autoAdvance;
  }
  bool ReviewMode() const {
    return !v().evaluating && !v().tipEnabled && !v().solutionEnabled && v().correctEnabled &&
           v().autoAdvance;
  }
  void ExpectEnd() { msgs.expect(kAllMastered, Answer::Ok, MsgKind::Information, MsgButtons::Ok); }

  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  mhtest::ScriptedMessages& msgs = t.messages;
  mhtest::ScriptedRandom& random = t.random;
  Options& options = t.options;
  LessonContext& lesson = t.lesson;
  mhtest::FakeFlows flows;
  StudySession session{t.services, flows.bundle()};
};

TEST_F(StudySessionTest, StartShowsTheLessonAndTheFirstQuestion) {
  EXPECT_EQ("-", v().remaining);
  EXPECT_EQ("-", v().tries);
  EXPECT_EQ("-", v().mastered);
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ("Üben -- Vokabeln", v().caption);
  EXPECT_EQ(W("Lektion 1"), v().lessonName);
  EXPECT_EQ(W("Erste Lektion"), v().lessonComment);
  EXPECT_EQ(W("Englisch"), v().foreignLanguage);
  EXPECT_EQ(W("Deutsch"), v().nativeLanguage);
  // The first practice of the run in order begins with the second entry.
  EXPECT_EQ(1, engine().CurIndex);
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ(W(""), v().nativeText);
  EXPECT_EQ(W(""), v().comment);
  EXPECT_EQ(kBlack, v().foreignColour);
  EXPECT_TRUE(AnswerMode());
  EXPECT_TRUE(v().tipEnabled);
  EXPECT_FALSE(v().wrongShown);
  EXPECT_FALSE(v().rightShown);
  EXPECT_EQ("2", v().remaining);
  EXPECT_EQ("0/3", v().tries);
  EXPECT_EQ("0/3", v().mastered);
}

TEST_F(StudySessionTest, RightAnswerShowsRichtigAndTheAnswerInGreen) {
  ASSERT_TRUE(session.startStudy());
  Answer("Hund");
  EXPECT_TRUE(v().rightShown);
  EXPECT_FALSE(v().wrongShown);
  EXPECT_EQ(W("Hund"), v().nativeText);
  EXPECT_EQ(kGreen, v().nativeColour);
  EXPECT_EQ(W(""), v().answer);
  EXPECT_TRUE(ReviewMode());
  EXPECT_EQ("1", v().remaining);
  EXPECT_EQ(1, engine().Successes[1]);

  session.advance();  // "W&eiter"
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_EQ(W(""), v().nativeText);
  EXPECT_EQ(kBlack, v().nativeColour);
  EXPECT_FALSE(v().rightShown);
  EXPECT_TRUE(AnswerMode());

  session.advance();  // an empty answer costs nothing and keeps the question
  EXPECT_TRUE(engine().AwaitingAnswer);
  EXPECT_EQ(0, engine().Penalties[2]);
  EXPECT_FALSE(v().wrongShown);

  session.solution();
  session.advance();
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ(W("ein Gebäude"), v().comment);
  Answer("Haus");
  EXPECT_EQ(W("Haus  @  Gebäude"), v().nativeText);
}

TEST_F(StudySessionTest, OneRetryThenTheSolutionInRed) {
  options.Neuversuche = 1;
  ASSERT_TRUE(session.startStudy());
  Answer("Katze");
  EXPECT_TRUE(v().wrongShown);
  EXPECT_FALSE(v().tipEnabled);
  EXPECT_TRUE(AnswerMode());
  EXPECT_EQ(W("Katze"), v().answer);
  EXPECT_EQ(W(""), v().nativeText);
  EXPECT_EQ("1/2", v().tries);

  Answer("Hunde");
  EXPECT_EQ(W("Hund"), v().nativeText);
  EXPECT_EQ(kRed, v().nativeColour);
  EXPECT_TRUE(ReviewMode());
  EXPECT_EQ(W(""), v().answer);
  EXPECT_FALSE(engine().AwaitingAnswer);
  EXPECT_EQ(2, engine().Penalties[1]) << "no solution penalty on top";
  EXPECT_EQ("4", v().remaining);

  // A new question has its tries again, tip included.
  session.advance();
  EXPECT_TRUE(v().tipEnabled);
  EXPECT_FALSE(v().wrongShown);
}

// How the first question (dog/Hund, one retry allowed) is resolved decides what the progress
// hears; "TIP" and "SOLUTION" press those buttons.
TEST(StudySessionProgress, EachResolvedQuestionReportsItsOutcome) {
  struct Row {
    const char* name;
    std::vector<const char*> steps;
    AnswerOutcome outcome;
  };
  const Row rows[] = {
      {"right at once", {"Hund"}, AnswerOutcome::RightFirstTry},
      {"right after a wrong try", {"Katze", "Hund"}, AnswerOutcome::RightWithHelp},
      {"right after the tip", {"TIP", "Hund"}, AnswerOutcome::RightWithHelp},
      {"question mark", {"?"}, AnswerOutcome::Failed},
      {"solution button", {"SOLUTION"}, AnswerOutcome::Failed},
      {"every try wrong", {"Katze", "Hunde"}, AnswerOutcome::Failed},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    mhtest::TestContext t;
    const std::string path = t.dir.file("vok.fid");
    mhtest::WriteRecords(path, {Header("Vokabeln", "Englisch", "Deutsch"), Unit(1, "Lektion 1"),
                                Entry(1, "cat", "Katze"), Entry(1, "dog", "Hund")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.options.algorithmus = 1;
    t.options.Neuversuche = 1;
    mhtest::FakeFlows flows;
    StudySession session{t.services, flows.bundle()};
    ASSERT_TRUE(session.startStudy());
    for (const char* step : row.steps) {
      if (std::string_view(step) == "TIP") {
        session.tip();
      } else if (std::string_view(step) == "SOLUTION") {
        session.solution();
      } else {
        session.setAnswer(W(step));
        session.advance();
      }
    }
    ASSERT_EQ(1u, t.progress.answers.size());
    EXPECT_EQ(W("dog"), t.progress.answers[0].entry.A1.get());
    EXPECT_EQ(row.outcome, t.progress.answers[0].outcome);
  }
}

TEST_F(StudySessionTest, RightOnTheLastTryLeavesTheTipForTheNextQuestion) {
  options.Neuversuche = 1;
  ASSERT_TRUE(session.startStudy());
  Answer("Katze");
  Answer("Hund");
  EXPECT_TRUE(v().rightShown);
  EXPECT_TRUE(v().wrongShown) << "\"Richtig\" is drawn over \"Falsch\"";
  session.advance();
  EXPECT_TRUE(v().tipEnabled);
}

TEST_F(StudySessionTest, ClearWhenWrongEmptiesTheField) {
  options.clearwhenwrong = true;
  ASSERT_TRUE(session.startStudy());
  Answer("Katze");
  EXPECT_EQ(W(""), v().answer);
  EXPECT_TRUE(engine().AwaitingAnswer);
}

TEST_F(StudySessionTest, TipMasksTheFirstAnswerWord) {
  engine().CurIndex = 1;  // asks abcde first
  ASSERT_TRUE(session.startStudy());
  session.tip();
  EXPECT_EQ(W("~~c~~"), v().nativeText);
  EXPECT_EQ(kRed, v().nativeColour);
  EXPECT_FALSE(v().tipEnabled);
  EXPECT_EQ(2, engine().Penalties[2]);
  EXPECT_EQ(1, engine().Tries);
  session.tip();  // disabled: nothing happens
  EXPECT_EQ(2, engine().Penalties[2]);

  options.AdvancedTips = true;
  session.advance();  // empty answer: back to answer mode, the tip is offered again
  EXPECT_TRUE(v().tipEnabled);
  session.tip();
  EXPECT_EQ(W("a~c~e"), v().nativeText);
  EXPECT_EQ(4, engine().Penalties[2]);
  session.advance();
  EXPECT_FALSE(v().tipEnabled) << "two tries spent of Neuversuche 2";
}

TEST_F(StudySessionTest, TipAndSolutionInDirectionBA) {
  options.Abfrageweise = 1;
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W(""), v().foreignText);
  EXPECT_EQ(W("Hund"), v().nativeText);
  session.tip();
  EXPECT_EQ(W("~~g"), v().foreignText);
  EXPECT_EQ(kRed, v().foreignColour);
  Answer("dog");
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ(kGreen, v().foreignColour);
}

TEST_F(StudySessionTest, SpaceCutRewritesTheAnswerField) {
  ASSERT_TRUE(session.startStudy());
  Answer("  Hunde   ");
  EXPECT_EQ(W("Hunde"), v().answer);
  Answer("  Hund  ");
  EXPECT_TRUE(v().rightShown);

  options.Study_SpaceCut = false;
  session.advance();
  Answer("  abcde ");
  EXPECT_EQ(W("  abcde "), v().answer);
  EXPECT_FALSE(v().rightShown);
}

TEST_F(StudySessionTest, SofortWeiterShowsTheNextQuestionAtOnce) {
  options.Autoweiterchbx = true;
  ASSERT_TRUE(session.startStudy());
  Answer("Hund");
  EXPECT_FALSE(v().rightShown);
  EXPECT_TRUE(AnswerMode());
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_EQ(1, engine().Successes[1]);
  EXPECT_TRUE(engine().AwaitingAnswer);

  // A lost question still waits.
  options.Neuversuche = 1;
  Answer("x");
  Answer("y");
  EXPECT_TRUE(ReviewMode());
}

TEST_F(StudySessionTest, QuestionMarkAsksForTheSolution) {
  ASSERT_TRUE(session.startStudy());
  Answer("Katze");
  Answer("?");
  EXPECT_EQ(W("Hund"), v().nativeText);
  EXPECT_EQ(kRed, v().nativeColour);
  EXPECT_TRUE(ReviewMode());
  EXPECT_EQ(3, engine().Penalties[1]) << "1 for the wrong answer, 3 - 1 for the solution";
  EXPECT_EQ(0, engine().Tries);
  EXPECT_EQ("0/3", v().tries);

  options.FragezeichenLosung = false;
  session.advance();
  Answer("?");
  EXPECT_TRUE(v().wrongShown);
  EXPECT_TRUE(engine().AwaitingAnswer);
}

TEST_F(StudySessionTest, SolutionButtonShowsTheTriesSpentUntilTheNextStep) {
  ASSERT_TRUE(session.startStudy());
  Answer("Katze");
  session.solution();
  EXPECT_EQ("1/3", v().tries);
  EXPECT_EQ(0, engine().Tries);
  EXPECT_EQ(W(""), v().answer);
  EXPECT_TRUE(ReviewMode());
  session.solution();  // disabled in review mode
  EXPECT_EQ(3, engine().Penalties[1]);
}

TEST_F(StudySessionTest, WholeLessonToTheEnd) {
  options.KickoutVal = 1;
  ASSERT_TRUE(session.startStudy());
  Answer("Hund");
  session.advance();
  Answer("abcde");
  session.advance();
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ("2/3", v().mastered);
  Answer("Gebäude");
  EXPECT_TRUE(v().rightShown);
  EXPECT_TRUE(msgs.shown().empty()) << "the last right answer does not end the practice";

  ExpectEnd();
  session.advance();
  EXPECT_TRUE(msgs.done());
  EXPECT_TRUE(engine().PracticeDone);
  EXPECT_TRUE(!v().evaluating && !v().tipEnabled && !v().solutionEnabled);
  EXPECT_FALSE(v().correctEnabled) << "nothing left to correct";
  EXPECT_EQ("3/3", v().mastered);
  EXPECT_EQ(W(""), v().foreignText);

  // Done: "W&eiter", the timer and "Korrigieren" do nothing, "Ende" does not ask.
  bool edited = false;
  flows.onQuickEditEntry = [&](const TVocData&, bool) {
    edited = true;
    return std::optional<TVocData>();
  };
  session.advance();
  session.autoAdvance();
  session.correct();
  EXPECT_FALSE(edited);
  EXPECT_TRUE(session.confirmEnd());
}

TEST_F(StudySessionTest, SofortWeiterEndsRightAfterTheLastAnswer) {
  options.KickoutVal = 1;
  options.Autoweiterchbx = true;
  lesson.unitId = 3;
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("cat"), v().foreignText);
  ExpectEnd();
  Answer("Katze");
  EXPECT_TRUE(engine().PracticeDone);
}

TEST_F(StudySessionTest, EmptyLessonAsksForAnotherLesson) {
  lesson.unitId = 2;
  int selections = 0;
  flows.onSelectLesson = [&](const std::string&, bool) {
    ++selections;
    return std::optional<std::uint8_t>(3);
  };
  msgs.expect(kEmptyLesson, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(1, selections);
  EXPECT_EQ(3, lesson.unitId);
  EXPECT_EQ(W("Drei"), v().lessonName);
  EXPECT_EQ(W("cat"), v().foreignText);
}

TEST_F(StudySessionTest, EmptyLessonAndNoOtherLessonChosen) {
  lesson.unitId = 2;
  flows.onSelectLesson = [&](const std::string&, bool) { return std::optional<std::uint8_t>(); };
  msgs.expect(kEmptyLesson);
  EXPECT_FALSE(session.startStudy());
  EXPECT_EQ(2, lesson.unitId);
}

TEST_F(StudySessionTest, MissingLessonHeaderIsReportedAndThePracticeGoesOn) {
  mhtest::WriteRecords(path, {Header("Vokabeln"), Entry(9, "x", "y")});
  lesson.unitId = 9;
  msgs.expect("Böser Fehler: 801", Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("x"), v().foreignText);
}

TEST_F(StudySessionTest, MissingDataFileDoesNotStart) {
  std::filesystem::remove(path);
  msgs.expect("IO-Fehler 802!" + mhtest::Missing(path));
  EXPECT_FALSE(session.startStudy());
}

TEST_F(StudySessionTest, LektionAsksAndChangesTheLesson) {
  ASSERT_TRUE(session.startStudy());
  int selections = 0;
  std::optional<std::uint8_t> choice;
  flows.onSelectLesson = [&](const std::string&, bool) {
    ++selections;
    return choice;
  };

  msgs.expect(kAbort, Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  session.changeLesson();
  EXPECT_EQ(0, selections);

  msgs.expect(kAbort, Answer::Yes);
  session.changeLesson();  // selection cancelled: the practice goes on
  EXPECT_EQ(1, selections);
  EXPECT_EQ(1, lesson.unitId);
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_TRUE(engine().AwaitingAnswer);
  Answer("Hund");
  EXPECT_TRUE(v().rightShown);

  choice = 3;
  msgs.expect(kAbort, Answer::Yes);
  session.changeLesson();
  EXPECT_EQ(3, lesson.unitId);
  EXPECT_EQ(W("Drei"), v().lessonName);
  EXPECT_EQ(W("cat"), v().foreignText);
  EXPECT_EQ(0, engine().Successes[1]) << "counters start afresh";
  EXPECT_TRUE(AnswerMode());
  EXPECT_EQ("0/1", v().mastered);
}

TEST_F(StudySessionTest, LektionToAnEmptyLessonWithoutAnotherChoiceEndsThePractice) {
  ASSERT_TRUE(session.startStudy());
  int selections = 0;
  flows.onSelectLesson = [&](const std::string&, bool) {
    return ++selections == 1 ? std::optional<std::uint8_t>(2) : std::nullopt;
  };
  msgs.expect(kAbort, Answer::Yes).expect(kEmptyLesson);
  ExpectEnd();
  session.changeLesson();
  EXPECT_TRUE(session.entries().empty());
  EXPECT_TRUE(engine().PracticeDone);
  EXPECT_EQ("0/0", v().mastered);

  // Done: no question asked when changing the lesson again.
  selections = 5;
  session.changeLesson();
}

TEST_F(StudySessionTest, EndeAsksUnlessDone) {
  ASSERT_TRUE(session.startStudy());
  msgs.expect(kAbort, Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(session.confirmEnd());
  EXPECT_TRUE(engine().AwaitingAnswer);
  msgs.expect(kAbort, Answer::Yes);
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_FALSE(engine().AwaitingAnswer);
}

TEST_F(StudySessionTest, NextPracticeInOrderStartsAfterTheEntryAskedLast) {
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("dog"), v().foreignText);
  msgs.expect(kAbort, Answer::Yes);
  ASSERT_TRUE(session.confirmEnd());
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_TRUE(engine().AwaitingAnswer);
}

TEST_F(StudySessionTest, TimerMovesOnInReviewModeOnly) {
  EXPECT_EQ(1665, session.timerInterval());
  options.Autoweiter = 1;
  EXPECT_EQ(333, session.timerInterval());
  ASSERT_TRUE(session.startStudy());
  session.autoAdvance();
  EXPECT_EQ(W("dog"), v().foreignText) << "answer mode: the timer is stopped";
  Answer("Hund");
  options.AutoWeiterAkt = false;
  session.autoAdvance();
  EXPECT_TRUE(ReviewMode());
  options.AutoWeiterAkt = true;
  session.autoAdvance();
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_TRUE(AnswerMode());
}

TEST_F(StudySessionTest, CommentOnlyWhenAsked) {
  engine().CurIndex = 2;
  options.Kommentar_zeigen = false;
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ(W(""), v().comment);
}

TEST_F(StudySessionTest, SynonymQuestionTakesTheFirstOrSecondNonBlankField) {
  mhtest::WriteRecords(
      path,
      {Header("V"), Unit(4, "Syn"), Entry6(4, "one", "two", "three", "eins", "", ""),
       Entry6(4, "solo", " ", "x", "allein", "", ""), Entry6(4, " ", "", "  ", "leer", "", "")});
  lesson.unitId = 4;
  options.Synonymabfrage = true;
  engine().CurIndex = 2;
  random.then({1, 1, 0, 0});
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("two"), v().foreignText);
  session.solution();
  session.advance();
  EXPECT_EQ(W("x"), v().foreignText) << "a blank second synonym passes to the third";
  session.solution();
  session.advance();
  EXPECT_EQ(W(" "), v().foreignText) << "blank throughout: the first field as stored";
  session.solution();
  session.advance();
  EXPECT_EQ(W("one"), v().foreignText);
  EXPECT_EQ(4, random.reseeds);
  EXPECT_EQ((std::vector<int>{2, 2, 2, 2}), random.ranges);
}

TEST_F(StudySessionTest, SystematicOrderDrawsItsStart) {
  options.algorithmus = 0;
  options.Abfrageweise = 2;
  random.then({10, 2, 70});  // forwards from 2, then "B - A"
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(2, engine().CurIndex);
  EXPECT_EQ(W("abcde"), v().nativeText);
  EXPECT_EQ(W(""), v().foreignText);
}

TEST_F(StudySessionTest, KorrigierenWritesTheEntryAndReloads) {
  ASSERT_TRUE(session.startStudy());
  Answer("Hund");
  flows.onQuickEditEntry = [&](const TVocData& entry, bool editable) {
    EXPECT_TRUE(editable);
    EXPECT_EQ(W("dog"), entry.A1.get()) << "the entry just asked";
    EntryTexts texts = TextsOf(entry);
    texts.A1 = W("  doggy ");
    texts.Comment = W("bellt");
    return SaveQuickEdit(lesson, options, msgs, entry, texts);
  };
  session.correct();
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(8u, records.size());
  EXPECT_EQ(Entry(1, "doggy", "Hund", "bellt"), records[3]);
  ASSERT_EQ(3u, session.entries().size());
  EXPECT_EQ(W("doggy"), session.entries()[1].A1.get());

  // The verdict on the old entry is gone; the corrected entry stands as the question.
  EXPECT_FALSE(v().wrongShown || v().rightShown);
  EXPECT_EQ(W(""), v().answer);
  EXPECT_EQ(W("doggy"), v().foreignText);
  EXPECT_EQ(W(""), v().nativeText);
  EXPECT_EQ(kBlack, v().foreignColour);
  // Answer mode without an open question: tip and solution act on the corrected entry.
  EXPECT_TRUE(AnswerMode());
  EXPECT_TRUE(v().tipEnabled);
  EXPECT_FALSE(engine().AwaitingAnswer);
  session.solution();
  EXPECT_EQ(W("Hund"), v().nativeText);
  EXPECT_EQ(3, engine().Penalties[1]);
  EXPECT_EQ(1, engine().Successes[1]) << "a correction keeps the counters";
  // What was typed meanwhile does not carry over into the next question.
  session.setAnswer(W("Hund"));
  session.advance();
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_EQ(W(""), v().answer);
}

TEST_F(StudySessionTest, KorrigierenThatCannotSaveKeepsEverything) {
  ASSERT_TRUE(session.startStudy());
  Answer("Hund");
  std::filesystem::remove(path);
  flows.onQuickEditEntry = [&](const TVocData& entry, bool) {
    EntryTexts texts = TextsOf(entry);
    texts.A1 = W("doggy");
    return SaveQuickEdit(lesson, options, msgs, entry, texts);
  };
  msgs.expect("Das Speichern ist fehlgeschlagen!" + mhtest::Missing(path), Answer::Ok,
              MsgKind::Error, MsgButtons::Ok);
  session.correct();
  EXPECT_EQ(W("dog"), session.entries()[1].A1.get());
  EXPECT_TRUE(ReviewMode()) << "nothing reloaded";
}

TEST(StudyTextsTest, MaskTip) {
  EXPECT_EQ(WinString("a~c~e"), MaskTip(WinString("abcde"), true));
  EXPECT_EQ(WinString("~~c~~"), MaskTip(WinString("abcde"), false));
  EXPECT_EQ(WinString("~~ ~~e~"), MaskTip(WinString("to beef"), false));
  EXPECT_EQ(WinString("t~ ~e~f"), MaskTip(WinString("to beef"), true));
  EXPECT_EQ(WinString(""), MaskTip(WinString(""), true));
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// The foreign side is read once it is shown in full: as the question, or as the solution of a
// question "B - A", never while the learner is still to give it.
TEST_F(StudySessionTest, VorlesenReadsTheForeignSideOnlyOnceItIsShown) {
  t.speaker.withVoices();
  options.more.autoSpeak = true;
  options.Abfrageweise = 1;
  ASSERT_TRUE(session.startStudy());
  EXPECT_EQ(W("Hund"), v().nativeText);
  EXPECT_FALSE(v().foreignShown);
  session.readAloud();
  session.tip();  // the tip shows a masked foreign side: still nothing to read
  session.readAloud();
  EXPECT_TRUE(t.speaker.said.empty());

  Answer("dog");  // the solution "dog" is read by itself, and again on request
  EXPECT_TRUE(v().foreignShown);
  session.readAloud();
  EXPECT_EQ((std::vector<std::string>{"dog", "dog"}), t.speaker.texts());
  EXPECT_EQ("en_GB", t.speaker.said[0].voice.locale);

  options.Abfrageweise = 0;  // "A - B": the question is read as it comes
  session.advance();
  EXPECT_EQ(W("abcde"), v().foreignText);
  EXPECT_EQ("abcde", t.speaker.texts().back());

  options.more.autoSpeak = false;  // without the option, only the button reads
  Answer("abcde");
  session.advance();
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ(3u, t.speaker.said.size());
  session.readAloud();
  EXPECT_EQ("house", t.speaker.texts().back());
}

}  // namespace
}  // namespace merkhaus
