// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/datafile_read.h"

#include <array>

#include "store/datafile.h"
#include "store/record_file.h"
#include "store/shared.h"

namespace merkhaus {

namespace {

template <std::size_t N>
void Append(std::string& out, const PString<N>& field) {
  out.push_back(static_cast<char>(field.size()));
  out.append(field.view());
}

}  // namespace

tl::expected<DataFileEntries, FileError> ReadDataFileEntries(const std::string& path) {
  RecordFile file;
  if (!file.open(path, Access::Read)) return tl::unexpected(file.error());
  DataFileEntries result;
  // Lessons as the lesson list shows them (a header not marked deleted, the first one of a
  // UnitID), entries as practice loads them, wherever in the file they stand.
  std::array<int, 256> lessonOf;
  lessonOf.fill(-1);
  std::array<std::vector<TVocData>, 256> entries;
  try {
    if (file.count() > 0) file.read(0, result.header);
    file.scan(1, [&](std::uint64_t, const TVocData& r) {
      if (IsUnitHeader(r)) {
        if (r.Deleted != 1 && lessonOf[r.UnitID] < 0) {
          lessonOf[r.UnitID] = static_cast<int>(result.lessons.size());
          result.lessons.push_back({r.UnitID, r, {}});
        }
      } else if (r.Deleted == 0 && entries[r.UnitID].size() < kMaxVocs) {
        entries[r.UnitID].push_back(r);
      }
      return true;
    });
  } catch (const IoError& e) {
    return tl::unexpected(e.error());
  }
  for (LessonEntries& lesson : result.lessons)
    lesson.entries = std::move(entries[lesson.unitId]);
  return result;
}

std::string HeaderIdentity(const TVocData& header) {
  std::string id;
  Append(id, header.A1);
  Append(id, header.B1);
  Append(id, header.A2);
  Append(id, header.B2);
  Append(id, header.B3);
  Append(id, header.Comment);
  return id;
}

std::optional<std::string> HeaderIdentityAt(const std::string& path) {
  TVocData header;
  if (!ReadHeaderRecord(path, header)) return std::nullopt;
  return HeaderIdentity(header);
}

}  // namespace merkhaus
