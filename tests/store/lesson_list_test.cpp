// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lesson_list.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

TEST(LessonList, LinesOfLiveLessonsInFileOrder) {
  mhtest::TempDir dir;
  const auto path = dir.file("v.fid");
  const std::string name60(60, 'n');
  const std::string comment255(255, 'c');
  mhtest::WriteRecords(
      path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "", "Kommentar"), Unit(1, "Lektion 1"),
             Entry(1, "a", "b"), Unit(255, "Lektion 2", "mit Kommentar"), Unit(254, "weg", "", 1),
             Unit(253, name60, comment255)});
  const StoreResult<LessonList> list = ReadLessonList(path);
  ASSERT_TRUE(list);
  EXPECT_EQ(6u, list->records);
  EXPECT_EQ("Meine Vokabeln", list->header.B1.view());
  const std::vector<LessonLine>& lines = list->lines;
  ASSERT_EQ(3u, lines.size());
  EXPECT_EQ(1, lines[0].unitId);
  EXPECT_EQ(WinString("Lektion 1"), lines[0].line);
  EXPECT_EQ(255, lines[1].unitId);
  EXPECT_EQ(WinString("Lektion 2 - mit Kommentar"), lines[1].line);
  EXPECT_EQ(253, lines[2].unitId);
  EXPECT_EQ(255u, lines[2].line.size());
  EXPECT_EQ(WinString(name60 + " - " + comment255.substr(0, 192)), lines[2].line);

  EXPECT_FALSE(ReadLessonList(dir.file("missing.fid")));
}

// The UnitID of a list line, 0 when no live lesson has it.
std::uint8_t UnitIdOfLine(const std::string& path, const char* line) {
  const auto found = FindLessonByLine(path, WinString(line));
  return found && *found ? (*found)->UnitID : 0;
}

TEST(LessonList, ALineFindsTheFirstLessonItCouldName) {
  mhtest::TempDir dir;
  const auto path = dir.file("v.fid");
  // "A - B" without comment and "A" with comment "B" share one line.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "X", "", 1), Unit(7, "A - B"), Unit(9, "A", "B"),
                              Unit(4, "C"), Unit(3, "D", "d")});
  struct Case {
    const char* line;
    std::uint8_t id;
  };
  const Case cases[] = {
      {"A - B", 7}, {"A", 9}, {"C", 4}, {"C - ", 4}, {"D - d", 3}, {"D", 3}, {"X", 0}, {"E", 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.id, UnitIdOfLine(path, c.line)) << c.line;
  }
  // Swap the order: now "A" with comment "B" comes first.
  mhtest::WriteRecords(path, {Header("V"), Unit(9, "A", "B"), Unit(7, "A - B")});
  EXPECT_EQ(9, UnitIdOfLine(path, "A - B"));
  EXPECT_FALSE(FindLessonByLine(dir.file("missing.fid"), WinString("A")));
}

}  // namespace
}  // namespace merkhaus
