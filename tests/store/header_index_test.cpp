// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/header_index.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <filesystem>
#include <functional>

#include "store/lessons.h"
#include "store/record_file.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::RawRecord;
using mhtest::Unit;

std::optional<std::string> Attribute(const std::string& path) {
  std::string bytes(65536, '\0');
  const ssize_t n = ::getxattr(path.c_str(), kHeaderIndexAttribute, bytes.data(), bytes.size());
  if (n < 0) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(n));
  return bytes;
}

bool SetAttribute(const std::string& path, std::string_view bytes) {
  return ::setxattr(path.c_str(), kHeaderIndexAttribute, bytes.data(), bytes.size(), 0) == 0;
}

FileStamp StampOfPath(const std::string& path) {
  struct stat st {};
  EXPECT_EQ(0, ::stat(path.c_str(), &st));
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::uint64_t>(st.st_size), st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// Changes record `index` in place and gives the file back the modification time it had, as a
// second write within the same tick of the clock would leave it.
void RewriteKeepingTime(const std::string& path, std::size_t index, const RawRecord& record) {
  struct stat st {};
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  std::vector<RawRecord> records = mhtest::ReadRecords(path);
  records.at(index) = record;
  std::string bytes;
  for (const RawRecord& r : records)
    bytes.append(reinterpret_cast<const char*>(r.data()), r.size());
  FILE* f = std::fopen(path.c_str(), "r+b");
  ASSERT_NE(nullptr, f);
  ASSERT_EQ(bytes.size(), std::fwrite(bytes.data(), 1, bytes.size(), f));
  std::fclose(f);
  const timespec times[2] = {st.st_atim, st.st_mtim};
  ASSERT_EQ(0, ::utimensat(AT_FDCWD, path.c_str(), times, 0));
}

// What a new lesson gets: its UnitID, or why it was refused.
std::string Outcome(const std::string& path, const char* name) {
  const StoreResult<std::uint8_t> id = CreateLesson(path, WinString(name), WinString());
  if (!id) return "refused " + std::to_string(static_cast<int>(id.error().kind));
  return "UnitID " + std::to_string(id.value());
}

// A DataFile with the lessons "A" (1) and "B" (255) and the index a writer of ours kept for it.
class HeaderIndexTest : public ::testing::Test {
 protected:
  void SetUp() override {
    mhtest::WriteRecords(path, {Header("V"), Unit(1, "A"), Entry(1, "a", "x")});
    if (!SetAttribute(path, "probe")) GTEST_SKIP() << "no user attributes on this file system";
    ASSERT_EQ("UnitID 255", Outcome(path, "B"));
  }

  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string twin = dir.file("twin.fid");  // the same records, never with an index
};

// Whatever an index claims, and however the file changed behind it without a trace in its
// length or time, a new lesson gets what a reading of the whole file gives, and the bytes on the
// disk are the same.
TEST_F(HeaderIndexTest, AStaleOrForgedIndexIsNeverTrusted) {
  const RawRecord live = Unit(255, "B"), deleted = Unit(255, "B", "", 1);
  const std::vector<RawRecord> withB = {Header("V"), Unit(1, "A"), Entry(1, "a", "x"), live};
  const std::vector<RawRecord> withDeletedB = {Header("V"), Unit(1, "A"), Entry(1, "a", "x"),
                                               deleted};
  const auto same = [](HeaderIndex&) {};
  const auto dropB = [](HeaderIndex& i) { i.headers.pop_back(); };
  const auto asIs = [](std::string b) { return b; };
  struct Case {
    const char* what;
    std::vector<RawRecord> start;
    std::function<void(HeaderIndex&)> index;  // made from `start`, then changed so
    std::function<std::string(std::string)> bytes = [](std::string b) { return b; };
    int rewrite = -1;  // record changed in place afterwards, the time kept
    RawRecord to{};
    const char* name = "B";  // of the new lesson
  };
  const Case cases[] = {
      {"a header turned into an entry in place", withB, same, asIs, 3, Entry(255, "b", "y")},
      {"a deleted header restored in place", withDeletedB, same, asIs, 3, live},
      {"a header deleted in place", withB, same, asIs, 3, deleted},
      {"a header given another UnitID in place", withB, same, asIs, 3, Unit(200, "B"), "E"},
      {"an index without B, for a file of another length", withB,
       [&](HeaderIndex& i) { i.stamp.size += 624, dropB(i); }},
      {"an index without B, for another time", withB,
       [&](HeaderIndex& i) { i.stamp.nanoseconds ^= 1, dropB(i); }},
      {"an index without B, for another file", withB,
       [&](HeaderIndex& i) { i.stamp.inode += 1, dropB(i); }},
      {"an index pointing past the end", withB, [](HeaderIndex& i) { i.headers[1].record = 9; }},
      {"an index naming an entry", withB,
       [](HeaderIndex& i) {
         i.headers[1] = {2, 1, 0};
       }},
      {"a garbage attribute", withB, same, [](std::string) { return std::string(200, '\x01'); }},
      {"an index cut short", withB, dropB, [](std::string b) { return b.substr(0, b.size() - 3); }},
      {"an index with a byte changed", withB, dropB,
       [](std::string b) { return b.substr(0, 60) + "?" + b.substr(61); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    mhtest::WriteRecords(path, c.start);
    HeaderIndex index{StampOfPath(path), {{1, 1, 0}, {3, 255, c.start[3][mhtest::kDeleted]}}};
    c.index(index);
    ASSERT_TRUE(SetAttribute(path, c.bytes(EncodeHeaderIndex(index))));
    std::vector<RawRecord> twinRecords = c.start;
    if (c.rewrite >= 0) {
      RewriteKeepingTime(path, static_cast<std::size_t>(c.rewrite), c.to);
      twinRecords[static_cast<std::size_t>(c.rewrite)] = c.to;
    }
    std::filesystem::remove(twin);
    mhtest::WriteRecords(twin, twinRecords);
    ASSERT_FALSE(Attribute(twin));
    EXPECT_EQ(Outcome(twin, c.name), Outcome(path, c.name));
    EXPECT_EQ(mhtest::ReadBytes(twin), mhtest::ReadBytes(path));
    // And with the index kept after it, the next lesson too.
    EXPECT_EQ(Outcome(twin, "F"), Outcome(path, "F"));
    EXPECT_EQ(mhtest::ReadBytes(twin), mhtest::ReadBytes(path));
  }
}

// The index kept names every header at its record; a header this program writes in place of
// another record removes the index before the record is written.
TEST_F(HeaderIndexTest, KeptIndexNamesEveryHeaderAndWritesInPlaceRemoveIt) {
  const std::optional<HeaderIndex> kept = DecodeHeaderIndex(*Attribute(path));
  ASSERT_TRUE(kept);
  EXPECT_EQ(StampOfPath(path), kept->stamp);
  EXPECT_EQ((std::vector<IndexedHeader>{{1, 1, 0}, {3, 255, 0}}), kept->headers);

  {
    auto file = RecordFile::open(path, Access::Write);
    ASSERT_TRUE(file);
    TVocData header;
    file->read(1, header);
    file->write(2, header);  // the entry "a" becomes a second header "A"
    file->finish();
  }
  EXPECT_FALSE(Attribute(path));
}

}  // namespace
}  // namespace merkhaus
