// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lessons.h"

#include <algorithm>
#include <array>

#include "platform/cp1252.h"
#include "store/datafile.h"
#include "store/record_file.h"
#include "store/units.h"

namespace merkhaus {
namespace {

// The UnitIDs that live lessons hold, and whether one of them has the name.
struct UnitScan {
  std::array<bool, 256> used{};
  bool nameExists = false;
};

UnitScan ScanUnits(RecordFile& file, const WinString* name) {
  UnitScan scan;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (!IsUnitHeader(r)) return true;
    if (r.Deleted != 1) scan.used[r.UnitID] = true;
    if (name && r.Deleted == 0 && r.B1.view() == name->view()) scan.nameExists = true;
    return true;
  });
  return scan;
}

std::uint8_t FreeID(RecordFile& file, const UnitScan& scan) {
  if (file.count() <= 1) return 1;
  for (int id = 255; id >= 1; --id) {
    if (!scan.used[static_cast<std::size_t>(id)]) return static_cast<std::uint8_t>(id);
  }
  return 0;
}

}  // namespace

std::optional<bool> UnitNameExists(const std::string& path, const WinString& name,
                                   Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    ShowErr(messages, WithReason("Everything fucked! Closing screen!", file.error()));
    return std::nullopt;
  }
  return ScanUnits(file, &name).nameExists;
}

std::optional<std::uint8_t> FindFreeUnitID(const std::string& path, Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    ShowErr(messages, WithReason("RW - Fehler: 1002", file.error()));
    return std::nullopt;
  }
  const std::uint8_t id = FreeID(file, ScanUnits(file, nullptr));
  if (id == 0) ShowErr(messages, "There're already 255 units in this DataFile!");
  return id;
}

std::uint8_t CreateUnitIn(RecordFile& file, const WinString& name, const WinString& comment,
                          Messages& messages) {
  const UnitScan scan = ScanUnits(file, &name);
  const std::uint8_t id = FreeID(file, scan);
  if (id == 0) {
    ShowErr(messages, "There're already 255 units in this DataFile!");
    messages.show(MsgKind::Confirmation, "Fehler 1003: Kann keine freie UnitID mehr finden!",
                  MsgButtons::Ok);
    return 0;
  }
  if (scan.nameExists) {
    ShowErr(messages, "Die Unit ist bereits vorhanden!");
    return 0;
  }
  file.append(MakeUnitHeader(id, name, comment));
  return id;
}

std::uint8_t CreateUnit(const std::string& path, const WinString& name, const WinString& comment,
                        Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler: 1002", file.error()));
    return 0;
  }
  const std::uint8_t id = CreateUnitIn(file, name, comment, messages);
  file.finish();
  return id;
}

UnitRoster::UnitRoster(RecordFile& file) : file_(file) {
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (!IsUnitHeader(r)) return true;
    if (r.Deleted != 1) used_[r.UnitID] = true;
    if (r.Deleted == 0) names_.insert(std::string(r.B1.view()));
    return true;
  });
}

std::size_t UnitRoster::freeCount() const {
  return static_cast<std::size_t>(std::count(used_.begin() + 1, used_.end(), false));
}

bool UnitRoster::nameExists(const WinString& name) const {
  return names_.count(name.bytes()) > 0;
}

std::uint8_t UnitRoster::create(const WinString& name, const WinString& comment) {
  UnitScan scan;
  scan.used = used_;
  const std::uint8_t id = FreeID(file_, scan);
  if (id == 0) return 0;
  const TVocData header = MakeUnitHeader(id, name, comment);
  file_.append(header);
  used_[id] = true;
  names_.insert(std::string(header.B1.view()));
  return id;
}

WinString CreateUnitFromDialog(const std::string& path, const WinString& name,
                               const WinString& comment, Messages& messages) {
  const WinString cutName = name.left(kWordCapacity);
  if (CreateUnit(path, cutName, comment.left(kCommentCapacity), messages) != 0) return cutName;
  ShowErr(messages, "Die Unit konnte nicht korrekt angelegt werden!");
  return WinString();
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

std::optional<std::uint32_t> DeleteUnitRecords(const std::string& path, std::uint8_t unitId,
                                               Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler in Unit6!", file.error()));
    return std::nullopt;
  }
  const std::uint32_t marked = MarkDeleted(file, unitId);
  file.finish();
  return marked;
}

std::uint32_t DeleteUnit(const std::string& path, const WinString& selectedLine,
                         Messages& messages) {
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    ShowErr(messages, WithReason("RW - Fehler in Unit6!", file.error()));
    return 0;
  }
  std::uint8_t id = 0;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (UnitMatchesLine(r, selectedLine)) id = r.UnitID;
    return id == 0;
  });
  const std::uint32_t marked = id == 0 ? 0 : MarkDeleted(file, id);
  file.finish();
  return marked;
}

bool DeleteUnitFlow(const std::string& path, const WinString* selectedLine, Messages& messages) {
  if (!selectedLine) {
    messages.show(MsgKind::Warning, "Sie haben keine Lektion ausgewählt!", MsgButtons::Ok);
    return false;
  }
  if (messages.show(MsgKind::Warning, "Soll die Lektion wirklich gelöscht werden?",
                    MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  const std::uint32_t marked = DeleteUnit(path, *selectedLine, messages);
  if (marked > 0) {
    messages.show(MsgKind::Information,
                  "Lektion \"" + ToUtf8(*selectedLine) + "\" mit " + std::to_string(marked - 1) +
                      " Vokabeln erfolgreich gelöscht!",
                  MsgButtons::Ok);
  } else {
    messages.show(MsgKind::Warning, "Löschen fehlgeschlagen!", MsgButtons::Ok);
  }
  return true;
}

}  // namespace merkhaus
