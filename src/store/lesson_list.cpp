// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/lesson_list.h"

#include <algorithm>

#include "store/record_file.h"

namespace merkhaus {
namespace {

constexpr std::size_t kNamePartMax = 63;
constexpr std::size_t kLineMax = 255;

WinString JoinLine(const TVocData& header, TextEncoding enc) {
  return (header.B1.get(enc) + WinString(" - ")).left(kNamePartMax) + header.Comment.get(enc);
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

WinString LessonListLine(const TVocData& header, TextEncoding enc) {
  if (header.Comment.empty()) return header.B1.get(enc).left(kLineMax);
  return JoinLine(header, enc).left(kLineMax);
}

bool LessonMatchesLine(const TVocData& r, const WinString& line) {
  if (r.Deleted == 1 || !IsUnitHeader(r)) return false;
  return JoinLine(r, line.encoding()).left(kLineMax) == line || LessonName(r) == line;
}

StoreResult<LessonList> ReadLessonList(const std::string& path) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  LessonList list;
  list.records = file->count();
  file->scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (index == 0) {
      list.header = r;
      list.encoding = EncodingOf(r);
    } else if (r.Deleted != 1 && IsUnitHeader(r)) {
      list.lines.push_back({r.UnitID, LessonListLine(r, list.encoding)});
    }
    return true;
  });
  return list;
}

StoreResult<std::optional<TVocData>> FindLessonByLine(const std::string& path,
                                                      const WinString& line) {
  auto file = RecordFile::open(path, Access::Read);
  if (!file) return Refused(file.error());
  std::optional<TVocData> found;
  file->scan(1, [&](std::uint64_t, const TVocData& r) {
    if (LessonMatchesLine(r, line)) found = r;
    return !found;
  });
  return found;
}

}  // namespace merkhaus
