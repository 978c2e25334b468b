// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/restore.h"

#include <array>
#include <optional>
#include <utility>

#include "platform/cp1252.h"
#include "store/record_file.h"

namespace merkhaus {
namespace {

constexpr std::size_t kVocNamePartMax = 65;
constexpr std::size_t kVocLineMax = 125;

bool IsDeletedEntryOf(const TVocData& r, std::uint8_t unitId) {
  return r.Deleted != 0 && r.UnitID == unitId && !IsUnitHeader(r);
}

// Calls f(index, record) for the records after the live header of `unitId` that belong to it:
// up to the next lesson header with the same UnitID. f returns false to stop.
template <class F>
void ScanLessonRange(RecordFile& file, std::uint8_t unitId, F&& f) {
  bool inLesson = false;
  file.scan(1, [&](std::uint64_t index, TVocData& r) {
    const bool header = IsUnitHeader(r) && r.UnitID == unitId;
    if (!inLesson) {
      inLesson = header && r.Deleted == 0;
      return true;
    }
    if (header) return false;
    return f(index, r);
  });
}

}  // namespace

WinString DeletedVocLine(const TVocData& entry) {
  return ((entry.A1.get() + WinString("  =  ")).left(kVocNamePartMax) + entry.B1.get())
      .left(kVocLineMax);
}

DeletedLines ListDeletedUnits(const std::string& path) {
  DeletedLines list;
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    list.error = file.error();
    return list;
  }
  list.opened = true;
  list.records = file.count();
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted != 0 && IsUnitHeader(r)) list.lines.push_back(r.B1.get());
    return true;
  });
  return list;
}

DeletedLines ListDeletedVocs(const std::string& path, std::uint8_t unitId) {
  DeletedLines list;
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    list.error = file.error();
    return list;
  }
  list.opened = true;
  list.records = file.count();
  ScanLessonRange(file, unitId, [&](std::uint64_t, const TVocData& r) {
    if (IsDeletedEntryOf(r, unitId)) list.lines.push_back(DeletedVocLine(r));
    return true;
  });
  return list;
}

namespace {

std::optional<std::vector<WinString>> Offer(DeletedLines list, const char* openError,
                                            const char* nothing, Messages& messages) {
  if (!list.opened) {
    ShowErr(messages, WithReason(openError, list.error));
    return std::nullopt;
  }
  if (list.records < 2) return std::nullopt;
  if (list.lines.empty()) {
    messages.show(MsgKind::Information, nothing, MsgButtons::Ok);
    return std::nullopt;
  }
  return std::move(list.lines);
}

}  // namespace

std::optional<std::vector<WinString>> OfferDeletedUnits(const std::string& path,
                                                        Messages& messages) {
  return Offer(ListDeletedUnits(path), "RW - Fehler in Unit15!",
               "Es existieren derzeit keine gelöschten Units, die wieder hergestellt werden "
               "können.",
               messages);
}

std::optional<std::vector<WinString>> OfferDeletedVocs(const std::string& path, std::uint8_t unitId,
                                                       Messages& messages) {
  return Offer(ListDeletedVocs(path, unitId), "RW - Fehler in Unit16!",
               "Es existieren derzeit keine gelöschten Vokabeln, die wieder hergestellt werden "
               "können.",
               messages);
}

RestoreResult RestoreUnit(const std::string& path, const WinString& name, Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler in Unit15!", file.error()));
    return {};
  }
  // One pass finds the lesson to restore and what the live lessons hold: names and UnitIDs.
  bool nameTaken = false;
  std::optional<std::uint64_t> headerIndex;
  std::uint8_t id = 0;
  std::array<std::optional<WinString>, 256> holder;
  file.scan(1, [&](std::uint64_t index, const TVocData& r) {
    if (!IsUnitHeader(r)) return true;
    if (r.Deleted == 0 && r.B1.view() == name.view()) nameTaken = true;
    if (r.Deleted == 0 && !holder[r.UnitID]) holder[r.UnitID] = r.B1.get();
    if (r.Deleted != 0 && !headerIndex && r.B1.view() == name.view()) {
      headerIndex = index;
      id = r.UnitID;
    }
    return true;
  });
  if (nameTaken) {
    ShowErr(messages, "Eine Lektion mit diesem Namen Existiert bereits!");
    return {};
  }
  if (!headerIndex) return {true, 0};
  if (holder[id]) {
    // Two live lessons with one UnitID would share their entries for good.
    ShowErr(messages, "Die Lektion \"" + ToUtf8(name) +
                          "\" kann nicht wiederhergestellt werden: ihre UnitID " +
                          std::to_string(id) + " gehört jetzt der Lektion \"" +
                          ToUtf8(*holder[id]) + "\".\nDas DataFile bleibt unverändert.");
    return {};
  }

  std::vector<std::pair<std::uint64_t, std::uint8_t>> restored;  // index, former Deleted byte
  try {
    file.scan(*headerIndex, [&](std::uint64_t index, TVocData& r) {
      if (index > *headerIndex && IsUnitHeader(r) && r.UnitID == id) return false;
      if (r.Deleted != 0 && r.UnitID == id) {
        const std::uint8_t before = r.Deleted;
        r.Deleted = 0;
        file.write(index, r);
        restored.emplace_back(index, before);
      }
      return true;
    });
    file.finish();
  } catch (const IoError& e) {
    // Half a lesson would be live with entries missing: put back what was changed.
    std::string text = e.what();
    try {
      TVocData r;
      for (const auto& [index, deleted] : restored) {
        file.read(index, r);
        r.Deleted = deleted;
        file.write(index, r);
      }
      file.close();
      text += "\nDie Lektion wurde nicht wiederhergestellt; das DataFile ist unverändert.";
    } catch (const IoError&) {
      text += "\nDie Lektion ist nur zum Teil wiederhergestellt.";
    }
    throw IoError(e.error(), text);
  }
  return {true, static_cast<std::uint32_t>(restored.size())};
}

RestoreResult RestoreVoc(const std::string& path, std::uint8_t unitId, const WinString& line,
                         Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler in Unit16!", file.error()));
    return {};
  }
  RestoreResult result{true, 0};
  ScanLessonRange(file, unitId, [&](std::uint64_t index, TVocData& r) {
    if (!IsDeletedEntryOf(r, unitId) || DeletedVocLine(r) != line) return true;
    r.Deleted = 0;
    file.write(index, r);
    result.records = 1;
    return false;
  });
  file.finish();
  return result;
}

}  // namespace merkhaus
