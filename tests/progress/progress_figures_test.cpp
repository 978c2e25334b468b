// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "progress/progress_figures.h"
#include "support/datafile_builder.h"

namespace {

using merkhaus::Day;
using merkhaus::MemoryState;
using merkhaus::TVocData;

const Day kToday = merkhaus::DayFromDate(2025, 6, 1);

// A DataFile read as the review reads it: lesson 1 (a, b, c, d, again a), lesson 255 (e, f), a
// deleted lesson 254 (g) and an entry of no lesson (h).
class ProgressFigures : public ::testing::Test {
 protected:
  void SetUp() override {
    mhtest::WriteRecords(
        path, {mhtest::Header("V"), mhtest::Unit(1, "eins"), E(1, "a"), E(1, "b"), E(1, "c"),
               mhtest::Unit(255, "zwei"), E(255, "e"), E(1, "d"), E(1, "a"), E(255, "f"),
               mhtest::Unit(254, "weg", "", 1), E(254, "g"), E(7, "h")});
    auto read = merkhaus::ReadDataFileEntries(path);
    ASSERT_TRUE(read);
    file = std::move(*read);
  }
  static mhtest::RawRecord E(std::uint8_t unit, const std::string& word) {
    return mhtest::Entry(unit, word, "Wort " + word);
  }
  const TVocData& entry(std::uint8_t unit, const std::string& word) const {
    for (const auto& lesson : file.lessons) {
      for (const auto& e : lesson.entries) {
        if (lesson.unitId == unit && e.A1.view() == word) return e;
      }
    }
    // Not among the lessons read (a deleted lesson): the record as it is in the file.
    static TVocData other;
    const auto raw = E(unit, word);
    std::memcpy(&other, raw.data(), sizeof other);
    return other;
  }
  // A learned entry: its stability, when it was last answered and when it is due.
  void learned(std::uint8_t unit, const std::string& word, double stability, int lastReview,
               int due) {
    MemoryState m;
    m.stability = stability;
    m.difficulty = 5;
    m.lastReview = kToday + lastReview;
    m.due = kToday + due;
    m.reps = 1;
    states[merkhaus::EntryKey(unit, entry(unit, word))] = m;
  }
  static std::vector<std::string> Words(const std::vector<merkhaus::ReviewItem>& queue) {
    std::vector<std::string> words;
    for (const auto& item : queue)
      words.emplace_back(item.entry.A1.view());
    return words;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  merkhaus::DataFileEntries file;
  merkhaus::EntryStates states;
};

TEST_F(ProgressFigures, ReadsTheLiveLessonsAndTheirEntriesInListOrder) {
  ASSERT_EQ(2, file.lessons.size());
  EXPECT_EQ(1, file.lessons[0].unitId);
  EXPECT_EQ(255, file.lessons[1].unitId);
  EXPECT_EQ("zwei", file.lessons[1].header.B1.view());
  EXPECT_EQ(5, file.lessons[0].entries.size());
  EXPECT_EQ(2, file.lessons[1].entries.size());
}

TEST_F(ProgressFigures, QueuesTheMostOverdueFirstThenNewEntriesInLessonOrder) {
  learned(1, "a", 10, -15, -5);    // 1.5 stabilities ago
  learned(1, "b", 2, -4, 0);       // 2 stabilities ago: the least likely to be recalled
  learned(1, "c", 25, -10, 1);     // due tomorrow
  learned(255, "e", 30, -40, -1);  // 1.33 stabilities ago
  learned(254, "g", 1, -100, -99);
  struct Case {
    int newEntries;
    std::vector<std::string> words;
  };
  const Case cases[] = {
      {0, {"b", "a", "e"}}, {1, {"b", "a", "e", "d"}}, {10, {"b", "a", "e", "d", "f"}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.newEntries);
    const auto queue = merkhaus::BuildReviewQueue(file, states, kToday, c.newEntries);
    EXPECT_EQ(c.words, Words(queue));
    EXPECT_EQ(255, queue[2].unitId);
    EXPECT_EQ(kToday - 4, queue[0].state.lastReview);
    if (queue.size() > 3) {
      EXPECT_TRUE(queue[3].state.isNew());
    }
  }
  EXPECT_EQ(3, merkhaus::DueCount(file, states, kToday));
  EXPECT_EQ(4, merkhaus::DueCount(file, states, kToday + 1));
  EXPECT_EQ(2, merkhaus::DueCount(file, states, kToday - 1));
}

TEST_F(ProgressFigures, CountsEachLessonsNewLearningKnownAndDueEntries) {
  learned(1, "a", 20.99, -15, -5);
  learned(1, "b", 21, -4, 0);
  learned(1, "c", 400, -10, 1);
  learned(255, "e", 3, -40, -1);
  const std::vector<merkhaus::LessonFigures> expected = {
      {1, merkhaus::WinString("eins"), 1, 1, 2, 2}, {255, merkhaus::WinString("zwei"), 1, 1, 0, 1}};
  EXPECT_EQ(expected, merkhaus::CountLessons(file, states, kToday));
  // An empty database: everything new.
  const std::vector<merkhaus::LessonFigures> fresh = {
      {1, merkhaus::WinString("eins"), 4, 0, 0, 0}, {255, merkhaus::WinString("zwei"), 2, 0, 0, 0}};
  EXPECT_EQ(fresh, merkhaus::CountLessons(file, {}, kToday));
}

TEST_F(ProgressFigures, ForecastsTheDueEntriesDayByDay) {
  learned(1, "a", 10, -15, -5);
  learned(1, "b", 2, -4, 0);
  learned(1, "c", 25, -10, 29);
  learned(1, "d", 25, -10, 30);
  learned(255, "e", 30, -40, 1);
  learned(255, "f", 30, -40, 1);
  std::vector<int> all(30, 0);
  all[0] = 2;
  all[1] = 2;
  all[29] = 1;
  EXPECT_EQ(all, merkhaus::DueForecast(file, states, kToday, 30));
  std::vector<int> second(30, 0);
  second[1] = 2;
  EXPECT_EQ(second, merkhaus::DueForecast(file, states, kToday, 30, 255));

  EXPECT_EQ((merkhaus::NextDue{kToday + 1, 2}), merkhaus::FindNextDue(file, states, kToday));
  EXPECT_EQ((merkhaus::NextDue{kToday + 29, 1}), merkhaus::FindNextDue(file, states, kToday + 1));
  EXPECT_FALSE(merkhaus::FindNextDue(file, {}, kToday));
}

}  // namespace
