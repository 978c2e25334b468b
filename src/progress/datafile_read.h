// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the learning progress reads from DataFiles. Every read of a DataFile for it goes through
// here; it never writes one.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <tl/expected.hpp>

#include "platform/file_io.h"
#include "store/vocdata.h"

namespace merkhaus {

// A live lesson and its entries as practice loads them (live, at most 255, in file order).
struct LessonEntries {
  std::uint8_t unitId = 0;
  TVocData header{};
  std::vector<TVocData> entries;
};

// Record 0 and the live lessons in the order of the lesson list.
struct DataFileEntries {
  TVocData header{};
  std::vector<LessonEntries> lessons;
};

// Reads the whole DataFile in one pass.
tl::expected<DataFileEntries, FileError> ReadDataFileEntries(const std::string& path);

// What identifies a DataFile beside its path: record 0's texts except A3, which carries no
// meaning and may hold anything.
std::string HeaderIdentity(const TVocData& header);

// The identity of the DataFile at `path`; nothing when no DataFile can be read there.
std::optional<std::string> HeaderIdentityAt(const std::string& path);

}  // namespace merkhaus
