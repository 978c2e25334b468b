// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/restore_flow.h"

#include "platform/cp1252.h"
#include "store/restore.h"

namespace merkhaus {
namespace {

std::optional<std::vector<WinString>> Offer(StoreResult<DeletedLines> list, const char* openError,
                                            const char* nothing, Messages& messages) {
  if (!list) {
    ShowFileError(messages, openError, list.error().file);
    return std::nullopt;
  }
  if (list->records < 2) return std::nullopt;
  if (list->lines.empty()) {
    messages.show(MsgKind::Information, nothing, MsgButtons::Ok);
    return std::nullopt;
  }
  return std::move(list->lines);
}

}  // namespace

std::optional<std::vector<WinString>> OfferDeletedLessons(const std::string& path,
                                                          Messages& messages) {
  return Offer(ListDeletedLessons(path), "RW - Fehler in Unit15!",
               "Es existieren derzeit keine gelöschten Units, die wieder hergestellt werden "
               "können.",
               messages);
}

std::optional<std::vector<WinString>> OfferDeletedEntries(const std::string& path,
                                                          std::uint8_t unitId, Messages& messages) {
  return Offer(ListDeletedEntries(path, unitId), "RW - Fehler in Unit16!",
               "Es existieren derzeit keine gelöschten Vokabeln, die wieder hergestellt werden "
               "können.",
               messages);
}

std::optional<std::uint32_t> RestoreLessonTold(const std::string& path, const WinString& name,
                                               Messages& messages) {
  const StoreResult<std::uint32_t> restored = RestoreLesson(path, name);
  if (restored) return *restored;
  const StoreError& error = restored.error();
  switch (error.kind) {
    case StoreError::Kind::NameTaken:
      ShowErr(messages, "Eine Lektion mit diesem Namen Existiert bereits!");
      break;
    case StoreError::Kind::UnitIdHeld:
      ShowErr(messages, "Die Lektion \"" + ToUtf8(name) +
                            "\" kann nicht wiederhergestellt werden: ihre UnitID " +
                            std::to_string(error.unitId) + " gehört jetzt der Lektion \"" +
                            ToUtf8(error.name) + "\".\nDas DataFile bleibt unverändert.");
      break;
    default:
      if (!error.interrupted) {
        ShowFileError(messages, "RW - Fehler in Unit15!", error.file);
      } else {
        // Half a lesson would be live with entries missing: the store has put back what it
        // changed, where it could.
        ShowFileError(
            messages, {}, error.file,
            error.rolledBack
                ? "Die Lektion wurde nicht wiederhergestellt; das DataFile ist unverändert."
                : "Die Lektion ist nur zum Teil wiederhergestellt.");
      }
      break;
  }
  return std::nullopt;
}

bool RestoreEntryTold(const std::string& path, std::uint8_t unitId, const WinString& line,
                      Messages& messages) {
  const StoreResult<std::uint32_t> restored = RestoreEntry(path, unitId, line);
  if (!restored) {
    ShowFileError(messages, "RW - Fehler in Unit16!", restored.error().file);
    return false;
  }
  return *restored > 0;
}

}  // namespace merkhaus
