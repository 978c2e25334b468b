// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the learning progress reads from DataFiles. Every read of a DataFile for it goes through
// here; it never writes one.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <tl/expected.hpp>

#include "platform/file_io.h"
#include "store/vocdata.h"

namespace merkhaus {

// Record 0.
tl::expected<TVocData, FileError> ReadDataFileHeader(const std::string& path);

// A DataFile's record 0 and its live lessons in the order of the lesson list (a header not
// marked deleted, the first of a UnitID).
struct DataFileOutline {
  TVocData header{};
  std::vector<TVocData> lessons;
  // The position in `lessons` of each UnitID's lesson, -1 for none.
  std::array<int, 256> lessonOf{};
};

// One pass over the DataFile in blocks: calls visit(entry) for every entry as practice loads
// them (live, the first 255 of a UnitID in file order), also for entries whose UnitID turns out
// to have no live lesson (the outline tells which have), and yields the outline.
using EntryVisitor = std::function<void(const TVocData& entry)>;
tl::expected<DataFileOutline, FileError> ScanDataFile(const std::string& path,
                                                      const EntryVisitor& visit);

// A live lesson and its entries as practice loads them.
struct LessonEntries {
  std::uint8_t unitId = 0;
  TVocData header{};
  std::vector<TVocData> entries;
};
struct DataFileEntries {
  TVocData header{};
  std::vector<LessonEntries> lessons;
};
// The whole DataFile in memory, lessons in list order.
tl::expected<DataFileEntries, FileError> ReadDataFileEntries(const std::string& path);
// One lesson; nothing when the DataFile has no live lesson of that UnitID.
tl::expected<std::optional<LessonEntries>, FileError> ReadLessonEntries(const std::string& path,
                                                                        std::uint8_t unitId);

// What identifies a DataFile beside its path: record 0's texts except A3, which carries no
// meaning and may hold anything.
std::string HeaderIdentity(const TVocData& header);

// The identity of the DataFile at `path`; nothing when no DataFile can be read there.
std::optional<std::string> HeaderIdentityAt(const std::string& path);

}  // namespace merkhaus
