#include "store/units.h"

#include "store/record_file.h"

namespace merkhaus {
namespace {

constexpr std::size_t kNamePartMax = 63;
constexpr std::size_t kLineMax = 255;

WinString JoinLine(const TVocData& header) {
  return (header.B1.get() + WinString(" - ")).left(kNamePartMax) + header.Comment.get();
}

}  // namespace

WinString UnitListLine(const TVocData& header) {
  if (header.Comment.empty()) return header.B1.get().left(kLineMax);
  return JoinLine(header).left(kLineMax);
}

bool ReadUnitList(const std::string& path, std::vector<UnitLine>& lines, TVocData* header,
                  std::uint64_t* records) {
  lines.clear();
  RecordFile file;
  if (!file.open(path)) return false;
  if (records) *records = file.count();
  file.scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (index == 0) {
      if (header) *header = r;
    } else if (r.Deleted != 1 && IsUnitHeader(r)) {
      lines.push_back({r.UnitID, UnitListLine(r)});
    }
    return true;
  });
  return true;
}

Lookup FindUnitByLine(const std::string& path, const WinString& line, TVocData& header) {
  RecordFile file;
  if (!file.open(path)) return Lookup::CannotOpen;
  Lookup result = Lookup::NotFound;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted == 1 || !IsUnitHeader(r)) return true;
    if (JoinLine(r).left(kLineMax) == line || r.B1.get() == line) {
      header = r;
      result = Lookup::Found;
      return false;
    }
    return true;
  });
  return result;
}

std::uint8_t SelectedUnitID(const std::string& path, const WinString& line) {
  TVocData header;
  return FindUnitByLine(path, line, header) == Lookup::Found ? header.UnitID : 0;
}

}  // namespace merkhaus
