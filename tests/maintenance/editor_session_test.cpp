// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/editor_session.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

// Beyond 65,535 entries, and an entry with a damaged Deleted byte counts on both sides.
TEST(EditorStatistics, CountsInFullWidth) {
  DataFileCounts counts;
  counts.liveLessons = 255;
  counts.liveEntries = 70000;
  counts.deletedEntries = 3;
  counts.damagedEntries = 1;
  const EditorStatistics s = EditorStatisticsOf(counts);
  EXPECT_EQ((std::vector<std::uint64_t>{255, 70001, 3, 70004}),
            (std::vector<std::uint64_t>{s.lessons, s.entries, s.deletedEntries, s.totalEntries}));
  EXPECT_EQ("42656  Kb", SizeText(70000));
}

struct NoRestore : RestoreWindows {
  void ListDeletedUnits() override { ADD_FAILURE(); }
  void ListDeletedVocs() override { ADD_FAILURE(); }
};

TEST(EditorSession, OpensOnlyOnAReadableDataFile) {
  mhtest::TempDir dir;
  auto shared = std::make_unique<Shared>();
  Options options;
  mhtest::ScriptedMessages msgs;
  mhtest::ScriptedFileDialogs dialogs;
  mhtest::FakeFlows flows;
  NoRestore restore;
  EditorSession session(*shared, options, msgs, dialogs,
                        {flows, flows, flows, flows, flows, restore});

  std::string chosen;
  flows.chooseDataFile = [&](ChooseMode mode) {
    EXPECT_EQ(ChooseMode::NewDataFile, mode) << "the editor offers \"Neues...\"";
    if (chosen.empty()) shared->Cancelled = 1;
    return chosen;
  };
  EXPECT_FALSE(session.OpenEditor()) << "cancelled";

  chosen = dir.file("leer");
  mhtest::WriteBytes(chosen, "");
  msgs.expect("RW - Fehler: 1101\nDie Datei \"" + chosen +
              "\" kann nicht gelesen werden: die Datei endet unerwartet.");
  EXPECT_FALSE(session.OpenEditor());

  chosen = dir.file("neu.fid");
  mhtest::WriteRecords(chosen, {mhtest::Header("Neu")});
  options.alwaysthisfile = true;
  ASSERT_TRUE(session.OpenEditor());
  EXPECT_EQ("DataFile-Editor -- Neu", session.view().caption);
  EXPECT_FALSE(session.view().dataFileEnabled) << "alwaysthisfile";
  EXPECT_EQ(chosen, shared->DataFilePath);
}

}  // namespace
}  // namespace merkhaus
