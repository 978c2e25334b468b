// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_evaluation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::W;

constexpr const char* kNothingAsked = "Es wurden keine Vokabeln abgefragt!";

// The evaluation of a test whose marks the test sets directly: entry i of the lesson is "wi"
// with the translation "ti".
class TestEvaluationTest : public ::testing::Test {
 protected:
  // The test's entries, read from a DataFile of one lesson.
  void Load(const std::vector<mhtest::RawRecord>& entries) {
    std::vector<mhtest::RawRecord> records{mhtest::Header("V"), mhtest::Unit(1, "L")};
    records.insert(records.end(), entries.begin(), entries.end());
    mhtest::WriteRecords(t.lesson.dataFilePath, records);
    ASSERT_TRUE(test.prepareTest());
  }
  void Load(int count) {
    std::vector<mhtest::RawRecord> entries;
    for (int i = 1; i <= count; ++i) {
      const std::string n = std::to_string(i);
      entries.push_back(mhtest::Entry(1, "w" + n, "t" + n, "k" + n));
    }
    Load(entries);
  }
  // Entry i (counted from 1) answered with `answer`, right or wrong.
  void Asked(int i, bool right, const char* answer = "x") {
    const auto at = static_cast<std::size_t>(i - 1);
    test.TestAsked[at] = 1;
    test.TestRight[at] = right ? 1 : 0;
    test.TestAnswers[at] = W(answer);
  }
  std::vector<std::string> Foreign() const {
    std::vector<std::string> out;
    for (const EvaluationRow& r : evaluation.view().rows)
      out.push_back(r.foreign.bytes());
    return out;
  }

  mhtest::TestContext t;
  mhtest::ScriptedMessages& msgs = t.messages;
  mhtest::FakeFlows flows;
  TestSession test{t.services, flows.bundle()};
  TestEvaluation evaluation{test, msgs};

  void SetUp() override {
    t.lesson.dataFilePath = t.dir.file("v.fid");
    t.lesson.unitId = 1;
  }
};

TEST_F(TestEvaluationTest, AllRightShowsNoRowsUntilEveryEntryIsListed) {
  EXPECT_EQ("<", evaluation.view().right);
  EXPECT_EQ("<", evaluation.view().quotient);
  Load(10);
  for (int i = 1; i <= 10; ++i)
    Asked(i, true);
  ASSERT_TRUE(evaluation.fill(true));
  EXPECT_EQ("10 / 10", evaluation.view().right);
  EXPECT_EQ("0 %", evaluation.view().quotient);
  EXPECT_TRUE(evaluation.view().rows.empty());

  ASSERT_TRUE(evaluation.fill(false));
  EXPECT_EQ((std::vector<std::string>{"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10"}),
            Foreign());
  EXPECT_EQ((EvaluationRow{W("w1"), W("t1"), W("x"), W("k1"), true}), evaluation.view().rows[0]);
}

TEST_F(TestEvaluationTest, WrongEntriesAreListedInTheOrderOfTheLesson) {
  Load(4);
  // Asked in the order 4, 3, 2, 1: the rows follow the lesson, not the asking.
  Asked(4, true);
  Asked(3, false, "falsch3");
  Asked(2, true);
  Asked(1, false, "falsch1");
  ASSERT_TRUE(evaluation.fill(true));
  EXPECT_EQ((std::vector<std::string>{"w1", "w3"}), Foreign());
  EXPECT_EQ(W("falsch3"), evaluation.view().rows[1].answer);
  EXPECT_EQ("2 / 4", evaluation.view().right);
  EXPECT_EQ("50 %", evaluation.view().quotient);
  // Listed all, each row carries its own verdict.
  ASSERT_TRUE(evaluation.fill(false));
  std::vector<bool> right;
  for (const EvaluationRow& r : evaluation.view().rows)
    right.push_back(r.right);
  EXPECT_EQ((std::vector<bool>{false, true, false, true}), right);
}

TEST_F(TestEvaluationTest, SynonymsAreJoinedAndAnEmptySecondLeavesNoTrace) {
  Load({mhtest::Entry6(1, "to go", "", "leave", "gehen", "verlassen", ""),
        mhtest::Entry6(1, "", "second", "", "", "", "")});
  Asked(1, false);
  Asked(2, false);
  ASSERT_TRUE(evaluation.fill(true));
  EXPECT_EQ(W("to go  @  leave"), evaluation.view().rows[0].foreign);
  EXPECT_EQ(W("gehen  @  verlassen"), evaluation.view().rows[0].native);
  EXPECT_EQ(W("  @  second"), evaluation.view().rows[1].foreign) << "an empty first is kept";
}

TEST_F(TestEvaluationTest, AnEntryGivenUpCountsAsAskedAndWrong) {
  Load(3);
  Asked(1, true);
  Asked(2, false, "?");
  ASSERT_TRUE(evaluation.fill(true));
  EXPECT_EQ("1 / 2", evaluation.view().right) << "only the entries asked so far count";
  EXPECT_EQ("50 %", evaluation.view().quotient);
  ASSERT_EQ(1u, evaluation.view().rows.size());
  EXPECT_EQ(W("?"), evaluation.view().rows[0].answer);
}

TEST_F(TestEvaluationTest, NothingAskedWarnsAndKeepsTheLastContent) {
  Load(3);
  msgs.expect(kNothingAsked, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(evaluation.fill(true));
  EXPECT_EQ("<", evaluation.view().right);

  Asked(1, false);
  Asked(2, true);
  Asked(3, true);
  ASSERT_TRUE(evaluation.fill(true));
  // A new test: nothing asked yet, and the evaluation still shows the last one.
  test.clearTestMarks();
  msgs.expect(kNothingAsked);
  EXPECT_FALSE(evaluation.fill(false));
  EXPECT_EQ("2 / 3", evaluation.view().right);
  EXPECT_EQ("33 %", evaluation.view().quotient);
  EXPECT_EQ((std::vector<std::string>{"w1"}), Foreign());
  EXPECT_TRUE(msgs.done());
}

}  // namespace
}  // namespace merkhaus
