// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/append.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>

#include "store/datafile.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

TVocData Record(const RawRecord& raw) {
  TVocData r;
  std::memcpy(&r, raw.data(), sizeof r);
  return r;
}

class AppendTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearFileFaults(); }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::vector<RawRecord> before = {Header("V"), Unit(1, "L"), Entry(1, "a", "b")};
};

// What the append adds is on the disk, or nothing is: whatever fails, the DataFile keeps its
// bytes.
TEST_F(AppendTest, AllOrNothing) {
  const std::vector<TVocData> added = {Record(Entry(1, "c", "d")), Record(Entry(1, "e", "f")),
                                       Record(Entry(1, "g", "h"))};
  struct Case {
    const char* what;
    std::optional<FileFault> fault;
    bool refuse;             // the fill refuses after its checks
    bool refuseAfterAdding;  // ... or after it has added records
    bool written;
    bool interrupted;
    bool rolledBack;
  };
  const Case cases[] = {
      {"all written", std::nullopt, false, false, true, false, true},
      {"refused before adding", std::nullopt, true, false, false, false, true},
      {"refused after adding", std::nullopt, false, true, false, false, true},
      {"the disk fills in the second record",
       FileFault{path, FileFault::At::Write, 624 + 100, ENOSPC}, false, false, false, true, true},
      {"a read error while checking", FileFault{path, FileFault::At::Read, 0, EIO}, false, false,
       false, true, true},
      {"the flush fails, also when taking back", FileFault{path, FileFault::At::Sync, 0, EIO},
       false, false, false, true, true},
      {"not opened", FileFault{path, FileFault::At::Open, 0, EACCES}, false, false, false, false,
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mhtest::WriteRecords(path, before);
    if (c.fault) InjectFileFault(*c.fault);
    const StoreResult<> result = AppendAllOrNothing(path, [&](Appender& out) -> StoreResult<> {
      EXPECT_EQ(3u, out.file().count());
      TVocData first;
      out.file().read(1, first);  // a check reads the file first
      if (c.refuse) return Refused(StoreError(StoreError::Kind::LessonMissing));
      out.add(added[0]);
      out.add(std::span<const TVocData>(added).subspan(1));
      if (c.refuseAfterAdding) return Refused(StoreError(StoreError::Kind::NameTaken));
      return {};
    });
    ClearFileFaults();
    EXPECT_EQ(c.written, result.has_value());
    if (!result) {
      EXPECT_EQ(c.interrupted, result.error().interrupted);
      EXPECT_EQ(c.rolledBack, result.error().rolledBack);
    }
    // Whatever the failed take-back left to do, the next opener does it.
    ASSERT_TRUE(ReadHeaderRecord(path));
    EXPECT_FALSE(std::filesystem::exists(JournalPath(path)));
    TakeRepairs();
    std::vector<RawRecord> expected = before;
    if (c.written) {
      for (const TVocData& r : added) {
        RawRecord raw;
        std::memcpy(raw.data(), &r, sizeof r);
        expected.push_back(raw);
      }
    }
    EXPECT_EQ(expected, mhtest::ReadRecords(path));
    EXPECT_EQ(expected.size() * 624, mhtest::ReadBytes(path).size()) << "no partial record";
  }
}

}  // namespace
}  // namespace merkhaus
