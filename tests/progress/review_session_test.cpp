// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/review_session.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "progress/datafile_read.h"
#include "store/datafile.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;
using mhtest::W;

// Lesson 1 holds a, b, c; lesson 2 holds d, e. The clock stands on 2025-12-04.
class ReviewSessionTest : public ::testing::Test {
 protected:
  ReviewSessionTest() {
    mhtest::WriteRecords(path, {Header("Vokabeln", "Englisch", "Deutsch"), Unit(1, "eins"),
                                Entry(1, "a", "A"), Entry(1, "b", "B"), Entry(1, "c", "C"),
                                Unit(2, "zwei"), Entry(2, "d", "D"), Entry(2, "e", "E")});
    t.lesson.dataFilePath = path;
    const auto read = ReadDataFileEntries(path);
    for (const auto& lesson : read->lessons) {
      for (const TVocData& e : lesson.entries)
        entries.push_back(e);
    }
    header = ReadHeaderRecord(path).value();
  }

  const TVocData& E(const char* a) {
    return *std::find_if(entries.begin(), entries.end(),
                         [&](const TVocData& e) { return e.A1.get() == W(a); });
  }
  ProgressKeeper::Link Link() { return keeper.link(path, header).value(); }
  MemoryState Seed(const char* a, Grade grade, Day day) {
    auto l = Link();
    return l.store.review(l.file, E(a), grade, day, keeper.params()).value();
  }
  MemoryState State(const char* a) {
    auto l = Link();
    return l.store.state(l.file, E(a)).value();
  }
  void Answer(const char* text) {
    session.setAnswer(W(text));
    session.advance();
  }

  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  ProgressKeeper keeper{t.dir.file("lernstand.sqlite"), t.options, t.messages, t.clock};
  Services services{t.lesson,       t.options,     t.messages, t.fileDialogs, t.help, t.random,
                    t.specialChars, t.printDialog, t.clock,    t.speaker,     keeper};
  mhtest::FakeFlows flows;
  ReviewSession session{services, flows.bundle(), &keeper};
  std::vector<TVocData> entries;
  TVocData header{};
  Day today = DayFromDate(2025, 12, 4);
};

// The least likely to be remembered first, then new entries in lesson order up to the day's
// number; typed answers are graded as in practice, a card by the learner.
TEST_F(ReviewSessionTest, AsksTheMostOverdueFirstAndGradesEveryAnswer) {
  const MemoryState d = Seed("d", Grade::Again, today - 5);  // tiny stability, long ago
  const MemoryState a = Seed("a", Grade::Good, today - 10);
  const MemoryState b = Seed("b", Grade::Good, today - 3);
  t.options.more.newEntriesPerDay = 1;
  const std::string before = mhtest::ReadBytes(path);

  ASSERT_TRUE(session.startReview());
  std::vector<std::string> order;
  for (const ReviewItem& item : session.queue())
    order.push_back(std::string(item.entry.A1.view()));
  EXPECT_EQ((std::vector<std::string>{"d", "a", "b", "c"}), order);
  EXPECT_EQ("Wiederholen -- Vokabeln", session.view().caption);
  EXPECT_EQ(W("zwei"), session.view().lessonName);
  EXPECT_EQ(W("d"), session.view().foreignText);
  EXPECT_EQ("1/4", session.view().counter);

  Answer("D");  // right at once: Gut
  EXPECT_TRUE(session.view().answerShown);
  EXPECT_TRUE(session.view().answerRight);
  session.advance();
  Answer("X");  // wrong, then right: Schwer
  EXPECT_TRUE(session.view().wrongShown);
  EXPECT_FALSE(session.view().answerShown);
  Answer("A");
  session.advance();
  Answer("?");  // Nochmal
  EXPECT_EQ(W("B"), session.view().nativeText);
  EXPECT_FALSE(session.view().answerRight);
  session.advance();

  // Nothing has happened on "c" yet: the switch to cards takes it at once, and is remembered.
  session.setStyle(ReviewStyle::Card);
  EXPECT_EQ(ReviewStyle::Card, session.view().asking);
  EXPECT_EQ(1, static_cast<int>(t.options.more.reviewStyle));
  EXPECT_EQ(1, flows.moreOptionsSaved);
  session.grade(Grade::Easy);  // not turned over yet: ignored
  EXPECT_EQ(W(""), session.view().nativeText);
  session.advance();  // Space
  EXPECT_EQ(W("C"), session.view().nativeText);
  const auto days = NextIntervals(MemoryState{}, today, keeper.params());
  for (std::size_t i = 0; i < 4; ++i)
    EXPECT_EQ(ReviewSession::IntervalText(days[i]), session.view().intervals[i]) << i;

  const std::vector<MemoryState> expected = {
      Review(d, Grade::Good, today, keeper.params()),
      Review(a, Grade::Hard, today, keeper.params()),
      Review(b, Grade::Again, today, keeper.params()),
      Review(MemoryState{}, Grade::Easy, today, keeper.params()),
  };
  Day next = expected[0].due;
  for (const MemoryState& m : expected)
    next = std::min(next, m.due);
  const auto count = std::count_if(expected.begin(), expected.end(),
                                   [&](const MemoryState& m) { return m.due == next; });
  const std::string iso = FormatDay(next);
  t.messages.expect("Sie haben 4 Vokabeln wiederholt.\nAls nächstes " +
                        std::string(count == 1 ? "ist 1 Vokabel"
                                               : "sind " + std::to_string(count) + " Vokabeln") +
                        " am " + iso.substr(8, 2) + "." + iso.substr(5, 2) + "." +
                        iso.substr(0, 4) + " fällig.",
                    Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  session.grade(Grade::Easy);
  EXPECT_TRUE(session.view().finished);
  EXPECT_TRUE(t.messages.done());

  EXPECT_EQ(expected[0], State("d"));
  EXPECT_EQ(expected[1], State("a"));
  EXPECT_EQ(expected[2], State("b"));
  EXPECT_EQ(expected[3], State("c"));
  EXPECT_TRUE(State("e").isNew());
  EXPECT_EQ(before, mhtest::ReadBytes(path)) << "the DataFile is only read";
}

TEST_F(ReviewSessionTest, NothingDueIsToldWithTheNextDay) {
  t.options.more.newEntriesPerDay = 0;
  t.messages.expect(
      "Heute ist in diesem DataFile nichts zu wiederholen.\n"
      "Zurzeit wartet keine Vokabel auf eine Wiederholung.",
      Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_FALSE(session.startReview());

  Seed("a", Grade::Good, today);  // due in a few days
  const Day due = State("a").due;
  const std::string iso = FormatDay(due);
  t.messages.expect(
      "Heute ist in diesem DataFile nichts zu wiederholen.\nAls nächstes ist 1 "
      "Vokabel am " +
          iso.substr(8, 2) + "." + iso.substr(5, 2) + "." + iso.substr(0, 4) + " fällig.",
      Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_FALSE(session.startReview());
  EXPECT_TRUE(t.messages.done());
}

TEST(ReviewIntervalText, ReadsAsLearnersCountTime) {
  const std::pair<int, const char*> cases[] = {
      {1, "1 Tag"},       {2, "2 Tage"},      {30, "30 Tage"}, {31, "1 Monat"},
      {45, "1,5 Monate"}, {364, "12 Monate"}, {365, "1 Jahr"}, {800, "2,2 Jahre"},
  };
  for (const auto& [days, text] : cases)
    EXPECT_EQ(text, ReviewSession::IntervalText(days)) << days;
}

}  // namespace
}  // namespace merkhaus

namespace merkhaus {
namespace {

// The foreign side is read once it is in view, typed or as a card: as the question, or as the
// answer of a question "B - A", never while the learner is still to give it; always in the
// language of the DataFile reviewed, whatever DataFile the program looked at before.
TEST_F(ReviewSessionTest, VorlesenReadsTheForeignSideOnceItIsShown) {
  t.speaker.withVoices();
  t.options.more.autoSpeak = true;
  t.options.more.newEntriesPerDay = 5;
  t.options.Abfrageweise = 1;
  ASSERT_TRUE(session.startReview());
  EXPECT_EQ(W("A"), session.view().nativeText);
  EXPECT_FALSE(session.view().foreignShown);
  session.readAloud();
  EXPECT_TRUE(t.speaker.said.empty());

  Answer("a");  // typed and right: the answer is read, and again on request
  EXPECT_TRUE(session.view().foreignShown);
  session.readAloud();
  EXPECT_EQ((std::vector<std::string>{"a", "a"}), t.speaker.texts());
  EXPECT_EQ("en_GB", t.speaker.said[0].voice.locale);
  session.advance();
  EXPECT_EQ(2u, t.speaker.said.size());
  session.solution();  // the solution of a typed question is read too
  EXPECT_EQ("b", t.speaker.texts().back());
  session.advance();

  session.setStyle(ReviewStyle::Card);  // "c" as a card "B - A": read when turned over
  EXPECT_EQ(3u, t.speaker.said.size());
  session.advance();
  EXPECT_EQ("c", t.speaker.texts().back());
  t.options.Abfrageweise = 0;  // "A - B": the question is read as it comes
  session.grade(Grade::Good);
  EXPECT_EQ(W("d"), session.view().foreignText);
  EXPECT_EQ("d", t.speaker.texts().back());

  t.options.more.autoSpeak = false;  // without the option, only the button reads
  session.advance();
  session.grade(Grade::Good);
  EXPECT_EQ(W("e"), session.view().foreignText);
  EXPECT_EQ(5u, t.speaker.said.size());
  session.readAloud();
  EXPECT_EQ((std::vector<std::string>{"a", "a", "b", "c", "d", "e"}), t.speaker.texts());
}

}  // namespace
}  // namespace merkhaus
