// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "progress/datafile_read.h"
#include "progress/progress_figures.h"
#include "support/datafile_builder.h"

namespace {

using merkhaus::Day;
using merkhaus::MemoryState;
using merkhaus::TVocData;
using merkhaus::WinString;

const Day kToday = merkhaus::DayFromDate(2025, 6, 1);

mhtest::RawRecord E(std::uint8_t unit, const std::string& word) {
  return mhtest::Entry(unit, word, "Wort " + word);
}

// Lesson 1 (a, b, c, d, then a again), lesson 255 (e, f), a deleted lesson 254 (g), an entry of
// no lesson (h), and 300 entries of lesson 3, of which practice loads 255.
class ProgressFigures : public ::testing::Test {
 protected:
  void SetUp() override {
    std::vector<mhtest::RawRecord> records = {mhtest::Header("V"),
                                              mhtest::Unit(1, "eins"),
                                              E(1, "a"),
                                              E(1, "b"),
                                              E(1, "c"),
                                              mhtest::Unit(255, "zwei"),
                                              E(255, "e"),
                                              E(1, "d"),
                                              E(1, "a"),
                                              E(255, "f"),
                                              E(1, "x"),
                                              mhtest::Unit(254, "weg", "", 1),
                                              E(254, "g"),
                                              E(7, "h"),
                                              mhtest::Unit(3, "drei")};
    records[10] = mhtest::Entry(1, "x", "gelöscht", "", 1);
    for (int i = 0; i < 300; ++i)
      records.push_back(E(3, "w" + std::to_string(i)));
    mhtest::WriteRecords(path, records);
  }
  // A learned entry: its stability, when it was last answered and when it is due.
  void learned(std::uint8_t unit, const std::string& word, double stability, int lastReview,
               int dueIn) {
    MemoryState m;
    m.stability = stability;
    m.difficulty = 5;
    m.lastReview = kToday + lastReview;
    m.due = kToday + dueIn;
    m.reps = 1;
    TVocData r;
    const auto raw = E(unit, word);
    std::memcpy(&r, raw.data(), sizeof r);
    all.set(merkhaus::EntryKey(unit, r), m);
    if (m.due <= kToday) {
      dueOnly.set(merkhaus::EntryKey(unit, r), m);
    } else {
      dueOnly.markAnswered(unit, merkhaus::EntryKeyHash(merkhaus::EntryKey(unit, r)));
    }
  }
  static std::vector<std::string> Words(const std::vector<merkhaus::ReviewItem>& queue) {
    std::vector<std::string> words;
    for (const auto& item : queue)
      words.emplace_back(item.entry.A1.view());
    return words;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  merkhaus::EntryStates all;      // every state, as ProgressStore::states reads them
  merkhaus::EntryStates dueOnly;  // the due ones and who was answered, as dueStates reads them
};

TEST_F(ProgressFigures, ReadsTheLiveLessonsAndTheEntriesPracticeLoads) {
  const auto file = merkhaus::ReadDataFileEntries(path);
  ASSERT_TRUE(file);
  ASSERT_EQ(3, file->lessons.size());
  EXPECT_EQ(255, file->lessons[1].unitId);
  EXPECT_EQ("zwei", file->lessons[1].header.B1.view());
  EXPECT_EQ(5, file->lessons[0].entries.size());
  EXPECT_EQ(255, file->lessons[2].entries.size());
  EXPECT_EQ("w254", file->lessons[2].entries.back().A1.view());
  const auto lesson = merkhaus::ReadLessonEntries(path, 255);
  ASSERT_TRUE(lesson && *lesson);
  EXPECT_EQ(2, (*lesson)->entries.size());
  EXPECT_FALSE(*merkhaus::ReadLessonEntries(path, 254));
  EXPECT_FALSE(*merkhaus::ReadLessonEntries(path, 7));
}

TEST_F(ProgressFigures, QueuesTheMostOverdueFirstThenNewEntriesInLessonOrder) {
  learned(1, "a", 10, -15, -5);    // 1.5 stabilities ago
  learned(1, "b", 2, -4, 0);       // 2 stabilities ago: the least likely to be recalled
  learned(1, "c", 25, -10, 1);     // due tomorrow
  learned(255, "e", 30, -40, -1);  // 1.33 stabilities ago
  learned(3, "w0", 30, -40, -1);   // as likely as e, in a later lesson
  learned(254, "g", 1, -100, -99);
  learned(7, "h", 1, -100, -99);
  struct Case {
    int newEntries;
    std::vector<std::string> words;
  };
  const Case cases[] = {{0, {"b", "a", "e", "w0"}},
                        {1, {"b", "a", "e", "w0", "d"}},
                        {3, {"b", "a", "e", "w0", "d", "f", "w1"}}};
  for (const merkhaus::EntryStates* states : {&all, &dueOnly}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::to_string(c.newEntries) + (states == &all ? " all" : " due"));
      const auto figures = merkhaus::ScanDue(path, *states, {kToday, true, c.newEntries});
      ASSERT_TRUE(figures);
      EXPECT_EQ(c.words, Words(figures->queue));
      EXPECT_EQ(255, figures->queue[2].unitId);
      EXPECT_EQ(kToday - 4, figures->queue[0].state.lastReview);
      EXPECT_EQ(4, figures->due);
      EXPECT_EQ(1 + 1 + 254, figures->fresh);
      const std::vector<merkhaus::LessonDue> lessons = {{1, WinString("eins"), 2, 1},
                                                        {255, WinString("zwei"), 1, 1},
                                                        {3, WinString("drei"), 1, 254}};
      EXPECT_EQ(lessons, figures->lessons);
    }
  }
  EXPECT_TRUE(merkhaus::ScanDue(path, all, {kToday})->queue.empty());
  EXPECT_EQ(5, merkhaus::ScanDue(path, all, {kToday + 1})->due);
  EXPECT_EQ(3, merkhaus::ScanDue(path, all, {kToday - 1})->due);
}

TEST_F(ProgressFigures, CountsEachLessonsNewLearningKnownAndDueEntries) {
  learned(1, "a", 20.99, -15, -5);
  learned(1, "b", 21, -4, 0);
  learned(1, "c", 400, -10, 29);
  learned(1, "d", 400, -10, 30);
  learned(255, "e", 3, -40, 1);
  learned(255, "f", 3, -40, 1);
  learned(254, "g", 1, -100, 1);
  const auto figures = merkhaus::ScanFigures(path, all, kToday, 30);
  ASSERT_TRUE(figures);
  std::vector<int> first(30, 0), second(30, 0), third(30, 0), total(30, 0);
  first[0] = 2;
  first[29] = 1;
  second[1] = 2;
  total[0] = 2;
  total[1] = 2;
  total[29] = 1;
  const std::vector<merkhaus::LessonFigures> lessons = {
      {1, WinString("eins"), 0, 1, 3, 2, first},
      {255, WinString("zwei"), 0, 2, 0, 0, second},
      {3, WinString("drei"), 255, 0, 0, 0, third}};
  EXPECT_EQ(lessons, figures->lessons);
  EXPECT_EQ(total, figures->forecast);
  EXPECT_EQ((merkhaus::NextDue{kToday + 1, 2}), figures->nextDue);
  EXPECT_EQ((merkhaus::NextDue{kToday + 29, 1}),
            merkhaus::ScanFigures(path, all, kToday + 1, 30)->nextDue);
  EXPECT_FALSE(merkhaus::ScanFigures(path, all, kToday + 30, 30)->nextDue);
  // An empty database: everything new.
  const auto fresh = merkhaus::ScanFigures(path, {}, kToday, 0);
  ASSERT_EQ(3, fresh->lessons.size());
  EXPECT_EQ(4, fresh->lessons[0].fresh);
  EXPECT_FALSE(fresh->nextDue);
}

TEST_F(ProgressFigures, TellsWhyTheDataFileCannotBeRead) {
  merkhaus::InjectFileFault({path, merkhaus::FileFault::At::Open, 0, EACCES});
  const auto figures = merkhaus::ScanDue(path, all, {kToday});
  merkhaus::ClearFileFaults();
  ASSERT_FALSE(figures);
  EXPECT_EQ("Die Datei \"" + path + "\" kann nicht geöffnet werden: keine Berechtigung.",
            figures.error().text());
}

}  // namespace
