// SPDX-License-Identifier: GPL-3.0-or-later
#include "testing/test_evaluation.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/scripted_random.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::W;

constexpr const char* kNothingAsked = "Es wurden keine Vokabeln abgefragt!";

struct NoDisplay : TestDisplay {
  void ShowTestState() override {}
  void ShowEvaluation() override {}
};

TVocData Voc(const char* a1, const char* a2, const char* a3, const char* b1,
             const char* comment = "") {
  TVocData e{};
  e.A1.set(W(a1));
  e.A2.set(W(a2));
  e.A3.set(W(a3));
  e.B1.set(W(b1));
  e.Comment.set(W(comment));
  return e;
}

// The evaluation of a test whose marks the test sets directly: entry i of the list is "wi" with
// the translation "ti".
class TestEvaluationTest : public ::testing::Test {
 protected:
  void Load(int count) {
    for (int i = 0; i < count; ++i) {
      const std::string n = std::to_string(i + 1);
      shared->VocList[static_cast<std::size_t>(i)] =
          Voc(("w" + n).c_str(), "", "", ("t" + n).c_str(), ("k" + n).c_str());
    }
    shared->VocCount = static_cast<std::uint8_t>(count);
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

  mhtest::ScriptedMessages msgs;
  mhtest::ScriptedRandom random;
  Options options;
  std::unique_ptr<Shared> shared = std::make_unique<Shared>();
  mhtest::FakeFlows flows;
  NoDisplay display;
  TestSession test{*shared, options, msgs, random, flows, display};
  TestEvaluation evaluation{test, *shared, msgs};
};

TEST_F(TestEvaluationTest, AllRightShowsNoRowsUntilEveryEntryIsListed) {
  EXPECT_EQ("<", evaluation.view().right);
  EXPECT_EQ("<", evaluation.view().quotient);
  Load(10);
  for (int i = 1; i <= 10; ++i)
    Asked(i, true);
  ASSERT_TRUE(evaluation.Fill(true));
  EXPECT_EQ("10 / 10", evaluation.view().right);
  EXPECT_EQ("0 %", evaluation.view().quotient);
  EXPECT_TRUE(evaluation.view().rows.empty());

  ASSERT_TRUE(evaluation.Fill(false));
  EXPECT_EQ((std::vector<std::string>{"w1", "w2", "w3", "w4", "w5", "w6", "w7", "w8", "w9", "w10"}),
            Foreign());
  EXPECT_EQ((EvaluationRow{W("w1"), W("t1"), W("x"), W("k1")}), evaluation.view().rows[0]);
}

TEST_F(TestEvaluationTest, WrongEntriesAreListedInTheOrderOfTheLesson) {
  Load(4);
  // Asked in the order 4, 3, 2, 1: the rows follow the lesson, not the asking.
  Asked(4, true);
  Asked(3, false, "falsch3");
  Asked(2, true);
  Asked(1, false, "falsch1");
  ASSERT_TRUE(evaluation.Fill(true));
  EXPECT_EQ((std::vector<std::string>{"w1", "w3"}), Foreign());
  EXPECT_EQ(W("falsch3"), evaluation.view().rows[1].answer);
  EXPECT_EQ("2 / 4", evaluation.view().right);
  EXPECT_EQ("50 %", evaluation.view().quotient);
}

TEST_F(TestEvaluationTest, SynonymsAreJoinedAndAnEmptySecondLeavesNoTrace) {
  shared->VocList[0] = Voc("to go", "", "leave", "gehen");
  shared->VocList[0].B2.set(W("verlassen"));
  shared->VocList[1] = Voc("", "second", "", "");
  shared->VocCount = 2;
  Asked(1, false);
  Asked(2, false);
  ASSERT_TRUE(evaluation.Fill(true));
  EXPECT_EQ(W("to go  @  leave"), evaluation.view().rows[0].foreign);
  EXPECT_EQ(W("gehen  @  verlassen"), evaluation.view().rows[0].native);
  EXPECT_EQ(W("  @  second"), evaluation.view().rows[1].foreign) << "an empty first is kept";
}

TEST_F(TestEvaluationTest, AnEntryGivenUpCountsAsAskedAndWrong) {
  Load(3);
  Asked(1, true);
  Asked(2, false, "?");
  ASSERT_TRUE(evaluation.Fill(true));
  EXPECT_EQ("1 / 2", evaluation.view().right) << "only the entries asked so far count";
  EXPECT_EQ("50 %", evaluation.view().quotient);
  ASSERT_EQ(1u, evaluation.view().rows.size());
  EXPECT_EQ(W("?"), evaluation.view().rows[0].answer);
}

TEST_F(TestEvaluationTest, NothingAskedWarnsAndKeepsTheLastContent) {
  Load(3);
  msgs.expect(kNothingAsked, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(evaluation.Fill(true));
  EXPECT_EQ("<", evaluation.view().right);

  Asked(1, false);
  Asked(2, true);
  Asked(3, true);
  ASSERT_TRUE(evaluation.Fill(true));
  // A new test: nothing asked yet, and the evaluation still shows the last one.
  test.ClearTestMarks();
  msgs.expect(kNothingAsked);
  EXPECT_FALSE(evaluation.Fill(false));
  EXPECT_EQ("2 / 3", evaluation.view().right);
  EXPECT_EQ("33 %", evaluation.view().quotient);
  EXPECT_EQ((std::vector<std::string>{"w1"}), Foreign());
  EXPECT_TRUE(msgs.done());
}

}  // namespace
}  // namespace merkhaus
