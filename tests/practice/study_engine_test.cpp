// SPDX-License-Identifier: GPL-3.0-or-later
#include "practice/study_engine.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "support/scripted_random.h"

namespace merkhaus {
namespace {

class StudyEngineTest : public ::testing::Test {
 protected:
  void Lesson(int count) { entries.assign(static_cast<std::size_t>(count), TVocData{}); }
  void Master(std::size_t i) {
    engine.Successes[i] = static_cast<std::uint16_t>(options.KickoutVal);
  }
  // Asks `n` times in a row, each choice becoming the entry asked last.
  std::vector<int> Ask(int n) {
    std::vector<int> order;
    for (int i = 0; i < n; ++i) {
      const auto next = engine.selectNextEntry();
      if (!next) {
        order.push_back(-1);
        continue;
      }
      engine.CurIndex = *next;
      order.push_back(*next);
    }
    return order;
  }

  std::vector<TVocData> entries;
  Options options;
  mhtest::ScriptedRandom random;
  StudyEngine engine{entries, options, random};
};

TEST_F(StudyEngineTest, SystematicWalkStartsAtARandomPlaceInARandomDirection) {
  Lesson(5);
  // Forwards (draw below 50) from 3.
  random.then({49, 3});
  EXPECT_EQ(3, engine.selectNextEntry());
  EXPECT_EQ(1, random.reseeds);
  EXPECT_EQ((std::vector<int>{100, 5}), random.ranges);

  // Forwards from 2: 2 was just asked, 3 and 4 are mastered, so the walk wraps to 0.
  engine.CurIndex = 2;
  Master(3);
  Master(4);
  random.then({0, 2});
  EXPECT_EQ(0, engine.selectNextEntry());
  EXPECT_EQ(2, engine.MasteredCount);

  // Backwards (draw 50) from 0, just asked: the walk wraps to the end and skips 4 and 3.
  engine.CurIndex = 0;
  random.then({50, 0});
  EXPECT_EQ(2, engine.selectNextEntry());
  EXPECT_EQ(3, random.reseeds);
}

TEST_F(StudyEngineTest, SystematicRepeatsTheLastEntryOnlyWhenAllowed) {
  Lesson(3);
  engine.CurIndex = 1;
  random.then({0, 1});
  EXPECT_EQ(2, engine.selectNextEntry()) << "doppelvok off: the entry just asked is skipped";
  options.doppelvok = true;
  random.then({0, 1});
  EXPECT_EQ(1, engine.selectNextEntry());
  options.doppelvok = false;
  Master(0);
  Master(2);
  random.then({99, 1});
  EXPECT_EQ(1, engine.selectNextEntry()) << "the last open entry comes again";
  Master(1);
  random.then({99, 1});
  EXPECT_EQ(std::nullopt, engine.selectNextEntry());
  EXPECT_EQ(3, engine.MasteredCount);
}

TEST_F(StudyEngineTest, EmptyLessonHasNothingToAskInAnyOrder) {
  Lesson(0);
  for (int a = 0; a < 4; ++a) {
    options.algorithmus = a;
    EXPECT_EQ(std::nullopt, engine.selectNextEntry()) << a;
    EXPECT_EQ(0, engine.MasteredCount);
  }
  EXPECT_TRUE(random.ranges.empty());
}

TEST_F(StudyEngineTest, InOrderStartsAfterTheEntryAskedLast) {
  Lesson(5);
  options.algorithmus = 1;
  EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 0, 1}), Ask(6));
  options.algorithmus = 2;
  StudyEngine fresh(entries, options, random);  // a new run: CurIndex 0
  engine.CurIndex = fresh.CurIndex;
  EXPECT_EQ((std::vector<int>{4, 3, 2, 1, 0, 4}), Ask(6));
  EXPECT_TRUE(random.ranges.empty()) << "the orders in sequence draw nothing";
}

TEST_F(StudyEngineTest, InOrderSkipsMasteredEntriesAndEnds) {
  Lesson(5);
  options.algorithmus = 1;
  Master(2);
  Master(4);
  EXPECT_EQ((std::vector<int>{1, 3, 0, 1}), Ask(4));
  EXPECT_EQ(2, engine.MasteredCount);
  Master(0);
  Master(3);
  EXPECT_EQ((std::vector<int>{1, 1}), Ask(2)) << "one entry left, asked again and again";
  Master(1);
  EXPECT_EQ((std::vector<int>{-1}), Ask(1));
  EXPECT_EQ(5, engine.MasteredCount);
}

TEST_F(StudyEngineTest, InOrderAfterALongerLessonStartsAtAnEnd) {
  Lesson(3);
  engine.CurIndex = 7;  // asked last in a longer lesson
  options.algorithmus = 1;
  EXPECT_EQ(0, engine.selectNextEntry());
  options.algorithmus = 2;
  EXPECT_EQ(0, engine.selectNextEntry()) << "both wrap tests apply in both directions";
}

TEST_F(StudyEngineTest, RandomDrawsUntilAnOpenEntryOtherThanTheLast) {
  Lesson(4);
  options.algorithmus = 3;
  engine.CurIndex = 0;
  Master(2);
  random.then({0, 2, 3});
  EXPECT_EQ(3, engine.selectNextEntry());
  EXPECT_EQ(0, random.reseeds);
  EXPECT_EQ((std::vector<int>{4, 4, 4}), random.ranges);
  options.doppelvok = true;
  random.then({3});
  EXPECT_EQ(3, engine.selectNextEntry());
  Master(0);
  Master(1);
  Master(3);
  EXPECT_EQ(std::nullopt, engine.selectNextEntry());
}

TEST_F(StudyEngineTest, OneEntryLessonIsAskedAgainInEveryOrder) {
  Lesson(1);
  for (int a = 0; a < 4; ++a) {
    options.algorithmus = a;
    if (a == 0) random.then({10, 0, 90, 0});
    if (a == 3) random.then({0, 0});
    EXPECT_EQ((std::vector<int>{0, 0}), Ask(2)) << a;
  }
}

TEST_F(StudyEngineTest, ChooseDirection) {
  options.Abfrageweise = 1;
  engine.chooseDirection();
  EXPECT_EQ(QueryDirection::BA, engine.Direction);
  options.Abfrageweise = 0;
  engine.chooseDirection();
  EXPECT_EQ(QueryDirection::AB, engine.Direction);
  options.Abfrageweise = 2;
  random.then({50, 49});
  engine.chooseDirection();
  EXPECT_EQ(QueryDirection::BA, engine.Direction);
  engine.chooseDirection();
  EXPECT_EQ(QueryDirection::AB, engine.Direction);
  EXPECT_EQ(2, random.reseeds);
  EXPECT_EQ((std::vector<int>{100, 100}), random.ranges);
}

TEST_F(StudyEngineTest, KickOutAfterKickoutValNetRightAnswers) {
  Lesson(2);
  options.KickoutVal = 2;
  engine.CurIndex = 0;
  engine.recordRight();
  EXPECT_FALSE(engine.isMastered(0));
  EXPECT_EQ(1, engine.remaining());
  engine.recordRight();
  EXPECT_TRUE(engine.isMastered(0));
  EXPECT_EQ(0, engine.remaining());

  engine.CurIndex = 1;
  engine.recordWrong();
  EXPECT_EQ(3, engine.remaining());
  engine.recordWrong();
  EXPECT_EQ(4, engine.remaining()) << "penalties above successes count as a negative difference";
  engine.recordRight();
  engine.recordRight();
  engine.recordRight();
  EXPECT_FALSE(engine.isMastered(1));
  engine.recordRight();
  EXPECT_TRUE(engine.isMastered(1));
  engine.zeroCounters();
  EXPECT_FALSE(engine.isMastered(0));
  EXPECT_EQ(2, engine.remaining());
}

TEST_F(StudyEngineTest, TipCostsHalfTheSolutionRoundedToEven) {
  const int expected[] = {0, 1, 2, 2, 2, 3, 4, 4, 4, 5, 6, 6, 6, 7, 8, 8};
  for (int l = 1; l <= 16; ++l)
    EXPECT_EQ(expected[l - 1], StudyEngine::tipPenalty(l)) << l;
}

TEST_F(StudyEngineTest, PenaltiesOfTipsAndSolutions) {
  Lesson(3);
  options.Losungstrafe = 3;
  engine.CurIndex = 0;
  engine.recordTip();
  EXPECT_EQ(2, engine.Penalties[0]);
  EXPECT_EQ(1, engine.Tries);

  engine.CurIndex = 1;
  engine.Tries = 0;
  engine.recordWrong();
  engine.recordSolution();
  EXPECT_EQ(3, engine.Penalties[1]) << "one for the wrong answer, 3 - 1 for the solution";

  engine.CurIndex = 2;
  engine.Tries = 0;
  engine.recordSolution();
  EXPECT_EQ(3, engine.Penalties[2]);
}

TEST_F(StudyEngineTest, FreeTipsNeverDriveTheSolutionPenaltyBelowZero) {
  Lesson(1);
  options.Losungstrafe = 1;  // tips cost nothing
  engine.recordTip();
  engine.recordTip();
  engine.recordSolution();
  EXPECT_EQ(0, engine.Penalties[0]);
  engine.Penalties[0] = 5;
  engine.Tries = 3;
  engine.recordSolution();
  EXPECT_EQ(3, engine.Penalties[0]);
}

TEST_F(StudyEngineTest, OutOfTriesOnTheAnswerAfterTheLastRetry) {
  Lesson(1);
  options.Neuversuche = 2;
  EXPECT_FALSE(engine.recordWrong());
  EXPECT_FALSE(engine.recordWrong());
  EXPECT_TRUE(engine.recordWrong()) << "the third wrong answer loses the question";
  EXPECT_EQ(3, engine.Tries);
  EXPECT_EQ(3, engine.Penalties[0]);

  engine.Tries = 0;
  engine.recordTip();
  EXPECT_FALSE(engine.recordWrong());
  EXPECT_TRUE(engine.recordWrong()) << "after a tip already the second";
}

}  // namespace
}  // namespace merkhaus
