// SPDX-License-Identifier: GPL-3.0-or-later
#include "progress/datafile_read.h"

#include "store/datafile.h"
#include "store/record_file.h"

namespace merkhaus {

namespace {

template <std::size_t N>
void Append(std::string& out, const PString<N>& field) {
  out.push_back(static_cast<char>(field.size()));
  out.append(field.view());
}

}  // namespace

tl::expected<TVocData, FileError> ReadDataFileHeader(const std::string& path) {
  auto opened = RecordFile::open(path, Access::Read);
  if (!opened) return tl::unexpected(opened.error());
  RecordFile& file = *opened;
  TVocData header{};
  try {
    if (file.count() > 0) file.read(0, header);
  } catch (const IoError& e) {
    return tl::unexpected(e.error());
  }
  return header;
}

tl::expected<DataFileOutline, FileError> ScanDataFile(const std::string& path,
                                                      const EntryVisitor& visit) {
  auto opened = RecordFile::open(path, Access::Read);
  if (!opened) return tl::unexpected(opened.error());
  RecordFile& file = *opened;
  DataFileOutline outline;
  outline.lessonOf.fill(-1);
  std::array<std::size_t, 256> loaded{};
  try {
    if (file.count() > 0) file.read(0, outline.header);
    file.scan(1, [&](std::uint64_t, const TVocData& r) {
      if (IsUnitHeader(r)) {
        if (r.Deleted != 1 && outline.lessonOf[r.UnitID] < 0) {
          outline.lessonOf[r.UnitID] = static_cast<int>(outline.lessons.size());
          outline.lessons.push_back(r);
        }
      } else if (r.Deleted == 0 && loaded[r.UnitID] < kMaxEntries) {
        ++loaded[r.UnitID];
        visit(r);
      }
      return true;
    });
  } catch (const IoError& e) {
    return tl::unexpected(e.error());
  }
  return outline;
}

tl::expected<DataFileEntries, FileError> ReadDataFileEntries(const std::string& path) {
  std::array<std::vector<TVocData>, 256> entries;
  const auto outline =
      ScanDataFile(path, [&](const TVocData& entry) { entries[entry.UnitID].push_back(entry); });
  if (!outline) return tl::unexpected(outline.error());
  DataFileEntries result;
  result.header = outline->header;
  for (const TVocData& lesson : outline->lessons)
    result.lessons.push_back({lesson.UnitID, lesson, std::move(entries[lesson.UnitID])});
  return result;
}

tl::expected<std::optional<LessonEntries>, FileError> ReadLessonEntries(const std::string& path,
                                                                        std::uint8_t unitId) {
  std::vector<TVocData> entries;
  const auto outline = ScanDataFile(path, [&](const TVocData& entry) {
    if (entry.UnitID == unitId) entries.push_back(entry);
  });
  if (!outline) return tl::unexpected(outline.error());
  const int at = outline->lessonOf[unitId];
  if (at < 0) return std::nullopt;
  return LessonEntries{unitId, outline->lessons[static_cast<std::size_t>(at)], std::move(entries)};
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
  const auto header = ReadDataFileHeader(path);
  if (!header) return std::nullopt;
  return HeaderIdentity(*header);
}

}  // namespace merkhaus
