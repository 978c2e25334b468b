#include "store/datafile.h"

#include <cstdio>
#include <string_view>

#include "store/record_file.h"

namespace merkhaus {

DataFileCheck CheckDataFile(const std::string& path, Messages& messages) {
  // Old Merkhaus text exports start with a line holding a tab and "Datafile:"; they are not
  // DataFiles even when the bytes further on happen to look like one.
  {
    std::FILE* text = std::fopen(path.c_str(), "rb");
    if (!text) {
      messages.show(MsgKind::Error, "Fehler beim öffnen der Datei als Textfile!", MsgButtons::Yes);
      return DataFileCheck::Unreadable;
    }
    char head[20];
    const std::size_t n = std::fread(head, 1, sizeof head, text);
    std::fclose(text);
    std::string_view line(head, n);
    line = line.substr(0, line.find_first_of("\r\n"));
    if (line.find("\tDatafile:") != std::string_view::npos) return DataFileCheck::NotDataFile;
  }
  RecordFile file;
  if (!file.open(path)) {
    messages.show(MsgKind::Error, "Fehler beim lesen der Datei als Bin-File!", MsgButtons::Yes);
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

bool LoadUnitHeader(Shared& shared, Messages& messages, std::uint8_t unitId) {
  RecordFile file;
  if (!file.open(shared.DataFilePath)) {
    ShowErr(messages, "Schwerer Fehler 602");
    return false;
  }
  bool found = false;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted == 0 && r.UnitID == unitId && IsUnitHeader(r)) {
      shared.CurUnit = r;
      found = true;
      return false;
    }
    return true;
  });
  return found;
}

int ReadUnitVocs(const std::string& path, std::uint8_t unitId, TVocData* out, std::size_t max) {
  RecordFile file;
  if (!file.open(path)) return -1;
  std::size_t count = 0;
  if (max > 0) {
    file.scan(1, [&](std::uint64_t, const TVocData& r) {
      if (IsVocOfUnit(r, unitId)) out[count++] = r;
      return count < max;
    });
  }
  return static_cast<int>(count);
}

void LoadUnitVocs(Shared& shared, Messages& messages) {
  // ReadUnitVocs writes nothing when the file cannot be opened, so VocList stays as it was.
  const int n =
      ReadUnitVocs(shared.DataFilePath, shared.CurUnitID, shared.VocList.data(), kMaxVocs);
  if (n < 0) {
    ShowErr(messages, "IO-Fehler 802!");
    shared.Cancelled = 1;
    return;
  }
  shared.VocCount = static_cast<std::uint8_t>(n);
}

bool ReplaceRecord(const std::string& path, const TVocData& oldRecord, const TVocData& newRecord,
                   bool all) {
  if (RecordsEqual(oldRecord, newRecord)) return true;
  RecordFile file;
  if (!file.open(path)) return false;
  file.scan(0, [&](std::uint64_t index, const TVocData& r) {
    if (!RecordsEqual(r, oldRecord)) return true;
    file.write(index, newRecord);
    return all;
  });
  return true;
}

bool ReadHeaderRecord(const std::string& path, TVocData& header) {
  RecordFile file;
  if (!file.open(path) || file.count() < 1) return false;
  file.read(0, header);
  return true;
}

}  // namespace merkhaus
