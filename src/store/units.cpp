// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/units.h"

#include <algorithm>

#include "store/record_file.h"

namespace merkhaus {
namespace {

constexpr std::size_t kNamePartMax = 63;
constexpr std::size_t kLineMax = 255;

WinString JoinLine(const TVocData& header) {
  return (header.B1.get() + WinString(" - ")).left(kNamePartMax) + header.Comment.get();
}

}  // namespace

std::optional<std::uint8_t> ParseUnitId(const std::string& text) {
  if (text.empty() || text.size() > 3 ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const int id = std::stoi(text);
  if (id < 1 || id > 255) return std::nullopt;
  return static_cast<std::uint8_t>(id);
}

WinString UnitListLine(const TVocData& header) {
  if (header.Comment.empty()) return header.B1.get().left(kLineMax);
  return JoinLine(header).left(kLineMax);
}

bool UnitMatchesLine(const TVocData& r, const WinString& line) {
  if (r.Deleted == 1 || !IsUnitHeader(r)) return false;
  return JoinLine(r).left(kLineMax) == line || r.B1.get() == line;
}

UnitList ReadUnitList(const std::string& path) {
  UnitList list;
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    list.error = file.error();
    return list;
  }
  list.opened = true;
  list.records = file.count();
  file.scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (index == 0) {
      list.header = r;
    } else if (r.Deleted != 1 && IsUnitHeader(r)) {
      list.lines.push_back({r.UnitID, UnitListLine(r)});
    }
    return true;
  });
  return list;
}

Lookup FindUnitByLine(const std::string& path, const WinString& line, TVocData& header,
                      FileError* error) {
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    if (error) *error = file.error();
    return Lookup::CannotOpen;
  }
  Lookup result = Lookup::NotFound;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (!UnitMatchesLine(r, line)) return true;
    header = r;
    result = Lookup::Found;
    return false;
  });
  return result;
}

std::uint8_t SelectedUnitID(const std::string& path, const WinString& line) {
  TVocData header;
  return FindUnitByLine(path, line, header) == Lookup::Found ? header.UnitID : 0;
}

}  // namespace merkhaus
