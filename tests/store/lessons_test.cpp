// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lessons.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class LessonsTest : public ::testing::Test {
 protected:
  // The UnitID of a new lesson; fails the test when none was made.
  std::uint8_t Create(const char* name, const char* comment = "") {
    const StoreResult<std::uint8_t> id = CreateLesson(path, WinString(name), WinString(comment));
    EXPECT_TRUE(id) << name;
    return id.value_or(0);
  }

  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
};

TEST_F(LessonsTest, IdentifiersGo1Then255Downwards) {
  mhtest::WriteRecords(path, {Header("V")});
  EXPECT_EQ(1, Create("eins"));
  EXPECT_EQ(255, Create("zwei", "k"));
  EXPECT_EQ(254, Create("drei"));
  const auto recs = mhtest::ReadRecords(path);
  ASSERT_EQ(4u, recs.size());
  EXPECT_EQ(Unit(1, "eins"), recs[1]);
  EXPECT_EQ(Unit(255, "zwei", "k"), recs[2]);
  EXPECT_EQ(Unit(254, "drei"), recs[3]);
}

TEST_F(LessonsTest, DeletedLessonsFreeTheirIdentifierAndName) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "a"), Unit(255, "b"), Unit(254, "c", "", 1)});
  EXPECT_EQ(254, Create("c"));
  // All lessons deleted: the next one gets 255.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "a", "", 1), Unit(255, "b", "", 1)});
  EXPECT_EQ(255, Create("a"));
}

// What stops a new lesson leaves the DataFile as it was, byte for byte.
TEST_F(LessonsTest, RefusalsChangeNothing) {
  std::vector<mhtest::RawRecord> full = {Header("V")};
  for (int id = 1; id <= 255; ++id)
    full.push_back(Unit(static_cast<std::uint8_t>(id), "L" + std::to_string(id)));
  struct Case {
    const char* what;
    std::vector<mhtest::RawRecord> records;
    const char* name;
    StoreError::Kind kind;
  };
  const Case cases[] = {
      {"same name", {Header("V"), Unit(1, "Lektion")}, "Lektion", StoreError::Kind::NameTaken},
      {"all 255 taken", full, "neu", StoreError::Kind::NoFreeUnitId},
  };
  for (const Case& c : cases) {
    mhtest::WriteRecords(path, c.records);
    const auto before = mhtest::ReadBytes(path);
    const StoreResult<std::uint8_t> id = CreateLesson(path, WinString(c.name), WinString());
    ASSERT_FALSE(id) << c.what;
    EXPECT_EQ(c.kind, id.error().kind) << c.what;
    EXPECT_EQ(before, mhtest::ReadBytes(path)) << c.what;
  }
  // Names differ in every byte: other case and trailing blanks make other names.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Lektion")});
  EXPECT_EQ(255, Create("lektion"));
  EXPECT_EQ(254, Create("Lektion "));

  const StoreResult<std::uint8_t> missing =
      CreateLesson(dir.file("fehlt.fid"), WinString("neu"), WinString());
  ASSERT_FALSE(missing);
  EXPECT_EQ(ENOENT, missing.error().file.code);
  EXPECT_FALSE(std::filesystem::exists(dir.file("fehlt.fid")));
}

TEST_F(LessonsTest, DeletingMarksTheHeaderAndLiveEntriesOnly) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "a", "1"), Entry(2, "b", "2"),
                              Entry(1, "c", "3", "", 1), Entry(1, "d", "4"), Entry(1, "e", "5"),
                              Entry(1, "f", "6", "", 1), Unit(2, "M")});
  EXPECT_EQ(4u, DeleteLessonRecords(path, 1).value());
  const auto recs = mhtest::ReadRecords(path);
  const int expected[] = {0, 1, 1, 0, 1, 1, 1, 1, 0};
  for (std::size_t i = 0; i < recs.size(); ++i) {
    EXPECT_EQ(expected[i], recs[i][mhtest::kDeleted]) << "record " << i;
  }
  EXPECT_EQ(Entry(1, "d", "4", "", 1), recs[5]) << "nothing but the flag changes";
  EXPECT_FALSE(DeleteLessonRecords(dir.file("missing.fid"), 1));
}

TEST_F(LessonsTest, DeletingByListLineTakesTheFirstLessonOfTheLine) {
  const std::vector<mhtest::RawRecord> recs = {
      Header("V"),        Unit(1, "Verben", mhtest::Latin1("unregelmäßig")),
      Entry(1, "a", "1"), Entry(1, "b", "2", "", 1),
      Entry(1, "c", "3"), Unit(255, "Verben", mhtest::Latin1("unregelmäßig"))};
  mhtest::WriteRecords(path, recs);
  const WinString line("Verben - unregelm\xE4\xDFig");
  EXPECT_EQ(3u, DeleteLessonOfLine(path, line).value()) << "the header and two live entries";
  EXPECT_EQ(1u, DeleteLessonOfLine(path, line).value()) << "then the second lesson";
  EXPECT_EQ(0u, DeleteLessonOfLine(path, line).value()) << "no lesson has the line any more";
  const auto after = mhtest::ReadRecords(path);
  for (std::size_t i = 1; i < after.size(); ++i)
    EXPECT_EQ(1, after[i][mhtest::kDeleted]) << "record " << i;
}

}  // namespace
}  // namespace merkhaus
