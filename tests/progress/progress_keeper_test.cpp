// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/progress_keeper.h"

#include <gtest/gtest.h>

#include <string>

#include "progress/datafile_read.h"
#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class ProgressKeeperTest : public ::testing::Test {
 protected:
  ProgressKeeperTest() {
    mhtest::WriteRecords(path, {Header("V", "Englisch", "Deutsch"), Unit(1, "eins"),
                                Entry(1, "house", "Haus"), Entry(1, "dog", "Hund")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    const auto read = ReadDataFileEntries(path);
    house = read->lessons[0].entries[0];
    dog = read->lessons[0].entries[1];
  }

  MemoryState StateOf(const TVocData& entry) {
    const auto link = keeper.link(path, t.lesson.dataFileHeader);
    EXPECT_TRUE(link);
    return link ? link->store.state(link->file, entry).value() : MemoryState{};
  }

  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  std::string db = t.dir.file("lernstand.sqlite");
  ProgressKeeper keeper{db, t.options, t.messages, t.clock};
  TVocData house{};
  TVocData dog{};
};

// Practice asks an entry again and again on one day; only how it went the first time tells the
// memory anything.
TEST_F(ProgressKeeperTest, OnlyTheFirstOutcomeOfADayCounts) {
  const Day today = keeper.today();
  keeper.answered(t.lesson, house, AnswerOutcome::RightFirstTry);
  const MemoryState first = StateOf(house);
  EXPECT_EQ(1, first.reps);
  EXPECT_EQ(Review(MemoryState{}, Grade::Good, today, keeper.params()), first);

  keeper.answered(t.lesson, house, AnswerOutcome::Failed);
  keeper.answered(t.lesson, house, AnswerOutcome::RightWithHelp);
  EXPECT_EQ(first, StateOf(house));

  // A failure as the first outcome is "Nochmal"; the next day counts afresh.
  keeper.answered(t.lesson, dog, AnswerOutcome::Failed);
  EXPECT_EQ(Review(MemoryState{}, Grade::Again, today, keeper.params()), StateOf(dog));
  t.clock.set(2025, 12, 5);
  keeper.answered(t.lesson, house, AnswerOutcome::RightWithHelp);
  EXPECT_EQ(Review(first, Grade::Hard, today + 1, keeper.params()), StateOf(house));

  // The retention option reaches the scheduler.
  t.options.more.desiredRetentionPercent = 80;
  EXPECT_DOUBLE_EQ(0.8, keeper.params().desiredRetention);
}

TEST_F(ProgressKeeperTest, ACorrectionCarriesTheProgressAndFinishedTestsAreKept) {
  keeper.answered(t.lesson, house, AnswerOutcome::RightFirstTry);
  TVocData fixed = house;
  fixed.B1.set(mhtest::W("Haus, das"));
  keeper.corrected(t.lesson, house, fixed);
  EXPECT_EQ(StateOf(house), StateOf(fixed));
  EXPECT_EQ(1, StateOf(fixed).reps);

  keeper.testFinished(t.lesson, 1, 2, 50);
  const auto link = keeper.link(path, t.lesson.dataFileHeader);
  ASSERT_TRUE(link);
  const auto history = link->store.testHistory(link->file, 1);
  ASSERT_TRUE(history);
  ASSERT_EQ(1u, history->size());
  EXPECT_EQ((TestResult{1, keeper.today(), 1, 2, 50}), (*history)[0]);
  EXPECT_TRUE(t.messages.done());
}

// Learning goes on without the database: one message says why, whatever is reported later.
TEST_F(ProgressKeeperTest, AnUnusableDatabaseIsToldOnce) {
  const std::string nowhere = t.dir.file("fehlt/lernstand.sqlite");
  ProgressKeeper broken{nowhere, t.options, t.messages, t.clock};
  t.messages.expect("Der Lernstand kann nicht geführt werden.\nDie Datei \"" + nowhere +
                        "\" kann nicht geöffnet werden: der Ordner ist nicht vorhanden.",
                    Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  broken.answered(t.lesson, house, AnswerOutcome::RightFirstTry);
  broken.answered(t.lesson, dog, AnswerOutcome::Failed);
  broken.testFinished(t.lesson, 1, 2, 50);
  EXPECT_FALSE(broken.link(path, t.lesson.dataFileHeader));
  EXPECT_TRUE(broken.told());
  EXPECT_TRUE(t.messages.done());
}

}  // namespace
}  // namespace merkhaus
