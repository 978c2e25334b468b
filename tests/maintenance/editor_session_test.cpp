#include "maintenance/editor_session.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

TEST(EditorStatistics, SizesInWholeKilobytesAndCountsInFullWidth) {
  const std::pair<std::uint64_t, const char*> sizes[] = {
      {0, "0  Kb"}, {1, "0  Kb"}, {2, "1  Kb"}, {100, "60  Kb"}, {70000, "42656  Kb"}};
  for (const auto& [records, text] : sizes)
    EXPECT_EQ(text, SizeText(records)) << records;

  // Beyond 65,535 entries; an entry with a damaged Deleted byte counts on both sides.
  DataFileCounts counts;
  counts.liveLessons = 255;
  counts.liveEntries = 70000;
  counts.deletedEntries = 3;
  counts.damagedEntries = 1;
  const EditorStatistics s = EditorStatisticsOf(counts);
  EXPECT_EQ(255u, s.lessons);
  EXPECT_EQ(70001u, s.entries);
  EXPECT_EQ(3u, s.deletedEntries);
  EXPECT_EQ(70004u, s.totalEntries);
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
  const EditorView& v = session.view();
  EXPECT_EQ("DataFile-Editor -- Neu", v.caption);
  EXPECT_EQ((std::vector<std::string>{"0", "0", "0  Kb", "0", "0  Kb", "0", "0  Kb"}),
            (std::vector<std::string>{v.lessons, v.entries, v.entriesSize, v.deletedEntries,
                                      v.deletedSize, v.totalEntries, v.totalSize}));
  EXPECT_FALSE(v.lessonSelected);
  EXPECT_EQ("<keine gewählt>", v.lessonName);
  EXPECT_FALSE(v.dataFileEnabled) << "alwaysthisfile";
  EXPECT_EQ(chosen, shared->DataFilePath);
}

}  // namespace
}  // namespace merkhaus
