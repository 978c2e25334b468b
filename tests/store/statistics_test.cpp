// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/statistics.h"

#include <gtest/gtest.h>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

TEST(Statistics, CountsLessonsAndEntriesByTheirRoleAndDeletedByte) {
  mhtest::TempDir dir;
  const auto path = dir.file("vok.fid");
  std::vector<mhtest::RawRecord> records = {
      Header("Vok"),
      Unit(1, "eins"),
      Entry(1, "house", "Haus"),
      Unit(2, "zwei", "", 1),           // deleted lesson
      Entry(2, "cat", "Katze", "", 1),  // its entry, deleted with it
      Entry(1, "tree", "Baum", "", 1),  // one deleted entry
      Unit(4, "kaputt", "", 2),         // a damaged Deleted byte: the list still shows it
      Entry(4, "dog", "Hund", "", 2),   // ... but no loader takes such an entry
      Unit(3, "drei"),
  };
  // Enough entries to cross a block boundary.
  for (int i = 0; i < 600; ++i)
    records.push_back(Entry(1, "w", "W"));
  mhtest::WriteRecords(path, records, "partial record");

  const StoreResult<DataFileCounts> counted = CountRecords(path);
  ASSERT_TRUE(counted);
  const DataFileCounts& c = *counted;
  EXPECT_EQ(609u, c.records) << "the trailing partial record does not count";
  EXPECT_EQ(3u, c.liveLessons);
  EXPECT_EQ(1u, c.deletedLessons);
  EXPECT_EQ(601u, c.liveEntries);
  EXPECT_EQ(3u, c.deletedEntries);
  EXPECT_EQ(1u, c.damagedEntries);
}

TEST(Statistics, EmptyDataFileAndMissingFile) {
  mhtest::TempDir dir;
  const auto path = dir.file("leer.fid");
  mhtest::WriteRecords(path, {Header("Leer")});
  const StoreResult<DataFileCounts> counted = CountRecords(path);
  ASSERT_TRUE(counted);
  const DataFileCounts& c = *counted;
  EXPECT_EQ(1u, c.records);
  EXPECT_EQ(0u,
            c.liveLessons + c.deletedLessons + c.liveEntries + c.deletedEntries + c.damagedEntries);
  EXPECT_EQ(ENOENT, CountRecords(dir.file("fehlt.fid")).error().file.code);
}

}  // namespace
}  // namespace merkhaus
