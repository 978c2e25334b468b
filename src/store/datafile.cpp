// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/datafile.h"

#include <string_view>

#include "store/record_file.h"

namespace merkhaus {

StoreResult<bool> IsDataFile(const std::string& path) {
  // Old Merkhaus text exports start with a line holding a tab and "Datafile:"; they are not
  // DataFiles even when the bytes further on happen to look like one.
  {
    auto text = File::open(path, File::Mode::Read, Lock::None);
    if (!text) {
      StoreError error(StoreError::Kind::TextFile);
      error.file = text.error();
      return Refused(error);
    }
    char head[20];
    std::string_view line(head, text->readAt(head, sizeof head, 0));
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.find("\tDatafile:") != std::string_view::npos) return false;
  }
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  if (file->count() < 1) return false;
  TVocData header;
  file->read(0, header);
  return DataFileEncoding(header).has_value();
}

StoreResult<TextEncoding> ReadDataFileEncoding(const std::string& path) {
  auto header = ReadHeaderRecord(path);
  if (!header) return Refused(header.error());
  return EncodingOf(*header);
}

StoreResult<LessonRead> ReadLesson(const std::string& path, std::uint8_t unitId,
                                   std::size_t maxEntries) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  LessonRead lesson;
  file->scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted == 0 && r.UnitID == unitId) {
      if (!IsUnitHeader(r)) {
        if (lesson.entries.size() < maxEntries) {
          lesson.entries.push_back(r);
        } else {
          lesson.cut = true;
        }
      } else if (!lesson.header) {
        lesson.header = r;
      }
    }
    // Reading entries, the scan goes on until it knows whether the lesson has more of them than
    // it keeps.
    return !lesson.header || (maxEntries > 0 && !lesson.cut);
  });
  return lesson;
}

StoreResult<TVocData> ReadHeaderRecord(const std::string& path) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  if (file->count() < 1) {
    return Refused(FileError{path, FileError::Step::Read, FileError::kShortRead});
  }
  TVocData header;
  file->read(0, header);
  return header;
}

StoreResult<> ReplaceRecord(const std::string& path, const TVocData& oldRecord,
                            const TVocData& newRecord, bool all) {
  if (RecordsEqual(oldRecord, newRecord)) return {};
  auto file = RecordFile::open(path, Access::Write);
  if (!file) return Refused(file.error());
  file->scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (!RecordsEqual(r, oldRecord)) return true;
    file->write(index, newRecord);
    return all;
  });
  file->finish();
  return {};
}

StoreResult<std::optional<TVocData>> WriteNameAndComment(const std::string& path,
                                                         std::optional<std::uint8_t> unitId,
                                                         const WinString& name,
                                                         const WinString& comment) {
  auto file = RecordFile::open(path, Access::Write);
  if (!file) return Refused(file.error());
  std::optional<TVocData> written;
  file->scan(0, [&](std::uint64_t index, TVocData& r) {
    const bool wanted =
        !unitId ? index == 0 : IsUnitHeader(r) && r.Deleted == 0 && r.UnitID == *unitId;
    if (!wanted) return true;
    r.B1.set(name);
    r.Comment.set(comment);
    file->write(index, r);
    written = r;
    return false;
  });
  file->finish();
  return written;
}

StoreResult<std::optional<TVocData>> LastRecordOf(const std::string& path, std::uint8_t unitId) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  // Record 0 is the DataFile's own header; its UnitID byte means nothing.
  std::optional<TVocData> last;
  file->scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.UnitID == unitId) last = r;
    return true;
  });
  return last;
}

}  // namespace merkhaus
