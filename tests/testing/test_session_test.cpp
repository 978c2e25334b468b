// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/scripted_random.h"
#include "support/test_context.h"
#include "support/win_text.h"
#include "testing/test_evaluation.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;
using mhtest::W;

constexpr const char* kAbort = "Wollen sie das Testen dieser Lektion abbrechen?";
constexpr const char* kAbortForEvaluation =
    "Wollen sie das Testen dieser Lektion abbrechen und die Auswertung anzeigen?";
constexpr const char* kAllAsked = "Alle Vokabeln wurden jetzt abgefragt!";
constexpr const char* kEmptyLesson =
    "Diese Lektion enthält keine Vokabeln! Wählen sie eine andere Lektion aus, oder wählen sie "
    "'zurück'";

// Runs `onRedraw` whenever the session shows its window mid-action.
struct RecordingWindow : Redraw {
  std::function<void()> onRedraw;
  void redraw() override {
    if (onRedraw) onRedraw();
  }
};

// A test on a DataFile built byte by byte. Lesson 1 holds house/Haus (with a second meaning and
// a comment), dog/Hund and cat/Katze; lesson 2 is empty; lesson 3 holds bird/Vogel. The entries
// are asked in order unless a test says otherwise, so no draw is needed.
class TestSessionTest : public ::testing::Test {
 protected:
  TestSessionTest() {
    mhtest::WriteRecords(
        path, {Header("Vokabeln", "Englisch", "Deutsch"), Unit(1, "Lektion 1", "Erste Lektion"),
               Entry6(1, "house", "", "", "Haus", Latin1("Gebäude"), "", Latin1("ein Gebäude")),
               Entry(1, "dog", "Hund"), Entry(1, "cat", "Katze"), Unit(2, "Leer"),
               Unit(3, "Drei", "dritte"), Entry(3, "bird", "Vogel")});
    lesson.dataFilePath = path;
    lesson.unitId = 1;
    lesson.dataFileHeader = ReadHeaderRecord(path).value();
    options.algorithmus = 1;
  }

  void Answer(const char* utf8) {
    session.setAnswer(W(utf8));
    session.testAdvance();
  }
  const TestView& v() const { return session.view(); }
  WinString Question() const { return v().foreignText.empty() ? v().nativeText : v().foreignText; }
  void ExpectEnd() { msgs.expect(kAllAsked, Answer::Ok, MsgKind::Information, MsgButtons::Ok); }

  // Starts a test and answers every question with a wrong answer; the indices in asked order.
  std::vector<int> AskedOrder() {
    std::vector<int> order;
    EXPECT_TRUE(session.startTest());
    for (int i = 0; i < 10 && !session.TestFinished; ++i) {
      order.push_back(session.TestCurIndex);
      if (order.size() == session.entries().size()) ExpectEnd();
      Answer("falsch");
    }
    return order;
  }

  // How often the evaluation was asked for, as the window counts it after each action.
  unsigned evaluations() const { return session.view().evaluationRequests; }

  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  mhtest::ScriptedMessages& msgs = t.messages;
  mhtest::ScriptedRandom& random = t.random;
  Options& options = t.options;
  LessonContext& lesson = t.lesson;
  mhtest::FakeFlows flows;
  RecordingWindow window;
  TestSession session{t.services, flows.bundle(), window};
};

TEST_F(TestSessionTest, ATestInOrderAsksEveryEntryOnceAndEndsWithTheEvaluation) {
  EXPECT_EQ("-", v().counter);
  ASSERT_TRUE(session.startTest());
  EXPECT_EQ("Testen -- Vokabeln", v().caption);
  EXPECT_EQ(W("Lektion 1"), v().lessonName);
  EXPECT_EQ(W("Erste Lektion"), v().lessonComment);
  EXPECT_EQ(W("Englisch"), v().foreignLanguage);
  EXPECT_EQ(W("Deutsch"), v().nativeLanguage);
  // The first test of the run in order begins with the second entry.
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ(W(""), v().nativeText);
  EXPECT_EQ("0/3", v().counter);
  EXPECT_TRUE(session.TestAwaitingAnswer);

  Answer("Hund");
  EXPECT_EQ(W("cat"), v().foreignText);
  EXPECT_EQ(W(""), v().nativeText) << "nothing tells whether the answer was right";
  EXPECT_EQ(W(""), v().answer);
  EXPECT_EQ("1/3", v().counter);

  Answer("Hund");  // wrong
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ(W("ein Gebäude"), v().comment);
  EXPECT_EQ("2/3", v().counter);
  EXPECT_EQ(0u, evaluations());

  ExpectEnd();
  bool stateShown = false;
  window.onRedraw = [&] {
    // The window shows the finished test before the box says so.
    stateShown = true;
    EXPECT_EQ("3/3", v().counter);
    EXPECT_EQ(W(""), v().answer);
    EXPECT_FALSE(msgs.done());
  };
  Answer("Gebäude");  // any meaning of the answer side counts
  EXPECT_TRUE(stateShown);
  EXPECT_EQ("3/3", v().counter);
  EXPECT_TRUE(session.TestFinished);
  EXPECT_EQ(1u, evaluations());
  EXPECT_EQ(W(""), v().foreignText);
  EXPECT_EQ((std::array<std::uint8_t, 3>{1, 1, 1}),
            (std::array<std::uint8_t, 3>{session.TestAsked[0], session.TestAsked[1],
                                         session.TestAsked[2]}));
  EXPECT_EQ((std::array<std::uint8_t, 3>{1, 1, 0}),
            (std::array<std::uint8_t, 3>{session.TestRight[0], session.TestRight[1],
                                         session.TestRight[2]}));
  EXPECT_EQ(W("Hund"), session.TestAnswers[2]);
  EXPECT_EQ(W("Gebäude"), session.TestAnswers[0]);

  // Finished: "&Weiter" does nothing, and "Ende" does not ask.
  Answer("Haus");
  EXPECT_EQ("3/3", v().counter);
  EXPECT_EQ(1u, evaluations());
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, EveryJudgedAnswerAndTheFinishedTestGoToTheProgress) {
  ASSERT_TRUE(session.startTest());
  Answer("Hund");
  Answer("?");  // cat: given up, the question stays
  Answer("Katze");
  ExpectEnd();
  Answer("Baum");  // house
  const auto& answers = t.progress.answers;
  ASSERT_EQ(4u, answers.size());
  const std::pair<const char*, AnswerOutcome> expected[] = {
      {"dog", AnswerOutcome::RightFirstTry},
      {"cat", AnswerOutcome::Failed},
      {"cat", AnswerOutcome::RightFirstTry},
      {"house", AnswerOutcome::Failed},
  };
  for (std::size_t i = 0; i < answers.size(); ++i) {
    EXPECT_EQ(W(expected[i].first), answers[i].entry.A1.get()) << i;
    EXPECT_EQ(expected[i].second, answers[i].outcome) << i;
    EXPECT_EQ(path, answers[i].dataFile) << i;
  }
  // The evaluation counts the last answer to "cat", so does the history.
  ASSERT_EQ(1u, t.progress.tests.size());
  EXPECT_EQ((mhtest::RecordingProgress::Test{1, 2, 3, 33}), t.progress.tests[0]);
}

TEST_F(TestSessionTest, TheOrdersInOrderAndReversedGoOnFromTheEntryAskedLast) {
  struct Case {
    int algorithmus;
    int startIndex;  // TestCurIndex before the test
    std::vector<int> order;
  };
  const Case cases[] = {
      {1, 0, {1, 2, 0}},    // the first test of the run
      {2, 0, {2, 1, 0}},    // reversed starts with the last entry
      {1, 1, {2, 0, 1}},    // after a test that asked entry 2 last
      {2, 2, {1, 0, 2}},    // reversed after entry 3
      {1, 200, {0, 1, 2}},  // after a longer lesson
      {2, 200, {0, 2, 1}},
  };
  for (const Case& c : cases) {
    options.algorithmus = c.algorithmus;
    session.TestCurIndex = static_cast<std::uint8_t>(c.startIndex);
    EXPECT_EQ(c.order, AskedOrder()) << "algorithmus " << c.algorithmus << " from " << c.startIndex;
    EXPECT_TRUE(session.confirmEnd());
  }
  // Each test continues from the index the last one ended on.
  options.algorithmus = 1;
  session.TestCurIndex = 0;
  EXPECT_EQ((std::vector<int>{1, 2, 0}), AskedOrder());
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_EQ((std::vector<int>{1, 2, 0}), AskedOrder());
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, CompletelyRandomAsksNoEntryTwiceAndEnds) {
  options.algorithmus = 3;
  // 0 is the index asked last, 2 and then 1 were asked already; the last open entry comes.
  random.then({0, 2, 2, 1, 1, 2, 0});
  EXPECT_EQ((std::vector<int>{2, 1, 0}), AskedOrder());
  EXPECT_EQ(0, random.reseeds) << "drawn without re-seeding";
  EXPECT_EQ(1u, evaluations());
  EXPECT_TRUE(session.confirmEnd());

  // With "Die selbe Vokabel auch unmittelbar hintereinander abfragen" the index asked last may
  // come first.
  options.doppelvok = true;
  random.then({0, 0, 2, 1});
  EXPECT_EQ((std::vector<int>{0, 2, 1}), AskedOrder());
}

TEST_F(TestSessionTest, SystematicWalksFromARandomStartAndKeepsAwayFromTheIndexAskedLast) {
  options.algorithmus = 0;
  random
      .then({10, 0})   // forwards from 0, the index asked last: on to 1
      .then({70, 1})   // backwards from 1 (asked) to 0
      .then({10, 0});  // forwards: 0 and 1 asked, 2 is the last open entry
  EXPECT_EQ((std::vector<int>{1, 0, 2}), AskedOrder());
  EXPECT_EQ(3, random.reseeds);
  EXPECT_EQ((std::vector<int>{100, 3, 100, 3, 100, 3}), random.ranges);
  EXPECT_TRUE(session.confirmEnd());

  // The last open entry is taken even when it is the index asked last, and with doppelvok the
  // index asked last may come first.
  options.doppelvok = true;
  random.then({10, 2}).then({99, 1}).then({99, 0});
  EXPECT_EQ((std::vector<int>{2, 1, 0}), AskedOrder());
}

TEST_F(TestSessionTest, TheDirectionDecidesTheQuestionSideAndTheAnswerSide) {
  options.TestenAbfrageweise = 1;
  ASSERT_TRUE(session.startTest());
  EXPECT_EQ(W(""), v().foreignText);
  EXPECT_EQ(W("Hund"), v().nativeText);
  Answer("dog");
  EXPECT_EQ(1, session.TestRight[1]);

  options.TestenAbfrageweise = 2;  // random, from the clock, for every question
  random.then({49});
  Answer("Katze");  // "B - A": judged against A
  EXPECT_EQ(0, session.TestRight[2]);
  EXPECT_EQ(QueryDirection::AB, session.TestDirection);
  EXPECT_EQ(W("house"), v().foreignText);
  EXPECT_EQ(1, random.reseeds);

  options.TestenAbfrageweise = -1;  // a configuration that names no direction: "A - B"
  session.TestDirection = QueryDirection::BA;
  session.chooseTestDirection();
  EXPECT_EQ(QueryDirection::AB, session.TestDirection);
}

TEST_F(TestSessionTest, AnEmptyAnswerChangesNothing) {
  ASSERT_TRUE(session.startTest());
  Answer("");
  Answer("   ");  // blanks are cut first (Testen_SpaceCut)
  EXPECT_EQ(W(""), v().answer);
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ("0/3", v().counter);
  EXPECT_EQ(0, session.TestAsked[1]);
  EXPECT_TRUE(session.TestAwaitingAnswer);

  // "  Hund  " is cut to "Hund" and written back before it is judged; without the cut it stays
  // as typed and does not match.
  Answer("  Hund  ");
  EXPECT_EQ(1, session.TestRight[1]);
  EXPECT_EQ(W("Hund"), session.TestAnswers[1]);
  options.Testen_SpaceCut = false;
  Answer(" Katze");
  EXPECT_EQ(0, session.TestRight[2]);
  EXPECT_EQ(W(" Katze"), session.TestAnswers[2]);
}

TEST_F(TestSessionTest, AQuestionMarkGivesTheEntryUpButKeepsTheQuestion) {
  ASSERT_TRUE(session.startTest());
  Answer("?");
  EXPECT_EQ(W(""), v().answer);
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ("0/3", v().counter) << "the counter does not move";
  EXPECT_EQ(1, session.TestAsked[1]);
  EXPECT_EQ(0, session.TestRight[1]);
  EXPECT_EQ(W("?"), session.TestAnswers[1]);
  EXPECT_TRUE(session.TestAwaitingAnswer);

  Answer("Hund");  // a later answer replaces the "?"
  EXPECT_EQ(1, session.TestRight[1]);
  EXPECT_EQ(W("Hund"), session.TestAnswers[1]);
  EXPECT_EQ(W("cat"), v().foreignText);
  EXPECT_EQ("1/3", v().counter);
  Answer("Katze");

  // On the last open entry the test ends only after a further answer.
  EXPECT_EQ(W("house"), v().foreignText);
  Answer("?");
  EXPECT_FALSE(session.TestFinished);
  EXPECT_EQ("2/3", v().counter);
  ExpectEnd();
  Answer("Haus");
  EXPECT_TRUE(session.TestFinished);
  EXPECT_EQ(1, session.TestRight[0]);

  // Without "Bei Eingabe von "?" ==> Lösung" a "?" is an answer like any other.
  options.FragezeichenLosung = false;
  EXPECT_TRUE(session.confirmEnd());
  ASSERT_TRUE(session.startTest());
  Answer("?");
  EXPECT_EQ("1/3", v().counter);
  EXPECT_EQ(0, session.TestRight[1]);
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, AnswersAreJudgedUnderTheTestsOwnOptions) {
  struct Case {
    bool kommatareg, grossklein, smartBrackets;
    const char* stored;
    const char* answer;
    bool right;
  };
  const Case cases[] = {
      {true, false, true, "Haus", "haus", true},
      {false, false, true, "Haus", "haus", false},  // byte for byte: case always counts
      {true, true, true, "Haus", "haus", false},
      {false, true, true, "laufen, rennen", "rennen", false},
      {true, true, false, "(to) go", "go", false},
  };
  // The practice's switches say the opposite of every case and must not matter.
  for (const Case& c : cases) {
    mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, c.stored, "x")});
    options.TestenAbfrageweise = 1;
    options.testenKommatareg = c.kommatareg;
    options.Kommatareg = !c.kommatareg;
    options.testengrossklein = c.grossklein;
    options.Grossklein = !c.grossklein;
    options.TestenSmartBrackets = c.smartBrackets;
    options.SmartBrackets = !c.smartBrackets;
    ASSERT_TRUE(session.startTest());
    ExpectEnd();
    Answer(c.answer);
    EXPECT_EQ(c.right, session.TestRight[0] == 1) << c.stored << " / " << c.answer;
    EXPECT_TRUE(session.confirmEnd());
  }
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, OnlyTheFirst255EntriesOfALessonAreTested) {
  std::vector<mhtest::RawRecord> records{Header("V"), Unit(1, "Viele")};
  for (int i = 0; i < 300; ++i) {
    records.push_back(Entry(1, "w" + std::to_string(i), "x"));
  }
  mhtest::WriteRecords(path, records);
  // The learner hears of the cut once.
  msgs.expect(
      "Die Lektion \"Viele\" hat mehr als 255 Vokabeln. Geübt, getestet und gedruckt werden nur "
      "die ersten 255.\nTeilen Sie die Lektion im DataFile-Editor (\"Editiern\"): exportieren, "
      "die Textdatei in zwei Teile trennen und die Teile als neue Lektionen importieren.");
  ASSERT_TRUE(session.startTest());
  ASSERT_EQ(255u, session.entries().size());
  EXPECT_EQ(W("w254"), session.entries()[254].A1.get());
  EXPECT_EQ("0/255", v().counter);
}

TEST_F(TestSessionTest, AllSynonymsStartAtTheFirstOrSecondAndSkipBlankFields) {
  mhtest::WriteRecords(
      path, {Header("V"), Unit(1, "L"), Entry6(1, "", "go", "", "gehen", "", ""),
             Entry6(1, "   ", "", "", "nichts", "", ""), Entry6(1, "a1", "a2", "a3", "b", "", "")});
  options.testensynonymabfrage = true;
  session.TestCurIndex = 2;  // asks the entries in file order
  random.then({0});          // a start at A1 (empty) moves on to A2
  ASSERT_TRUE(session.startTest());
  EXPECT_EQ(W("go"), v().foreignText);
  msgs.expect(kAbort, Answer::Yes);
  EXPECT_TRUE(session.confirmEnd());

  session.TestCurIndex = 2;
  random.then({1});  // a start at A2 takes it
  ASSERT_TRUE(session.startTest());
  EXPECT_EQ(W("go"), v().foreignText);

  random.then({1});  // blank throughout: the first field as stored, and the search ends
  Answer("gehen");
  EXPECT_EQ(W("   "), v().foreignText);

  random.then({1});  // the second synonym; the third only after a blank second
  Answer("nichts");
  EXPECT_EQ(W("a2"), v().foreignText);
  EXPECT_EQ(4, random.reseeds);
}

TEST_F(TestSessionTest, LektionAsksAndKeepsTheRunningLessonWhenTheChoiceIsAbandoned) {
  ASSERT_TRUE(session.startTest());
  Answer("Hund");
  int selections = 0;
  std::optional<std::uint8_t> choice;
  flows.onSelectLesson = [&](const std::string& file, bool allowCreate) {
    EXPECT_EQ(path, file);
    EXPECT_FALSE(allowCreate);
    ++selections;
    return choice;
  };

  msgs.expect(kAbort, Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  session.changeLesson();
  EXPECT_EQ(0, selections);

  msgs.expect(kAbort, Answer::Yes);
  session.changeLesson();
  EXPECT_EQ(1, selections);
  EXPECT_EQ(1, lesson.unitId) << "the lesson being tested stays the current one";
  EXPECT_EQ(W("cat"), v().foreignText);
  EXPECT_EQ("1/3", v().counter);
  EXPECT_EQ(1, session.TestAsked[1]);

  choice = 3;
  msgs.expect(kAbort, Answer::Yes);
  session.changeLesson();
  EXPECT_EQ(3, lesson.unitId);
  EXPECT_EQ(W("Drei"), v().lessonName);
  EXPECT_EQ(W("dritte"), v().lessonComment);
  EXPECT_EQ(W("bird"), v().foreignText);
  EXPECT_EQ("0/1", v().counter);
  EXPECT_EQ(0, session.TestAsked[1]) << "the marks start afresh";

  // Finished: no question before the choice.
  ExpectEnd();
  Answer("Vogel");
  choice = 1;
  session.changeLesson();
  EXPECT_FALSE(session.TestFinished);
  EXPECT_EQ(W("dog"), v().foreignText);
  EXPECT_EQ(1u, evaluations());
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, LektionToAnEmptyLessonWithoutAnotherChoiceEndsTheTestAtOnce) {
  ASSERT_TRUE(session.startTest());
  int selections = 0;
  flows.onSelectLesson = [&](const std::string&, bool) {
    return ++selections == 1 ? std::optional<std::uint8_t>(2) : std::nullopt;
  };
  msgs.expect(kAbort, Answer::Yes)
      .expect(kEmptyLesson, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  ExpectEnd();
  session.changeLesson();
  EXPECT_EQ(2, lesson.unitId);
  EXPECT_EQ(W("Leer"), v().lessonName);
  EXPECT_TRUE(session.entries().empty());
  EXPECT_EQ("0/0", v().counter);
  EXPECT_TRUE(session.TestFinished);
  EXPECT_TRUE(t.progress.tests.empty()) << "a test without a question is no test to keep";
  EXPECT_EQ(1u, evaluations());
  // The window then fills the evaluation, which has nothing to show.
  TestEvaluation result(session, msgs);
  msgs.expect("Es wurden keine Vokabeln abgefragt!", Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(result.fill(true));
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, AuswertungAndEndeAskUntilTheTestIsFinished) {
  ASSERT_TRUE(session.startTest());
  msgs.expect(kAbortForEvaluation, Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  session.requestEvaluation();
  EXPECT_EQ(0u, evaluations());
  msgs.expect(kAbortForEvaluation, Answer::Yes);
  session.requestEvaluation();
  EXPECT_EQ(1u, evaluations());
  EXPECT_FALSE(session.TestFinished) << "the test goes on";

  msgs.expect(kAbort, Answer::No, MsgKind::Confirmation, MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(session.confirmEnd());
  EXPECT_TRUE(session.TestAwaitingAnswer);
  Answer("Hund");
  EXPECT_EQ(W("cat"), v().foreignText);
  msgs.expect(kAbort, Answer::Yes);
  EXPECT_TRUE(session.confirmEnd());
  EXPECT_FALSE(session.TestAwaitingAnswer);
  EXPECT_TRUE(msgs.done());
}

TEST_F(TestSessionTest, EmptyLessonAndNoOtherChosenDoesNotStart) {
  lesson.unitId = 2;
  flows.onSelectLesson = [&](const std::string&, bool) { return std::optional<std::uint8_t>(); };
  msgs.expect(kEmptyLesson);
  EXPECT_FALSE(session.startTest());
  EXPECT_EQ(2, lesson.unitId);
}

// One missing DataFile is one box, with the file and the reason.
TEST_F(TestSessionTest, MissingDataFileIsOneBoxAndKeepsTheEntriesLoaded) {
  ASSERT_TRUE(session.startTest());
  std::filesystem::remove(path);
  msgs.expect("IO-Fehler 802!" + mhtest::Missing(path), Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(session.startTest());
  EXPECT_EQ(1u, msgs.shown().size());
  ASSERT_EQ(3u, session.entries().size());
  EXPECT_EQ(W("house"), session.entries()[0].A1.get());
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// A test reads only questions from the foreign side: a question "B - A" would tell the answer.
TEST_F(TestSessionTest, VorlesenReadsOnlyAForeignQuestion) {
  t.speaker.withVoices();
  options.more.autoSpeak = true;
  options.TestenAbfrageweise = 1;
  ASSERT_TRUE(session.startTest());
  EXPECT_EQ(W("Hund"), v().nativeText);
  session.readAloud();
  EXPECT_TRUE(t.speaker.said.empty());

  options.TestenAbfrageweise = 0;
  Answer("dog");
  EXPECT_EQ(W("cat"), v().foreignText);
  session.readAloud();
  EXPECT_EQ((std::vector<std::string>{"cat", "cat"}), t.speaker.texts());
}

}  // namespace
}  // namespace merkhaus
