#include "shell/lesson_flows.h"

#include "platform/cp1252.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "store/units.h"

namespace merkhaus {

std::uint32_t DeleteUnit(const std::string& path, const WinString& selectedLine,
                         Messages& messages) {
  const std::uint8_t id = SelectedUnitID(path, selectedLine);
  if (id == 0) return 0;
  return DeleteUnitRecords(path, id, messages).value_or(0);
}

bool DeleteUnitFlow(const std::string& path, const WinString* selectedLine, Messages& messages) {
  if (!selectedLine) {
    messages.show(MsgKind::Warning, "Sie haben keine Lektion ausgewählt!", MsgButtons::Ok);
    return false;
  }
  if (messages.show(MsgKind::Warning, "Soll die Lektion wirklich gelöscht werden?",
                    MsgButtons::YesNo) != Answer::Yes) {
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

bool WriteHeaderInfo(Shared& shared, Messages& messages, bool dataFile, const WinString& name,
                     const WinString& comment) {
  RecordFile file;
  if (!file.open(shared.DataFilePath)) {
    ShowErr(messages, "RW - Fehler in Unit12!");
    return false;
  }
  if (dataFile) {
    if (file.count() < 1) return false;
    TVocData header;
    file.read(0, header);
    header.B1.set(name);
    header.Comment.set(comment);
    file.write(0, header);
    shared.DataFileHeader = header;
    return true;
  }
  bool written = false;
  file.scan(0, [&](std::uint64_t index, TVocData& r) {
    if (!IsUnitHeader(r) || r.Deleted != 0 || r.UnitID != shared.CurUnitID) return true;
    r.B1.set(name);
    r.Comment.set(comment);
    file.write(index, r);
    shared.CurUnit = r;
    written = true;
    return false;
  });
  return written;
}

}  // namespace merkhaus
