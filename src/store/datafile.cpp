// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/datafile.h"

#include <algorithm>
#include <string_view>

#include "store/record_file.h"

namespace merkhaus {

DataFileCheck CheckDataFile(const std::string& path, Messages& messages) {
  // Old Merkhaus text exports start with a line holding a tab and "Datafile:"; they are not
  // DataFiles even when the bytes further on happen to look like one.
  FileError error;
  {
    File text;
    if (!text.open(path, File::Mode::Read, Lock::None, error)) {
      messages.show(MsgKind::Error, WithReason("Fehler beim öffnen der Datei als Textfile!", error),
                    MsgButtons::Yes);
      return DataFileCheck::Unreadable;
    }
    char head[20];
    std::string_view line(head, text.readAt(head, sizeof head, 0));
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.find("\tDatafile:") != std::string_view::npos) return DataFileCheck::NotDataFile;
  }
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    messages.show(MsgKind::Error,
                  WithReason("Fehler beim lesen der Datei als Bin-File!", file.error()),
                  MsgButtons::Yes);
    return DataFileCheck::Unreadable;
  }
  if (file.count() < 1) return DataFileCheck::NotDataFile;
  TVocData header;
  file.read(0, header);
  return header.Deleted == 0 && header.B3.equals(DataFileSig) ? DataFileCheck::DataFile
                                                              : DataFileCheck::NotDataFile;
}

bool IsDataFile(const std::string& path, Messages& messages) {
  return CheckDataFile(path, messages) == DataFileCheck::DataFile;
}

LessonRead ReadLesson(const std::string& path, std::uint8_t unitId, std::size_t maxEntries) {
  LessonRead lesson;
  RecordFile file;
  if (!file.open(path, Access::Read)) {
    lesson.error = file.error();
    return lesson;
  }
  lesson.opened = true;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted == 0 && r.UnitID == unitId) {
      if (!IsUnitHeader(r)) {
        if (lesson.entries.size() < maxEntries) lesson.entries.push_back(r);
      } else if (!lesson.headerFound) {
        lesson.header = r;
        lesson.headerFound = true;
      }
    }
    return !lesson.headerFound || lesson.entries.size() < maxEntries;
  });
  return lesson;
}

bool LoadUnitHeader(Shared& shared, Messages& messages, std::uint8_t unitId) {
  const LessonRead lesson = ReadLesson(shared.DataFilePath, unitId, 0);
  if (!lesson.opened) {
    ShowErr(messages, WithReason("Schwerer Fehler 602", lesson.error));
    return false;
  }
  if (lesson.headerFound) shared.CurUnit = lesson.header;
  return lesson.headerFound;
}

LessonRead ReadCurrentLesson(Shared& shared, Messages& messages) {
  LessonRead lesson = ReadLesson(shared.DataFilePath, shared.CurUnitID, kMaxVocs);
  if (!lesson.opened) ShowErr(messages, WithReason("Schwerer Fehler 602", lesson.error));
  if (lesson.headerFound) {
    shared.CurUnit = lesson.header;
  } else {
    ShowErr(messages, "Böser Fehler: 801");
  }
  return lesson;
}

void KeepEntries(Shared& shared, const LessonRead& lesson) {
  const std::size_t n = std::min(lesson.entries.size(), kMaxVocs);
  std::copy_n(lesson.entries.begin(), n, shared.VocList.begin());
  shared.VocCount = static_cast<std::uint8_t>(n);
}

void LoadUnitVocs(Shared& shared, Messages& messages) {
  const LessonRead lesson = ReadLesson(shared.DataFilePath, shared.CurUnitID, kMaxVocs);
  if (!lesson.opened) {
    ShowErr(messages, WithReason("IO-Fehler 802!", lesson.error));
    shared.Cancelled = 1;
    return;
  }
  KeepEntries(shared, lesson);
}

bool ReplaceRecord(const std::string& path, const TVocData& oldRecord, const TVocData& newRecord,
                   bool all, FileError& error) {
  if (RecordsEqual(oldRecord, newRecord)) return true;
  RecordFile file;
  if (!file.open(path, Access::Write)) {
    error = file.error();
    return false;
  }
  file.scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (!RecordsEqual(r, oldRecord)) return true;
    file.write(index, newRecord);
    return all;
  });
  file.finish();
  return true;
}

bool ReadHeaderRecord(const std::string& path, TVocData& header) {
  RecordFile file;
  if (!file.open(path, Access::Read) || file.count() < 1) return false;
  file.read(0, header);
  return true;
}

}  // namespace merkhaus
