#include "store/lessons.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "store/record_file.h"

namespace merkhaus {

std::optional<bool> UnitNameExists(const std::string& path, const WinString& name,
                                   Messages& messages) {
  RecordFile file;
  if (!file.open(path)) {
    ShowErr(messages, "Everything fucked! Closing screen!");
    return std::nullopt;
  }
  bool exists = false;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    exists = r.Deleted == 0 && IsUnitHeader(r) && r.B1.view() == name.view();
    return !exists;
  });
  return exists;
}

std::optional<std::uint8_t> FindFreeUnitID(const std::string& path, Messages& messages) {
  std::array<bool, 256> used{};
  RecordFile file;
  if (!file.open(path)) {
    ShowErr(messages, "RW - Fehler: 1002");
    return std::nullopt;
  }
  if (file.count() <= 1) return 1;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted != 1 && IsUnitHeader(r)) used[r.UnitID] = true;
    return true;
  });
  for (int id = 255; id >= 1; --id) {
    if (!used[static_cast<std::size_t>(id)]) return static_cast<std::uint8_t>(id);
  }
  ShowErr(messages, "There're already 255 units in this DataFile!");
  return 0;
}

std::uint8_t CreateUnit(const std::string& path, const WinString& name, const WinString& comment,
                        Messages& messages) {
  const auto id = FindFreeUnitID(path, messages);
  if (!id) return 0;
  if (*id == 0) {
    messages.show(MsgKind::Confirmation, "Fehler 1003: Kann keine freie UnitID mehr finden!",
                  MsgButtons::Ok);
    return 0;
  }
  const auto exists = UnitNameExists(path, name, messages);
  if (!exists) return 0;
  if (*exists) {
    ShowErr(messages, "Die Unit ist bereits vorhanden!");
    return 0;
  }
  const TVocData header = MakeUnitHeader(*id, name, comment);
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    ShowErr(messages, "Schwerer Fehler 1004: kann die Datei nicht finden.");
    return 0;
  }
  RecordFile file;
  if (!file.open(path)) {
    ShowErr(messages, "RW - Fehler: 1001");
    return 0;
  }
  file.append(header);
  return *id;
}

WinString CreateUnitFromDialog(const std::string& path, const WinString& name,
                               const WinString& comment, Messages& messages) {
  const WinString cutName = name.left(kWordCapacity);
  if (CreateUnit(path, cutName, comment.left(kCommentCapacity), messages) != 0) return cutName;
  ShowErr(messages, "Die Unit konnte nicht korrekt angelegt werden!");
  return WinString();
}

std::optional<std::uint32_t> DeleteUnitRecords(const std::string& path, std::uint8_t unitId,
                                               Messages& messages) {
  RecordFile file;
  if (!file.open(path)) {
    ShowErr(messages, "RW - Fehler in Unit6!");
    return std::nullopt;
  }
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

}  // namespace merkhaus
