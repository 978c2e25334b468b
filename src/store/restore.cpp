// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/restore.h"

#include <array>
#include <optional>

#include "store/record_file.h"

namespace merkhaus {
namespace {

constexpr std::size_t kVocNamePartMax = 65;
constexpr std::size_t kVocLineMax = 125;

bool IsDeletedEntryOf(const TVocData& r, std::uint8_t unitId) {
  return r.Deleted != 0 && r.UnitID == unitId && !IsUnitHeader(r);
}

}  // namespace

WinString DeletedEntryLine(const TVocData& entry, TextEncoding enc) {
  return ((entry.A1.get(enc) + WinString("  =  ")).left(kVocNamePartMax) + entry.B1.get(enc))
      .left(kVocLineMax);
}

StoreResult<DeletedLines> ListDeletedLessons(const std::string& path) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  DeletedLines list;
  list.records = file->count();
  TextEncoding enc = TextEncoding::Cp1252;
  file->scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (index == 0) {
      enc = EncodingOf(r);
    } else if (r.Deleted != 0 && IsUnitHeader(r)) {
      list.lines.push_back(LessonName(r).as(enc));
    }
    return true;
  });
  return list;
}

StoreResult<DeletedLines> ListDeletedEntries(const std::string& path, std::uint8_t unitId) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  DeletedLines list;
  list.records = file->count();
  bool live = false;
  TextEncoding enc = TextEncoding::Cp1252;
  file->scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (index == 0) {
      enc = EncodingOf(r);
      return true;
    }
    if (IsDeletedEntryOf(r, unitId)) list.lines.push_back(DeletedEntryLine(r, enc));
    live = live || (IsUnitHeader(r) && r.Deleted == 0 && r.UnitID == unitId);
    return true;
  });
  if (!live) list.lines.clear();
  return list;
}

StoreResult<std::uint32_t> RestoreLesson(const std::string& path, const WinString& name) {
  auto opened = RecordFile::open(path, Access::Write);
  if (!opened) return Refused(opened.error());
  RecordFile& file = *opened;
  // One pass finds the lesson to restore and what the live lessons hold: names and UnitIDs.
  bool nameTaken = false;
  std::optional<std::uint64_t> headerIndex;
  std::uint8_t id = 0;
  std::array<std::optional<WinString>, 256> holder;
  file.scan(1, [&](std::uint64_t index, const TVocData& r) {
    if (!IsUnitHeader(r)) return true;
    if (r.Deleted == 0 && r.B1.view() == name.view()) nameTaken = true;
    // The holder's name goes into a message: in the encoding of the name asked for, the file's.
    if (r.Deleted == 0 && !holder[r.UnitID]) holder[r.UnitID] = LessonName(r).as(name.encoding());
    if (r.Deleted != 0 && !headerIndex && r.B1.view() == name.view()) {
      headerIndex = index;
      id = r.UnitID;
    }
    return true;
  });
  if (nameTaken) {
    StoreError taken(StoreError::Kind::NameTaken);
    taken.name = name;
    return Refused(taken);
  }
  if (!headerIndex) return 0;
  if (holder[id]) {
    // Two live lessons with one UnitID would share their entries for good.
    StoreError held(StoreError::Kind::UnitIdHeld);
    held.unitId = id;
    held.name = *holder[id];
    return Refused(held);
  }

  std::uint32_t restored = 0;
  try {
    file.scan(*headerIndex, [&](std::uint64_t index, TVocData& r) {
      if (index > *headerIndex && IsUnitHeader(r) && r.UnitID == id) return false;
      if (r.Deleted != 0 && r.UnitID == id) {
        r.Deleted = 0;
        file.write(index, r);
        ++restored;
      }
      return true;
    });
    file.finish();
  } catch (const IoError& e) {
    // Half a lesson would be live with entries missing: the journal takes the change back.
    return Refused(StoreError::writeInterrupted(e.error(), file.rollBack()));
  }
  return restored;
}

StoreResult<std::uint32_t> RestoreEntry(const std::string& path, std::uint8_t unitId,
                                        const WinString& line) {
  auto file = RecordFile::open(path, Access::Write);
  if (!file) return Refused(file.error());
  bool live = false;
  std::optional<std::uint64_t> found;
  TVocData entry;
  file->scan(1, [&](std::uint64_t index, const TVocData& r) {
    live = live || (IsUnitHeader(r) && r.Deleted == 0 && r.UnitID == unitId);
    if (!found && IsDeletedEntryOf(r, unitId) && DeletedEntryLine(r) == line) {
      found = index;
      entry = r;
    }
    return !live || !found;
  });
  if (!live || !found) return 0;
  entry.Deleted = 0;
  file->write(*found, entry);
  file->finish();
  return 1;
}

}  // namespace merkhaus
