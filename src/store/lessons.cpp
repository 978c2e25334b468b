// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lessons.h"

#include <algorithm>

#include "store/lesson_list.h"
#include "store/record_file.h"

namespace merkhaus {

LessonRoster::LessonRoster(RecordFile& file) : file_(file) {
  for (const auto& [index, r] : file.lessonHeaders()) {
    if (r.Deleted != 1) used_[r.UnitID] = true;
    if (r.Deleted == 0) names_.insert(std::string(r.B1.view()));
  }
}

std::size_t LessonRoster::freeCount() const {
  return static_cast<std::size_t>(std::count(used_.begin() + 1, used_.end(), false));
}

bool LessonRoster::nameExists(const WinString& name) const {
  return names_.count(name.bytes()) > 0;
}

std::uint8_t LessonRoster::create(Appender& out, const WinString& name, const WinString& comment) {
  std::uint8_t id = 0;
  if (file_.count() <= 1) {
    id = 1;
  } else {
    for (int candidate = 255; candidate >= 1 && id == 0; --candidate) {
      if (!used_[static_cast<std::size_t>(candidate)]) id = static_cast<std::uint8_t>(candidate);
    }
  }
  if (id == 0) return 0;
  const TVocData header = MakeUnitHeader(id, name, comment);
  out.add(header);
  used_[id] = true;
  names_.insert(LessonName(header).bytes());
  return id;
}

StoreResult<std::uint8_t> CreateLesson(const std::string& path, const WinString& name,
                                       const WinString& comment) {
  std::uint8_t id = 0;
  const StoreResult<> added = AppendAllOrNothing(path, [&](Appender& out) -> StoreResult<> {
    LessonRoster roster(out.file());
    if (roster.freeCount() == 0) {
      StoreError full(StoreError::Kind::NoFreeUnitId);
      full.count = 255;
      return Refused(full);
    }
    if (roster.nameExists(name)) {
      StoreError taken(StoreError::Kind::NameTaken);
      taken.name = name;
      return Refused(taken);
    }
    id = roster.create(out, name, comment);
    return {};
  });
  if (!added) return Refused(added.error());
  return id;
}

namespace {

std::uint32_t MarkDeleted(RecordFile& file, std::uint8_t unitId) {
  std::uint32_t marked = 0;
  file.scan(1, [&](std::uint64_t index, TVocData& r) {
    if (r.Deleted == 0 && r.UnitID == unitId) {
      r.Deleted = 1;
      file.write(index, r);
      ++marked;
    }
    return true;
  });
  return marked;
}

}  // namespace

StoreResult<std::uint32_t> DeleteLessonRecords(const std::string& path, std::uint8_t unitId) {
  auto file = RecordFile::open(path, Access::Write);
  if (!file) return Refused(file.error());
  const std::uint32_t marked = MarkDeleted(*file, unitId);
  file->finish();
  return marked;
}

StoreResult<std::uint32_t> DeleteLessonOfLine(const std::string& path, const WinString& line) {
  auto file = RecordFile::open(path, Access::Write);
  if (!file) return Refused(file.error());
  std::uint8_t id = 0;
  file->scan(1, [&](std::uint64_t, const TVocData& r) {
    if (LessonMatchesLine(r, line)) id = r.UnitID;
    return id == 0;
  });
  const std::uint32_t marked = id == 0 ? 0 : MarkDeleted(*file, id);
  file->finish();
  return marked;
}

}  // namespace merkhaus
