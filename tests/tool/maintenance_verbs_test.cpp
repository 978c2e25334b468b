// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool stats, deleted, restore-lesson, cleanup.

#include <gtest/gtest.h>

#include <filesystem>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::ReadBytes;
using mhtest::RunTool;
using mhtest::Unit;

class MaintenanceVerbs : public ::testing::Test {
 protected:
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  void SetUp() override {
    std::vector<mhtest::RawRecord> records = {Header("V"), Unit(1, "Tiere", "", 1),
                                              Entry(1, "cat", "Katze", "", 1),
                                              Unit(255, mhtest::Latin1("Gemüse"))};
    for (int i = 0; i < 100; ++i)
      records.push_back(Entry(255, "pea", "Erbse"));
    records.push_back(Entry(255, "bean", "Bohne", "", 1));
    mhtest::WriteRecords(path, records);
  }
};

TEST_F(MaintenanceVerbs, StatsAndDeletedShowWhatTheEditorShows) {
  const auto stats = RunTool({"stats", path});
  EXPECT_EQ(0, stats.status) << stats.err;
  EXPECT_EQ(
      "Units: 1\nVokabeln: 100 (60  Kb)\nGelöschte Vokabeln: 2 (1  Kb)\n"
      "Vokabeln insgesamt: 102 (62  Kb)\n",
      stats.out);
  EXPECT_EQ("Tiere\n", RunTool({"deleted", path}).out);
  EXPECT_EQ("bean  =  Bohne\n", RunTool({"deleted", path, "255"}).out);
  const auto gone = RunTool({"deleted", path, "1"});
  EXPECT_EQ(1, gone.status);
  EXPECT_EQ("Die Lektion mit der UnitID 1 gibt es in diesem DataFile nicht.\n", gone.err);

  const auto taken = RunTool({"restore-lesson", path, "Gemüse"});
  EXPECT_EQ(1, taken.status);
  EXPECT_EQ("Eine Lektion mit diesem Namen Existiert bereits!\n", taken.err);

  const auto restored = RunTool({"restore-lesson", path, "Tiere"});
  EXPECT_EQ(0, restored.status) << restored.err;
  EXPECT_EQ("2\n", restored.out);
  EXPECT_EQ("", RunTool({"deleted", path}).out);
  const auto none = RunTool({"restore-lesson", path, "Obst"});
  EXPECT_EQ(1, none.status);
  EXPECT_EQ(
      "Eine gelöschte Lektion „Obst“ gibt es in diesem DataFile nicht (merkhaus-tool deleted "
      "FILE zeigt sie).\n",
      none.err);
}

TEST_F(MaintenanceVerbs, CleanupKeepsTheBackupInTheWorkingFolder) {
  const std::string before = ReadBytes(path);
  const auto workingFolder = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());
  const auto r = RunTool({"cleanup", path});
  std::filesystem::current_path(workingFolder);
  EXPECT_EQ(0, r.status) << r.err;
  EXPECT_EQ("3\n", r.out);
  EXPECT_EQ(before, ReadBytes(dir.file("cleanup.tmp")));
  EXPECT_EQ(102u, mhtest::ReadRecords(path).size());
  EXPECT_EQ(
      "Units: 1\nVokabeln: 100 (60  Kb)\nGelöschte Vokabeln: 0 (0  Kb)\n"
      "Vokabeln insgesamt: 100 (60  Kb)\n",
      RunTool({"stats", path}).out);
}

}  // namespace
